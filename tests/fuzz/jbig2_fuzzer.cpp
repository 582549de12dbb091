// libFuzzer target for the JBIG2 decoder: the first two bytes give the length of a globals stream
// (big-endian), which follows; the rest is the image's stream. Decoded with a page's work budget
// and the memory allowance of one image's samples, as the reader decodes an image.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "jbig2.h"
#include "page_limits.h"
#include "work_budget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const std::span<const std::uint8_t> input(data, size);
  const std::size_t globalsSize =
      std::min<std::size_t>((std::size_t{input[0]} << 8) | input[1], size - 2);
  lvx::pdf::WorkBudget budget(lvx::pdf::kPageWorkUnits);
  const lvx::pdf::WorkBudget::Scope scope(budget);
  (void)lvx::pdf::DecodeJbig2(input.subspan(2 + globalsSize), input.subspan(2, globalsSize),
                              lvx::pdf::kImageSampleBytes);
  return 0;
}
