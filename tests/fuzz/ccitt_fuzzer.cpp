// libFuzzer target for the CCITTFaxDecode filter: the first five bytes choose the parameters
// (byte 0: K from -1, 0, 1, 4 in its low two bits, then EndOfLine, EncodedByteAlign, BlackIs1
// and whether Rows is given; bytes 1-2 Columns, 0 for the default; bytes 3-4 Rows), the rest is
// the coded data, decoded with the output bounded as an image's samples are.
#include <cstddef>
#include <cstdint>
#include <span>

#include "ccitt_decoder.h"
#include "page_limits.h"
#include "work_budget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) {
    return 0;
  }
  using lvx::pdf::Object;
  constexpr std::int64_t kK[] = {-1, 0, 1, 4};
  const std::uint8_t mode = data[0];
  const std::int64_t columns = (std::int64_t{data[1]} << 8) | data[2];
  lvx::pdf::Dict parms;
  parms.entries = {{"K", Object(kK[mode & 3U])},
                   {"EndOfLine", Object((mode & 4U) != 0)},
                   {"EncodedByteAlign", Object((mode & 8U) != 0)},
                   {"BlackIs1", Object((mode & 16U) != 0)}};
  if (columns != 0) {
    parms.entries.emplace_back("Columns", Object(columns));
  }
  if ((mode & 32U) != 0) {
    parms.entries.emplace_back("Rows", Object((std::int64_t{data[3]} << 8) | data[4]));
  }
  lvx::pdf::WorkBudget budget(lvx::pdf::kPageWorkUnits);
  const lvx::pdf::WorkBudget::Scope scope(budget);
  lvx::pdf::FilterStatus status = lvx::pdf::FilterStatus::kOk;
  (void)lvx::pdf::CcittFaxDecode(parms, std::span(data + 5, size - 5),
                                 static_cast<std::size_t>(lvx::pdf::kImageSampleBytes), status);
  return 0;
}
