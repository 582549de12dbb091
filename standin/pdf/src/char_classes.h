// The classes of bytes in PDF syntax (white space, delimiters, regular characters) and the value
// of a hexadecimal digit, shared by the lexer, the filters and the glyph-name reader.
#ifndef LVXPDF_CHAR_CLASSES_H
#define LVXPDF_CHAR_CLASSES_H

#include <cstdint>

namespace lvx::pdf {

inline bool IsPdfWhitespace(std::uint8_t c) {
  return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}
inline bool IsPdfDelimiter(std::uint8_t c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}
inline bool IsPdfRegular(std::uint8_t c) { return !IsPdfWhitespace(c) && !IsPdfDelimiter(c); }

// The value of a hexadecimal digit (either case), -1 for any other byte.
inline int HexDigitValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

}  // namespace lvx::pdf

#endif
