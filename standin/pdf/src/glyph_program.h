// A Type 1 or CFF font program opened with FreeType (font_engine.h): its glyphs found by name,
// by the program's own encoding or by CID, their names, and their outlines as paths in em units
// (the program's units divided by its units per em, y up), which the font's size and text
// matrix then place on the page.
#ifndef LVXPDF_GLYPH_PROGRAM_H
#define LVXPDF_GLYPH_PROGRAM_H

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font_engine.h"
#include "lvxpdf/display_list.h"

namespace lvx::pdf {

enum class ProgramKind : std::uint8_t {
  kType1,        // FontFile: clear-text part then the eexec part (binary or hex), or PFB
  kCff,          // FontFile3 /Type1C or /CIDFontType0C: a bare CFF font set
  kOpenTypeCff,  // FontFile3 /OpenType with CFF outlines ('OTTO')
};

// The most glyphs and points of a glyph taken from a program: CFF counts glyphs in 16 bits, and
// no real glyph comes near the point limit.
inline constexpr std::int64_t kMaxProgramGlyphs = 65536;
inline constexpr std::size_t kMaxGlyphPoints = 16384;

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePointer = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

class GlyphProgram {
 public:
  // Opens `bytes` as a program of `kind`; null when FreeType does not take it. The program keeps
  // its bytes and its engine.
  static std::unique_ptr<GlyphProgram> Open(std::shared_ptr<FontEngine> engine,
                                            std::vector<std::uint8_t> bytes, ProgramKind kind);

  [[nodiscard]] std::int32_t GlyphCount() const;
  // The glyph of a name; -1 when the program has no glyph of that name.
  [[nodiscard]] std::int32_t GlyphNamed(std::string_view name) const;
  // The glyph's name ("" when the program names none).
  [[nodiscard]] std::string GlyphName(std::int32_t glyph) const;
  // The glyph of a code in the program's own encoding (Type 1 /Encoding, CFF Encoding); -1 when
  // the code has none.
  [[nodiscard]] std::int32_t BuiltInGlyph(std::uint8_t code) const;
  // The glyph whose name stands for this character (FreeType's map made from the glyph names,
  // or an OpenType program's cmap); -1 when none.
  [[nodiscard]] std::int32_t CharacterGlyph(char32_t character) const;
  // A CID-keyed CFF program, whose glyphs Outline takes by CID (FreeType finds a CID's glyph
  // through the program's charset).
  [[nodiscard]] bool CidKeyed() const { return cidKeyed_; }
  // The glyph's outline in em units (a CID-keyed program's glyph by its CID); null for a glyph
  // that has none or cannot be read. Counts its work against the page's budget.
  [[nodiscard]] std::shared_ptr<const Path> Outline(std::int32_t glyph) const;
  [[nodiscard]] std::size_t ProgramBytes() const { return bytes_.size(); }

  // Made by Open only (the key is private to the class).
  class Key {
    friend class GlyphProgram;
    Key() = default;
  };
  explicit GlyphProgram(Key /*key*/) {}
  ~GlyphProgram() = default;
  GlyphProgram(const GlyphProgram&) = delete;
  GlyphProgram& operator=(const GlyphProgram&) = delete;
  GlyphProgram(GlyphProgram&&) = delete;
  GlyphProgram& operator=(GlyphProgram&&) = delete;

 private:
  // Declared first: destroyed after the face.
  std::shared_ptr<FontEngine> engine_;
  std::vector<std::uint8_t> bytes_;
  FacePointer face_;
  bool cidKeyed_ = false;
};

// A program's own encoding as glyph names by code ("" where a code has no glyph); nothing when
// the program cannot be opened. For the text of fonts that rely on that encoding.
std::optional<std::array<std::string, 256>> BuiltInEncodingNames(std::vector<std::uint8_t> bytes,
                                                                 ProgramKind kind);
// Each glyph's character by its name (0 where the name gives none or names several); empty
// when the program has no names (a CID-keyed CFF) or cannot be opened.
std::vector<char32_t> GlyphNameCharacters(std::vector<std::uint8_t> bytes, ProgramKind kind);

// The bytes a Path holds, for the caches' budgets.
std::size_t PathFootprint(const Path& path);

}  // namespace lvx::pdf

#endif
