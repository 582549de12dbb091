#include "page_layout.h"

#include <algorithm>
#include <cmath>

namespace lvx::standin {
namespace {

constexpr double kLargestSide = 200000;  // points

int Pixels(double points, double pixelsPerPoint) {
  return std::max(1, static_cast<int>(std::lround(points * pixelsPerPoint)));
}

// Factor (pixels per point) that fits a block of the given size into the area, with gaps.
double FitFactor(double width, double height, int areaWidth, int areaHeight, int gaps, int gap) {
  const double room = std::max(1, areaWidth - gaps * gap);
  double factor = width > 0 ? room / width : 0;
  if (height > 0 && areaHeight > 0) {
    factor = std::min(factor, std::max(1, areaHeight - 2 * gap) / height);
  }
  return factor;
}

}  // namespace

SheetSize ShownSize(const pdf::PageGeometry& geometry) {
  const auto side = [](double points, double otherwise) {
    return std::isfinite(points) && points > 0 ? std::clamp(points, 1.0, kLargestSide) : otherwise;
  };
  const double width = side(geometry.width, 612);
  const double height = side(geometry.height, 792);
  if (geometry.rotation == 90 || geometry.rotation == 270) {
    return {height, width};
  }
  return {width, height};
}

SheetPoint PageToSheet(const pdf::PageGeometry& geometry, double x, double y,
                       double pixelsPerPoint) {
  const double w = geometry.width;
  const double h = geometry.height;
  const double s = pixelsPerPoint;
  switch (geometry.rotation) {
    case 90:
      return {y * s, x * s};
    case 180:
      return {(w - x) * s, y * s};
    case 270:
      return {(h - y) * s, (w - x) * s};
    default:
      return {x * s, (h - y) * s};
  }
}

int TextEscapement(int rotation) {
  switch (rotation) {
    case 90:
      return 2700;
    case 180:
      return 1800;
    case 270:
      return 900;
    default:
      return 0;
  }
}

PageLayout LayOutSheets(std::span<const SheetSize> sheets, int columns, double pixelsPerPoint,
                        int areaWidth, int areaHeight, int gap) {
  PageLayout layout;
  layout.columns = columns == 2 ? 2 : 1;
  layout.sheets.reserve(sheets.size());
  const std::size_t count = sheets.size();
  const auto perRow = static_cast<std::size_t>(layout.columns);

  // First pass: the widest row decides the layout's width.
  int widest = 0;
  for (std::size_t row = 0; row < count; row += perRow) {
    int rowWidth = 0;
    for (std::size_t i = row; i < std::min(row + perRow, count); ++i) {
      rowWidth += Pixels(sheets[i].width, pixelsPerPoint) + (i > row ? gap : 0);
    }
    widest = std::max(widest, rowWidth);
  }
  layout.width = std::max(std::max(areaWidth, 0), widest + 2 * gap);

  int y = gap;
  for (std::size_t row = 0; row < count; row += perRow) {
    const std::size_t end = std::min(row + perRow, count);
    int rowWidth = 0;
    int rowHeight = 0;
    for (std::size_t i = row; i < end; ++i) {
      rowWidth += Pixels(sheets[i].width, pixelsPerPoint) + (i > row ? gap : 0);
      rowHeight = std::max(rowHeight, Pixels(sheets[i].height, pixelsPerPoint));
    }
    int x = (layout.width - rowWidth) / 2;
    for (std::size_t i = row; i < end; ++i) {
      const int w = Pixels(sheets[i].width, pixelsPerPoint);
      const int h = Pixels(sheets[i].height, pixelsPerPoint);
      layout.sheets.push_back({x, y, x + w, y + h});
      x += w + gap;
    }
    y += rowHeight + gap;
  }
  layout.height = std::max(std::max(areaHeight, 0), y);
  return layout;
}

double EffectivePercent(ZoomMode mode, double fixedPercent, std::span<const SheetSize> sheets,
                        int current, int areaWidth, int areaHeight, double screenPixelsPerPoint,
                        int gap) {
  if (mode == ZoomMode::kFixed) {
    return std::clamp(fixedPercent, kMinZoomPercent, kMaxZoomPercent);
  }
  if (sheets.empty() || screenPixelsPerPoint <= 0) {
    return 100;
  }
  const auto last = static_cast<int>(sheets.size()) - 1;
  const auto page = static_cast<std::size_t>(std::clamp(current, 0, last));
  double factor = 0;
  if (mode == ZoomMode::kPageWidth) {
    double widest = 0;
    for (const SheetSize& sheet : sheets) {
      widest = std::max(widest, sheet.width);
    }
    factor = FitFactor(widest, 0, areaWidth, 0, 2, gap);
  } else if (mode == ZoomMode::kWholePage) {
    factor = FitFactor(sheets[page].width, sheets[page].height, areaWidth, areaHeight, 2, gap);
  } else {
    const std::size_t first = page - page % 2;
    const std::size_t end = std::min(first + 2, sheets.size());
    double width = 0;
    double height = 0;
    for (std::size_t i = first; i < end; ++i) {
      width += sheets[i].width;
      height = std::max(height, sheets[i].height);
    }
    factor = FitFactor(width, height, areaWidth, areaHeight, 3, gap);
  }
  return std::clamp(factor / screenPixelsPerPoint * 100, kMinZoomPercent, kMaxZoomPercent);
}

double LargestPercent(std::span<const SheetSize> sheets, int columns, double screenPixelsPerPoint,
                      int gap) {
  const std::size_t perRow = columns == 2 ? 2 : 1;
  double height = 0;  // points, rows one under the other
  double width = 0;   // points, the widest row
  for (std::size_t row = 0; row < sheets.size(); row += perRow) {
    double rowHeight = 0;
    double rowWidth = 0;
    for (std::size_t i = row; i < std::min(row + perRow, sheets.size()); ++i) {
      rowHeight = std::max(rowHeight, sheets[i].height);
      rowWidth += sheets[i].width;
    }
    height += rowHeight;
    width = std::max(width, rowWidth);
  }
  const double gaps = static_cast<double>(sheets.size() + 2) * gap;
  const double room = kMaxLayoutPixels - gaps;
  const double largest = std::max(height, width) * screenPixelsPerPoint;
  return largest > 0 && room > 0 ? room / largest * 100 : kMaxZoomPercent;
}

int MostVisibleSheet(const PageLayout& layout, int top, int height) {
  const int bottom = top + std::max(height, 1);
  int best = -1;
  int bestShown = 0;
  // Sheets run down the layout (row tops never decrease): stop at the first one below the band.
  for (std::size_t i = 0; i < layout.sheets.size() && layout.sheets[i].top < bottom; ++i) {
    const Box& sheet = layout.sheets[i];
    const int shown = std::min(sheet.bottom, bottom) - std::max(sheet.top, top);
    if (shown > bestShown) {
      bestShown = shown;
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace lvx::standin
