// The JBIG2 generic region decoding procedure (templates 0 to 3 with their adaptive pixels,
// typical prediction, skipped pixels) and the generic refinement procedure (templates 0 and 1,
// typical prediction against the reference).
#ifndef LVXPDF_JBIG2_GENERIC_H
#define LVXPDF_JBIG2_GENERIC_H

#include <array>
#include <cstdint>

#include "jbig2_arith.h"
#include "jbig2_bitmap.h"

namespace lvx::pdf::jbig2 {

struct GenericParams {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  int templateId = 0;  // 0 to 3
  bool typicalPrediction = false;
  // Adaptive pixels as (x, y) pairs: four for template 0, one for the others.
  std::array<int, 8> adaptive{};
  const Bitmap* skip = nullptr;  // pixels set here are not coded (0)
};

// The contexts a template needs.
Contexts GenericContexts(int templateId);
// The adaptive pixels' nominal positions for a template.
std::array<int, 8> NominalAdaptive(int templateId);

Bitmap DecodeGeneric(ArithDecoder& decoder, Contexts& contexts, const GenericParams& params,
                     Allowance& allowance);

struct RefineParams {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  int templateId = 0;  // 0 or 1
  bool typicalPrediction = false;
  const Bitmap* reference = nullptr;
  std::int64_t dx = 0;  // the reference's offset
  std::int64_t dy = 0;
  // Template 0's adaptive pixels: (x, y) in the bitmap decoded, then in the reference.
  std::array<int, 4> adaptive{-1, -1, -1, -1};
};

Contexts RefineContexts(int templateId);

Bitmap DecodeRefinement(ArithDecoder& decoder, Contexts& contexts, const RefineParams& params,
                        Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
