// The JBIG2 pattern dictionary and halftone region decoding procedures (arithmetic coding): the
// patterns cut from one collective bitmap, and the grey-scale image of pattern numbers decoded by
// bit planes in Gray code, whose patterns are placed along the halftone grid.
#ifndef LVXPDF_JBIG2_HALFTONE_H
#define LVXPDF_JBIG2_HALFTONE_H

#include <span>
#include <vector>

#include "jbig2_bitmap.h"
#include "jbig2_segments.h"
#include "jbig2_text.h"

namespace lvx::pdf::jbig2 {

std::vector<Symbol> DecodePatternDictionary(std::span<const std::uint8_t> data,
                                            Allowance& allowance);

// Decodes a halftone region segment's data (after its region information) with `patterns`.
Bitmap DecodeHalftone(ByteReader& reader, const RegionInfo& info, std::span<const Symbol> patterns,
                      Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
