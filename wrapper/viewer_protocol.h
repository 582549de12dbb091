// The command protocol between the wrapper and the viewer window: the two window messages and
// every command code, each bound once to the message that carries it. The wrapper's operations
// send only these constants; the stand-in viewer answers the same table.
#ifndef LUMIVEX_WRAPPER_VIEWER_PROTOCOL_H
#define LUMIVEX_WRAPPER_VIEWER_PROTOCOL_H

#include <cstdint>

namespace lvx {

inline constexpr std::uint32_t kWmUser = 0x0400;
// Command code in wParam; lParam a signed 32-bit argument (for code 261 a buffer's address).
inline constexpr std::uint32_t WM_VIEWER_COMMAND = kWmUser + 79;
// Command code in wParam; lParam the address of a NUL-terminated 8-bit string.
inline constexpr std::uint32_t WM_VIEWER_STRCOMMAND = kWmUser + 77;

struct ViewerCommand {
  std::int32_t code;
  std::uint32_t message;
};

inline constexpr ViewerCommand VCMD_PROPERTIES{1, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ABOUT{6, WM_VIEWER_COMMAND};
// lParam of VCMD_PRINTPAGES: first page + last page * 65536, 0 for all pages.
inline constexpr ViewerCommand VCMD_PRINTPAGES{31, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_SETPRINTER{35, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_PRINTSTART{36, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_PRINTFINISH{37, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOM100{41, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOMIN{42, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOMOUT{44, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOMWIDTH{45, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOMPAGE{46, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_ZOOMTWOPAGES{47, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_VIEWOPTIONS{50, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_CLEAR{100, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_LOADFILE{101, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_APPENDFILE{102, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_DISABLEPRINT{123, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_DISABLEHQPRINT{124, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_DISABLESELECTPRINTER{125, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_DISABLEDCPRINT{126, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_PAGECOUNT{201, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_FINDOPTION{253, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_FINDPRESET{254, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_FIND1{255, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_FIND2{256, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_MARKTEXT{257, WM_VIEWER_STRCOMMAND};
inline constexpr ViewerCommand VCMD_PAGETEXTLENGTH{260, WM_VIEWER_COMMAND};
inline constexpr ViewerCommand VCMD_PAGETEXT{261, WM_VIEWER_COMMAND};

// The VCMD_FINDPRESET argument: all bits set.
inline constexpr std::int32_t kFindPresetArgument = -1;

// Bits of the VCMD_VIEWOPTIONS argument.
inline constexpr std::int32_t kViewVerticalScrollBar = 1;
inline constexpr std::int32_t kViewHorizontalScrollBar = 2;
inline constexpr std::int32_t kViewViewPanel = 4;
inline constexpr std::int32_t kViewNavigationPanel = 8;
inline constexpr std::int32_t kViewPropertyPanel = 16;

// Fixed names of the viewer control library and its window class.
inline constexpr const char* kViewerLibraryName = "Lumivex01.dll";
inline constexpr const char* kViewerClassName = "Tarnvik_LUMIVEX_01";

// Sizes of the buffers in which strings travel to the viewer (NUL included).
inline constexpr std::int32_t kNameBufferSize = 256;    // file and printer names
inline constexpr std::int32_t kSearchBufferSize = 512;  // search text

}  // namespace lvx

#endif
