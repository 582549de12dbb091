#include "jbig2_mmr.h"

namespace lvx::pdf::jbig2 {

Bitmap DecodeMmr(std::span<const std::uint8_t> /*data*/, std::uint64_t /*width*/,
                 std::uint64_t /*height*/, Allowance& /*allowance*/) {
  // No T.6 decoder yet: an MMR-coded region ends the image's decoding, which leaves it out.
  Fail(FailureKind::kUnsupported, "MMR-coded region");
}

}  // namespace lvx::pdf::jbig2
