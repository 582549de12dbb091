// Glyph outlines placed on the page: each point of a glyph's outline (em units) goes through the
// text command's glyph-space matrix to the glyph's origin.
#include "lvxpdf/display_list.h"

namespace lvx::pdf {

Path TextOutlinesOnPage(const TextCommand& text, bool withoutText) {
  Path page;
  const Affine& m = text.matrix;
  for (const TextCommand::Glyph& glyph : text.glyphs) {
    if (!glyph.outline || (withoutText && !glyph.text.empty())) {
      continue;
    }
    page.verbs.insert(page.verbs.end(), glyph.outline->verbs.begin(), glyph.outline->verbs.end());
    for (const Point& p : glyph.outline->points) {
      page.points.push_back(
          {glyph.origin.x + p.x * m.a + p.y * m.c, glyph.origin.y + p.x * m.b + p.y * m.d});
    }
  }
  return page;
}

}  // namespace lvx::pdf
