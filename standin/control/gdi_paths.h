// Paths of the display list on a GDI device context: page-space points to device pixels, a path
// made the context's current path, colours, and the glyph outlines of text drawn from outlines.
#ifndef LUMIVEX_STANDIN_GDI_PATHS_H
#define LUMIVEX_STANDIN_GDI_PATHS_H

#include <windows.h>

#include "image_painter.h"
#include "lvxpdf/display_list.h"

namespace lvx::standin {

// Partly transparent paint as if over white paper.
COLORREF ToColour(pdf::Rgb rgb, double alpha = 1);
// How many device pixels one page-space unit is, on average over directions.
double Scale(const DeviceMap& map);
// A page-space point on the device, kept within reach of GDI's coordinates.
POINT Device(const DeviceMap& map, pdf::Point p);
// Makes the path the device context's current path; answers its box on the device.
RECT BuildPath(HDC dc, const DeviceMap& map, const pdf::Path& path);
void SetRule(HDC dc, pdf::FillRule rule);

// Fills (and, for outlined text, strokes with a thin pen) the glyphs of a text command whose
// font is drawn from outlines; true when that is all the text needs. A printer gets the glyphs
// that have text as text instead (the caller draws them), so that a printout keeps its words,
// and only the others as outlines.
bool PaintTextOutlines(HDC dc, const DeviceMap& map, const pdf::TextCommand& text);

}  // namespace lvx::standin

#endif
