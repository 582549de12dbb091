#include "page_painter.h"

#include <algorithm>
#include <cmath>

#include "drawing_painter.h"
#include "font_faces.h"
#include "page_layout.h"

namespace lvx::standin {
namespace {

// Below this pixel height text is not legible: a grey line stands for it.
constexpr int kSmallestText = 4;
constexpr COLORREF kSheetFrame = RGB(90, 90, 90);
constexpr COLORREF kSheetShadow = RGB(70, 70, 70);
constexpr COLORREF kGreyedText = RGB(160, 160, 160);

// Unit vectors on the sheet along the baseline and towards the ascent, for the page's rotation.
struct Direction {
  double alongX;
  double alongY;
  double upX;
  double upY;
};
Direction DirectionFor(int rotation) {
  switch (rotation) {
    case 90:
      return {0, 1, 1, 0};
    case 180:
      return {-1, 0, 0, 1};
    case 270:
      return {0, -1, -1, 0};
    default:
      return {1, 0, 0, -1};
  }
}

int PixelHeight(const pdf::TextRun& run, double pixelsPerPoint) {
  return static_cast<int>(std::lround(std::fabs(run.fontSize) * pixelsPerPoint));
}

void FillBox(HDC dc, const RECT& box, COLORREF color) {
  const GdiObject<HBRUSH> brush(CreateSolidBrush(color));
  FillRect(dc, &box, brush.Get());
}

// Per-character advances that stretch or squeeze the GDI font's natural widths to the width the
// PDF gives the run, so that runs keep their place in the line. Empty when not needed.
std::vector<int> FittedAdvances(HDC dc, const pdf::TextRun& run, double pixelsPerPoint) {
  std::vector<int> advances;
  const auto length = static_cast<int>(run.text.size());
  if (run.width <= 0 || length < 2) {
    return advances;
  }
  std::vector<int> ends(run.text.size());
  SIZE natural{};
  if (GetTextExtentExPointA(dc, run.text.data(), length, 0, nullptr, ends.data(), &natural) ==
          FALSE ||
      natural.cx <= 0) {
    return advances;
  }
  const double ratio = run.width * pixelsPerPoint / natural.cx;
  advances.resize(run.text.size());
  long previous = 0;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const long position = std::lround(ends[i] * ratio);
    advances[i] = static_cast<int>(position - previous);
    previous = position;
  }
  return advances;
}

void DrawRun(HDC dc, const SheetPlacement& placement, const pdf::TextRun& run, FontCache& fonts) {
  const int pixels = PixelHeight(run, placement.pixelsPerPoint);
  if (pixels <= 0 || run.text.empty()) {
    return;
  }
  const SheetPoint origin = PageToSheet(placement.geometry, run.x, run.y, placement.pixelsPerPoint);
  const int x = placement.left + static_cast<int>(std::lround(origin.x));
  const int y = placement.top + static_cast<int>(std::lround(origin.y));
  if (pixels < kSmallestText) {
    const double length =
        (run.width > 0 ? run.width
                       : 0.5 * std::fabs(run.fontSize) * static_cast<double>(run.text.size())) *
        placement.pixelsPerPoint;
    const Direction d = DirectionFor(placement.geometry.rotation);
    const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, kGreyedText));
    const Selection selected(dc, pen.Get());
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x + static_cast<int>(std::lround(d.alongX * length)),
           y + static_cast<int>(std::lround(d.alongY * length)));
    return;
  }
  const Selection font(dc, fonts.Get(run, pixels, TextEscapement(placement.geometry.rotation)));
  const std::vector<int> advances = FittedAdvances(dc, run, placement.pixelsPerPoint);
  ExtTextOutA(dc, x, y, 0, nullptr, run.text.data(), static_cast<UINT>(run.text.size()),
              advances.empty() ? nullptr : advances.data());
}

}  // namespace

const std::vector<pdf::TextRun>& RunCache::Get(const ShownDocument& document, int page) {
  const auto found = std::find_if(pages_.begin(), pages_.end(),
                                  [page](const auto& entry) { return entry.first == page; });
  if (found != pages_.end()) {
    pages_.splice(pages_.begin(), pages_, found);
  } else {
    pages_.emplace_front(page, document.Runs(page));
    if (pages_.size() > kPages) {
      pages_.pop_back();
    }
  }
  return pages_.front().second;
}

HFONT FontCache::Get(const pdf::TextRun& run, int pixelHeight, int escapement) {
  const std::string face = GdiFaceFor(run.fontFamily);
  const std::string key = face + '|' + std::to_string(pixelHeight) + '|' +
                          std::to_string(escapement) + '|' + (run.bold ? 'b' : '-') +
                          (run.italic ? 'i' : '-');
  if (const auto found = fonts_.find(key); found != fonts_.end()) {
    return found->second.Get();
  }
  if (fonts_.size() >= kFonts) {
    fonts_.clear();  // no font of the cache stays selected between runs
  }
  LOGFONTA font{};
  font.lfHeight = -pixelHeight;  // the em height, as the PDF font size is
  font.lfEscapement = escapement;
  font.lfOrientation = escapement;
  font.lfWeight = run.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = run.italic ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = ANTIALIASED_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  face.copy(font.lfFaceName, sizeof font.lfFaceName - 1);
  auto [entry, added] = fonts_.emplace(key, GdiObject<HFONT>(CreateFontIndirectA(&font)));
  return entry->second.Get();
}

RECT SheetRect(const SheetPlacement& placement) {
  const SheetSize size = ShownSize(placement.geometry);
  return {placement.left, placement.top,
          placement.left +
              std::max(1, static_cast<int>(std::lround(size.width * placement.pixelsPerPoint))),
          placement.top +
              std::max(1, static_cast<int>(std::lround(size.height * placement.pixelsPerPoint)))};
}

RECT HighlightRect(HDC dc, const SheetPlacement& placement, std::span<const pdf::TextRun> runs,
                   FontCache& fonts, const RunSpan& span) {
  if (span.run < 0 || static_cast<std::size_t>(span.run) >= runs.size()) {
    return {};
  }
  const pdf::TextRun& run = runs[static_cast<std::size_t>(span.run)];
  const int pixels = PixelHeight(run, placement.pixelsPerPoint);
  const std::size_t begin = std::min(span.begin, run.text.size());
  const std::size_t end = std::min(span.end, run.text.size());
  if (pixels <= 0 || begin >= end) {
    return {};
  }
  // Offsets along the baseline, in pixels, measured with the font that draws the run.
  double from = 0;
  double to = 0;
  {
    const Selection font(dc, fonts.Get(run, std::max(pixels, kSmallestText),
                                       TextEscapement(placement.geometry.rotation)));
    SIZE before{};
    SIZE through{};
    SIZE whole{};
    GetTextExtentPoint32A(dc, run.text.data(), static_cast<int>(begin), &before);
    GetTextExtentPoint32A(dc, run.text.data(), static_cast<int>(end), &through);
    GetTextExtentPoint32A(dc, run.text.data(), static_cast<int>(run.text.size()), &whole);
    const double ratio =
        run.width > 0 && whole.cx > 0 ? run.width * placement.pixelsPerPoint / whole.cx : 1.0;
    from = before.cx * ratio;
    to = through.cx * ratio;
  }
  const SheetPoint origin = PageToSheet(placement.geometry, run.x, run.y, placement.pixelsPerPoint);
  const Direction d = DirectionFor(placement.geometry.rotation);
  const double ascent = 0.9 * pixels;
  const double descent = 0.25 * pixels;
  const double x0 = placement.left + origin.x + d.alongX * from + d.upX * ascent;
  const double y0 = placement.top + origin.y + d.alongY * from + d.upY * ascent;
  const double x1 = placement.left + origin.x + d.alongX * to - d.upX * descent;
  const double y1 = placement.top + origin.y + d.alongY * to - d.upY * descent;
  return {static_cast<LONG>(std::floor(std::min(x0, x1))),
          static_cast<LONG>(std::floor(std::min(y0, y1))),
          static_cast<LONG>(std::ceil(std::max(x0, x1))),
          static_cast<LONG>(std::ceil(std::max(y0, y1)))};
}

void PaintSheet(HDC dc, const SheetPlacement& placement, std::span<const pdf::TextRun> runs,
                FontCache& fonts, std::span<const Highlight> highlights, bool framed,
                const pdf::DisplayList* drawing, DrawingResources* resources) {
  const RECT sheet = SheetRect(placement);
  if (framed) {
    const RECT shadow{sheet.left + 3, sheet.top + 3, sheet.right + 3, sheet.bottom + 3};
    FillBox(dc, shadow, kSheetShadow);
    const RECT frame{sheet.left - 1, sheet.top - 1, sheet.right + 1, sheet.bottom + 1};
    FillBox(dc, frame, kSheetFrame);
  }
  FillBox(dc, sheet, RGB(255, 255, 255));

  const SavedDcState saved(dc);
  IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
  for (const Highlight& highlight : highlights) {
    const RECT box = HighlightRect(dc, placement, runs, fonts, highlight.span);
    if (box.right > box.left && box.bottom > box.top) {
      FillBox(dc, box, highlight.color);
    }
  }
  if (drawing != nullptr && resources != nullptr) {
    PaintDrawing(dc, placement, *drawing, *resources);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);  // TA_NOUPDATECP is 0, the default
  for (const pdf::TextRun& run : runs) {
    DrawRun(dc, placement, run, fonts);
  }
}

}  // namespace lvx::standin
