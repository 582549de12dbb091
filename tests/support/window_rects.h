// Window rectangles for checks and failure messages.
#ifndef LUMIVEX_TESTS_WINDOW_RECTS_H
#define LUMIVEX_TESTS_WINDOW_RECTS_H

#include <windows.h>

#include <string>

namespace lvx::test {

// A child window's rectangle in `parent`'s client coordinates (works across processes).
RECT ChildRect(HWND parent, HWND child);
// The same in its own parent's client coordinates.
inline RECT ChildRect(HWND child) { return ChildRect(GetParent(child), child); }

// "x,y widthxheight", for failure messages.
std::string Describe(const RECT& rect);

}  // namespace lvx::test

#endif
