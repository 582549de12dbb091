#include "cmap.h"

#include <algorithm>

#include "encodings.h"
#include "lexer.h"

namespace lvx::pdf {
namespace {

// Bounds against hostile CMaps.
constexpr std::size_t kMaxEntries = 1U << 20;
constexpr std::size_t kMaxArrayValues = 1U << 16;

std::uint32_t CodeOf(std::string_view bytes) {
  std::uint32_t code = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    code = (code << 8) | static_cast<std::uint8_t>(bytes[i]);
  }
  return code;
}

std::u32string DestinationOf(const Token& token) {
  if (token.type == TokenType::kString) {
    return Utf16BeToUtf32(token.text);
  }
  if (token.type == TokenType::kName) {
    return GlyphNameToUnicode(token.text);
  }
  return {};
}

// Reads the next token; whether it is of `type`.
bool NextIs(Lexer& lexer, Token& token, TokenType type) {
  lexer.Next(token);
  return token.type == type;
}

// A CID operand, clamped to 32 bits.
std::uint32_t CidOf(const Token& token) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(token.integer, 0, 0xFFFFFFFF));
}

}  // namespace

std::u32string Utf16BeToUtf32(std::string_view bytes) {
  std::u32string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char32_t>((static_cast<std::uint8_t>(bytes[i]) << 8) |
                                            static_cast<std::uint8_t>(bytes[i + 1]));
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const auto low = static_cast<char32_t>((static_cast<std::uint8_t>(bytes[i + 2]) << 8) |
                                             static_cast<std::uint8_t>(bytes[i + 3]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        text.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
      }
      continue;
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      continue;
    }
    text.push_back(unit);
  }
  return text;
}

CMap CMap::Parse(std::span<const std::uint8_t> data) {
  CMap map;
  Lexer lexer(data);
  Token token;
  Token a;
  Token b;
  Token c;
  std::size_t entries = 0;
  for (lexer.Next(token); token.type != TokenType::kEnd; lexer.Next(token)) {
    if (token.type != TokenType::kKeyword) {
      continue;
    }
    const std::string& op = token.text;
    if (op == "begincodespacerange") {
      while (NextIs(lexer, a, TokenType::kString) && NextIs(lexer, b, TokenType::kString)) {
        if (a.text.empty() || a.text.size() > 4 || a.text.size() != b.text.size()) {
          continue;
        }
        Codespace space{static_cast<std::uint8_t>(a.text.size()), {}, {}};
        for (std::size_t i = 0; i < a.text.size(); ++i) {
          space.low[i] = static_cast<std::uint8_t>(a.text[i]);
          space.high[i] = static_cast<std::uint8_t>(b.text[i]);
        }
        if (map.codespaces_.size() < 256) {
          map.codespaces_.push_back(space);
        }
      }
    } else if (op == "beginbfchar") {
      while (NextIs(lexer, a, TokenType::kString)) {
        lexer.Next(b);
        if (b.type != TokenType::kString && b.type != TokenType::kName) {
          break;
        }
        if (++entries > kMaxEntries) {
          break;
        }
        map.chars_[CodeOf(a.text)] = DestinationOf(b);
      }
    } else if (op == "beginbfrange") {
      while (NextIs(lexer, a, TokenType::kString) && NextIs(lexer, b, TokenType::kString)) {
        lexer.Next(c);
        Range range{CodeOf(a.text), CodeOf(b.text), {}, {}};
        if (c.type == TokenType::kArrayOpen) {
          Token value;
          for (lexer.Next(value);
               value.type == TokenType::kString || value.type == TokenType::kName;
               lexer.Next(value)) {
            if (range.values.size() < kMaxArrayValues) {
              range.values.push_back(DestinationOf(value));
            }
          }
        } else if (c.type == TokenType::kString || c.type == TokenType::kName) {
          range.base = DestinationOf(c);
        } else {
          break;
        }
        if (range.low > range.high || ++entries > kMaxEntries) {
          continue;
        }
        map.ranges_.push_back(std::move(range));
      }
    } else if (op == "begincidchar") {
      while (NextIs(lexer, a, TokenType::kString) && NextIs(lexer, b, TokenType::kInteger) &&
             ++entries <= kMaxEntries) {
        map.cidChars_[CodeOf(a.text)] = CidOf(b);
      }
    } else if (op == "begincidrange") {
      while (NextIs(lexer, a, TokenType::kString) && NextIs(lexer, b, TokenType::kString) &&
             NextIs(lexer, c, TokenType::kInteger) && ++entries <= kMaxEntries) {
        const CidRange range{CodeOf(a.text), CodeOf(b.text), CidOf(c)};
        if (range.low <= range.high) {
          map.cidRanges_.push_back(range);
        }
      }
    }
  }
  std::stable_sort(map.ranges_.begin(), map.ranges_.end(),
                   [](const Range& x, const Range& y) { return x.low < y.low; });
  map.SortCidRanges();
  return map;
}

void CMap::AddCodespace(std::size_t length, std::uint32_t low, std::uint32_t high) {
  if (length == 0 || length > 4 || codespaces_.size() >= 256) {
    return;
  }
  Codespace space{static_cast<std::uint8_t>(length), {}, {}};
  for (std::size_t i = 0; i < length; ++i) {
    const auto shift = static_cast<unsigned>(8 * (length - 1 - i));
    space.low[i] = static_cast<std::uint8_t>(low >> shift);
    space.high[i] = static_cast<std::uint8_t>(high >> shift);
  }
  codespaces_.push_back(space);
}

void CMap::AddCidRange(std::uint32_t low, std::uint32_t high, std::uint32_t cid) {
  if (low <= high) {
    cidRanges_.push_back({low, high, cid});
  }
}

void CMap::SortCidRanges() {
  std::stable_sort(cidRanges_.begin(), cidRanges_.end(),
                   [](const CidRange& x, const CidRange& y) { return x.low < y.low; });
}

std::size_t CMap::CodeLength(std::string_view bytes, std::size_t pos, std::size_t fallback) const {
  const std::size_t left = bytes.size() - std::min(pos, bytes.size());
  if (left == 0) {
    return 0;
  }
  if (codespaces_.empty()) {
    return std::clamp<std::size_t>(fallback, 1, left);
  }
  std::size_t shortest = 4;
  for (std::size_t length = 1; length <= 4 && length <= left; ++length) {
    for (const Codespace& space : codespaces_) {
      if (space.length != length) {
        continue;
      }
      shortest = std::min<std::size_t>(shortest, space.length);
      bool inside = true;
      for (std::size_t i = 0; i < length && inside; ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[pos + i]);
        inside = byte >= space.low[i] && byte <= space.high[i];
      }
      if (inside) {
        return length;
      }
    }
  }
  for (const Codespace& space : codespaces_) {
    shortest = std::min<std::size_t>(shortest, space.length);
  }
  return std::clamp<std::size_t>(shortest, 1, left);
}

std::u32string CMap::Lookup(std::uint32_t code) const {
  if (const auto found = chars_.find(code); found != chars_.end()) {
    return found->second;
  }
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), code,
                             [](std::uint32_t key, const Range& r) { return key < r.low; });
  // Ranges may overlap: look back over a few candidates.
  for (int steps = 0; it != ranges_.begin() && steps < 8; ++steps) {
    --it;
    if (code < it->low || code > it->high) {
      continue;
    }
    const std::uint32_t offset = code - it->low;
    if (!it->values.empty()) {
      return offset < it->values.size() ? it->values[offset] : std::u32string();
    }
    if (it->base.empty()) {
      return {};
    }
    std::u32string text = it->base;
    text.back() += offset;
    if (text.back() > 0x10FFFF) {
      return {};
    }
    return text;
  }
  return {};
}

std::optional<std::uint32_t> CMap::Cid(std::uint32_t code) const {
  if (const auto found = cidChars_.find(code); found != cidChars_.end()) {
    return found->second;
  }
  auto it = std::upper_bound(cidRanges_.begin(), cidRanges_.end(), code,
                             [](std::uint32_t key, const CidRange& r) { return key < r.low; });
  for (int steps = 0; it != cidRanges_.begin() && steps < 8; ++steps) {
    --it;
    if (code >= it->low && code <= it->high) {
      return it->cid + (code - it->low);
    }
  }
  return std::nullopt;
}

}  // namespace lvx::pdf

namespace lvx::pdf {

std::size_t CMap::Footprint() const {
  // Hash nodes carry a pointer and the key's hash besides the entry.
  constexpr std::size_t kNode = 2 * sizeof(void*);
  std::size_t bytes = codespaces_.capacity() * sizeof(Codespace) +
                      cidChars_.size() * (kNode + sizeof(std::uint32_t) * 2) +
                      cidRanges_.capacity() * sizeof(CidRange) + ranges_.capacity() * sizeof(Range);
  for (const auto& [code, text] : chars_) {
    bytes += kNode + sizeof(code) + sizeof(std::u32string) + text.capacity() * sizeof(char32_t);
  }
  for (const Range& range : ranges_) {
    bytes += range.base.capacity() * sizeof(char32_t);
    for (const std::u32string& value : range.values) {
      bytes += sizeof(std::u32string) + value.capacity() * sizeof(char32_t);
    }
  }
  return bytes;
}

}  // namespace lvx::pdf
