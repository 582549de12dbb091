// Sending protocol commands to the viewer window, and the conversions between the interface's
// handle values (32-bit window handles, pointer-sized module handles) and Win32 handles.
#ifndef LUMIVEX_WRAPPER_VIEWER_CHANNEL_H
#define LUMIVEX_WRAPPER_VIEWER_CHANNEL_H

#include <windows.h>

#include <cstdint>

#include "lumivexctl/lvx_types.h"
#include "viewer_protocol.h"

namespace lvx {

inline HWND ToHwnd(std::int32_t value) noexcept {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
}
inline HMODULE ToModule(LvxAddressValue value) noexcept { return reinterpret_cast<HMODULE>(value); }
inline LvxAddressValue ToAddressValue(HMODULE module) noexcept {
  return reinterpret_cast<LvxAddressValue>(module);
}
template <typename Handle>
std::int32_t ToHandleValue(Handle handle) noexcept {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

// Sends a command that carries a number (or, for VCMD_PAGETEXT, an address) and answers the
// viewer's result as a signed 32-bit value. A window value of 0 delivers nothing and yields 0.
std::int32_t SendCommand(std::int32_t window, ViewerCommand command,
                         std::intptr_t argument) noexcept;

// Sends a command that carries a NUL-terminated string owned by the caller.
std::int32_t SendString(std::int32_t window, ViewerCommand command, const char* text) noexcept;

// Sends a code the caller chose (zoom and print-feature codes are forwarded unchanged) with the
// number message and lParam 0.
std::int32_t ForwardCode(std::int32_t window, std::int32_t code) noexcept;

// The owner for dialogs and message boxes: the top-level window that holds the viewer window, or,
// when there is no viewer window, the calling thread's active window (null when it has none).
HWND OwnerFor(std::int32_t window) noexcept;

}  // namespace lvx

#endif
