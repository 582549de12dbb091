// Drawing one page sheet with GDI, on the screen or on a printer: the white sheet, each text run
// at its position and size in a GDI font of its family, and highlights under marked text.
#ifndef LUMIVEX_STANDIN_PAGE_PAINTER_H
#define LUMIVEX_STANDIN_PAGE_PAINTER_H

#include <windows.h>

#include <list>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gdi_objects.h"
#include "shown_document.h"
#include "text_search.h"

namespace lvx::standin {

struct DrawingResources;

// The text runs of the last few pages drawn, so that scrolling does not read pages again.
class RunCache {
 public:
  const std::vector<pdf::TextRun>& Get(const ShownDocument& document, int page);
  void Clear() { pages_.clear(); }

 private:
  static constexpr std::size_t kPages = 12;
  std::list<std::pair<int, std::vector<pdf::TextRun>>> pages_;  // most recently used first
};

// GDI fonts by face, pixel height, direction and style; at most a few dozen live at once.
class FontCache {
 public:
  HFONT Get(const pdf::TextRun& run, int pixelHeight, int escapement);
  void Clear() { fonts_.clear(); }

 private:
  static constexpr std::size_t kFonts = 48;
  std::map<std::string, GdiObject<HFONT>> fonts_;
};

// Where a sheet goes on the device context: its top left corner and the scale.
struct SheetPlacement {
  int left = 0;
  int top = 0;
  double pixelsPerPoint = 1;
  pdf::PageGeometry geometry;
};

struct Highlight {
  RunSpan span;
  COLORREF color = RGB(255, 235, 59);
};

// The sheet's box on the device context.
RECT SheetRect(const SheetPlacement& placement);

// Draws the white sheet (with a frame and a shadow when `framed`), the highlights, then the
// page's drawing when there is one (drawing_painter.h), else its text runs.
void PaintSheet(HDC dc, const SheetPlacement& placement, std::span<const pdf::TextRun> runs,
                FontCache& fonts, std::span<const Highlight> highlights, bool framed,
                const pdf::DisplayList* drawing = nullptr, DrawingResources* resources = nullptr);

// The box that a highlight covers on the device context (empty when the run is not drawn).
RECT HighlightRect(HDC dc, const SheetPlacement& placement, std::span<const pdf::TextRun> runs,
                   FontCache& fonts, const RunSpan& span);

}  // namespace lvx::standin

#endif
