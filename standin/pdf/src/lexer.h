// Splits PDF bytes into tokens: numbers, strings, names, keywords and the array and dictionary
// brackets. Shared by the file's object syntax and content streams. Never reads out of bounds:
// every token ends at the end of the data at the latest.
#ifndef LVXPDF_LEXER_H
#define LVXPDF_LEXER_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "char_classes.h"

namespace lvx::pdf {

enum class TokenType : std::uint8_t {
  kEnd,
  kInteger,
  kReal,
  kString,   // literal or hexadecimal; `text` holds the bytes
  kName,     // `text` without the slash, #xx escapes resolved
  kKeyword,  // any other run of regular characters: true, obj, Tj, ...
  kArrayOpen,
  kArrayClose,
  kDictOpen,
  kDictClose,
  kBraceOpen,
  kBraceClose,
};

struct Token {
  TokenType type = TokenType::kEnd;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;
  std::size_t start = 0;  // offset of the token's first byte

  [[nodiscard]] bool IsKeyword(std::string_view word) const {
    return type == TokenType::kKeyword && text == word;
  }
};

class Lexer {
 public:
  explicit Lexer(std::span<const std::uint8_t> data, std::size_t position = 0)
      : data_(data), pos_(position < data.size() ? position : data.size()) {}

  // Reads the next token into `token` (reusing its storage).
  void Next(Token& token);
  // Skips white space and comments.
  void SkipWhitespace();

  [[nodiscard]] std::size_t Position() const { return pos_; }
  void Seek(std::size_t position) { pos_ = position < data_.size() ? position : data_.size(); }
  [[nodiscard]] bool AtEnd() const { return pos_ >= data_.size(); }
  [[nodiscard]] std::span<const std::uint8_t> Data() const { return data_; }

 private:
  void ReadNumber(Token& token);
  void ReadLiteralString(Token& token);
  void ReadHexString(Token& token);
  void ReadName(Token& token);

  std::span<const std::uint8_t> data_;
  std::size_t pos_;
};

}  // namespace lvx::pdf

#endif
