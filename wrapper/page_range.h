// The page range argument of the print-pages command: the first page in the low 16 bits and the
// last page in the high 16 bits, 0 for all pages. Portable (no Windows API).
#ifndef LUMIVEX_WRAPPER_PAGE_RANGE_H
#define LUMIVEX_WRAPPER_PAGE_RANGE_H

#include <cstdint>

#include "lumivexctl/lvx_types.h"

namespace lvx {

// FIRSTPAGE + LASTPAGE * 65536 as a 32-bit value, without masking either page: a page beyond 16
// bits or a negative page spills into the other half exactly as the 32-bit sum does. The sum is
// taken in unsigned arithmetic, which wraps instead of overflowing, and converted back (modular
// since C++20), so every input has a defined result with the bits of the two's-complement sum.
// Only the omission of the first page is decisive: then all pages are printed and the last page
// is not used. An omitted last page counts as 0 whatever value came with it.
constexpr std::int32_t PrintPagesArgument(LvxOptionalInt32 first, LvxOptionalInt32 last) noexcept {
  if (first.omitted != 0) {
    return 0;
  }
  const auto low = static_cast<std::uint32_t>(first.value);
  const std::uint32_t high = last.omitted != 0 ? 0U : static_cast<std::uint32_t>(last.value);
  return static_cast<std::int32_t>(low + high * 65536U);
}

}  // namespace lvx

#endif
