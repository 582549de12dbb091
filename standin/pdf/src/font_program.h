// An embedded font's program and a CID font's glyph map, read once for the text and the drawing.
#ifndef LVXPDF_FONT_PROGRAM_H
#define LVXPDF_FONT_PROGRAM_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "glyph_program.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// The most bytes of a decoded font program.
inline constexpr std::size_t kMaxProgramBytes = std::size_t{32} << 20;
// The most entries of a CIDToGIDMap stream (two bytes each).
inline constexpr std::size_t kMaxCidToGidBytes = std::size_t{1} << 18;

// The embedded program a platform's font loader takes: TrueType (FontFile2) or OpenType
// (FontFile3 of subtype OpenType); empty when the descriptor has neither.
std::vector<std::uint8_t> LoadableProgram(PdfFile& file, const Dict& descriptor);

// The embedded program FreeType draws (font_engine.h): Type 1 (FontFile), CFF (FontFile3 of
// subtype Type1C or CIDFontType0C) or OpenType with CFF outlines (FontFile3 OpenType beginning
// 'OTTO'); nothing when the descriptor has none of these.
struct OutlineProgramBytes {
  ProgramKind kind = ProgramKind::kType1;
  std::vector<std::uint8_t> bytes;
};
std::optional<OutlineProgramBytes> OutlineProgram(PdfFile& file, const Dict& descriptor);

// The glyph names a simple font's /Encoding dictionary gives by code in /Differences ("" for
// the codes it leaves alone).
std::array<std::string, 256> DifferenceNames(PdfFile& file, const Object& encoding);

// A CIDFont's CIDToGIDMap: empty for Identity (or none given), nullopt when it is neither a
// stream nor Identity.
std::optional<std::vector<std::uint16_t>> CidToGidMap(PdfFile& file, const Dict& cidFont);

}  // namespace lvx::pdf

#endif
