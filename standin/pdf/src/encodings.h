// Simple fonts' encodings: the base encodings (Standard, WinAnsi, MacRoman, Symbol) and glyph
// names (Adobe Glyph List names, uniXXXX, uXXXX[XX], ligatures written with underscores).
#ifndef LVXPDF_ENCODINGS_H
#define LVXPDF_ENCODINGS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace lvx::pdf {

enum class BaseEncoding : std::uint8_t { kNone, kStandard, kWinAnsi, kMacRoman, kSymbol };

// The encoding named by an /Encoding or /BaseEncoding name; kNone for an unknown name.
BaseEncoding BaseEncodingNamed(std::string_view name);
// The Unicode value of `code` in `encoding`; 0 when the code has no character.
char32_t BaseEncodingUnicode(BaseEncoding encoding, std::uint8_t code);
// The Unicode text of a glyph name, UTF-32; empty when the name is unknown.
std::u32string GlyphNameToUnicode(std::string_view name);

}  // namespace lvx::pdf

#endif
