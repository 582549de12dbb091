// The shown document's pages as a PostScript program, for printing without a device context:
// each page at its own size and rotation, each text run in the standard PostScript font of its
// family at its position and size, stretched to its width. Pure code, no Windows API.
#ifndef LUMIVEX_STANDIN_POSTSCRIPT_WRITER_H
#define LUMIVEX_STANDIN_POSTSCRIPT_WRITER_H

#include <string>
#include <string_view>

#include "print_range.h"
#include "shown_document.h"

namespace lvx::standin {

std::string PostScriptFor(const ShownDocument& document, PageRange pages, std::string_view title);

// The standard PostScript font for a PDF font family and style ("Times-BoldItalic", ...).
std::string StandardFontFor(std::string_view family, bool bold, bool italic);

// A PostScript string literal, "(...)", with ( ) \ escaped and other bytes outside printable
// ASCII written in octal.
std::string PostScriptString(std::string_view text);

}  // namespace lvx::standin

#endif
