// libFuzzer target for the PNG and TIFF predictors: the first four bytes choose the predictor,
// colours, bits per component and columns; the rest are the rows.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "filters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) {
    return 0;
  }
  using lvx::pdf::Object;
  constexpr std::int64_t kPredictors[] = {1, 2, 10, 11, 12, 13, 14, 15};
  constexpr std::int64_t kBits[] = {1, 2, 4, 8, 16, 3, 8, 8};
  lvx::pdf::Dict parms;
  parms.entries = {{"Predictor", Object(kPredictors[data[0] % 8])},
                   {"Colors", Object(std::int64_t{data[1] % 5})},
                   {"BitsPerComponent", Object(kBits[data[2] % 8])},
                   {"Columns", Object(std::int64_t{data[3]} * (data[0] >= 128 ? 7 : 1))}};
  lvx::pdf::FilterStatus status = lvx::pdf::FilterStatus::kOk;
  (void)lvx::pdf::Unpredict(std::vector<std::uint8_t>(data + 4, data + size), parms, status);
  return 0;
}
