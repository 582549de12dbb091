// A page's drawing: its content streams and then its annotations' appearances, interpreted for
// the drawing sink into a display list (lvxpdf/display_list.h). Past the limits of
// page_limits.h the rest is not drawn and the list says it was truncated.
#ifndef LVXPDF_PAGE_DRAWING_H
#define LVXPDF_PAGE_DRAWING_H

#include "graphics_fonts.h"
#include "lvxpdf/display_list.h"
#include "page_tree.h"

namespace lvx::pdf {

class PdfFile;

// `fonts` keeps the document's fonts from page to page.
DisplayList DrawPage(PdfFile& file, DrawingFontCache& fonts, const PageInfo& page);

}  // namespace lvx::pdf

#endif
