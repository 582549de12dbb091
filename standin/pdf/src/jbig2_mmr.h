// MMR (two-dimensional T.6) coded bitmaps inside JBIG2 segments.
#ifndef LVXPDF_JBIG2_MMR_H
#define LVXPDF_JBIG2_MMR_H

#include <cstdint>
#include <span>

#include "jbig2_bitmap.h"

namespace lvx::pdf::jbig2 {

// Decodes an MMR-coded bitmap of `width` by `height` from `data`.
Bitmap DecodeMmr(std::span<const std::uint8_t> data, std::uint64_t width, std::uint64_t height,
                 Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
