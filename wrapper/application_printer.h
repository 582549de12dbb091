// The application's current printer: the printer settings that the print dialog starts from and
// that a confirmed print dialog replaces. Process-wide, so that a printer chosen in one call stays
// for later calls; used only from the user-interface thread.
#ifndef LUMIVEX_WRAPPER_APPLICATION_PRINTER_H
#define LUMIVEX_WRAPPER_APPLICATION_PRINTER_H

#include <windows.h>

#include <span>

#include "global_memory.h"

namespace lvx {

class ApplicationPrinter {
 public:
  // Shows the print dialog (the dialog proper, with the print options), modal, owned by `owner`
  // (may be null), preset to the current printer. Answers true when the user confirmed it: the
  // chosen printer is then the current printer. On cancel the current printer stays as it was.
  bool ChooseInPrintDialog(HWND owner) noexcept;

  // Copies the current printer's device name, trailing spaces removed, NUL-terminated and cut to
  // the buffer, into `buffer`. Before any dialog was confirmed the current printer is the
  // system's default printer; without any printer the name is empty.
  void CopyDeviceName(std::span<char> buffer) noexcept;

 private:
  void LoadDefaultPrinter() noexcept;

  GlobalMemory devMode_;   // DEVMODEA
  GlobalMemory devNames_;  // DEVNAMES
};

// The one current printer of the running program.
ApplicationPrinter& CurrentPrinter() noexcept;

}  // namespace lvx

#endif
