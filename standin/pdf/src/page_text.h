// A page's text: its content streams and then its annotations' appearances (form fields among
// them) interpreted for the text sink, each shown glyph with its place handed to a
// TextAssembler. Text extraction builds no paths and decodes no images.
#ifndef LVXPDF_PAGE_TEXT_H
#define LVXPDF_PAGE_TEXT_H

#include <cstdint>
#include <span>

#include "font_cache.h"
#include "object.h"
#include "text_assembly.h"

namespace lvx::pdf {

class PdfFile;

// `page` is the page's dictionary, `resources` those that apply to it.
void ExtractText(PdfFile& file, FontCache& fonts, const Dict& page, const Object& resources,
                 TextAssembler& sink);
// The same for content already decoded and joined.
void ExtractContentText(PdfFile& file, FontCache& fonts, std::span<const std::uint8_t> content,
                        const Object& resources, TextAssembler& sink);

}  // namespace lvx::pdf

#endif
