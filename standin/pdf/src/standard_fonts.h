// The advance widths of the 14 standard fonts (Times, Helvetica, Courier in four styles each,
// Symbol, ZapfDingbats), for simple fonts that name one of them, or a common stand-in for one
// (Arial, Times New Roman, Courier New), without giving widths of their own.
#ifndef LVXPDF_STANDARD_FONTS_H
#define LVXPDF_STANDARD_FONTS_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lvx::pdf {

struct StandardGlyph {
  const char* name;     // glyph name
  std::int16_t code;    // code in the font's built-in encoding, -1 when it has none
  std::uint16_t width;  // advance in 1/1000 em
};

struct StandardFontMetrics {
  const char* name;
  std::span<const StandardGlyph> glyphs;
};

// The standard font of a family name as the font's BaseFont gives it (without style and subset
// tag: "Times", "Arial", "CourierNew", ...) in the given style; null when the family is none of
// them.
const StandardFontMetrics* FindStandardFont(std::string_view family, bool bold, bool italic);

// Sets the width (text space, for a size of 1) of every code whose glyph the font has: by the
// code's Unicode text, or by the font's built-in codes when `builtInCodes` (Symbol and
// ZapfDingbats read through their own encoding). Other codes keep their width.
void ApplyStandardWidths(const StandardFontMetrics& font,
                         const std::array<std::u32string, 256>& codeText, bool builtInCodes,
                         std::array<double, 256>& widths);

}  // namespace lvx::pdf

#endif
