// Control type codes of the toolkit: each control of a window is one of these kinds, decided from
// its window class and style when the window opens (or, for a control made later, when it is
// first asked about).
#ifndef LUMIVEX_DEMO_TOOLKIT_CONTROL_KINDS_H
#define LUMIVEX_DEMO_TOOLKIT_CONTROL_KINDS_H

#include <windows.h>

#include <cstdint>

namespace lvx::toolkit {

inline constexpr std::int32_t kKindNone = 0;       // no control has the number
inline constexpr std::int32_t kKindLine = 1;       // static etched line
inline constexpr std::int32_t kKindLabel = 2;      // static text
inline constexpr std::int32_t kKindImage = 3;      // static icon or bitmap
inline constexpr std::int32_t kKindRegion = 4;     // region: shows nothing, takes no input
inline constexpr std::int32_t kKindBox = 6;        // static frame or filled rectangle
inline constexpr std::int32_t kKindEntry = 8;      // single-line edit
inline constexpr std::int32_t kKindButton = 9;     // push button
inline constexpr std::int32_t kKindCheck = 12;     // check box
inline constexpr std::int32_t kKindGroup = 13;     // group box
inline constexpr std::int32_t kKindList = 14;      // list box
inline constexpr std::int32_t kKindCombo = 15;     // combo box with an edit field
inline constexpr std::int32_t kKindSpin = 16;      // up-down control
inline constexpr std::int32_t kKindText = 17;      // multi-line edit
inline constexpr std::int32_t kKindOther = 18;     // any other window class
inline constexpr std::int32_t kKindMenu = 19;      // menu or submenu (menu bar title included)
inline constexpr std::int32_t kKindMenuItem = 20;  // menu item
inline constexpr std::int32_t kKindRadio = 21;     // radio button
inline constexpr std::int32_t kKindDropList = 34;  // drop-down list without an edit field

// The window class of region controls (registered by the toolkit's Session).
inline constexpr const char* kRegionClass = "LvxRegion";

// The kind of an existing child window.
std::int32_t KindOfWindow(HWND control);

}  // namespace lvx::toolkit

#endif
