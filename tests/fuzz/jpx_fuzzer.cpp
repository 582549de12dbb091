// libFuzzer target for the JPEG 2000 decoder: any bytes, as a JPXDecode image's data, with the
// bounds and the work budget of a page.
#include <cstddef>
#include <cstdint>
#include <span>

#include "jpx_decoder.h"
#include "page_limits.h"
#include "work_budget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lvx::pdf::JpxOptions options;
  options.maxPixels = lvx::pdf::kMaxImagePixels;
  options.maxDecodeBytes = lvx::pdf::kImageSampleBytes;
  lvx::pdf::WorkBudget budget(lvx::pdf::kPageWorkUnits);
  const lvx::pdf::WorkBudget::Scope scope(budget);
  (void)lvx::pdf::DecodeJpx(std::span(data, size), options);
  return 0;
}
