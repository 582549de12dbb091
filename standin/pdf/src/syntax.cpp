#include "syntax.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace lvx::pdf {
namespace {

std::string_view View(Bytes data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

// True when "endstream" follows `end` after optional white space.
bool EndstreamAt(Bytes data, std::size_t end) {
  while (end < data.size() && IsPdfWhitespace(data[end])) {
    ++end;
  }
  return View(data).substr(end).starts_with("endstream");
}

}  // namespace

std::size_t FindBytes(Bytes data, std::string_view needle, std::size_t from) {
  if (from >= data.size()) {
    return std::string_view::npos;
  }
  return View(data).find(needle, from);
}

std::optional<std::size_t> FindHeader(Bytes data, std::string* version) {
  const std::string_view head = View(data).substr(0, 1024);
  const std::size_t at = head.find("%PDF-");
  if (at == std::string_view::npos) {
    return std::nullopt;
  }
  if (version != nullptr) {
    version->clear();
    for (std::size_t i = at + 5; i < data.size() && version->size() < 8; ++i) {
      const auto c = static_cast<char>(data[i]);
      if ((c < '0' || c > '9') && c != '.') {
        break;
      }
      version->push_back(c);
    }
  }
  return at;
}

std::optional<std::size_t> FindStartXref(Bytes data) {
  // Look in the last part of the file first, then anywhere (trailing garbage after %%EOF).
  const std::string_view text = View(data);
  std::size_t at = text.rfind("startxref");
  if (at == std::string_view::npos) {
    return std::nullopt;
  }
  Lexer lexer(data, at + 9);
  Token token;
  lexer.Next(token);
  if (token.type != TokenType::kInteger || token.integer < 0 ||
      static_cast<std::uint64_t>(token.integer) >= data.size()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(token.integer);
}

std::size_t EndstreamFinder::Find(std::size_t from) {
  // No "endstream" lies between from_ and found_: the answer holds for every start in between.
  if (valid_ && from >= from_ && (found_ == std::string_view::npos || from <= found_)) {
    return found_;
  }
  valid_ = true;
  from_ = from;
  found_ = FindBytes(data_, "endstream", from);
  return found_;
}

std::optional<IndirectObject> ReadIndirectObject(Bytes data, std::size_t offset,
                                                 const LengthResolver& resolveLength,
                                                 const ParseOptions& options,
                                                 EndstreamFinder* finder,
                                                 std::optional<std::uint32_t> expectedNum) {
  Lexer lexer(data, offset);
  Token token;
  lexer.Next(token);
  if (token.type != TokenType::kInteger || token.integer < 0 || token.integer > 0xFFFFFFFFLL) {
    return std::nullopt;
  }
  IndirectObject result;
  result.ref.num = static_cast<std::uint32_t>(token.integer);
  if (expectedNum && *expectedNum != result.ref.num) {
    return std::nullopt;
  }
  lexer.Next(token);
  if (token.type != TokenType::kInteger || token.integer < 0 || token.integer > 65535) {
    return std::nullopt;
  }
  result.ref.gen = static_cast<std::uint32_t>(token.integer);
  lexer.Next(token);
  if (!token.IsKeyword("obj")) {
    return std::nullopt;
  }
  result.object = ParseNextObject(lexer, options);
  const std::size_t afterObject = lexer.Position();
  lexer.Next(token);
  if (!token.IsKeyword("stream") || !result.object.IsDict()) {
    result.end = afterObject;
    return result;
  }
  // The data starts after the end of line that follows "stream" (CR LF or LF; a lone CR is
  // tolerated).
  std::size_t start = lexer.Position();
  if (start < data.size() && data[start] == '\r') {
    ++start;
  }
  if (start < data.size() && data[start] == '\n') {
    ++start;
  }
  auto stream = std::make_shared<Stream>();
  stream->dict = result.object.AsDict();
  stream->offset = start;
  stream->ref = result.ref;
  const Object& lengthObject = stream->dict.Get("Length");
  std::int64_t length = -1;
  if (lengthObject.IsRef()) {
    if (resolveLength) {
      length = resolveLength(lengthObject.AsRef());
    }
  } else {
    length = lengthObject.AsInt(-1);
  }
  const std::size_t available = data.size() - start;
  if (length >= 0 && static_cast<std::uint64_t>(length) <= available &&
      EndstreamAt(data, start + static_cast<std::size_t>(length))) {
    stream->length = static_cast<std::size_t>(length);
  } else {
    // /Length is missing or wrong: the data ends before the next "endstream".
    const std::size_t end =
        finder != nullptr ? finder->Find(start) : FindBytes(data, "endstream", start);
    std::size_t stop = end == std::string_view::npos ? data.size() : end;
    result.endKnown = false;
    if (end != std::string_view::npos) {
      if (stop > start && data[stop - 1] == '\n') {
        --stop;
      }
      if (stop > start && data[stop - 1] == '\r') {
        --stop;
      }
    }
    stream->length = stop - start;
  }
  result.end = stream->offset + stream->length;
  result.object = Object(std::shared_ptr<const Stream>(std::move(stream)));
  return result;
}

}  // namespace lvx::pdf
