#include "inline_image.h"

#include <algorithm>
#include <string>
#include <utility>

#include "char_classes.h"
#include "checked_size.h"
#include "graphics_colour.h"
#include "graphics_image.h"
#include "parser.h"

namespace lvx::pdf {
namespace {

// Whether "EI" at `pos` stands alone: white space before, white space, a delimiter or the end
// after.
bool EndsAt(std::span<const std::uint8_t> content, std::size_t pos) {
  return content[pos] == 'E' && content[pos + 1] == 'I' &&
         (pos == 0 || IsPdfWhitespace(content[pos - 1])) &&
         (pos + 2 == content.size() || IsPdfWhitespace(content[pos + 2]) ||
          IsPdfDelimiter(content[pos + 2]));
}

// The bytes of unfiltered samples the dictionary describes; nothing when it does not say.
std::optional<std::size_t> UnfilteredBytes(PdfFile& file, const Dict& dict) {
  const std::int64_t width = dict.Get("Width").AsInt(0);
  const std::int64_t height = dict.Get("Height").AsInt(0);
  const bool mask = dict.Get("ImageMask").AsBool(false);
  const std::int64_t bits = mask ? 1 : dict.Get("BitsPerComponent").AsInt(8);
  const std::size_t components =
      mask ? 1 : ColourSpace::Load(file, dict.Get("ColorSpace"), Object{})->Components();
  if (width <= 0 || height <= 0 || bits <= 0 || bits > 16) {
    return std::nullopt;
  }
  const std::optional<std::size_t> rowBits =
      CheckedProduct({static_cast<std::uint64_t>(width), std::max<std::uint64_t>(1, components),
                      static_cast<std::uint64_t>(bits)},
                     kLargestLimit);
  if (!rowBits) {
    return std::nullopt;
  }
  return CheckedProduct({(*rowBits + 7) / 8, static_cast<std::uint64_t>(height)}, kLargestLimit);
}

}  // namespace

InlineImageData ReadInlineImage(PdfFile& file, Lexer& lexer, const Object& resources) {
  // The dictionary's keys and values up to "ID".
  Dict dict;
  Token token;
  const ParseOptions options{.allowRefs = false, .transformString = nullptr};
  for (lexer.Next(token); token.type != TokenType::kEnd && !token.IsKeyword("ID");
       lexer.Next(token)) {
    if (token.type != TokenType::kName) {
      continue;
    }
    std::string key = token.text;
    lexer.Next(token);
    if (token.type == TokenType::kEnd || token.IsKeyword("ID")) {
      break;
    }
    dict.entries.emplace_back(std::move(key), ParseObject(lexer, token, options));
  }
  InlineImageData image;
  image.dict = ExpandInlineImageDict(file, dict, resources);
  const std::span<const std::uint8_t> content = lexer.Data();
  const std::size_t start = std::min(lexer.Position() + 1, content.size());
  const Object& filter = image.dict.Get("Filter");
  const bool filtered = !filter.IsNull() && !(filter.IsArray() && filter.AsArray().empty());
  std::size_t end = content.size();
  if (!filtered) {
    if (const std::optional<std::size_t> bytes = UnfilteredBytes(file, image.dict)) {
      end = start + std::min(*bytes, content.size() - start);
    }
  }
  std::size_t eiAt = content.size();
  for (std::size_t pos = filtered ? start : end; pos + 1 < content.size(); ++pos) {
    if (EndsAt(content, pos)) {
      eiAt = pos;
      break;
    }
  }
  if (filtered) {
    end = eiAt > start ? eiAt - 1 : start;  // the white space before EI is not data
  }
  lexer.Seek(eiAt == content.size() ? content.size() : eiAt + 2);
  if (end - start <= kMaxInlineImageBytes) {
    image.data = content.subspan(start, end - start);
  }
  return image;
}

}  // namespace lvx::pdf
