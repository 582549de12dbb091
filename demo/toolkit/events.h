// The event numbers the toolkit's event loop reports.
#ifndef LUMIVEX_DEMO_TOOLKIT_EVENTS_H
#define LUMIVEX_DEMO_TOOLKIT_EVENTS_H

#include <cstdint>

namespace lvx::toolkit {

// A menu item was chosen (the chosen field tells which), or a control was accepted in the
// window's accept-all pass.
inline constexpr std::int32_t kEventAccepted = 1;
// A control's input failed its check; the event's control tells which.
inline constexpr std::int32_t kEventRejected = 26;
// The window was asked to close (close box, system menu, a close action); the last event.
inline constexpr std::int32_t kEventCloseDown = 514;
// The window has been opened; the first event.
inline constexpr std::int32_t kEventOpenWindow = 515;
// The window became the active window.
inline constexpr std::int32_t kEventGainFocus = 518;
// The window's size changed (not reported for minimising, see Window).
inline constexpr std::int32_t kEventSized = 561;

// Standard actions a menu item can carry instead of reporting itself as chosen.
inline constexpr std::int32_t kStandardClose = 15;

}  // namespace lvx::toolkit

#endif
