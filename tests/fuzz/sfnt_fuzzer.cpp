// libFuzzer target for embedded TrueType and OpenType programs: the table directory, character
// maps looked up and read backwards, the post table's glyph names, and the program written again
// under a family name of its own (and read once more).
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "graphics_sfnt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto font = lvx::pdf::SfntFont::Parse(std::span(data, size));
  if (!font) {
    return 0;
  }
  (void)font->GlyphCount();
  (void)font->GlyphCharacters();
  for (const auto& [platform, encoding] :
       {std::pair{3, 1}, std::pair{3, 0}, std::pair{1, 0}, std::pair{3, 10}}) {
    for (const std::uint32_t code : {0U, 32U, 65U, 0xF041U, 0xFFFFU, 0x1F600U}) {
      (void)font->Lookup(platform, encoding, code);
    }
  }
  const auto renamed = font->Renamed("LvxFuzz");
  (void)lvx::pdf::SfntFont::Parse(renamed);
  return 0;
}
