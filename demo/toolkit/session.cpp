#include "session.h"

#include "control_kinds.h"

namespace lvx::toolkit {
namespace {

// A region shows the window's background and lets the mouse through to what lies beneath.
LRESULT CALLBACK RegionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) {
    return HTTRANSPARENT;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Session::Session(HINSTANCE program) : program_(program) {
  WNDCLASSA klass{};
  klass.lpfnWndProc = RegionProc;
  klass.hInstance = program_;
  klass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  klass.lpszClassName = kRegionClass;
  registered_ = RegisterClassA(&klass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Session::~Session() { UnregisterClassA(kRegionClass, program_); }

}  // namespace lvx::toolkit
