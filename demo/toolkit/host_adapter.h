// The host-window services of a toolkit window, through which the viewer wrapper's INIT places
// the viewer over one of the window's controls.
#ifndef LUMIVEX_DEMO_TOOLKIT_HOST_ADAPTER_H
#define LUMIVEX_DEMO_TOOLKIT_HOST_ADAPTER_H

#include "lumivexctl/host_window.h"
#include "window.h"

namespace lvx::toolkit {

// No virtual destructor: the class is final and nothing deletes it through LvxHostWindow, whose
// destructor is protected.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class HostAdapter final : public LvxHostWindow {
 public:
  explicit HostAdapter(Window& window) noexcept : window_(window) {}

  // Pixel units on or off; off returns the window to dialog units, its default.
  void SetPixelUnits(std::uint8_t on) noexcept override;
  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override;
  std::int32_t ClientWindow() noexcept override;
  LvxAddressValue InstanceHandle() noexcept override;
  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override;
  std::int32_t ControlWindow(std::int16_t control) noexcept override;
  void ShowMessage(const char* text) noexcept override;

 private:
  Window& window_;
};

}  // namespace lvx::toolkit

#endif
