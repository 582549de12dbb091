#include "scrolling.h"

#include <algorithm>
#include <climits>

#include "page_view.h"
#include "panels.h"
#include "viewer_protocol.h"

namespace lvx::standin {
namespace {

// Sets a bar's range, page and position when they changed. The bar repaints with the next paint,
// not at once: a synchronous repaint per change costs milliseconds.
void SetBar(HWND bar, int length, int page, int position) {
  if (bar == nullptr) {
    return;
  }
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(bar, SB_CTL, &info);
  const int last = std::max(0, length - 1);
  const auto pageSize = static_cast<UINT>(std::max(0, page));
  if (info.nMin == 0 && info.nMax == last && info.nPage == pageSize && info.nPos == position) {
    return;
  }
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = last;
  info.nPage = pageSize;
  info.nPos = position;
  SetScrollInfo(bar, SB_CTL, &info, FALSE);
  InvalidateRect(bar, nullptr, TRUE);
}

int TrackPosition(HWND bar, int fallback) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  return bar != nullptr && GetScrollInfo(bar, SB_CTL, &info) != FALSE ? info.nTrackPos : fallback;
}

int WheelLines() {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return lines == WHEEL_PAGESCROLL ? 10 : static_cast<int>(lines);
}

}  // namespace

void UpdateScrollBars(const ViewerState& state) {
  SetBar(state.parts.verticalBar, state.layout.height, AreaHeight(state), state.scrollY);
  SetBar(state.parts.horizontalBar, state.layout.width, AreaWidth(state), state.scrollX);
}

void ScrollTo(ViewerState& state, int x, int y, bool followPage) {
  const int maxX = std::max(0, state.layout.width - AreaWidth(state));
  const int maxY = std::max(0, state.layout.height - AreaHeight(state));
  x = std::clamp(x, 0, maxX);
  y = std::clamp(y, 0, maxY);
  if (x != state.scrollX || y != state.scrollY) {
    state.scrollX = x;
    state.scrollY = y;
    if (state.parts.pageArea != nullptr) {
      InvalidateRect(state.parts.pageArea, nullptr, FALSE);
    }
  }
  UpdateScrollBars(state);
  if (followPage) {
    const int shown = MostVisibleSheet(state.layout, state.scrollY, AreaHeight(state));
    if (shown >= 0 && shown != state.currentPage) {
      state.currentPage = shown;
      ShowPageNumber(state);
    }
  }
}

void ScrollBy(ViewerState& state, int dx, int dy) {
  ScrollTo(state, state.scrollX + dx, state.scrollY + dy);
}

void OnScrollBar(ViewerState& state, bool vertical, int request) {
  const int position = vertical ? state.scrollY : state.scrollX;
  const int page =
      std::max(state.scale.scrollLine,
               (vertical ? AreaHeight(state) : AreaWidth(state)) - state.scale.scrollLine);
  int target = position;
  switch (request) {
    case SB_LINEUP:
      target -= state.scale.scrollLine;
      break;
    case SB_LINEDOWN:
      target += state.scale.scrollLine;
      break;
    case SB_PAGEUP:
      target -= page;
      break;
    case SB_PAGEDOWN:
      target += page;
      break;
    case SB_TOP:
      target = 0;
      break;
    case SB_BOTTOM:
      target = INT_MAX / 2;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      target =
          TrackPosition(vertical ? state.parts.verticalBar : state.parts.horizontalBar, position);
      break;
    default:
      return;
  }
  if (vertical) {
    ScrollTo(state, state.scrollX, target);
  } else {
    ScrollTo(state, target, state.scrollY);
  }
}

void OnWheel(ViewerState& state, int delta, WPARAM keys, bool horizontal) {
  if (!horizontal && (keys & MK_CONTROL) != 0) {
    ApplyZoom(state, delta > 0 ? VCMD_ZOOMIN.code : VCMD_ZOOMOUT.code);
    return;
  }
  const int pixels = delta * WheelLines() * state.scale.scrollLine / WHEEL_DELTA;
  if (horizontal) {
    ScrollBy(state, pixels, 0);  // tilting right gives a positive delta
  } else if ((keys & MK_SHIFT) != 0) {
    ScrollBy(state, -pixels, 0);
  } else {
    ScrollBy(state, 0, -pixels);  // rolling away from the user gives a positive delta
  }
}

bool OnKey(ViewerState& state, WPARAM key) {
  const int page = std::max(state.scale.scrollLine, AreaHeight(state) - state.scale.scrollLine);
  const bool wholePages = state.zoom.mode == ZoomMode::kWholePage && state.currentPage >= 0;
  switch (key) {
    case VK_UP:
      ScrollBy(state, 0, -state.scale.scrollLine);
      return true;
    case VK_DOWN:
      ScrollBy(state, 0, state.scale.scrollLine);
      return true;
    case VK_LEFT:
      ScrollBy(state, -state.scale.scrollLine, 0);
      return true;
    case VK_RIGHT:
      ScrollBy(state, state.scale.scrollLine, 0);
      return true;
    case VK_PRIOR:
      if (wholePages) {
        GoToPage(state, state.currentPage - 1);
      } else {
        ScrollBy(state, 0, -page);
      }
      return true;
    case VK_NEXT:
      if (wholePages) {
        GoToPage(state, state.currentPage + 1);
      } else {
        ScrollBy(state, 0, page);
      }
      return true;
    case VK_HOME:
      ScrollTo(state, state.scrollX, 0);
      return true;
    case VK_END:
      ScrollTo(state, state.scrollX, INT_MAX / 2);
      return true;
    default:
      return false;
  }
}

}  // namespace lvx::standin
