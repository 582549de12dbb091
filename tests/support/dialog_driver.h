// Drives the modal common dialogs (file-open, print) that an operation shows on the test thread,
// the way a user would: a thread of its own waits for the dialog to appear, reads what it shows,
// fills in fields and presses its buttons. Every wait has a time limit, and a dialog the script
// left open is cancelled at the end, so a failing test ends instead of hanging.
//
//   DialogDriver driver("Select File", [](HWND dialog) {
//     SetFileName(dialog, "Z:\\tmp\\x.pdf");
//     PressButton(dialog, IDOK);
//   });
//   viewer.LOADFILE(LvxOmittedText());   // returns once the driver pressed OK
//   EXPECT_TRUE(driver.Finish());
#ifndef LUMIVEX_TESTS_DIALOG_DRIVER_H
#define LUMIVEX_TESTS_DIALOG_DRIVER_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace lvx::test {

class DialogDriver {
 public:
  using Script = std::function<void(HWND dialog)>;

  // Starts waiting (up to 15 s) for a visible dialog of this process titled `title`, then runs
  // `script` on it from the driver's thread.
  DialogDriver(std::string title, Script script);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  DialogDriver(DialogDriver&&) = delete;
  DialogDriver& operator=(DialogDriver&&) = delete;

  // Ends the driver (it stops waiting for a dialog that has not appeared by now); answers
  // whether the dialog appeared and the script ran. Call it after the operation returned.
  bool Finish();

 private:
  void Run(const std::string& title, const Script& script);

  std::atomic<bool> found_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A visible top-level dialog of this process with this title, or null after `milliseconds`.
HWND WaitForDialog(const std::string& title, int milliseconds);
// A message box of this process owned by `owner`, or null after `milliseconds`.
HWND WaitForMessageBox(HWND owner, int milliseconds);
// Waits until `window` is gone; answers false when it still exists after `milliseconds`.
bool WaitUntilClosed(HWND window, int milliseconds);

// Presses a button of a dialog (posted: the dialog's thread may end the dialog in response).
void PressButton(HWND dialog, int id);
// The text of a window or control.
std::string TextOf(HWND window);

// File-open dialog: puts a path into the file name field (control 0x47C, its inner edit).
bool SetFileName(HWND dialog, const std::string& path);
// The same with a name in any script (the wide dialog).
bool SetFileName(HWND dialog, const std::wstring& path);
// File-open dialog: the entries of the file type list (control 0x470) and the chosen one.
std::vector<std::string> FileTypes(HWND dialog);
// File-open dialog: the names the file list shows.
std::vector<std::string> ListedFiles(HWND dialog);
// File-open dialog: waits until the file list shows `name`; false after `milliseconds`.
bool WaitForListedFile(HWND dialog, const std::string& name, int milliseconds);

// Print dialog: the printer names offered (control 0x473) and the selected one.
std::vector<std::string> OfferedPrinters(HWND dialog);
std::string SelectedPrinter(HWND dialog);
// Print dialog: selects `printer` as the user would, notifying the dialog of the change.
bool SelectPrinter(HWND dialog, const std::string& printer);
// The system's default printer as the spooler reports it, empty when there is none.
std::string SystemDefaultPrinter();
// For tests that print on the printers scripts/start-printer.sh sets up: when `printer` is not the
// default printer, a failure under CI (where the printers are part of the test set-up, in the
// emulated PC too) and a skip with the reason elsewhere. The test returns when it sees either.
void RequireDefaultPrinter(const std::string& printer);

}  // namespace lvx::test

#endif
