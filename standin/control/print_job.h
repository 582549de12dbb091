// Printing the shown document: the settings that codes 35, 36, 31 and 123 to 126 change, and the
// job that code 37 runs with GDI (StartDoc, one StartPage/EndPage per page, EndDoc).
#ifndef LUMIVEX_STANDIN_PRINT_JOB_H
#define LUMIVEX_STANDIN_PRINT_JOB_H

#include <cstdint>
#include <string>

#include "shown_document.h"

namespace lvx::standin {

// Results of code 37 (see standin_api.h).
inline constexpr std::int32_t kPrintSwitchedOff = -1;
inline constexpr std::int32_t kPrintNoDocument = -2;
inline constexpr std::int32_t kPrintNoPrinter = -3;
inline constexpr std::int32_t kPrintBadRange = -4;
inline constexpr std::int32_t kPrintFailed = -5;
inline constexpr std::int32_t kPrintNotStarted = -6;

// How the pages went to the printer.
enum class PrintRoute : std::int32_t {
  kNone = 0,
  kVector = 1,      // text drawn on the printer's device context at its resolution
  kRaster = 2,      // each page drawn into a bitmap at low resolution, then stretched onto it
  kPostScript = 3,  // no device context: PostScript written to the printer through the spooler
};

struct PrintReport {
  std::int32_t result = 0;  // code 37's answer: pages printed, or one of the codes above
  int firstPage = 0;        // 1-based range printed (0 when nothing was)
  int lastPage = 0;
  int dpi = 0;  // resolution the pages were drawn at
  PrintRoute route = PrintRoute::kNone;
  std::string printer;  // the printer used (or tried)
};

struct PrintSettings {
  bool enabled = true;        // 123 switches printing off
  bool highQuality = true;    // 124: off prints through a low-resolution bitmap
  bool selectPrinter = true;  // 125: off ignores the named printer for the default one
  bool deviceContext = true;  // 126: off prints without a device context (PostScript)
  std::string printerName;    // 35
  bool started = false;       // between 36 and 37
  std::int32_t range = 0;     // 31
  PrintReport last;           // of the last 37
  std::int32_t jobs = 0;      // print jobs sent to a printer
};

// Code 37: prints the requested pages, finishes the request, and answers the result.
std::int32_t PrintRequestedPages(PrintSettings& settings, const ShownDocument* document);

}  // namespace lvx::standin

#endif
