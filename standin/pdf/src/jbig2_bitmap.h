// The JBIG2 decoder's bitmaps (rows packed eight pixels a byte, most significant bit first, 1 =
// black), how they are combined, and what one image's decoding may take: every bitmap made counts
// against a byte allowance, every decoded pixel against the page's work budget. Damaged data and
// refused sizes end the decoding through Failure, caught where the image is decoded.
#ifndef LVXPDF_JBIG2_BITMAP_H
#define LVXPDF_JBIG2_BITMAP_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lvx::pdf::jbig2 {

enum class FailureKind : std::uint8_t {
  kDamaged,      // the data contradicts itself or ends too early
  kUnsupported,  // a coding this decoder does not implement
  kLimit,        // a size, count, the memory allowance or the work budget was exceeded
};

struct Failure {
  FailureKind kind;
  const char* reason;
};

[[noreturn]] void Fail(FailureKind kind, const char* reason);
[[noreturn]] inline void Damaged(const char* reason) { Fail(FailureKind::kDamaged, reason); }

// The largest side of any bitmap (page, region, symbol, pattern, grid), and the largest count of
// symbols, patterns or instances, whatever the byte allowance still holds.
inline constexpr std::uint64_t kMaxSide = std::uint64_t{1} << 17;
inline constexpr std::uint64_t kMaxCount = std::uint64_t{1} << 20;
// Bytes a bitmap costs beyond its pixels (its bookkeeping and the allocator's).
inline constexpr std::uint64_t kBitmapOverhead = 64;

// Bytes of bitmaps one image's decoding may still make.
class Allowance {
 public:
  explicit Allowance(std::uint64_t bytes) : bytes_(bytes) {}
  // Takes `bytes`; fails once they are not there.
  void Take(std::uint64_t bytes);
  [[nodiscard]] std::uint64_t Left() const { return bytes_; }

 private:
  std::uint64_t bytes_;
};

// Counts `units` against the page's work budget; fails once it is spent.
void Work(std::uint64_t units);

// A count read from the data, checked against kMaxCount.
std::uint32_t CheckedCount(std::uint64_t count, const char* what);

enum class Combine : std::uint8_t { kOr = 0, kAnd = 1, kXor = 2, kXnor = 3, kReplace = 4 };

class Bitmap {
 public:
  Bitmap() = default;
  // A white bitmap; sizes are checked against kMaxSide and the allowance. Either side may be 0.
  Bitmap(std::uint64_t width, std::uint64_t height, Allowance& allowance);

  [[nodiscard]] std::uint32_t Width() const { return width_; }
  [[nodiscard]] std::uint32_t Height() const { return height_; }
  [[nodiscard]] std::size_t Stride() const { return stride_; }
  [[nodiscard]] bool Empty() const { return width_ == 0 || height_ == 0; }

  // The pixel at (x, y); 0 outside the bitmap.
  [[nodiscard]] int Get(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
      return 0;
    }
    const std::size_t at = static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x >> 3);
    return (bits_[at] >> (7 - (x & 7))) & 1;
  }
  // Sets a pixel inside the bitmap to 1 (the bitmap starts white).
  void SetBlack(std::uint32_t x, std::uint32_t y) {
    bits_[static_cast<std::size_t>(y) * stride_ + (x >> 3)] |=
        static_cast<std::uint8_t>(0x80U >> (x & 7));
  }
  void Fill(int value);
  // Copies row `from` over row `to`.
  void CopyRow(std::uint32_t from, std::uint32_t to);
  // Combines `source` into this bitmap with its top left corner at (x, y); what falls outside is
  // dropped.
  void Compose(const Bitmap& source, std::int64_t x, std::int64_t y, Combine op);
  // The part of this bitmap of `width` by `height` at (x, y), white beyond its edges.
  [[nodiscard]] Bitmap Part(std::int64_t x, std::int64_t y, std::uint64_t width,
                            std::uint64_t height, Allowance& allowance) const;
  // Grows the height (white rows below), for pages whose height the stripes tell.
  void GrowTo(std::uint64_t height, int fill, Allowance& allowance);

  [[nodiscard]] std::span<const std::uint8_t> Bits() const { return bits_; }
  // The bytes of row `y` (inside the bitmap), for decoders that produce whole rows.
  [[nodiscard]] std::span<std::uint8_t> Row(std::uint32_t y) {
    return std::span<std::uint8_t>(bits_).subspan(static_cast<std::size_t>(y) * stride_, stride_);
  }

 private:
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

}  // namespace lvx::pdf::jbig2

#endif
