// Sizes and counts made from numbers a file gives (image dimensions, sample grids, row lengths):
// multiplied in 64-bit arithmetic and held against a stated limit, so that no product wraps in a
// 32-bit process and both builds refuse exactly the same inputs.
#ifndef LVXPDF_CHECKED_SIZE_H
#define LVXPDF_CHECKED_SIZE_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>

namespace lvx::pdf {

// Limits passed here fit a 32-bit process's size_t.
inline constexpr std::uint64_t kLargestLimit = std::numeric_limits<std::uint32_t>::max() / 2;

// The product of `factors` when each is at least 1 and the product is at most `limit`; nothing
// otherwise.
constexpr std::optional<std::size_t> CheckedProduct(std::initializer_list<std::uint64_t> factors,
                                                    std::uint64_t limit) {
  if (limit > kLargestLimit) {
    limit = kLargestLimit;
  }
  std::uint64_t product = 1;
  for (const std::uint64_t factor : factors) {
    if (factor == 0 || factor > limit || product > limit / factor) {
      return std::nullopt;
    }
    product *= factor;
  }
  return static_cast<std::size_t>(product);
}

}  // namespace lvx::pdf

#endif
