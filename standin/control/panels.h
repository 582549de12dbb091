// The viewer window's parts: the view panel (zoom buttons and the current page), the navigation
// panel (a page list that jumps to a page), the property panel (facts about the document), the two
// scroll bars and the page area; created with the window, placed by the view options and the
// window's size.
#ifndef LUMIVEX_STANDIN_PANELS_H
#define LUMIVEX_STANDIN_PANELS_H

#include <windows.h>

#include <string>

#include "viewer_state.h"

namespace lvx::standin {

// Registers the panel window class (once per module); false on failure.
bool RegisterPanelClass(HINSTANCE module);
void UnregisterPanelClass(HINSTANCE module);

// Makes the panel font and the parts' sizes for `dpi` (viewer_dpi.h) and gives every part that
// exists the new font. Nothing when the viewer has them for that DPI already; answers whether
// anything changed. The caller places the parts again.
bool ApplyDpi(ViewerState& state, int dpi);

// Creates every part as a hidden child of the viewer window, in the panel font (ApplyDpi first).
void CreateParts(ViewerState& state);

// Places and shows or hides the parts for the window's size and view options.
void PlaceParts(ViewerState& state);

// "Page 2 of 6", or "No document".
std::string PageLabel(const ViewerState& state);
// The current page in the view panel and in the navigation panel's list, and to accessibility
// clients.
void ShowPageNumber(ViewerState& state);
// One list entry per page of the shown document.
void FillPageList(const ViewerState& state);
// The document's facts in the property panel.
void ShowProperties(const ViewerState& state);

// WM_COMMAND from a part (a zoom button, the page list). Answers whether it was one.
bool OnPartCommand(ViewerState& state, int id, int notification);

}  // namespace lvx::standin

#endif
