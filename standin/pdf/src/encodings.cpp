#include "encodings.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "char_classes.h"

namespace lvx::pdf {
namespace {

#include "encoding_tables.inc"

struct GlyphName {
  const char* name;
  char32_t code;
};

constexpr GlyphName kGlyphNames[] = {
#include "glyph_names_table.inc"
};

char32_t LookUp(std::string_view name) {
  const auto* end = std::end(kGlyphNames);
  const auto* found = std::lower_bound(std::begin(kGlyphNames), end, name,
                                       [](const GlyphName& entry, std::string_view key) {
                                         return std::string_view(entry.name) < key;
                                       });
  return found != end && std::string_view(found->name) == name ? found->code : 0;
}

// Reads `count` hex digits; -1 when one is not a digit.
std::int64_t HexNumber(std::string_view digits) {
  std::int64_t value = 0;
  for (const char c : digits) {
    const int digit = HexDigitValue(static_cast<std::uint8_t>(c));
    if (digit < 0) {
      return -1;
    }
    value = value * 16 + digit;
  }
  return value;
}

bool UsableCodePoint(std::int64_t value) {
  return value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

std::u32string ComponentToUnicode(std::string_view name) {
  if (const char32_t code = LookUp(name); code != 0) {
    return {code};
  }
  if (name.size() >= 7 && name.starts_with("uni") && (name.size() - 3) % 4 == 0) {
    std::u32string text;
    for (std::size_t i = 3; i < name.size(); i += 4) {
      const std::int64_t value = HexNumber(name.substr(i, 4));
      if (!UsableCodePoint(value)) {
        return {};
      }
      text.push_back(static_cast<char32_t>(value));
    }
    return text;
  }
  if (name.size() >= 5 && name.size() <= 7 && name[0] == 'u') {
    const std::int64_t value = HexNumber(name.substr(1));
    if (UsableCodePoint(value)) {
      return {static_cast<char32_t>(value)};
    }
  }
  // Some writers (Type 3 fonts of TeX tools) name glyphs by the character itself: "/." "/(",
  // the latter written as "#28" after escaping.
  const auto printable = [](std::int64_t c) { return c > 0x20 && c < 0x7F; };
  if (name.size() == 1 && printable(static_cast<unsigned char>(name[0]))) {
    return {static_cast<char32_t>(name[0])};
  }
  if (name.size() == 3 && name[0] == '#') {
    const std::int64_t value = HexNumber(name.substr(1));
    if (printable(value)) {
      return {static_cast<char32_t>(value)};
    }
  }
  return {};
}

}  // namespace

BaseEncoding BaseEncodingNamed(std::string_view name) {
  if (name == "StandardEncoding") {
    return BaseEncoding::kStandard;
  }
  if (name == "WinAnsiEncoding") {
    return BaseEncoding::kWinAnsi;
  }
  if (name == "MacRomanEncoding") {
    return BaseEncoding::kMacRoman;
  }
  if (name == "MacExpertEncoding") {
    return BaseEncoding::kStandard;  // close enough for text
  }
  if (name == "SymbolEncoding") {
    return BaseEncoding::kSymbol;
  }
  return BaseEncoding::kNone;
}

char32_t BaseEncodingUnicode(BaseEncoding encoding, std::uint8_t code) {
  switch (encoding) {
    case BaseEncoding::kStandard:
      return kStandard[code];
    case BaseEncoding::kWinAnsi:
      // PDF's WinAnsiEncoding names these "space" and "hyphen".
      if (code == 0xA0) {
        return U' ';
      }
      if (code == 0xAD) {
        return U'-';
      }
      return kWinAnsi[code];
    case BaseEncoding::kMacRoman:
      return kMacRoman[code];
    case BaseEncoding::kSymbol:
      return kSymbol[code];
    case BaseEncoding::kNone:
      break;
  }
  return 0;
}

std::u32string GlyphNameToUnicode(std::string_view name) {
  // "a.sc", "one.oldstyle": the part before the first dot names the character.
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos && dot > 0) {
    name = name.substr(0, dot);
  }
  if (name.empty()) {
    return {};
  }
  if (name.find('_') == std::string_view::npos) {
    return ComponentToUnicode(name);
  }
  std::u32string text;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('_', start);
    if (end == std::string_view::npos) {
      end = name.size();
    }
    text += ComponentToUnicode(name.substr(start, end - start));
    start = end + 1;
  }
  return text;
}

}  // namespace lvx::pdf
