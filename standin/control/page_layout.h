// Continuous vertical layout of the page sheets: one column, or rows of two pages side by side,
// each sheet at its own size (MediaBox with the page's rotation) times the zoom factor, with a gap
// around every sheet; centred when the page area is wider. Pure arithmetic.
#ifndef LUMIVEX_STANDIN_PAGE_LAYOUT_H
#define LUMIVEX_STANDIN_PAGE_LAYOUT_H

#include <span>
#include <vector>

#include "lvxpdf/document.h"
#include "panel_layout.h"
#include "zoom.h"

namespace lvx::standin {

inline constexpr int kSheetGap = 12;  // pixels between sheets and around them, at 96 dpi
// The laid-out pages stay within this many pixels each way, so that positions fit in an int with
// room to spare: the zoom factor is lowered for documents that would be larger.
inline constexpr double kMaxLayoutPixels = 1 << 30;

// A page as shown: points, rotation applied (a page turned by 90 or 270 degrees swaps its sides).
// A side that is not a finite positive number counts as US Letter's; sides are kept between
// 1 and 200,000 points.
struct SheetSize {
  double width = 0;
  double height = 0;
};
SheetSize ShownSize(const pdf::PageGeometry& geometry);

// A point of page space (points, origin at the MediaBox's bottom left, y up) as an offset from the
// sheet's top left corner in pixels, for the page's rotation (clockwise) and `pixelsPerPoint`.
struct SheetPoint {
  double x = 0;
  double y = 0;
};
SheetPoint PageToSheet(const pdf::PageGeometry& geometry, double x, double y,
                       double pixelsPerPoint);
// The direction of text on the turned sheet, in tenths of a degree counter-clockwise (as GDI
// fonts take it).
int TextEscapement(int rotation);

struct PageLayout {
  std::vector<Box> sheets;  // one per page, in document pixels (origin: top left of the layout)
  int width = 0;            // size of the whole layout, at least the page area's
  int height = 0;
  int columns = 1;
};

// `pixelsPerPoint`: the zoom factor times the screen's pixels per point (96 / 72 at 96 dpi);
// `gap`: pixels between the sheets and around them.
PageLayout LayOutSheets(std::span<const SheetSize> sheets, int columns, double pixelsPerPoint,
                        int areaWidth, int areaHeight, int gap = kSheetGap);

// The factor, in percent, of a fitting mode: page width fits the widest sheet to the area's width;
// whole page fits sheet `current` entirely; two pages fits the row holding `current` entirely.
// Within the zoom limits; 100 when there is nothing to fit. For the fixed mode: `fixedPercent`.
double EffectivePercent(ZoomMode mode, double fixedPercent, std::span<const SheetSize> sheets,
                        int current, int areaWidth, int areaHeight, double screenPixelsPerPoint,
                        int gap = kSheetGap);

// The largest factor, in percent, at which the layout of `sheets` in `columns` columns stays within
// kMaxLayoutPixels.
double LargestPercent(std::span<const SheetSize> sheets, int columns, double screenPixelsPerPoint,
                      int gap = kSheetGap);

// The sheet that shows the most of itself in the band [top, top + height); ties go to the earlier
// sheet. -1 when none is visible.
int MostVisibleSheet(const PageLayout& layout, int top, int height);

}  // namespace lvx::standin

#endif
