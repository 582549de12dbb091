// Interprets a page's content streams for their text: the text state and positioning operators,
// the text-showing operators, the graphics state stack and matrix, and form XObjects, feeding
// each shown glyph with its place to a TextAssembler. Budgets bound the work on hostile input.
#ifndef LVXPDF_CONTENT_TEXT_H
#define LVXPDF_CONTENT_TEXT_H

#include <cstdint>
#include <span>

#include "font_cache.h"
#include "object.h"
#include "text_assembly.h"

namespace lvx::pdf {

class PdfFile;

// `contents` is the page's /Contents (a stream, an array of streams, or references to them).
void ExtractText(PdfFile& file, FontCache& fonts, const Object& contents, const Object& resources,
                 TextAssembler& sink);
// The same for content already decoded and joined.
void ExtractContentText(PdfFile& file, FontCache& fonts, std::span<const std::uint8_t> content,
                        const Object& resources, TextAssembler& sink);

}  // namespace lvx::pdf

#endif
