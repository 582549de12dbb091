// A page's text: its content streams interpreted for the text sink, each shown glyph with its
// place handed to a TextAssembler. Text extraction builds no paths and decodes no images.
#ifndef LVXPDF_PAGE_TEXT_H
#define LVXPDF_PAGE_TEXT_H

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
