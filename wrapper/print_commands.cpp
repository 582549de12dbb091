// Printing: _PRINT on the application's current printer (after the print dialog when asked),
// PRINTTOPRINTER on a named printer, and DISABLEPRINT, which switches a printing feature off.
#include <array>
#include <span>

#include "application_printer.h"
#include "lumivexctl/lumivexcontrol.h"
#include "page_range.h"
#include "text_field.h"
#include "viewer_channel.h"

namespace {

// The four messages that end every print, always in this order; their results mean nothing.
void RunPrintSequence(std::int32_t window, const char* printer, LvxOptionalInt32 firstPage,
                      LvxOptionalInt32 lastPage) noexcept {
  lvx::SendString(window, lvx::VCMD_SETPRINTER, printer);
  lvx::SendCommand(window, lvx::VCMD_PRINTSTART, 0);
  lvx::SendCommand(window, lvx::VCMD_PRINTPAGES, lvx::PrintPagesArgument(firstPage, lastPage));
  lvx::SendCommand(window, lvx::VCMD_PRINTFINISH, 0);
}

}  // namespace

void LUMIVEXCONTROL::_PRINT(std::uint8_t SHOWDIALOG, LvxOptionalInt32 FIRSTPAGE,
                            LvxOptionalInt32 LASTPAGE) {
  lvx::ApplicationPrinter& printer = lvx::CurrentPrinter();
  // Of the dialog's choices only the printer is used; copies and range stay with the dialog.
  if (SHOWDIALOG != 0 && !printer.ChooseInPrintDialog(lvx::OwnerFor(HWINDOW))) {
    return;  // cancelled: the viewer hears nothing
  }
  std::array<char, lvx::kNameBufferSize> name{};
  printer.CopyDeviceName(name);
  RunPrintSequence(HWINDOW, name.data(), FIRSTPAGE, LASTPAGE);
}

void LUMIVEXCONTROL::PRINTTOPRINTER(LvxText PRINTERNAME, LvxOptionalInt32 FIRSTPAGE,
                                    LvxOptionalInt32 LASTPAGE) {
  std::array<char, lvx::kNameBufferSize> name{};
  lvx::CopyCut(lvx::TrimmedText(PRINTERNAME), name);  // not tested: blank goes as empty
  RunPrintSequence(HWINDOW, name.data(), FIRSTPAGE, LASTPAGE);
}

// Any code is forwarded: the print-feature codes are the caller's to choose.
void LUMIVEXCONTROL::DISABLEPRINT(std::int32_t PRINTFEATURE) {
  lvx::ForwardCode(HWINDOW, PRINTFEATURE);
}
