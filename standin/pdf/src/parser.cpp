#include "parser.h"

#include <limits>

namespace lvx::pdf {
namespace {

// Keywords of the file structure: inside a damaged array or dictionary they mean the object
// ended early.
bool IsStructureKeyword(const Token& token) {
  if (token.type != TokenType::kKeyword) {
    return false;
  }
  const std::string& t = token.text;
  return t == "endobj" || t == "stream" || t == "endstream" || t == "obj" || t == "xref" ||
         t == "trailer" || t == "startxref";
}

// Reads the next token inside an array or dictionary. False when the container has ended: at its
// closing token, at the end of the input, or at a structure keyword, which is left unread for the
// caller.
bool NextInContainer(Lexer& lexer, Token& token, TokenType close) {
  lexer.Next(token);
  if (token.type == TokenType::kEnd || token.type == close) {
    return false;
  }
  if (IsStructureKeyword(token)) {
    lexer.Seek(token.start);
    return false;
  }
  return true;
}

Object ParseArray(Lexer& lexer, const ParseOptions& options, int depth) {
  Array items;
  Token token;
  while (NextInContainer(lexer, token, TokenType::kArrayClose)) {
    if (token.type == TokenType::kDictClose) {
      continue;  // stray, skip
    }
    items.push_back(ParseObject(lexer, token, options, depth + 1));
  }
  return MakeArray(std::move(items));
}

Object ParseDict(Lexer& lexer, const ParseOptions& options, int depth) {
  Dict dict;
  Token token;
  while (NextInContainer(lexer, token, TokenType::kDictClose)) {
    if (token.type != TokenType::kName) {
      continue;  // a key must be a name; skip what is not
    }
    std::string key = std::move(token.text);
    if (!NextInContainer(lexer, token, TokenType::kDictClose)) {
      break;
    }
    Object value = ParseObject(lexer, token, options, depth + 1);
    // A null value is the same as an absent key.
    if (!value.IsNull()) {
      dict.entries.emplace_back(std::move(key), std::move(value));
    }
  }
  return MakeDict(std::move(dict));
}

}  // namespace

Object ParseObject(Lexer& lexer, Token& first, const ParseOptions& options, int depth) {
  switch (first.type) {
    case TokenType::kInteger: {
      if (options.allowRefs && first.integer >= 0 &&
          first.integer <= std::numeric_limits<std::uint32_t>::max()) {
        const std::size_t after = lexer.Position();
        const std::int64_t num = first.integer;
        Token next;
        lexer.Next(next);
        if (next.type == TokenType::kInteger && next.integer >= 0 && next.integer <= 65535) {
          const std::int64_t gen = next.integer;
          lexer.Next(next);
          if (next.IsKeyword("R")) {
            return Ref{static_cast<std::uint32_t>(num), static_cast<std::uint32_t>(gen)};
          }
        }
        lexer.Seek(after);
      }
      return first.integer;
    }
    case TokenType::kReal:
      return first.real;
    case TokenType::kString:
      if (options.transformString != nullptr) {
        (*options.transformString)(first.text);
      }
      return String{std::move(first.text)};
    case TokenType::kName:
      return Name{std::move(first.text)};
    case TokenType::kArrayOpen:
      if (depth >= kMaxObjectDepth) {
        return {};
      }
      return ParseArray(lexer, options, depth);
    case TokenType::kDictOpen:
      if (depth >= kMaxObjectDepth) {
        return {};
      }
      return ParseDict(lexer, options, depth);
    case TokenType::kKeyword:
      if (first.text == "true") {
        return true;
      }
      if (first.text == "false") {
        return false;
      }
      return {};
    default:
      return {};
  }
}

Object ParseNextObject(Lexer& lexer, const ParseOptions& options) {
  Token token;
  lexer.Next(token);
  return ParseObject(lexer, token, options, 0);
}

}  // namespace lvx::pdf
