// libFuzzer target for the CMap parser: code space, bfchar/bfrange and cidchar/cidrange, then
// splitting and looking up codes of the input itself.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "cmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const lvx::pdf::CMap map = lvx::pdf::CMap::Parse(std::span(data, size));
  const std::string_view text(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = map.CodeLength(text, pos, 2);
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < length; ++i) {
      code = (code << 8) | static_cast<std::uint8_t>(text[pos + i]);
    }
    (void)map.Lookup(code);
    (void)map.Cid(code);
    pos += length == 0 ? 1 : length;
  }
  return 0;
}
