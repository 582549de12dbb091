// Drawing a page's display list with GDI: paths (BeginPath, PolyBezierTo, FillPath, StrokePath
// with geometric pens of the path's width, caps, joins, miter limit and dash), clipping
// (SelectClipPath, saved and restored with SaveDC / RestoreDC), images (image_painter.h),
// shadings as strips and rings of their colours, and text glyph by glyph in a face of the
// platform or the document's own embedded face (embedded_fonts.h).
#ifndef LUMIVEX_STANDIN_DRAWING_PAINTER_H
#define LUMIVEX_STANDIN_DRAWING_PAINTER_H

#include <windows.h>

#include <list>
#include <memory>
#include <utility>

#include "embedded_fonts.h"
#include "image_painter.h"
#include "lvxpdf/display_list.h"
#include "page_painter.h"
#include "shown_document.h"

namespace lvx::standin {

// The drawings of the pages drawn last, so that scrolling does not interpret pages again: at
// most kPages of them, within kDrawingCacheBytes (memory_budget.h) by DisplayListBytes. A page
// whose drawing alone is larger than that is drawn but not kept.
class DrawingCache {
 public:
  std::shared_ptr<const pdf::DisplayList> Get(const ShownDocument& document, int page);
  void Clear() {
    pages_.clear();
    bytes_ = 0;
  }
  // The bytes of the drawings held.
  [[nodiscard]] std::size_t Bytes() const { return bytes_; }

 private:
  static constexpr std::size_t kPages = 4;
  struct Entry {
    int page = 0;
    std::shared_ptr<const pdf::DisplayList> drawing;
    std::size_t bytes = 0;
  };
  std::list<Entry> pages_;
  std::size_t bytes_ = 0;
};

// What drawing keeps between pages: GDI fonts, embedded faces, decoded pictures.
struct DrawingResources {
  FontCache fonts;
  EmbeddedFonts embedded;
  PictureCache pictures;
};

// The device map of a sheet: page space to the device context's pixels.
DeviceMap SheetMap(const SheetPlacement& placement);

// Draws the list onto the sheet; clipping and modes of `dc` are as before afterwards.
void PaintDrawing(HDC dc, const SheetPlacement& placement, const pdf::DisplayList& list,
                  DrawingResources& resources);

}  // namespace lvx::standin

#endif
