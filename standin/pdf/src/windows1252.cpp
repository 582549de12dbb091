// UTF-8 to the Windows-1252 code page of the viewer protocol.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lvxpdf/document.h"

namespace lvx::pdf {
namespace {

// Characters of 0x80 to 0x9F in Windows-1252 (0 where the code page leaves a hole).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char kReplacement = '?';

// Next code point of `text` at `pos`; malformed bytes give U+FFFD and advance by one.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(text[pos]);
  std::size_t length = 1;
  char32_t value = lead;
  if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07U;
  } else if (lead >= 0xE0) {
    length = 3;
    value = lead & 0x0FU;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
    value = lead & 0x1FU;
  } else if (lead >= 0x80) {
    ++pos;
    return 0xFFFD;
  }
  if (pos + length > text.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<std::uint8_t>(text[pos + i]);
    if ((next & 0xC0U) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    value = (value << 6) | (next & 0x3FU);
  }
  pos += length;
  return value;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
    return;
  }
  if (c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x3000) {
    out.push_back(' ');
    return;
  }
  if (c > 0xA0 && c <= 0xFF) {
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(c)));
    return;
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) {
      out.push_back(static_cast<char>(0x80 + i));
      return;
    }
  }
  switch (c) {
    case 0xFB00:
      out += "ff";
      return;
    case 0xFB01:
      out += "fi";
      return;
    case 0xFB02:
      out += "fl";
      return;
    case 0xFB03:
      out += "ffi";
      return;
    case 0xFB04:
      out += "ffl";
      return;
    case 0xFB05:
    case 0xFB06:
      out += "st";
      return;
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2212:
      out.push_back('-');
      return;
    case 0x2044:
    case 0x2215:
      out.push_back('/');
      return;
    case 0x200B:
    case 0x200C:
    case 0x200D:
    case 0xFEFF:
      return;  // zero-width characters show nothing
    default:
      break;
  }
  out.push_back(kReplacement);
}

}  // namespace

std::string ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, pos);
    if (c == 0) {
      continue;  // never a NUL inside the text
    }
    Append(out, c);
  }
  return out;
}

}  // namespace lvx::pdf
