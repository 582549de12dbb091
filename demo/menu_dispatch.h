// The menu commands of the main window: each chosen field number runs one row of the dispatch
// table, calling the viewer's operations with fixed arguments and showing the four information
// boxes.
#ifndef LUMIVEX_DEMO_MENU_DISPATCH_H
#define LUMIVEX_DEMO_MENU_DISPATCH_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lumivexctl/lumivexcontrol.h"

namespace ostrada {

// The buffer of "Page Text": holds one only while that command runs (a buffer of the first
// page's text length, filled with spaces before the text is fetched into it).
struct PageText {
  std::optional<std::vector<char>> buffer;
};

// The longest first-page text "Page Text" fetches. A longer (or negative) length from the viewer
// gets no buffer and no fetch: the command then shows an empty message.
inline constexpr std::int32_t kPageTextLimit = 16 * 1024 * 1024;

// Runs the row of field `field` (nothing for 0, menu titles, "&Exit" and unknown numbers).
// Message boxes are owned by `owner`.
void DispatchCommand(std::int32_t field, LUMIVEXCONTROL& viewer, PageText& pageText, HWND owner);

// The texts of the information boxes.
std::string PageCountMessage(std::int32_t pages);
std::string PageTextLengthMessage(std::int32_t length);
std::string DocumentTextLengthMessage(std::int32_t length);

}  // namespace ostrada

#endif
