// The graphics state of content streams: the transformation, colours, line style, the clips in
// effect and the text state. Saved and restored whole by q and Q, by forms and glyph procedures.
#ifndef LVXPDF_CONTENT_STATE_H
#define LVXPDF_CONTENT_STATE_H

#include <cstddef>
#include <memory>

#include "font.h"
#include "graphics_colour.h"
#include "graphics_fonts.h"
#include "lvxpdf/display_list.h"
#include "matrix.h"
#include "object.h"

namespace lvx::pdf {

struct TextParams {
  std::shared_ptr<const Font> font;
  std::shared_ptr<const DrawingFont> drawing;  // only when the sink draws
  double size = 0;
  double charSpacing = 0;
  double wordSpacing = 0;
  double horizontalScale = 1;
  double leading = 0;
  double rise = 0;
  int mode = 0;
};

struct Paint {
  std::shared_ptr<const ColourSpace> space = ColourSpace::Device(ColourSpace::Family::kGray);
  Rgb rgb;
  Object pattern;  // the pattern resource when the space is Pattern
  double alpha = 1;
};

struct GState {
  Matrix ctm;
  Matrix base;  // the default space of the page or form being run (patterns are placed in it)
  Paint fill;
  Paint stroke;
  StrokeStyle style;      // in user space; scaled to page space when a path is stroked
  std::size_t clips = 0;  // clips in effect
  TextParams text;
};

}  // namespace lvx::pdf

#endif
