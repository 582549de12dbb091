// Host adapter for plain Win32 programs: lets LUMIVEXCONTROL::INIT place the viewer over a
// control of any window (a dialog item, a static placeholder) without a toolkit. Header-only, so
// it compiles into the host program and the library's surface stays one class.
//
//   LvxWin32Host host(dialog);                // the window that holds the placeholder
//   viewer.INIT(host, IDC_PLACEHOLDER);       // the placeholder's dialog item id
//
// Positions are always pixels here; SetPixelUnits has nothing to switch.
#ifndef LUMIVEXCTL_WIN32_HOST_H
#define LUMIVEXCTL_WIN32_HOST_H

#include <windows.h>

#include <cstdint>

#include "adopt_window.h"
#include "host_window.h"

// No virtual destructor: the class is final and nothing deletes it through LvxHostWindow, whose
// destructor is protected.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class LvxWin32Host final : public LvxHostWindow {
 public:
  explicit LvxWin32Host(HWND parent) noexcept : parent_(parent) {}

  void SetPixelUnits(std::uint8_t /*on*/) noexcept override {}

  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override {
    RECT rect{};
    const HWND item = GetDlgItem(parent_, control);
    if (item != nullptr) {
      GetWindowRect(item, &rect);
      MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&rect), 2);
    }
    *x = rect.left;
    *y = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
  }

  std::int32_t ClientWindow() noexcept override { return Value(parent_); }

  LvxAddressValue InstanceHandle() noexcept override {
    return reinterpret_cast<LvxAddressValue>(GetModuleHandleA(nullptr));
  }

  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override {
    return LvxAdoptWindow(parent_, control,
                          reinterpret_cast<HWND>(static_cast<std::intptr_t>(window)));
  }

  std::int32_t ControlWindow(std::int16_t control) noexcept override {
    return Value(GetDlgItem(parent_, control));
  }

  void ShowMessage(const char* text) noexcept override { MessageBoxA(parent_, text, "", MB_OK); }

 private:
  template <typename Handle>
  static std::int32_t Value(Handle handle) noexcept {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
  }

  HWND parent_;
};

#endif
