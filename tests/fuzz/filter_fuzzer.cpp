// libFuzzer target for one stream filter, named at compile time (LVX_FUZZ_FILTER): any bytes
// decoded with the output bounded as a file's streams are.
#include <cstddef>
#include <cstdint>
#include <span>

#include "filters.h"

// The build names the filter; a default lets the file compile on its own, as analysers do.
#ifndef LVX_FUZZ_FILTER
#define LVX_FUZZ_FILTER "FlateDecode"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const lvx::pdf::Dict kNoParms;
  lvx::pdf::FilterStatus status = lvx::pdf::FilterStatus::kOk;
  (void)lvx::pdf::ApplyFilter(LVX_FUZZ_FILTER, kNoParms, std::span(data, size),
                              std::size_t{1} << 22, status);
  return 0;
}
