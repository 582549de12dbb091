// The document-properties box (code 1) and the about box (code 6): modal message boxes owned by
// the host's top-level window.
#ifndef LUMIVEX_STANDIN_INFO_BOXES_H
#define LUMIVEX_STANDIN_INFO_BOXES_H

#include <windows.h>

#include <string>

namespace lvx::standin {

inline constexpr const char* kPropertiesCaption = "Document Properties";
inline constexpr const char* kAboutCaption = "About Lumivex Viewer";

// The top-level window that the viewer sits in; for a viewer that is itself top level, its owner.
HWND BoxOwner(HWND viewer);

// Both return when the user has closed the box. The viewer's state must not be used afterwards:
// the host may have destroyed the viewer meanwhile.
void ShowPropertiesBox(HWND viewer, const std::string& facts);
void ShowAboutBox(HWND viewer);

}  // namespace lvx::standin

#endif
