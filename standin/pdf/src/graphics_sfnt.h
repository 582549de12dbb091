// Embedded TrueType and OpenType font programs (sfnt files) made ready for a platform's font
// loader: the table directory read, a character map looked up, and the program written again
// under a family name of its own, with the tables a loader expects (name, OS/2, post, cmap)
// supplied where a subset left them out.
#ifndef LVXPDF_GRAPHICS_SFNT_H
#define LVXPDF_GRAPHICS_SFNT_H

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lvx::pdf {

class SfntFont {
 public:
  // Reads the table directory; nothing when the data is not an sfnt font.
  static std::optional<SfntFont> Parse(std::span<const std::uint8_t> data);

  [[nodiscard]] bool Has(const char* tag) const { return tables_.contains(tag); }
  // The glyph of `code` in the character map of that platform and encoding; -1 when the map is
  // missing or has no glyph for the code.
  [[nodiscard]] std::int32_t Lookup(int platform, int encoding, std::uint32_t code) const;
  [[nodiscard]] bool HasCmap(int platform, int encoding) const;
  [[nodiscard]] std::uint16_t GlyphCount() const;
  // Each glyph's character by the program's own Unicode maps, (3,10), (3,1) and (0,x), then the
  // Mac Roman map (1,0), then the glyph names of the post table; indexed by glyph id, 0 where
  // none says. Where several codes reach one glyph the first map's lowest code wins. At most
  // kMaxMapSteps codes are read in all, whatever the maps claim.
  [[nodiscard]] std::vector<char32_t> GlyphCharacters() const;
  static constexpr std::uint32_t kMaxMapSteps = std::uint32_t{1} << 20;
  // The program with a name table naming `family` (and the missing loader tables added).
  [[nodiscard]] std::vector<std::uint8_t> Renamed(const std::string& family) const;

 private:
  [[nodiscard]] std::span<const std::uint8_t> Table(const char* tag) const;
  // Fills the glyphs `characters` lacks from the post table's glyph names.
  void NameGlyphs(std::vector<char32_t>& characters, std::uint32_t& steps) const;
  std::span<const std::uint8_t> data_;
  std::uint32_t version_ = 0;
  std::map<std::string, std::span<const std::uint8_t>> tables_;
};

// A family name for a program that no other program shares: "Lvx" and a hash of its bytes.
std::string ProgramFamily(std::span<const std::uint8_t> program);

}  // namespace lvx::pdf

#endif
