// The JBIG2 region segments' own fields (after the region information): generic regions (with
// the row count that ends one of unknown length), generic refinement regions and text regions.
// Each answers the region's bitmap.
#ifndef LVXPDF_JBIG2_REGIONS_H
#define LVXPDF_JBIG2_REGIONS_H

#include <span>

#include "jbig2_bitmap.h"
#include "jbig2_segments.h"
#include "jbig2_text.h"

namespace lvx::pdf::jbig2 {

// `info.height` becomes the row count when the data's length was unknown.
Bitmap DecodeGenericRegion(ByteReader& reader, RegionInfo& info, bool unknownLength,
                           Allowance& allowance);

Bitmap DecodeRefinementRegion(ByteReader& reader, const RegionInfo& info, const Bitmap& reference,
                              Allowance& allowance);

Bitmap DecodeTextRegion(ByteReader& reader, const RegionInfo& info, std::span<const Symbol> symbols,
                        Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
