#include "host_adapter.h"

#include <new>

#include "lumivexctl/adopt_window.h"
#include "message_box.h"

namespace lvx::toolkit {
namespace {

template <typename Handle>
std::int32_t Value(Handle handle) noexcept {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace

void HostAdapter::SetPixelUnits(std::uint8_t on) noexcept { window_.SetPixelUnits(on != 0); }

void HostAdapter::ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                                  std::int32_t* width, std::int32_t* height) noexcept {
  const Placement placement = window_.ControlPlacement(control);
  *x = placement.x;
  *y = placement.y;
  *width = placement.width;
  *height = placement.height;
}

std::int32_t HostAdapter::ClientWindow() noexcept { return Value(window_.Handle()); }

LvxAddressValue HostAdapter::InstanceHandle() noexcept {
  return reinterpret_cast<LvxAddressValue>(GetModuleHandleA(nullptr));
}

std::int32_t HostAdapter::SetControlWindow(std::int16_t control, std::int32_t window) noexcept {
  // Window handles travel as 32-bit values.
  auto* const handle = reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
  try {
    return window_.AdoptWindow(control, handle);
  } catch (const std::bad_alloc&) {
    // Nothing was adopted: INIT sees a failed service and ends answering 0.
    ShowOutOfMemory(window_.Handle());
    return LVX_ADOPT_NO_CONTROL;
  }
}

std::int32_t HostAdapter::ControlWindow(std::int16_t control) noexcept {
  return Value(window_.ControlHandle(control));
}

void HostAdapter::ShowMessage(const char* text) noexcept {
  try {
    toolkit::ShowMessage(window_.Handle(), text != nullptr ? text : "");
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(window_.Handle());
  }
}

}  // namespace lvx::toolkit
