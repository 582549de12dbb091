#include "test_host_window.h"

#include <cstring>

#include "message_box_watcher.h"

namespace lvx::test {
namespace {

constexpr const char* kHostClass = "LvxTestHostWindow";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterHostClass() {
  static const ATOM atom = [] {
    WNDCLASSA klass{};
    klass.lpfnWndProc = HostProc;
    klass.hInstance = GetModuleHandleA(nullptr);
    klass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    klass.lpszClassName = kHostClass;
    return RegisterClassA(&klass);
  }();
  (void)atom;
}

struct ClassCount {
  const char* klass;
  int count;
};

BOOL CALLBACK CountIfOfClass(HWND window, LPARAM counting) {
  auto& state = *reinterpret_cast<ClassCount*>(counting);
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  state.count += std::strcmp(name, state.klass) == 0 ? 1 : 0;
  return TRUE;
}

BOOL CALLBACK CountInTopLevel(HWND window, LPARAM counting) {
  CountIfOfClass(window, counting);
  EnumChildWindows(window, CountIfOfClass, counting);
  return TRUE;
}

}  // namespace

HWND CreatePlainHostWindow(const char* title, int x, int y, int width, int height) {
  RegisterHostClass();
  return CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width,
                         height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TestHostWindow::TestHostWindow() : window_(CreatePlainHostWindow("Test host", 50, 50, 500, 400)) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 5, 2, 60, 14, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)), instance, nullptr);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, kPlaceholderRect.left,
                  kPlaceholderRect.top, kPlaceholderRect.right - kPlaceholderRect.left,
                  kPlaceholderRect.bottom - kPlaceholderRect.top, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPlaceholderId)), instance, nullptr);
  ShowWindow(window_, SW_SHOW);
  PumpMessages();
}

TestHostWindow::~TestHostWindow() {
  DestroyWindow(window_);
  PumpMessages();
}

void RecordingHost::SetPixelUnits(std::uint8_t on) noexcept {
  journal_.push_back("units " + std::to_string(on));
  ForwardingHost::SetPixelUnits(on);
}

void RecordingHost::ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                                    std::int32_t* width, std::int32_t* height) noexcept {
  journal_.push_back("position " + std::to_string(control));
  ForwardingHost::ControlPosition(control, x, y, width, height);
}

std::int32_t RecordingHost::ClientWindow() noexcept {
  journal_.emplace_back("client");
  return ForwardingHost::ClientWindow();
}

LvxAddressValue RecordingHost::InstanceHandle() noexcept {
  journal_.emplace_back("instance");
  return ForwardingHost::InstanceHandle();
}

std::int32_t RecordingHost::SetControlWindow(std::int16_t control, std::int32_t window) noexcept {
  journal_.push_back("adopt " + std::to_string(control));
  return ForwardingHost::SetControlWindow(control, window);
}

std::int32_t RecordingHost::ControlWindow(std::int16_t control) noexcept {
  journal_.push_back("window " + std::to_string(control));
  return ForwardingHost::ControlWindow(control);
}

void RecordingHost::ShowMessage(const char* text) noexcept {
  journal_.push_back(std::string("message ") + text);
  ForwardingHost::ShowMessage(text);
}

std::vector<std::string> RecordingHost::MessagesShown() const {
  std::vector<std::string> shown;
  for (const std::string& entry : journal_) {
    if (entry.rfind("message ", 0) == 0) {
      shown.push_back(entry.substr(8));
    }
  }
  return shown;
}

void PumpMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int CountThreadWindowsOfClass(const char* klass) {
  ClassCount counting{klass, 0};
  EnumThreadWindows(GetCurrentThreadId(), CountInTopLevel, reinterpret_cast<LPARAM>(&counting));
  return counting.count;
}

void BroadcastToTopLevelWindows() {
  static const UINT message = RegisterWindowMessageA("lvx.test.broadcast");
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
  PumpMessages();
}

}  // namespace lvx::test
