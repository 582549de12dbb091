#include "ostrada_driver.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "png_writer.h"

namespace lvx::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kFileNameId = 0x47C;
constexpr DWORD kPollMs = 20;

std::string WindowText(HWND window) {
  std::array<char, 8192> buffer{};
  DWORD_PTR length = 0;
  // Bounded: a hung program must not hang the driver.
  if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(),
                          reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 2000,
                          &length) == 0) {
    return {};
  }
  return {buffer.data()};
}

std::string ClassOf(HWND window) {
  std::array<char, 64> klass{};
  GetClassNameA(window, klass.data(), static_cast<int>(klass.size()));
  return klass.data();
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (GetTickCount64() >= end) {
      return false;
    }
    Sleep(kPollMs);
  }
}

struct DialogSearch {
  DWORD thread;
  HWND exclude;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  if (window != search->exclude && GetWindowThreadProcessId(window, nullptr) == search->thread &&
      IsWindowVisible(window) != FALSE && ClassOf(window) == "#32770") {
    search->found.push_back(window);
  }
  return TRUE;
}

INT_PTR CALLBACK ProbeProc(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/,
                           LPARAM /*lParam*/) {
  return FALSE;
}

}  // namespace

std::string ProgramFolder() {
  std::array<char, MAX_PATH> path{};
  GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::string folder(path.data());
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string ArtifactFolder() {
  std::string folder = ProgramFolder() + "artifacts\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

namespace {

LogLine ParseLogLine(const std::string& line) {
  std::istringstream fields(line);
  LogLine entry;
  fields >> entry.kind >> entry.message >> entry.code >> entry.argument;
  if (fields.peek() == ' ') {
    fields.get();
    std::getline(fields, entry.text);
    entry.hasText = true;
  }
  return entry;
}

}  // namespace

std::vector<LogLine> ReadLog(const std::string& path) {
  std::vector<LogLine> lines;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    lines.push_back(ParseLogLine(line));
  }
  return lines;
}

std::vector<LogLine> LogTail::ReadNew() {
  std::vector<LogLine> lines;
  std::ifstream file(path_, std::ios::binary);
  if (!file.seekg(static_cast<std::streamoff>(offset_))) {
    return lines;
  }
  const std::string added{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  offset_ += added.size();
  partial_ += added;
  std::size_t start = 0;
  for (std::size_t end = partial_.find('\n'); end != std::string::npos;
       end = partial_.find('\n', start)) {
    lines.push_back(ParseLogLine(partial_.substr(start, end - start)));
    start = end + 1;
  }
  partial_.erase(0, start);
  return lines;
}

OstradaProcess::OstradaProcess(const std::string& program, const std::string& logPath)
    : logPath_(logPath) {
  std::ofstream(logPath, std::ios::trunc).close();
  SetEnvironmentVariableA("LUMIVEX_STANDIN_LOG", logPath.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + program + "\"";
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process_) == FALSE) {
    process_ = PROCESS_INFORMATION{};
  }
  SetEnvironmentVariableA("LUMIVEX_STANDIN_LOG", nullptr);
}

OstradaProcess::~OstradaProcess() {
  if (process_.hProcess != nullptr) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      // A test that failed half-way leaves the program running; it must not outlive the test.
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, kStepTimeoutMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

HWND OstradaProcess::MainWindow(DWORD timeoutMs) {
  if (main_ != nullptr && IsWindow(main_) != FALSE) {
    return main_;
  }
  WaitUntil(
      [this] {
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, nullptr, "VIEW PDF")) != nullptr) {
          DWORD pid = 0;
          GetWindowThreadProcessId(found, &pid);
          if (pid == process_.dwProcessId) {
            main_ = found;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return main_;
}

DWORD OstradaProcess::ThreadId() const {
  return main_ != nullptr ? GetWindowThreadProcessId(main_, nullptr) : process_.dwThreadId;
}

void OstradaProcess::Choose(std::int32_t field) {
  PostMessageA(MainWindow(), WM_COMMAND, static_cast<WPARAM>(field), 0);
}

std::optional<LogLine> OstradaProcess::WaitForLog(const std::function<bool(const LogLine&)>& match,
                                                  std::size_t from, DWORD timeoutMs) const {
  std::optional<LogLine> found;
  WaitUntil(
      [&] {
        const std::vector<LogLine> lines = Log();
        for (std::size_t i = from; i < lines.size(); ++i) {
          if (match(lines[i])) {
            found = lines[i];
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

std::vector<HWND> OstradaProcess::Dialogs() const {
  DialogSearch search{ThreadId(), main_, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<BoxContents> OstradaProcess::WaitForDialog(const std::function<bool(HWND)>& match,
                                                         DWORD timeoutMs) {
  MainWindow();
  std::optional<BoxContents> found;
  WaitUntil(
      [&] {
        for (const HWND dialog : Dialogs()) {
          if (!match || match(dialog)) {
            found = ReadBox(dialog);
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool OstradaProcess::Press(HWND dialog, int button, DWORD timeoutMs) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  return WaitUntil(
      [dialog] { return IsWindow(dialog) == FALSE || IsWindowVisible(dialog) == FALSE; },
      timeoutMs);
}

std::optional<DWORD> OstradaProcess::WaitForExit(DWORD timeoutMs) const {
  if (process_.hProcess == nullptr ||
      WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

BoxContents ReadBox(HWND box) {
  BoxContents contents;
  contents.window = box;
  contents.caption = WindowText(box);
  if (const HWND text = GetDlgItem(box, kMessageTextId); text != nullptr) {
    contents.text = WindowText(text);
  }
  return contents;
}

HWND FileNameEdit(HWND dialog) {
  HWND control = GetDlgItem(dialog, kFileNameId);
  // ComboBoxEx32 > ComboBox > Edit, all with the same id; or a plain edit.
  for (int depth = 0; control != nullptr && depth < 3; ++depth) {
    if (ClassOf(control) == "Edit") {
      return control;
    }
    control = FindWindowExA(control, nullptr, nullptr, nullptr);
  }
  return nullptr;
}

bool AnswerFileDialog(OstradaProcess& program, const std::string& path) {
  const auto dialog = program.WaitForDialog([](HWND d) { return FileNameEdit(d) != nullptr; });
  if (!dialog) {
    return false;
  }
  if (path.empty()) {
    return OstradaProcess::Press(dialog->window, IDCANCEL);
  }
  SendMessageTimeoutA(FileNameEdit(dialog->window), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, kStepTimeoutMs,
                      nullptr);
  return OstradaProcess::Press(dialog->window, IDOK);
}

bool SaveWindowPng(HWND window, const std::string& path) {
  RECT rect{};
  if (GetWindowRect(window, &rect) == FALSE) {
    return false;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) {
    return false;
  }
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return standin::WritePng(path, width, height, pixels);
}

RECT MainWindowDialogRect(int x, int y, int width, int height) {
  // An empty dialog with the main window's font, only to ask the dialog manager for its units.
  std::vector<WORD> dialog(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(dialog.data());
  header->style = DS_SETFONT | WS_POPUP;
  header->cx = 10;
  header->cy = 10;
  dialog.push_back(0);  // no menu
  dialog.push_back(0);  // default class
  dialog.push_back(0);  // no title
  dialog.push_back(8);  // point size
  for (const char c : std::string("MS Sans Serif")) {
    dialog.push_back(static_cast<WORD>(c));
  }
  dialog.push_back(0);
  header = reinterpret_cast<DLGTEMPLATE*>(dialog.data());
  const HWND probe =
      CreateDialogIndirectParamA(GetModuleHandleA(nullptr), header, nullptr, ProbeProc, 0);
  RECT rect{x, y, x + width, y + height};
  MapDialogRect(probe, &rect);
  DestroyWindow(probe);
  return rect;
}

}  // namespace lvx::test
