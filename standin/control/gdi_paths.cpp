#include "gdi_paths.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "gdi_objects.h"

namespace lvx::standin {
namespace {

// Device coordinates are kept within this many pixels, far beyond any sheet.
constexpr double kFarthest = 1 << 24;
// Text drawn from outlines below this many pixels to the em gets an edge (PaintTextOutlines).
constexpr double kEdgedText = 20;

}  // namespace

COLORREF ToColour(pdf::Rgb rgb, double alpha) {
  if (alpha < 1) {
    const auto over = [alpha](std::uint8_t c) {
      return static_cast<BYTE>(std::lround(c * alpha + 255 * (1 - alpha)));
    };
    return RGB(over(rgb.r), over(rgb.g), over(rgb.b));
  }
  return RGB(rgb.r, rgb.g, rgb.b);
}

double Scale(const DeviceMap& map) { return std::sqrt(std::fabs(map.a * map.d - map.b * map.c)); }

POINT Device(const DeviceMap& map, pdf::Point p) {
  const double x = std::clamp(map.X(p.x, p.y), -kFarthest, kFarthest);
  const double y = std::clamp(map.Y(p.x, p.y), -kFarthest, kFarthest);
  return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
}

RECT BuildPath(HDC dc, const DeviceMap& map, const pdf::Path& path) {
  RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  const auto extend = [&box](POINT p) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  };
  BeginPath(dc);
  std::size_t at = 0;
  POINT curve[3];
  for (const pdf::PathVerb verb : path.verbs) {
    switch (verb) {
      case pdf::PathVerb::kMove: {
        const POINT p = Device(map, path.points[at++]);
        MoveToEx(dc, p.x, p.y, nullptr);
        extend(p);
        break;
      }
      case pdf::PathVerb::kLine: {
        const POINT p = Device(map, path.points[at++]);
        LineTo(dc, p.x, p.y);
        extend(p);
        break;
      }
      case pdf::PathVerb::kCurve:
        for (POINT& p : curve) {
          p = Device(map, path.points[at++]);
          extend(p);
        }
        PolyBezierTo(dc, curve, 3);
        break;
      case pdf::PathVerb::kClose:
        CloseFigure(dc);
        break;
    }
  }
  EndPath(dc);
  return box;
}

void SetRule(HDC dc, pdf::FillRule rule) {
  SetPolyFillMode(dc, rule == pdf::FillRule::kEvenOdd ? ALTERNATE : WINDING);
}

bool PaintTextOutlines(HDC dc, const DeviceMap& map, const pdf::TextCommand& text) {
  const bool printer = GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
  const pdf::Path path = pdf::TextOutlinesOnPage(text, printer);
  if (!path.Empty()) {
    SetRule(dc, pdf::FillRule::kNonZero);
    if (text.fill) {
      // GDI fills the pixels whose centres lie inside, without shades of grey: at small sizes
      // stems thinner than a pixel would vanish, so the glyphs get a one-pixel edge as well.
      const pdf::Affine& m = text.matrix;
      const double em = std::sqrt(std::fabs(m.a * m.d - m.b * m.c)) * Scale(map);
      const COLORREF colour = ToColour(text.colour);
      const GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
      const GdiObject<HPEN> edge(em < kEdgedText ? CreatePen(PS_SOLID, 1, colour)
                                                 : CreatePen(PS_NULL, 0, 0));
      const Selection b(dc, brush.Get());
      const Selection p(dc, edge.Get());
      BuildPath(dc, map, path);
      StrokeAndFillPath(dc);
    }
    if (text.stroke) {
      const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ToColour(text.strokeColour)));
      const Selection line(dc, pen.Get());
      BuildPath(dc, map, path);
      StrokePath(dc);
    }
  }
  return !printer;
}

}  // namespace lvx::standin
