// Drives ostrada.exe from another process, as a user would through its window: starts it with
// the stand-in's log file named in its environment, finds its windows and dialogs, posts
// commands, reads message boxes, and saves screenshots. Every wait has a timeout.
#ifndef LUMIVEX_TESTS_DEMO_OSTRADA_DRIVER_H
#define LUMIVEX_TESTS_DEMO_OSTRADA_DRIVER_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lvx::test {

inline constexpr DWORD kStepTimeoutMs = 8000;

// The folder of this test program (ends in a backslash), and its artifacts folder (created).
std::string ProgramFolder();
std::string ArtifactFolder();

// One line of the stand-in's log file: "<kind> <message> <code> <argument> [<text>]".
struct LogLine {
  std::string kind;  // msg, create, destroy, detach
  std::uint32_t message = 0;
  std::int32_t code = 0;
  std::int32_t argument = 0;
  std::string text;
  bool hasText = false;
};
std::vector<LogLine> ReadLog(const std::string& path);

// The same log read as it grows: each call answers the complete lines added since the last one
// (a long run reads only what is new).
class LogTail {
 public:
  explicit LogTail(std::string path) : path_(std::move(path)) {}
  std::vector<LogLine> ReadNew();

 private:
  std::string path_;
  std::uint64_t offset_ = 0;
  std::string partial_;  // the start of a line not yet ended
};

// A message box (or other dialog) as read from outside its process.
struct BoxContents {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

class OstradaProcess {
 public:
  // Starts `program` with LUMIVEX_STANDIN_LOG = `logPath` (the file is emptied first).
  OstradaProcess(const std::string& program, const std::string& logPath);
  ~OstradaProcess();
  OstradaProcess(const OstradaProcess&) = delete;
  OstradaProcess& operator=(const OstradaProcess&) = delete;
  OstradaProcess(OstradaProcess&&) = delete;
  OstradaProcess& operator=(OstradaProcess&&) = delete;

  [[nodiscard]] bool Started() const noexcept { return process_.hProcess != nullptr; }
  // The process (for measuring what it holds); null when it did not start.
  [[nodiscard]] HANDLE Process() const noexcept { return process_.hProcess; }
  // The "VIEW PDF" window of this process, waited for.
  HWND MainWindow(DWORD timeoutMs = kStepTimeoutMs);
  [[nodiscard]] DWORD ThreadId() const;
  [[nodiscard]] const std::string& LogPath() const noexcept { return logPath_; }
  [[nodiscard]] std::vector<LogLine> Log() const { return ReadLog(logPath_); }

  // Chooses menu item `field`, as the menu does.
  void Choose(std::int32_t field);
  // Waits until the log holds a line that `match` accepts at index `from` or later.
  std::optional<LogLine> WaitForLog(const std::function<bool(const LogLine&)>& match,
                                    std::size_t from = 0, DWORD timeoutMs = kStepTimeoutMs) const;

  // A visible dialog of the program other than its main window, accepted by `match` (any when
  // null), waited for.
  std::optional<BoxContents> WaitForDialog(const std::function<bool(HWND)>& match = nullptr,
                                           DWORD timeoutMs = kStepTimeoutMs);
  // Every visible dialog of the program other than its main window, now.
  [[nodiscard]] std::vector<HWND> Dialogs() const;
  // Presses a dialog's button (IDOK, IDCANCEL) by posting its command, and waits until the
  // dialog is gone.
  static bool Press(HWND dialog, int button, DWORD timeoutMs = kStepTimeoutMs);

  // Waits for the process to end; its exit code, or nothing on timeout.
  [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs = kStepTimeoutMs) const;

 private:
  PROCESS_INFORMATION process_{};
  std::string logPath_;
  HWND main_ = nullptr;
};

BoxContents ReadBox(HWND box);

// The file-name edit of an Explorer-style file dialog, null when `dialog` is none.
HWND FileNameEdit(HWND dialog);

// Waits for the program's file-open dialog and answers it with `path` (a Windows path), or
// cancels it when `path` is empty. False when no dialog came or it did not close.
bool AnswerFileDialog(OstradaProcess& program, const std::string& path);

// Saves what the screen shows of `window` (frame included) as a PNG file.
bool SaveWindowPng(HWND window, const std::string& path);

// The client rectangle, in pixels, that dialog units give in a window with the main window's font
// (MS Sans Serif 8 pt).
RECT MainWindowDialogRect(int x, int y, int width, int height);

}  // namespace lvx::test

#endif
