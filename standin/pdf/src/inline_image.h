// Inline images (BI ... ID data EI) in content streams: the one reader that both text extraction
// and drawing step over them with. The dictionary's keys and names are spelled out; unfiltered
// data has the length its size gives (so that "EI" inside the samples is data), filtered data
// ends at "EI" standing alone.
#ifndef LVXPDF_INLINE_IMAGE_H
#define LVXPDF_INLINE_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "lexer.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// Inline images larger than this are stepped over without their data.
inline constexpr std::size_t kMaxInlineImageBytes = std::size_t{64} << 20;

struct InlineImageData {
  Dict dict;                           // keys spelled out (W -> Width ...)
  std::span<const std::uint8_t> data;  // inside the lexer's content; empty when too large
};

// Reads the image that follows BI, leaving `lexer` after its EI.
InlineImageData ReadInlineImage(PdfFile& file, Lexer& lexer, const Object& resources);

}  // namespace lvx::pdf

#endif
