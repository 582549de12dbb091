#include "host_adapter.h"

#include "message_box.h"

namespace lvx::toolkit {
namespace {

template <typename Handle>
std::int32_t Value(Handle handle) noexcept {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace

void HostAdapter::SetPixelUnits(std::uint8_t on) { window_.SetPixelUnits(on != 0); }

void HostAdapter::ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                                  std::int32_t* width, std::int32_t* height) {
  const Placement placement = window_.ControlPlacement(control);
  *x = placement.x;
  *y = placement.y;
  *width = placement.width;
  *height = placement.height;
}

std::int32_t HostAdapter::ClientWindow() { return Value(window_.Handle()); }

LvxAddressValue HostAdapter::InstanceHandle() {
  return reinterpret_cast<LvxAddressValue>(GetModuleHandleA(nullptr));
}

std::int32_t HostAdapter::SetControlWindow(std::int16_t control, std::int32_t window) {
  // Window handles travel as 32-bit values.
  auto* const handle = reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
  return window_.AdoptWindow(control, handle);
}

std::int32_t HostAdapter::ControlWindow(std::int16_t control) {
  return Value(window_.ControlHandle(control));
}

void HostAdapter::ShowMessage(const char* text) {
  toolkit::ShowMessage(window_.Handle(), text != nullptr ? text : "");
}

}  // namespace lvx::toolkit
