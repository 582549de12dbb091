// Exact decimal arithmetic for the resizer, in integers: ratios are held with 4 decimal places
// (value × 10000), and every position or size that comes out of a product or a sum is truncated
// toward zero. No floating point, so every result is the same on every machine.
#ifndef LUMIVEX_DEMO_RESIZER_FIXED_DECIMAL_H
#define LUMIVEX_DEMO_RESIZER_FIXED_DECIMAL_H

#include <cstdint>

namespace lvx::resize {

// A ratio with 4 decimal places: `scaled` is the ratio × 10000 (1.4118 is 14118).
struct Ratio {
  std::int32_t scaled = 0;
  friend constexpr bool operator==(Ratio, Ratio) = default;
};

inline constexpr std::int64_t kRatioScale = 10000;
// The ratio has 3 integer digits: 999.9999 is the largest value it holds.
inline constexpr std::int32_t kRatioLimit = 9'999'999;
inline constexpr Ratio kRatioOne{10000};

// numerator / denominator rounded half away from zero at 4 places; 0 when the denominator is 0;
// held at ±999.9999 when the quotient does not fit.
Ratio RatioOf(std::int32_t numerator, std::int32_t denominator) noexcept;

// trunc(value × ratio)
std::int32_t ScaleTrunc(std::int32_t value, Ratio ratio) noexcept;

// trunc(size − distance × ratio): a position anchored to the far edge, the whole difference
// truncated (not the product).
std::int32_t AnchorTrunc(std::int32_t size, std::int32_t distance, Ratio ratio) noexcept;

// trunc(size / 2 + offset × ratio): a position kept relative to the centre, exact half included.
std::int32_t CentreScaledTrunc(std::int32_t size, std::int32_t offset, Ratio ratio) noexcept;

// trunc(size / 2 + offset)
std::int32_t CentreTrunc(std::int32_t size, std::int32_t offset) noexcept;

// trunc(position − size / 2): a control's captured offset from the window's centre.
std::int32_t OffsetFromCentre(std::int32_t position, std::int32_t size) noexcept;

}  // namespace lvx::resize

#endif
