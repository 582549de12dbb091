#include "drawing_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "gdi_objects.h"
#include "gdi_paths.h"
#include "page_layout.h"

namespace lvx::standin {
namespace {

// Below this pixel height text is not legible: a grey line stands for it, as for text runs.
constexpr double kSmallestText = 4;
constexpr COLORREF kGreyedText = RGB(160, 160, 160);
constexpr int kMaxStrips = 256;
constexpr int kRingSegments = 48;
// Clips saved at once (each saved state holds a copy of the clip region): a clip nested deeper
// is left out.
constexpr int kMaxClipSaves = 1024;

class Painter {
 public:
  Painter(HDC dc, const SheetPlacement& placement, DrawingResources& resources)
      : dc_(dc), map_(SheetMap(placement)), sheet_(SheetRect(placement)), resources_(resources) {}
  ~Painter() {
    // Back to the state before the first clip that was saved.
    const auto first =
        std::find_if(clips_.begin(), clips_.end(), [](int level) { return level > 0; });
    if (first != clips_.end()) {
      RestoreDC(dc_, *first);
    }
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;
  Painter(Painter&&) = delete;
  Painter& operator=(Painter&&) = delete;

  void operator()(const pdf::FillCommand& fill) const {
    const GdiObject<HBRUSH> brush(CreateSolidBrush(ToColour(fill.colour, fill.alpha)));
    const Selection selected(dc_, brush.Get());
    SetRule(dc_, fill.rule);
    const RECT box = BuildPath(dc_, map_, fill.path);
    FillPath(dc_);
    if (box.right - box.left < 2 || box.bottom - box.top < 2) {
      // A fill thinner than a pixel (a rule drawn as a rectangle) still shows as a line.
      BuildPath(dc_, map_, fill.path);
      const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ToColour(fill.colour, fill.alpha)));
      const Selection line(dc_, pen.Get());
      StrokePath(dc_);
    }
  }

  void operator()(const pdf::StrokeCommand& stroke) const {
    const GdiObject<HPEN> pen(MakePen(stroke.style, ToColour(stroke.colour, stroke.alpha)));
    const Selection selected(dc_, pen.Get());
    SetMiterLimit(dc_, static_cast<FLOAT>(stroke.style.miterLimit), nullptr);
    BuildPath(dc_, map_, stroke.path);
    StrokePath(dc_);
  }

  // Each clip is applied only when the state before it was saved, so that its RestoreClip can
  // undo it. A clip whose state could not be saved (GDI refused, or kMaxClipSaves are open) is
  // left out, and its RestoreClip restores nothing: the clips around it stay in force.
  void operator()(const pdf::ClipCommand& clip) {
    clips_.push_back(0);
    const int level = saved_ < kMaxClipSaves ? SaveDC(dc_) : 0;
    if (level == 0) {
      return;
    }
    clips_.back() = level;
    ++saved_;
    if (clip.path.Empty()) {
      const GdiObject<HRGN> nothing(CreateRectRgn(0, 0, 0, 0));
      ExtSelectClipRgn(dc_, nothing.Get(), RGN_AND);
      return;
    }
    SetRule(dc_, clip.rule);
    BuildPath(dc_, map_, clip.path);
    SelectClipPath(dc_, RGN_AND);
  }

  void operator()(const pdf::RestoreClip& /*restore*/) {
    if (clips_.empty()) {
      return;
    }
    const int level = clips_.back();
    clips_.pop_back();
    if (level > 0) {
      RestoreDC(dc_, level);
      --saved_;
    }
  }

  void operator()(const pdf::ImageCommand& image) const {
    PaintImage(dc_, map_, image, resources_.pictures);
  }

  void operator()(const pdf::ShadingCommand& shading) const;
  void operator()(const pdf::TextCommand& text) const;

 private:
  [[nodiscard]] HPEN MakePen(const pdf::StrokeStyle& style, COLORREF colour) const {
    const double width = style.width * Scale(map_);
    if (width < 1.5 && style.dash.empty()) {
      return CreatePen(PS_SOLID, 1, colour);
    }
    DWORD type = PS_GEOMETRIC;
    switch (style.cap) {
      case pdf::LineCap::kRound:
        type |= PS_ENDCAP_ROUND;
        break;
      case pdf::LineCap::kSquare:
        type |= PS_ENDCAP_SQUARE;
        break;
      default:
        type |= PS_ENDCAP_FLAT;
        break;
    }
    switch (style.join) {
      case pdf::LineJoin::kRound:
        type |= PS_JOIN_ROUND;
        break;
      case pdf::LineJoin::kBevel:
        type |= PS_JOIN_BEVEL;
        break;
      default:
        type |= PS_JOIN_MITER;
        break;
    }
    std::vector<DWORD> dashes;
    for (int round = 0; round < (style.dash.size() % 2 == 1 ? 2 : 1); ++round) {
      for (const double d : style.dash) {
        dashes.push_back(static_cast<DWORD>(std::max(1L, std::lround(d * Scale(map_)))));
      }
    }
    if (dashes.size() > 16) {
      dashes.resize(16);
    }
    type |= dashes.empty() ? PS_SOLID : PS_USERSTYLE;
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    return ExtCreatePen(type, static_cast<DWORD>(std::max(1L, std::lround(width))), &brush,
                        static_cast<DWORD>(dashes.size()),
                        dashes.empty() ? nullptr : dashes.data());
  }

  void FillPolygon(const std::vector<POINT>& points, COLORREF colour) const {
    const GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    const GdiObject<HPEN> pen(CreatePen(PS_NULL, 0, 0));
    const Selection b(dc_, brush.Get());
    const Selection p(dc_, pen.Get());
    Polygon(dc_, points.data(), static_cast<int>(points.size()));
  }

  void FillSheet(COLORREF colour) const {
    const GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc_, &sheet_, brush.Get());
  }

  // Where the last text drawn ended on the device, along its baseline.
  struct TextEnd {
    bool valid = false;
    double endX = 0, endY = 0;
    double dirX = 1, dirY = 0;
  };

  HDC dc_;
  DeviceMap map_;
  RECT sheet_;
  DrawingResources& resources_;
  mutable TextEnd lastText_;
  // Per clip in force, innermost last: the SaveDC level to restore, 0 when it was not saved.
  std::vector<int> clips_;
  int saved_ = 0;  // entries of clips_ that were saved
};

void Painter::operator()(const pdf::ShadingCommand& shading) const {
  if (shading.ramp.empty()) {
    return;
  }
  const SavedDcState saved(dc_);
  if (!shading.area.Empty()) {
    SetRule(dc_, shading.rule);
    BuildPath(dc_, map_, shading.area);
    SelectClipPath(dc_, RGN_AND);
  }
  // Shading space to device.
  const pdf::Affine& s = shading.shadingSpace;
  const DeviceMap toDevice{
      s.a * map_.a + s.b * map_.c,          s.a * map_.b + s.b * map_.d,
      s.c * map_.a + s.d * map_.c,          s.c * map_.b + s.d * map_.d,
      s.e * map_.a + s.f * map_.c + map_.e, s.e * map_.b + s.f * map_.d + map_.f};
  const auto colourAt = [&shading](double t) {
    const auto last = static_cast<double>(shading.ramp.size() - 1);
    return ToColour(
        shading.ramp[static_cast<std::size_t>(std::lround(std::clamp(t, 0.0, 1.0) * last))]);
  };
  if (shading.kind == pdf::ShadingCommand::Kind::kFlat) {
    FillSheet(colourAt(0));
    return;
  }
  const double scale = Scale(toDevice);
  if (scale <= 0 || !std::isfinite(scale)) {
    return;
  }
  const double diagonal = std::hypot(sheet_.right - sheet_.left, sheet_.bottom - sheet_.top);
  if (shading.kind == pdf::ShadingCommand::Kind::kAxial) {
    const double dx = shading.to.x - shading.from.x;
    const double dy = shading.to.y - shading.from.y;
    const double length = std::hypot(dx, dy);
    if (length <= 0) {
      return;
    }
    // Strips across the axis, each in the colour of its middle; long enough to cover the sheet.
    const double nx = -dy / length;
    const double ny = dx / length;
    const double reach = 4 * diagonal / scale;
    const int strips = std::clamp(static_cast<int>(length * scale / 2), 2, kMaxStrips);
    const auto strip = [&](double t0, double t1, COLORREF colour) {
      const double ax = shading.from.x + dx * t0;
      const double ay = shading.from.y + dy * t0;
      const double bx = shading.from.x + dx * t1;
      const double by = shading.from.y + dy * t1;
      FillPolygon({Device(toDevice, {ax + nx * reach, ay + ny * reach}),
                   Device(toDevice, {bx + nx * reach, by + ny * reach}),
                   Device(toDevice, {bx - nx * reach, by - ny * reach}),
                   Device(toDevice, {ax - nx * reach, ay - ny * reach})},
                  colour);
    };
    const double beyond = reach / length;
    if (shading.extendStart) {
      strip(-beyond, 0, colourAt(0));
    }
    for (int i = 0; i < strips; ++i) {
      const double t0 = static_cast<double>(i) / strips;
      const double t1 = static_cast<double>(i + 1) / strips;
      // Each strip overlaps the next by a little, so that no hair-line gap shows between them.
      strip(t0, std::min(1.0, t1 + 0.5 / strips), colourAt((t0 + t1) / 2));
    }
    if (shading.extendEnd) {
      strip(1, 1 + beyond, colourAt(1));
    }
    return;
  }
  // Radial: discs from the outer circle inwards, each in its colour.
  if (shading.extendEnd) {
    FillSheet(colourAt(1));
  }
  const double largest = std::max(shading.r0, shading.r1) * scale;
  const int rings = std::clamp(static_cast<int>(largest / 2), 2, kMaxStrips);
  for (int i = rings; i >= 0; --i) {
    const double t = static_cast<double>(i) / rings;
    const double cx = shading.from.x + (shading.to.x - shading.from.x) * t;
    const double cy = shading.from.y + (shading.to.y - shading.from.y) * t;
    const double r = shading.r0 + (shading.r1 - shading.r0) * t;
    if (r <= 0) {
      continue;
    }
    std::vector<POINT> circle;
    for (int k = 0; k < kRingSegments; ++k) {
      const double angle = 2 * std::numbers::pi * k / kRingSegments;
      circle.push_back(Device(toDevice, {cx + r * std::cos(angle), cy + r * std::sin(angle)}));
    }
    FillPolygon(circle, colourAt(t));
  }
}

void Painter::operator()(const pdf::TextCommand& text) const {
  if (!text.font || text.glyphs.empty()) {
    return;
  }
  // The baseline and the em's height on the device.
  const pdf::Affine& m = text.matrix;
  const double ux = m.a * map_.a + m.b * map_.c;
  const double uy = m.a * map_.b + m.b * map_.d;
  const double vx = m.c * map_.a + m.d * map_.c;
  const double vy = m.c * map_.b + m.d * map_.d;
  const double alongLength = std::hypot(ux, uy);
  // The em's height across the baseline.
  const double height = alongLength > 0 ? std::fabs(ux * vy - uy * vx) / alongLength : 0;
  if (height <= 0 || !std::isfinite(height)) {
    return;
  }
  const double dirX = ux / alongLength;
  const double dirY = uy / alongLength;
  const double startX = map_.X(text.glyphs.front().origin.x, text.glyphs.front().origin.y);
  const double startY = map_.Y(text.glyphs.front().origin.x, text.glyphs.front().origin.y);
  if (height < kSmallestText) {
    const pdf::TextCommand::Glyph& last = text.glyphs.back();
    const double endX = map_.X(last.origin.x, last.origin.y) + dirX * last.advance * Scale(map_);
    const double endY = map_.Y(last.origin.x, last.origin.y) + dirY * last.advance * Scale(map_);
    const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, kGreyedText));
    const Selection selected(dc_, pen.Get());
    MoveToEx(dc_, static_cast<int>(std::lround(startX)), static_cast<int>(std::lround(startY)),
             nullptr);
    LineTo(dc_, static_cast<int>(std::lround(endX)), static_cast<int>(std::lround(endY)));
    return;
  }
  if (text.font->outlines && PaintTextOutlines(dc_, map_, text)) {
    return;
  }
  // GDI turns text counter-clockwise with the y axis up.
  const int escapement =
      static_cast<int>(std::lround(std::atan2(-dirY, dirX) * 1800 / std::numbers::pi));
  const int pixels = static_cast<int>(std::lround(height));

  // Each glyph's offset along the baseline from the first, in whole pixels.
  const auto offsetOf = [&](const pdf::TextCommand::Glyph& glyph) {
    const double x = map_.X(glyph.origin.x, glyph.origin.y) - startX;
    const double y = map_.Y(glyph.origin.x, glyph.origin.y) - startY;
    return x * dirX + y * dirY;
  };
  const HFONT embedded = resources_.embedded.Font(text.font, pixels, (escapement + 3600) % 3600);
  bool byGlyph = embedded != nullptr;
  for (const auto& glyph : text.glyphs) {
    byGlyph = byGlyph && glyph.glyphId >= 0 && glyph.glyphId <= 0xFFFF;
  }
  // The characters (or glyph indices) and each one's place along the baseline, in whole pixels
  // from the first glyph; a glyph of several characters (a ligature) shares its advance.
  std::vector<WCHAR> codes;
  std::vector<long> places;
  long end = 0;
  // Word gaps that the page makes by moving the text, not with a space, get a space character
  // in them: text taken from the drawing (a printout, for one) then keeps its words apart.
  const double wordGap = 0.15 * height;
  const auto isSpace = [](const pdf::TextCommand::Glyph& glyph) { return glyph.text == " "; };
  if (!byGlyph && lastText_.valid && !isSpace(text.glyphs.front()) &&
      lastText_.dirX * dirX + lastText_.dirY * dirY > 0.99) {
    const double dx = startX - lastText_.endX;
    const double dy = startY - lastText_.endY;
    const double along = dx * dirX + dy * dirY;
    const double across = std::fabs(-dx * dirY + dy * dirX);
    if (along > wordGap && along < 3 * height && across < 0.2 * height) {
      codes.push_back(L' ');
      places.push_back(std::lround(-along));
    }
  }
  for (std::size_t i = 0; i < text.glyphs.size(); ++i) {
    const auto& glyph = text.glyphs[i];
    const double here = offsetOf(glyph);
    const double width = glyph.advance * Scale(map_);
    const double next = i + 1 < text.glyphs.size() ? offsetOf(text.glyphs[i + 1]) : here + width;
    std::vector<WCHAR> units;
    if (byGlyph) {
      units.push_back(static_cast<WCHAR>(glyph.glyphId));
    } else if (!glyph.text.empty()) {
      const int count = MultiByteToWideChar(CP_UTF8, 0, glyph.text.data(),
                                            static_cast<int>(glyph.text.size()), nullptr, 0);
      units.resize(static_cast<std::size_t>(std::max(0, count)));
      MultiByteToWideChar(CP_UTF8, 0, glyph.text.data(), static_cast<int>(glyph.text.size()),
                          units.data(), count);
    }
    const bool gap = !byGlyph && !units.empty() && i + 1 < text.glyphs.size() && !isSpace(glyph) &&
                     !isSpace(text.glyphs[i + 1]) && next - (here + width) > wordGap;
    const double filled = gap ? here + width : next;
    for (std::size_t k = 0; k < units.size(); ++k) {
      codes.push_back(units[k]);
      places.push_back(std::lround(here + (filled - here) * static_cast<double>(k) /
                                              static_cast<double>(units.size())));
    }
    if (gap) {
      codes.push_back(L' ');
      places.push_back(std::lround(filled));
    }
    if (!units.empty()) {
      end = std::lround(next);
    }
  }
  const pdf::TextCommand::Glyph& last = text.glyphs.back();
  lastText_ = {true, map_.X(last.origin.x, last.origin.y) + dirX * last.advance * Scale(map_),
               map_.Y(last.origin.x, last.origin.y) + dirY * last.advance * Scale(map_), dirX,
               dirY};
  if (codes.empty()) {
    return;
  }
  std::vector<INT> advances(codes.size());
  for (std::size_t i = 0; i < codes.size(); ++i) {
    advances[i] = static_cast<INT>((i + 1 < codes.size() ? places[i + 1] : end) - places[i]);
  }
  const double firstOffset = codes.empty() ? 0.0 : static_cast<double>(places.front());
  const int x = static_cast<int>(std::lround(startX + dirX * firstOffset));
  const int y = static_cast<int>(std::lround(startY + dirY * firstOffset));
  HFONT font = embedded;
  if (!byGlyph) {
    pdf::TextRun run;
    run.fontFamily = text.font->family;
    run.bold = text.font->bold;
    run.italic = text.font->italic;
    font = resources_.fonts.Get(run, pixels, (escapement + 3600) % 3600);
  }
  const Selection selected(dc_, font);
  SetTextColor(dc_, ToColour(text.colour));
  const UINT options = byGlyph ? ETO_GLYPH_INDEX : 0;
  if (text.fill || !text.stroke) {
    ExtTextOutW(dc_, x, y, options, nullptr, codes.data(), static_cast<UINT>(codes.size()),
                advances.data());
    return;
  }
  // Outlined text: the glyphs' outlines stroked with a thin pen.
  BeginPath(dc_);
  ExtTextOutW(dc_, x, y, options, nullptr, codes.data(), static_cast<UINT>(codes.size()),
              advances.data());
  EndPath(dc_);
  const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ToColour(text.strokeColour)));
  const Selection line(dc_, pen.Get());
  StrokePath(dc_);
}

}  // namespace

DeviceMap SheetMap(const SheetPlacement& placement) {
  const SheetPoint origin = PageToSheet(placement.geometry, 0, 0, placement.pixelsPerPoint);
  const SheetPoint xUnit = PageToSheet(placement.geometry, 1, 0, placement.pixelsPerPoint);
  const SheetPoint yUnit = PageToSheet(placement.geometry, 0, 1, placement.pixelsPerPoint);
  return {xUnit.x - origin.x, xUnit.y - origin.y,        yUnit.x - origin.x,
          yUnit.y - origin.y, placement.left + origin.x, placement.top + origin.y};
}

void PaintDrawing(HDC dc, const SheetPlacement& placement, const pdf::DisplayList& list,
                  DrawingResources& resources) {
  const SavedDcState saved(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  Painter painter(dc, placement, resources);
  for (const pdf::DrawCommand& command : list.commands) {
    std::visit(painter, command);
  }
}

}  // namespace lvx::standin
