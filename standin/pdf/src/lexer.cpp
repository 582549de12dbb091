#include "lexer.h"

#include <cmath>

namespace lvx::pdf {
namespace {

// Literal strings nest parentheses; deeper nesting than this is treated as plain text.
constexpr int kMaxParenDepth = 10000;

}  // namespace

void Lexer::SkipWhitespace() {
  while (pos_ < data_.size()) {
    const std::uint8_t c = data_[pos_];
    if (IsPdfWhitespace(c)) {
      ++pos_;
    } else if (c == '%') {
      while (pos_ < data_.size() && data_[pos_] != '\n' && data_[pos_] != '\r') {
        ++pos_;
      }
    } else {
      break;
    }
  }
}

void Lexer::Next(Token& token) {
  SkipWhitespace();
  token.text.clear();
  token.start = pos_;
  if (pos_ >= data_.size()) {
    token.type = TokenType::kEnd;
    return;
  }
  const std::uint8_t c = data_[pos_];
  switch (c) {
    case '(':
      ++pos_;
      ReadLiteralString(token);
      return;
    case '<':
      if (pos_ + 1 < data_.size() && data_[pos_ + 1] == '<') {
        pos_ += 2;
        token.type = TokenType::kDictOpen;
      } else {
        ++pos_;
        ReadHexString(token);
      }
      return;
    case '>':
      pos_ += (pos_ + 1 < data_.size() && data_[pos_ + 1] == '>') ? 2 : 1;
      token.type = TokenType::kDictClose;
      return;
    case '[':
      ++pos_;
      token.type = TokenType::kArrayOpen;
      return;
    case ']':
      ++pos_;
      token.type = TokenType::kArrayClose;
      return;
    case '{':
      ++pos_;
      token.type = TokenType::kBraceOpen;
      return;
    case '}':
      ++pos_;
      token.type = TokenType::kBraceClose;
      return;
    case '/':
      ++pos_;
      ReadName(token);
      return;
    case ')':
      // A stray closing parenthesis: a keyword of its own, which parsers ignore.
      ++pos_;
      token.type = TokenType::kKeyword;
      token.text.push_back(')');
      return;
    default:
      break;
  }
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') {
    ReadNumber(token);
    return;
  }
  token.type = TokenType::kKeyword;
  while (pos_ < data_.size() && IsPdfRegular(data_[pos_])) {
    token.text.push_back(static_cast<char>(data_[pos_]));
    ++pos_;
  }
}

void Lexer::ReadNumber(Token& token) {
  const std::size_t start = pos_;
  bool negative = false;
  // Signs may repeat in damaged files ("--5"); the last one counts.
  while (pos_ < data_.size() && (data_[pos_] == '+' || data_[pos_] == '-')) {
    negative = data_[pos_] == '-';
    ++pos_;
  }
  std::uint64_t whole = 0;
  bool overflow = false;
  double real = 0;
  bool any = false;
  while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
    const auto digit = static_cast<std::uint64_t>(data_[pos_] - '0');
    if (whole > (UINT64_C(1) << 62) / 10) {
      overflow = true;
    } else {
      whole = whole * 10 + digit;
    }
    real = real * 10 + static_cast<double>(digit);
    any = true;
    ++pos_;
  }
  bool isReal = overflow;
  if (pos_ < data_.size() && data_[pos_] == '.') {
    isReal = true;
    ++pos_;
    double scale = 0.1;
    while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
      real += scale * (data_[pos_] - '0');
      scale *= 0.1;
      any = true;
      ++pos_;
    }
  }
  // A sign or dot without digits is no number: read the run as a keyword.
  if (!any) {
    pos_ = start;
    token.type = TokenType::kKeyword;
    while (pos_ < data_.size() && IsPdfRegular(data_[pos_])) {
      token.text.push_back(static_cast<char>(data_[pos_]));
      ++pos_;
    }
    return;
  }
  // Digits and dots glued together ("1.2.3") are taken up to the first problem.
  while (pos_ < data_.size() &&
         (data_[pos_] == '.' || (data_[pos_] >= '0' && data_[pos_] <= '9'))) {
    ++pos_;
  }
  if (isReal) {
    token.type = TokenType::kReal;
    token.real = negative ? -real : real;
    token.integer = std::fabs(token.real) < 9.0e18 ? static_cast<std::int64_t>(token.real) : 0;
  } else {
    token.type = TokenType::kInteger;
    token.integer = negative ? -static_cast<std::int64_t>(whole) : static_cast<std::int64_t>(whole);
    token.real = static_cast<double>(token.integer);
  }
}

void Lexer::ReadLiteralString(Token& token) {
  token.type = TokenType::kString;
  int depth = 1;
  while (pos_ < data_.size()) {
    std::uint8_t c = data_[pos_++];
    if (c == '(') {
      if (depth < kMaxParenDepth) {
        ++depth;
      }
    } else if (c == ')') {
      if (--depth == 0) {
        return;
      }
    } else if (c == '\\') {
      if (pos_ >= data_.size()) {
        return;
      }
      c = data_[pos_++];
      switch (c) {
        case 'n':
          c = '\n';
          break;
        case 'r':
          c = '\r';
          break;
        case 't':
          c = '\t';
          break;
        case 'b':
          c = '\b';
          break;
        case 'f':
          c = '\f';
          break;
        case '\r':  // a backslash before an end of line continues the string
          if (pos_ < data_.size() && data_[pos_] == '\n') {
            ++pos_;
          }
          continue;
        case '\n':
          continue;
        default:
          if (c >= '0' && c <= '7') {
            int value = c - '0';
            for (int i = 0;
                 i < 2 && pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '7'; ++i) {
              value = value * 8 + (data_[pos_++] - '0');
            }
            c = static_cast<std::uint8_t>(value & 0xFF);
          }
          break;  // \( \) \\ and unknown escapes give the character itself
      }
    } else if (c == '\r') {
      // An end of line inside a string reads as a single line feed.
      if (pos_ < data_.size() && data_[pos_] == '\n') {
        ++pos_;
      }
      c = '\n';
    }
    token.text.push_back(static_cast<char>(c));
  }
}

void Lexer::ReadHexString(Token& token) {
  token.type = TokenType::kString;
  int high = -1;
  while (pos_ < data_.size()) {
    const std::uint8_t c = data_[pos_++];
    if (c == '>') {
      break;
    }
    const int value = HexDigitValue(c);
    if (value < 0) {
      continue;  // white space, and garbage, are skipped
    }
    if (high < 0) {
      high = value;
    } else {
      token.text.push_back(static_cast<char>(high * 16 + value));
      high = -1;
    }
  }
  if (high >= 0) {
    token.text.push_back(static_cast<char>(high * 16));  // an odd last digit is followed by 0
  }
}

void Lexer::ReadName(Token& token) {
  token.type = TokenType::kName;
  while (pos_ < data_.size() && IsPdfRegular(data_[pos_])) {
    std::uint8_t c = data_[pos_++];
    if (c == '#' && pos_ + 1 < data_.size() && HexDigitValue(data_[pos_]) >= 0 &&
        HexDigitValue(data_[pos_ + 1]) >= 0) {
      c = static_cast<std::uint8_t>(HexDigitValue(data_[pos_]) * 16 +
                                    HexDigitValue(data_[pos_ + 1]));
      pos_ += 2;
    }
    token.text.push_back(static_cast<char>(c));
  }
}

}  // namespace lvx::pdf
