// Modal message boxes and the simple beep of the toolkit.
#ifndef LUMIVEX_DEMO_TOOLKIT_MESSAGE_BOX_H
#define LUMIVEX_DEMO_TOOLKIT_MESSAGE_BOX_H

#include <windows.h>

#include <string>
#include <string_view>

namespace lvx::toolkit {

// The text as the box shows it: each vertical bar becomes a line break.
std::string MessageText(std::string_view text);

// Shows a modal box with `text`, the caption (empty when none is given), no icon and an OK
// button, owned by `owner`; returns when the user has closed it.
void ShowMessage(HWND owner, std::string_view text, std::string_view caption = {});

// Shows "Not enough memory." with the caption "Error", owned by `owner`, without needing any
// memory of its own to do so.
void ShowOutOfMemory(HWND owner) noexcept;

// The system's simple beep.
void Beep() noexcept;

}  // namespace lvx::toolkit

#endif
