// The viewer's answers to the protocol's view, search, printing and box commands.
#ifndef LUMIVEX_STANDIN_VIEWER_COMMANDS_H
#define LUMIVEX_STANDIN_VIEWER_COMMANDS_H

#include <windows.h>

#include <cstdint>

#include "viewer_state.h"

namespace lvx::standin {

// Carries out command `code` that arrived with `message` (WM_VIEWER_COMMAND or
// WM_VIEWER_STRCOMMAND; for the latter `argument` is the string's address, null read as empty).
// Answers the command's result; 0 for codes it does not know. May show a modal box: `state` must
// not be used by the caller after it returns (see ShowPropertiesBox).
LRESULT HandleViewerCommand(ViewerState& state, UINT message, std::int32_t code, LPARAM argument);

// Code 50: shows or hides the scroll bars and panels.
void ApplyViewOptions(ViewerState& state, std::int32_t options);

}  // namespace lvx::standin

#endif
