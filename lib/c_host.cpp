#include "c_host.h"

namespace lvx {

bool ServiceTableHost::IsComplete(const LvxHostServices& services) noexcept {
  return services.set_pixel_units != nullptr && services.control_position != nullptr &&
         services.client_window != nullptr && services.instance_handle != nullptr &&
         services.set_control_window != nullptr && services.control_window != nullptr &&
         services.show_message != nullptr;
}

void ServiceTableHost::SetPixelUnits(std::uint8_t on) noexcept {
  services_.set_pixel_units(services_.context, on);
}

void ServiceTableHost::ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                                       std::int32_t* width, std::int32_t* height) noexcept {
  services_.control_position(services_.context, control, x, y, width, height);
}

std::int32_t ServiceTableHost::ClientWindow() noexcept {
  return services_.client_window(services_.context);
}

LvxAddressValue ServiceTableHost::InstanceHandle() noexcept {
  return services_.instance_handle(services_.context);
}

std::int32_t ServiceTableHost::SetControlWindow(std::int16_t control,
                                                std::int32_t window) noexcept {
  return services_.set_control_window(services_.context, control, window);
}

std::int32_t ServiceTableHost::ControlWindow(std::int16_t control) noexcept {
  return services_.control_window(services_.context, control);
}

void ServiceTableHost::ShowMessage(const char* text) noexcept {
  services_.show_message(services_.context, text);
}

void ObservedHost::SetPixelUnits(std::uint8_t on) noexcept {
  if (on != 0) {
    reachedPlacement_ = true;
  }
  inner_.SetPixelUnits(on);
}

void ObservedHost::ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                                   std::int32_t* width, std::int32_t* height) noexcept {
  inner_.ControlPosition(control, x, y, width, height);
}

std::int32_t ObservedHost::ClientWindow() noexcept { return inner_.ClientWindow(); }

LvxAddressValue ObservedHost::InstanceHandle() noexcept { return inner_.InstanceHandle(); }

std::int32_t ObservedHost::SetControlWindow(std::int16_t control, std::int32_t window) noexcept {
  return inner_.SetControlWindow(control, window);
}

std::int32_t ObservedHost::ControlWindow(std::int16_t control) noexcept {
  return inner_.ControlWindow(control);
}

void ObservedHost::ShowMessage(const char* text) noexcept { inner_.ShowMessage(text); }

}  // namespace lvx
