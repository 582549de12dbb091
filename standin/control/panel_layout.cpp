#include "panel_layout.h"

#include <algorithm>

#include "viewer_protocol.h"

namespace lvx::standin {

bool Overlap(const Box& a, const Box& b) {
  if (a.Empty() || b.Empty()) {
    return false;
  }
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PanelLayout LayOutPanels(int width, int height, std::int32_t options, const PanelMetrics& metrics) {
  const int w = std::max(width, 0);
  const int h = std::max(height, 0);
  const auto shown = [options](std::int32_t bit) { return (options & bit) != 0; };
  // Each side panel takes at most a quarter of the width, so the pages keep at least half.
  const auto share = [](int preferred, int available) {
    return std::clamp(std::min(preferred, available / 4), 0, available);
  };

  PanelLayout layout;
  const int top = shown(kViewViewPanel) ? std::clamp(metrics.viewPanelHeight, 0, h) : 0;
  layout.viewPanel = {0, 0, w, top};

  const int navigation = shown(kViewNavigationPanel) ? share(metrics.navigationWidth, w) : 0;
  const int property = shown(kViewPropertyPanel) ? share(metrics.propertyWidth, w) : 0;
  layout.navigationPanel = {0, top, navigation, h};
  layout.propertyPanel = {w - property, top, w, h};

  // The middle column between the side panels holds the pages and their scroll bars.
  const int left = navigation;
  const int right = w - property;
  const int vertical =
      shown(kViewVerticalScrollBar) ? std::clamp(metrics.scrollBarWidth, 0, right - left) : 0;
  const int horizontal =
      shown(kViewHorizontalScrollBar) ? std::clamp(metrics.scrollBarHeight, 0, h - top) : 0;
  layout.verticalBar = {right - vertical, top, right, h - horizontal};
  layout.horizontalBar = {left, h - horizontal, right - vertical, h};
  layout.corner = {right - vertical, h - horizontal, right, h};
  layout.pageArea = {left, top, right - vertical, h - horizontal};
  return layout;
}

}  // namespace lvx::standin
