#include "fixed_decimal.h"

#include <algorithm>
#include <limits>

namespace lvx::resize {
namespace {

// Integer division already truncates toward zero; results are brought back into 32 bits, which
// only matters for absurd inputs (a result that does not fit is held at the nearest limit).
std::int32_t Narrow(std::int64_t value) noexcept {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Ratio RatioOf(std::int32_t numerator, std::int32_t denominator) noexcept {
  if (denominator == 0) {
    return Ratio{0};
  }
  const std::int64_t top = static_cast<std::int64_t>(numerator) * kRatioScale;
  const std::int64_t bottom = denominator;
  const bool negative = (top < 0) != (bottom < 0);
  const std::int64_t a = top < 0 ? -top : top;
  const std::int64_t b = bottom < 0 ? -bottom : bottom;
  // Half away from zero on the magnitudes: floor((2a + b) / 2b).
  std::int64_t rounded = (2 * a + b) / (2 * b);
  rounded = std::min<std::int64_t>(rounded, kRatioLimit);
  return Ratio{static_cast<std::int32_t>(negative ? -rounded : rounded)};
}

std::int32_t ScaleTrunc(std::int32_t value, Ratio ratio) noexcept {
  return Narrow(static_cast<std::int64_t>(value) * ratio.scaled / kRatioScale);
}

std::int32_t AnchorTrunc(std::int32_t size, std::int32_t distance, Ratio ratio) noexcept {
  const std::int64_t exact = static_cast<std::int64_t>(size) * kRatioScale -
                             static_cast<std::int64_t>(distance) * ratio.scaled;
  return Narrow(exact / kRatioScale);
}

std::int32_t CentreScaledTrunc(std::int32_t size, std::int32_t offset, Ratio ratio) noexcept {
  // size / 2 is exact at 4 places: size × 5000.
  const std::int64_t exact = static_cast<std::int64_t>(size) * (kRatioScale / 2) +
                             static_cast<std::int64_t>(offset) * ratio.scaled;
  return Narrow(exact / kRatioScale);
}

std::int32_t CentreTrunc(std::int32_t size, std::int32_t offset) noexcept {
  return Narrow((static_cast<std::int64_t>(size) + 2 * static_cast<std::int64_t>(offset)) / 2);
}

std::int32_t OffsetFromCentre(std::int32_t position, std::int32_t size) noexcept {
  return Narrow((2 * static_cast<std::int64_t>(position) - size) / 2);
}

}  // namespace lvx::resize
