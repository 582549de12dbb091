// Builds objects from tokens: the object syntax of PDF files and of content-stream operands.
#ifndef LVXPDF_PARSER_H
#define LVXPDF_PARSER_H

#include <functional>
#include <string>

#include "lexer.h"
#include "object.h"

namespace lvx::pdf {

// Arrays and dictionaries nested deeper than this read as null (their brackets are consumed).
inline constexpr int kMaxObjectDepth = 64;

struct ParseOptions {
  bool allowRefs = true;  // "N G R" is a reference (not in content streams)
  // Applied to every string as it is read (decryption of an encrypted file's strings).
  const std::function<void(std::string&)>* transformString = nullptr;
};

// Parses one object whose first token is `first` (already read from `lexer`). Keywords that end
// an object's syntax (endobj, stream, ...) met inside an array or dictionary end it there and are
// left for the caller to read again.
Object ParseObject(Lexer& lexer, Token& first, const ParseOptions& options = {}, int depth = 0);

// Reads the next token and parses the object it starts.
Object ParseNextObject(Lexer& lexer, const ParseOptions& options = {});

}  // namespace lvx::pdf

#endif
