// The JBIG2 text region decoding procedure (arithmetic coding): symbol instances placed in strips,
// transposed or not, from any reference corner, combined with the region's operator, each
// optionally refined.
#ifndef LVXPDF_JBIG2_TEXT_H
#define LVXPDF_JBIG2_TEXT_H

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "jbig2_arith.h"
#include "jbig2_bitmap.h"

namespace lvx::pdf::jbig2 {

using Symbol = std::shared_ptr<const Bitmap>;

// The integer decoders of a text region; a symbol dictionary's aggregate symbols share one set.
struct TextDecoders {
  explicit TextDecoders(unsigned codeLength) : id(codeLength) {}
  IntDecoder dt, fs, ds, it, ri, rdw, rdh, rdx, rdy;
  IdDecoder id;
};

enum class Corner : std::uint8_t { kBottomLeft = 0, kTopLeft = 1, kBottomRight = 2, kTopRight = 3 };

struct TextParams {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  std::uint64_t instances = 0;
  unsigned logStrips = 0;
  Corner corner = Corner::kTopLeft;
  bool transposed = false;
  Combine op = Combine::kOr;
  int defaultPixel = 0;
  int dsOffset = 0;
  bool refine = false;
  int refineTemplate = 0;
  std::array<int, 4> refineAdaptive{-1, -1, -1, -1};
  std::span<const Symbol> symbols;
};

// `refineContexts` are the generic refinement contexts of the refinement template.
Bitmap DecodeText(ArithDecoder& decoder, TextDecoders& decoders, Contexts& refineContexts,
                  const TextParams& params, Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
