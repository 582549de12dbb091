// The page area's view of the document: which document is shown, the zoom factor and page layout
// worked out for the page area's size, the current page, and going to a page or to found text.
#ifndef LUMIVEX_STANDIN_PAGE_VIEW_H
#define LUMIVEX_STANDIN_PAGE_VIEW_H

#include <cstdint>

#include "viewer_state.h"

namespace lvx::standin {

// Shows `document` (null: none) from its first page. Search position, marks and caches start
// afresh; the zoom setting stays.
void ShowDocument(ViewerState& state, const ShownDocument* document);

// After pages were added to the end of the shown document (code 102): shows them too, and keeps
// the view, the search position and the marks (which now cover the new pages as well).
void AddPages(ViewerState& state);

// Works the zoom factor and the layout out again (after a zoom command, a resize or a change of
// the view options), keeping the current page where it was in the page area.
void RefreshLayout(ViewerState& state);

// Applies a zoom command; answers false for a code that is not one.
bool ApplyZoom(ViewerState& state, std::int32_t code);

// Makes `page` (0-based) the current page and scrolls its top into view.
void GoToPage(ViewerState& state, int page);

// Scrolls so that the text found last is in view, and makes its page the current one.
void RevealFound(ViewerState& state);

// The page area's size in pixels.
int AreaWidth(const ViewerState& state);
int AreaHeight(const ViewerState& state);

// Sheet `page` in the page area's client coordinates (as scrolled now).
Box SheetOnScreen(const ViewerState& state, int page);

}  // namespace lvx::standin

#endif
