// The host window: the services through which LUMIVEXCONTROL::INIT places the viewer window in a
// program's window. The program's window layer implements this interface; a plain Win32 program
// can use LvxWin32Host (win32_host.h). Window handles are 32-bit values (only their low 32 bits
// are significant, on 64-bit Windows too); the instance handle is an address and as wide as a
// pointer. Control numbers are the host's own numbers for its controls (dialog item ids for a
// plain Win32 window).
//
// The services must not throw, and are declared noexcept: a service that throws ends the program
// (std::terminate) in the service itself. They are called from inside lumivexctl.dll, and in a
// 32-bit program an exception cannot travel from the program's code through the library's: each
// module carries its own copy of the runtime's unwinder (DWARF-2 tables, linked in statically),
// and the program's copy cannot see the library's frames, so the exception would end the program
// anyway, with no handler run. A host that reports failures by exceptions catches them inside the
// service and answers as a failed service does (0, or a negative code).
#ifndef LUMIVEXCTL_HOST_WINDOW_H
#define LUMIVEXCTL_HOST_WINDOW_H

#include <cstdint>

#include "lvx_types.h"

class LvxHostWindow {
 public:
  // 1. Pixel units on (not 0) or off. While they are on, ControlPosition answers in pixels;
  //    switching them off returns a window that is in pixels to its default unit.
  virtual void SetPixelUnits(std::uint8_t on) noexcept = 0;
  // 2. A control's x, y, width and height in the window's current unit, relative to the client
  //    area. A control that does not exist answers 0 for all four.
  virtual void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                               std::int32_t* width, std::int32_t* height) noexcept = 0;
  // 3. The window whose children the controls are (the client-area window).
  virtual std::int32_t ClientWindow() noexcept = 0;
  // 4. The module handle of the running program (not of any DLL).
  virtual LvxAddressValue InstanceHandle() noexcept = 0;
  // 5. Makes `window` the control's window in place of the one it had: the old window's
  //    rectangle, parent, place in the sibling order and identifier pass to the new window, which
  //    becomes a child window; the old window is destroyed. Answers 0 on success, or a negative
  //    code when the control does not exist (-1) or `window` names no window (-2); on -2 the
  //    control is left reporting no window.
  virtual std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept = 0;
  // 6. The control's window, 0 when it has none.
  virtual std::int32_t ControlWindow(std::int16_t control) noexcept = 0;
  // 7. A modal message box with this text, no caption and no icon, and one button.
  virtual void ShowMessage(const char* text) noexcept = 0;

 protected:
  LvxHostWindow() = default;
  LvxHostWindow(const LvxHostWindow&) = default;
  LvxHostWindow& operator=(const LvxHostWindow&) = default;
  LvxHostWindow(LvxHostWindow&&) = default;
  LvxHostWindow& operator=(LvxHostWindow&&) = default;
  // Not virtual on purpose: the interface's table holds exactly the seven services, and a host is
  // never destroyed through it.
  ~LvxHostWindow() = default;
};

#endif
