// The fonts of a page's drawing: for each font resource, the reader's Font (codes, widths,
// text), what a painter needs to draw it (DrawFont: family, style, an embedded TrueType or
// OpenType program with each code's glyph index), and for Type 3 fonts their glyph procedures.
#ifndef LVXPDF_GRAPHICS_FONTS_H
#define LVXPDF_GRAPHICS_FONTS_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "font.h"
#include "font_cache.h"
#include "lvxpdf/display_list.h"
#include "matrix.h"
#include "object.h"
#include "object_cache.h"

namespace lvx::pdf {

class PdfFile;

struct DrawingFont {
  std::shared_ptr<const Font> font;
  std::shared_ptr<const DrawFont> draw;
  // Each code's glyph index in draw->program (simple fonts: 256 codes; composite fonts: by CID
  // through cidToGid). Empty when the font has no usable program.
  std::vector<std::int32_t> codeToGid;
  bool composite = false;
  std::vector<std::uint16_t> cidToGid;  // empty: identity
  // Type 3 fonts.
  bool type3 = false;
  Matrix fontMatrix{0.001, 0, 0, 0.001, 0, 0};
  Object charProcs;  // dictionary
  Object resources;
  std::array<std::string, 256> glyphNames;

  [[nodiscard]] std::int32_t GlyphIdOf(std::uint32_t code) const;
};

class DrawingFontCache {
 public:
  explicit DrawingFontCache(FontCache& fonts) : fonts_(fonts) {}
  // The font named by a font resource value (a reference or a dictionary); null when none.
  std::shared_ptr<const DrawingFont> Get(PdfFile& file, const Object& font);
  // The reader's fonts these are made from.
  FontCache& Fonts() { return fonts_; }

 private:
  std::shared_ptr<const DrawingFont> Load(PdfFile& file, const Object& reference, const Dict& dict);
  FontCache& fonts_;
  ObjectCache<DrawingFont> cache_;
};

}  // namespace lvx::pdf

#endif
