#include "print_range.h"

#include <algorithm>

namespace lvx::standin {

std::optional<PageRange> ResolvePageRange(std::int32_t range, int pageCount) {
  if (pageCount <= 0) {
    return std::nullopt;
  }
  if (range == 0) {
    return PageRange{1, pageCount};
  }
  const auto bits = static_cast<std::uint32_t>(range);
  const int first = std::max(1, static_cast<int>(bits & 0xFFFFU));
  const int lastAsked = static_cast<int>(bits >> 16U);
  const int last = lastAsked == 0 ? pageCount : std::min(lastAsked, pageCount);
  if (first > pageCount || first > last) {
    return std::nullopt;
  }
  return PageRange{first, last};
}

}  // namespace lvx::standin
