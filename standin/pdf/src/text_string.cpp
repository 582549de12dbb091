#include "text_string.h"

#include <array>
#include <cstdint>

#include "cmap.h"
#include "text_assembly.h"

namespace lvx::pdf {
namespace {

// PDFDocEncoding differs from Latin-1 in 0x18 to 0x1F and 0x80 to 0x9F.
constexpr std::array<char32_t, 8> kLow = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                                          0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr std::array<char32_t, 32> kHigh = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
    0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
    0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD};

}  // namespace

std::string TextStringToUtf8(std::string_view bytes) {
  std::string out;
  if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFE &&
      static_cast<std::uint8_t>(bytes[1]) == 0xFF) {
    for (const char32_t c : Utf16BeToUtf32(bytes.substr(2))) {
      if (c != 0) {
        AppendUtf8(out, c);
      }
    }
    return out;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return std::string(bytes.substr(3));
  }
  for (const char byte : bytes) {
    const auto c = static_cast<std::uint8_t>(byte);
    if (c >= 0x18 && c <= 0x1F) {
      AppendUtf8(out, kLow[c - 0x18U]);
    } else if (c >= 0x80 && c <= 0x9F) {
      AppendUtf8(out, kHigh[c - 0x80U]);
    } else if (c != 0) {
      AppendUtf8(out, c);
    }
  }
  return out;
}

}  // namespace lvx::pdf
