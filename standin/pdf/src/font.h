// Fonts as far as text needs them: how a shown string splits into character codes, each code's
// Unicode text and advance width, and the font's family and style for painting.
#ifndef LVXPDF_FONT_H
#define LVXPDF_FONT_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cmap.h"
#include "encodings.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;
struct CidCollection;

struct Glyph {
  std::uint32_t code = 0;
  std::u32string text;     // Unicode; empty when the code has no known character
  double width = 0;        // advance in text space for a font size of 1
  bool wordSpace = false;  // a one-byte code 32, to which word spacing (Tw) applies
};

class Font {
 public:
  // Builds the font of a font dictionary; never fails (unknown parts fall back to defaults).
  static std::shared_ptr<const Font> Load(PdfFile& file, const Dict& dict);

  void Decode(std::string_view bytes, std::vector<Glyph>& glyphs) const;
  // A composite font's CID of a code (by its encoding); 0 when the encoding gives none.
  [[nodiscard]] std::uint32_t CidOf(std::uint32_t code) const {
    return identity_ ? code : encoding_.Cid(code).value_or(0);
  }

  // The font's em in text space units for a size of 1: 1 for ordinary fonts; for Type 3 fonts
  // what their font matrix and glyph box make of it. Sizes of glyphs on the page use it.
  double EmScale() const { return emScale_; }
  const std::string& Family() const { return family_; }
  bool Bold() const { return bold_; }
  bool Italic() const { return italic_; }
  // An estimate of the bytes the font holds, for the font cache's budget.
  std::size_t Footprint() const;

 private:
  void LoadSimple(PdfFile& file, const Dict& dict);
  void LoadComposite(PdfFile& file, const Dict& dict);
  void LoadStyle(PdfFile& file, const Dict& dict, const Dict& descriptor);
  void LoadGlyphCharacters(PdfFile& file, const Dict& cidFont, const Dict& descriptor);
  // The text of each code by the glyph names of the embedded program's own encoding; false
  // when the font has no Type 1 or CFF program FreeType reads, or its encoding names nothing.
  bool LoadBuiltInNames(PdfFile& file, const Dict& descriptor);
  // Widths of a simple font that gives none, once its encoding is known.
  void SetMissingWidths(std::string_view baseFont, std::int64_t flags, bool ownEncoding);
  double CidWidth(std::uint32_t cid) const;

  bool composite_ = false;
  // Simple fonts: per code.
  std::array<std::u32string, 256> codeText_;
  std::array<double, 256> widths_{};
  // Composite fonts.
  CMap encoding_;              // an embedded encoding CMap
  bool identity_ = true;       // Identity-H/V (CID = two-byte code)
  bool unicodeCodes_ = false;  // a predefined Uni...-UCS2 / UTF16 encoding: codes are Unicode
  std::unordered_map<std::uint32_t, double> cidWidths_;
  const CidCollection* collection_ = nullptr;  // Adobe's CNS1, GB1, Japan1 or Korea1
  // Without ToUnicode or a collection: each glyph's character by the embedded TrueType
  // program's own maps, and the CIDs' glyphs (empty: the CIDs are the glyphs).
  std::vector<char32_t> glyphCharacters_;
  std::vector<std::uint16_t> cidToGid_;
  double defaultWidth_ = 1.0;
  // Both.
  CMap toUnicode_;
  bool hasToUnicode_ = false;
  double emScale_ = 1.0;
  std::string family_;
  bool bold_ = false;
  bool italic_ = false;
};

}  // namespace lvx::pdf

#endif
