/* Window adoption for host programs, in C and C++: the work of the host service that gives a
   control a new window (LvxHostWindow::SetControlWindow). LvxWin32Host (win32_host.h) uses it, and
   so can a host written in C that builds its own service table. */
#ifndef LUMIVEXCTL_ADOPT_WINDOW_H
#define LUMIVEXCTL_ADOPT_WINDOW_H

#include <windows.h>

#ifdef __cplusplus
#define LVX_ADOPT_INLINE inline
#define LVX_ADOPT_NO_WINDOW nullptr
#define LVX_ADOPT_LONG(value) static_cast<LONG>(value)
#else
#define LVX_ADOPT_INLINE static inline
#define LVX_ADOPT_NO_WINDOW NULL
#define LVX_ADOPT_LONG(value) ((LONG)(value))
#endif

/* Codes answered by LvxAdoptWindow. */
enum { LVX_ADOPT_OK = 0, LVX_ADOPT_NO_CONTROL = -1, LVX_ADOPT_NOT_A_WINDOW = -2 };

/* Makes `window` the window of control `id` in `parent`, in place of the control's current
   window: `window` becomes a child of `parent` with the old window's rectangle, identifier and
   place in the sibling order, shown if the old one was visible (hidden otherwise), without being
   activated; its frame is recomputed for the child style. The old window is destroyed. When
   `window` names no window the old window is still destroyed, so the control reports no window,
   and LVX_ADOPT_NOT_A_WINDOW is answered. */
LVX_ADOPT_INLINE int LvxAdoptWindow(HWND parent, int id, HWND window) {
  const HWND old = GetDlgItem(parent, id);
  RECT rect = {0, 0, 0, 0};
  POINT topLeft = {0, 0};
  POINT bottomRight = {0, 0};
  if (old == LVX_ADOPT_NO_WINDOW) {
    return LVX_ADOPT_NO_CONTROL;
  }
  GetWindowRect(old, &rect);
  topLeft.x = rect.left;
  topLeft.y = rect.top;
  bottomRight.x = rect.right;
  bottomRight.y = rect.bottom;
  ScreenToClient(parent, &topLeft);
  ScreenToClient(parent, &bottomRight);
  const HWND previous = GetWindow(old, GW_HWNDPREV);
  const int visible = (GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE) != 0;
  DestroyWindow(old);
  if (window == LVX_ADOPT_NO_WINDOW || IsWindow(window) == FALSE) {
    return LVX_ADOPT_NOT_A_WINDOW;
  }
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  SetWindowLongA(window, GWL_STYLE, (style & ~LVX_ADOPT_LONG(WS_POPUP)) | WS_CHILD);
  SetParent(window, parent);
  SetWindowLongA(window, GWL_ID, id);
  SetWindowPos(window, previous != LVX_ADOPT_NO_WINDOW ? previous : HWND_TOP, topLeft.x, topLeft.y,
               bottomRight.x - topLeft.x, bottomRight.y - topLeft.y,
               SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetWindowPos(window, LVX_ADOPT_NO_WINDOW, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  return LVX_ADOPT_OK;
}

#undef LVX_ADOPT_INLINE
#undef LVX_ADOPT_NO_WINDOW
#undef LVX_ADOPT_LONG

#endif
