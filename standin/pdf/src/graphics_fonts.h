// The fonts of a page's drawing: for each font resource, the reader's Font (codes, widths,
// text), what a painter needs to draw it (DrawFont: family, style, an embedded TrueType or
// OpenType program with each code's glyph index), the glyph outlines of an embedded Type 1 or
// CFF program (glyph_program.h), and for Type 3 fonts their glyph procedures. The fonts are
// kept within a budget of bytes (their outlines and programs), least recently used ones going.
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
#include "font_program.h"
#include "glyph_program.h"
#include "lvxpdf/byte_budget_cache.h"
#include "lvxpdf/display_list.h"
#include "matrix.h"
#include "object.h"

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
  // Fonts drawn from a Type 1 or CFF program's outlines (draw->outlines): a simple font's
  // outline by code, taken when the font is loaded; a composite font's program, whose outlines
  // are taken by CID as glyphs are shown (kept below).
  std::vector<std::shared_ptr<const Path>> codeOutlines;
  std::shared_ptr<GlyphProgram> outlineProgram;

  [[nodiscard]] std::int32_t GlyphIdOf(std::uint32_t code) const;
  // The outline of a code's glyph, in em units; null when the font is not drawn from outlines
  // or the code has no glyph.
  [[nodiscard]] std::shared_ptr<const Path> OutlineOf(std::uint32_t code) const;
  // The bytes the font holds (its outlines, programs and tables), for the cache's budget.
  [[nodiscard]] std::size_t Footprint() const;

 private:
  mutable std::unordered_map<std::int32_t, std::shared_ptr<const Path>> glyphOutlines_;
  mutable std::size_t glyphOutlineBytes_ = 0;
};

class DrawingFontCache {
 public:
  // The fonts' bytes held at once (outlines, programs).
  static constexpr std::size_t kBudgetBytes = std::size_t{8} << 20;

  explicit DrawingFontCache(FontCache& fonts) : fonts_(fonts) {}
  // The font named by a font resource value (a reference or a dictionary); null when none.
  std::shared_ptr<const DrawingFont> Get(PdfFile& file, const Object& font);
  // The reader's fonts these are made from.
  FontCache& Fonts() { return fonts_; }

 private:
  std::shared_ptr<const DrawingFont> Load(PdfFile& file, const Object& reference, const Dict& dict);
  void LoadOutlines(PdfFile& file, const Dict& dict, OutlineProgramBytes bytes, DrawingFont& font,
                    DrawFont& draw);
  FontCache& fonts_;
  // Made with the first font drawn from outlines; shared by the programs, which keep it alive.
  std::shared_ptr<FontEngine> engine_;
  using Entry = std::pair<Object, std::shared_ptr<const DrawingFont>>;
  ByteBudgetCache<std::uintptr_t, Entry> cache_{kBudgetBytes};
};

}  // namespace lvx::pdf

#endif
