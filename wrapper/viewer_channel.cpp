#include "viewer_channel.h"

namespace lvx {
namespace {

std::int32_t Deliver(std::int32_t window, std::uint32_t message, std::int32_t code,
                     LPARAM argument) noexcept {
  const LRESULT result = SendMessageA(ToHwnd(window), message, static_cast<WPARAM>(code), argument);
  return static_cast<std::int32_t>(result);
}

}  // namespace

std::int32_t SendCommand(std::int32_t window, ViewerCommand command,
                         std::intptr_t argument) noexcept {
  return Deliver(window, command.message, command.code, static_cast<LPARAM>(argument));
}

std::int32_t SendString(std::int32_t window, ViewerCommand command, const char* text) noexcept {
  return Deliver(window, command.message, command.code, reinterpret_cast<LPARAM>(text));
}

std::int32_t ForwardCode(std::int32_t window, std::int32_t code) noexcept {
  return Deliver(window, WM_VIEWER_COMMAND, code, 0);
}

HWND OwnerFor(std::int32_t window) noexcept {
  const HWND viewer = ToHwnd(window);
  if (viewer != nullptr && IsWindow(viewer) != FALSE) {
    return GetAncestor(viewer, GA_ROOT);
  }
  // No viewer window (the start failed, or after KILL): the window the user is working in. Without
  // an owner a modal dialog would leave that window enabled behind it, its menu and close box
  // acting while the dialog waits.
  return GetActiveWindow();
}

}  // namespace lvx
