// The resolution a viewer window is shown at, and the sizes that follow from it. Every size of the
// viewer's own (panels, buttons, margins, the gap between sheets, scroll steps) is given for
// 96 dpi and scaled to the window's DPI; the panel font is made for that DPI. The system calls of
// newer systems (GetDpiForWindow, GetSystemMetricsForDpi, SystemParametersInfoForDpi) are looked up
// at run time, so the viewer loads on systems without them, and answers from the window's device
// context there. Nothing here changes the process's or the thread's DPI awareness: that is the
// host program's to choose.
#ifndef LUMIVEX_STANDIN_VIEWER_DPI_H
#define LUMIVEX_STANDIN_VIEWER_DPI_H

#include <windows.h>

#include "gdi_objects.h"

namespace lvx::standin {

inline constexpr int kBaseDpi = 96;  // the DPI the viewer's sizes are given for

// The DPI `window` is shown at, as the system reports it to the window: GetDpiForWindow where the
// system has it, else the logical pixels per inch of the window's device context; 96 when neither
// answers.
int WindowDpi(HWND window);

// `value`, given for 96 dpi, at `dpi` (rounded to the nearest pixel).
int ScaleToDpi(int value, int dpi);

// A system metric (SM_CXVSCROLL, ...) at `dpi`: GetSystemMetricsForDpi where the system has it,
// else the system's metric scaled from the screen's DPI.
int SystemMetricForDpi(int index, int dpi);

// The font of the viewer's panels, buttons and lists at `dpi`: the system's message font for that
// DPI (SystemParametersInfoForDpi), else the message font at the screen's DPI scaled to `dpi`.
GdiObject<HFONT> MakePanelFont(int dpi);

}  // namespace lvx::standin

#endif
