// Scrolling the page area: by the scroll bars, the mouse wheel and the keyboard (arrows, Page Up
// and Page Down, Home and End). The scroll bars always follow the position, shown or not.
#ifndef LUMIVEX_STANDIN_SCROLLING_H
#define LUMIVEX_STANDIN_SCROLLING_H

#include <windows.h>

#include "viewer_state.h"

namespace lvx::standin {

// Moves the view to (x, y) in layout pixels, within the layout. When `followPage`, the page that
// now shows most becomes the current page.
void ScrollTo(ViewerState& state, int x, int y, bool followPage = true);
void ScrollBy(ViewerState& state, int dx, int dy);

// Sets the scroll bars' ranges, page sizes and positions from the layout.
void UpdateScrollBars(const ViewerState& state);

// WM_VSCROLL / WM_HSCROLL from one of the bars (`vertical` tells which).
void OnScrollBar(ViewerState& state, bool vertical, int request);
// WM_MOUSEWHEEL (or WM_MOUSEHWHEEL when `horizontal`); with Ctrl held the wheel zooms.
void OnWheel(ViewerState& state, int delta, WPARAM keys, bool horizontal);
// WM_KEYDOWN; answers whether the key was one of the scrolling keys.
bool OnKey(ViewerState& state, WPARAM key);

}  // namespace lvx::standin

#endif
