#include "jbig2_bitmap.h"

#include <algorithm>

#include "work_budget.h"

namespace lvx::pdf::jbig2 {

void Fail(FailureKind kind, const char* reason) { throw Failure{kind, reason}; }

void Allowance::Take(std::uint64_t bytes) {
  if (bytes > bytes_) {
    Fail(FailureKind::kLimit, "bitmaps exceed the memory allowance");
  }
  bytes_ -= bytes;
}

void Work(std::uint64_t units) {
  if (!SpendWork(units)) {
    Fail(FailureKind::kLimit, "work budget spent");
  }
}

std::uint32_t CheckedCount(std::uint64_t count, const char* what) {
  if (count > kMaxCount) {
    Fail(FailureKind::kLimit, what);
  }
  return static_cast<std::uint32_t>(count);
}

Bitmap::Bitmap(std::uint64_t width, std::uint64_t height, Allowance& allowance) {
  if (width > kMaxSide || height > kMaxSide) {
    Fail(FailureKind::kLimit, "bitmap side over the limit");
  }
  const std::uint64_t stride = (width + 7) / 8;
  allowance.Take(stride * height + kBitmapOverhead);  // at most 2^31: no wrap
  width_ = static_cast<std::uint32_t>(width);
  height_ = static_cast<std::uint32_t>(height);
  stride_ = static_cast<std::size_t>(stride);
  bits_.assign(stride_ * height_, 0);
}

void Bitmap::Fill(int value) { std::fill(bits_.begin(), bits_.end(), value != 0 ? 0xFF : 0); }

void Bitmap::CopyRow(std::uint32_t from, std::uint32_t to) {
  const auto source = bits_.begin() + static_cast<std::ptrdiff_t>(from * stride_);
  std::copy_n(source, stride_, bits_.begin() + static_cast<std::ptrdiff_t>(to * stride_));
}

void Bitmap::Compose(const Bitmap& source, std::int64_t x, std::int64_t y, Combine op) {
  // The rows and columns of `source` that land inside this bitmap.
  const std::int64_t left = std::max<std::int64_t>(0, -x);
  const std::int64_t top = std::max<std::int64_t>(0, -y);
  const std::int64_t right = std::min<std::int64_t>(source.width_, std::int64_t{width_} - x);
  const std::int64_t bottom = std::min<std::int64_t>(source.height_, std::int64_t{height_} - y);
  if (left >= right || top >= bottom) {
    return;
  }
  Work(static_cast<std::uint64_t>((right - left) * (bottom - top)) / 8 + 1);
  for (std::int64_t sy = top; sy < bottom; ++sy) {
    const auto dy = static_cast<std::size_t>(sy + y);
    for (std::int64_t sx = left; sx < right; ++sx) {
      const auto dx = static_cast<std::size_t>(sx + x);
      std::uint8_t& byte = bits_[dy * stride_ + (dx >> 3)];
      const unsigned shift = 7 - static_cast<unsigned>(dx & 7);
      const unsigned d = (byte >> shift) & 1U;
      const auto s = static_cast<unsigned>(source.Get(sx, sy));
      unsigned r = 0;
      switch (op) {
        case Combine::kOr:
          r = d | s;
          break;
        case Combine::kAnd:
          r = d & s;
          break;
        case Combine::kXor:
          r = d ^ s;
          break;
        case Combine::kXnor:
          r = 1U ^ d ^ s;
          break;
        case Combine::kReplace:
          r = s;
          break;
      }
      byte = static_cast<std::uint8_t>((byte & ~(1U << shift)) | (r << shift));
    }
  }
}

Bitmap Bitmap::Part(std::int64_t x, std::int64_t y, std::uint64_t width, std::uint64_t height,
                    Allowance& allowance) const {
  Bitmap part(width, height, allowance);
  part.Compose(*this, -x, -y, Combine::kReplace);
  return part;
}

void Bitmap::GrowTo(std::uint64_t height, int fill, Allowance& allowance) {
  if (height <= height_) {
    return;
  }
  if (height > kMaxSide) {
    Fail(FailureKind::kLimit, "page height over the limit");
  }
  allowance.Take(stride_ * (height - height_));
  bits_.resize(stride_ * static_cast<std::size_t>(height), fill != 0 ? 0xFF : 0);
  height_ = static_cast<std::uint32_t>(height);
}

}  // namespace lvx::pdf::jbig2
