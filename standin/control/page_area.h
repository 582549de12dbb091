// The page area: the child window that shows the pages on a grey background, painted through an
// off-screen bitmap (no flicker), and that takes the mouse wheel and the scrolling keys.
#ifndef LUMIVEX_STANDIN_PAGE_AREA_H
#define LUMIVEX_STANDIN_PAGE_AREA_H

#include <windows.h>

#include <vector>

#include "page_painter.h"
#include "viewer_state.h"

namespace lvx::standin {

// What the page area (and the viewer window that passes its focus on) asks of a dialog: the arrow
// keys, which scroll. Tab, Enter, Esc and characters stay the dialog's (its mnemonics work while
// the pages have the focus); Page Up/Down and Home/End reach the page area without asking.
inline constexpr LRESULT kPageAreaDialogCode = DLGC_WANTARROWS;

bool RegisterPageAreaClass(HINSTANCE module);
void UnregisterPageAreaClass(HINSTANCE module);

// A hidden page area, child `id` of the viewer window.
HWND CreatePageArea(HWND viewer, int id);

// Draws the whole view (background, visible sheets, marks) for a client area of the given size.
void DrawView(HDC dc, const RECT& client, ViewerState& state);

// The highlights of page `page`: every marked occurrence, then the text found last.
std::vector<Highlight> HighlightsOn(ViewerState& state, int page);

}  // namespace lvx::standin

#endif
