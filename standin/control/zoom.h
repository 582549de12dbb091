// The zoom setting of the viewer and how the zoom commands change it. Pure arithmetic.
//
// A setting is a mode, a factor in percent and the number of page columns (1, or 2 for two pages
// side by side). In the fitting modes the factor follows the window: it is worked out again from
// the page sizes and the page area whenever either changes.
#ifndef LUMIVEX_STANDIN_ZOOM_H
#define LUMIVEX_STANDIN_ZOOM_H

#include <cstdint>

namespace lvx::standin {

enum class ZoomMode : std::int32_t {
  kFixed = 0,      // the factor stays as set (100 %, or a step reached by zooming in or out)
  kPageWidth = 1,  // the widest page fills the page area's width
  kWholePage = 2,  // the current page fits the page area entirely
  kTwoPages = 3,   // pages in rows of two; the widest row fills the page area's width
};

inline constexpr double kMinZoomPercent = 10;
inline constexpr double kMaxZoomPercent = 1600;

struct ZoomSetting {
  ZoomMode mode = ZoomMode::kFixed;
  double percent = 100;
  int columns = 1;
  friend bool operator==(const ZoomSetting&, const ZoomSetting&) = default;
};

// The next step of the zoom ladder above (or below) `percent`, within the limits.
double NextZoomStep(double percent);
double PreviousZoomStep(double percent);

// Applies zoom command `code` (41 100 %, 42 in, 44 out, 45 page width, 46 whole page, 47 two pages)
// to `setting`. `percent` of the setting must be the factor in effect (for a fitting mode, the one
// it last worked out). Answers false, leaving the setting alone, for any other code. Zooming in or
// out leaves a fitting mode for a fixed factor and keeps the column count.
bool ApplyZoomCommand(ZoomSetting& setting, std::int32_t code);

}  // namespace lvx::standin

#endif
