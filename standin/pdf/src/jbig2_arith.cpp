#include "jbig2_arith.h"

#include "jbig2_bitmap.h"

namespace lvx::pdf::jbig2 {
namespace {

constexpr Context kMpsBit = 0x80;

}  // namespace

const std::array<QeEntry, 47> kQeTable = {{
    {0x5601, 1, 1, 1},   {0x3401, 2, 6, 0},   {0x1801, 3, 9, 0},   {0x0AC1, 4, 12, 0},
    {0x0521, 5, 29, 0},  {0x0221, 38, 33, 0}, {0x5601, 7, 6, 1},   {0x5401, 8, 14, 0},
    {0x4801, 9, 14, 0},  {0x3801, 10, 14, 0}, {0x3001, 11, 17, 0}, {0x2401, 12, 18, 0},
    {0x1C01, 13, 20, 0}, {0x1601, 29, 21, 0}, {0x5601, 15, 14, 1}, {0x5401, 16, 14, 0},
    {0x5101, 17, 15, 0}, {0x4801, 18, 16, 0}, {0x3801, 19, 17, 0}, {0x3401, 20, 18, 0},
    {0x3001, 21, 19, 0}, {0x2801, 22, 19, 0}, {0x2401, 23, 20, 0}, {0x2201, 24, 21, 0},
    {0x1C01, 25, 22, 0}, {0x1801, 26, 23, 0}, {0x1601, 27, 24, 0}, {0x1401, 28, 25, 0},
    {0x1201, 29, 26, 0}, {0x1101, 30, 27, 0}, {0x0AC1, 31, 28, 0}, {0x09C1, 32, 29, 0},
    {0x08A1, 33, 30, 0}, {0x0521, 34, 31, 0}, {0x0441, 35, 32, 0}, {0x02A1, 36, 33, 0},
    {0x0221, 37, 34, 0}, {0x0141, 38, 35, 0}, {0x0111, 39, 36, 0}, {0x0085, 40, 37, 0},
    {0x0049, 41, 38, 0}, {0x0025, 42, 39, 0}, {0x0015, 43, 40, 0}, {0x0009, 44, 41, 0},
    {0x0005, 45, 42, 0}, {0x0001, 45, 43, 0}, {0x5601, 46, 46, 0},
}};

ArithDecoder::ArithDecoder(std::span<const std::uint8_t> data)
    : data_(data), c_(std::uint32_t{ByteAt(0)} << 16), a_(0x8000) {
  ByteIn();
  c_ <<= 7;
  ct_ -= 7;
}

void ArithDecoder::ByteIn() {
  if (ByteAt(pos_) == 0xFF) {
    if (ByteAt(pos_ + 1) > 0x8F) {
      c_ += 0xFF00;
      ct_ = 8;
    } else {
      ++pos_;
      c_ += std::uint32_t{ByteAt(pos_)} << 9;
      ct_ = 7;
    }
  } else {
    ++pos_;
    c_ += std::uint32_t{ByteAt(pos_)} << 8;
    ct_ = 8;
  }
}

int ArithDecoder::Decode(Context& cx) {
  const QeEntry& entry = kQeTable[cx & 0x7F];
  const int mps = (cx & kMpsBit) != 0 ? 1 : 0;
  const std::uint32_t qe = entry.qe;
  const auto toMps = [&] { cx = static_cast<Context>(entry.nextMps | (mps << 7)); };
  const auto toLps = [&](int bit) {
    cx = static_cast<Context>(entry.nextLps | ((entry.exchange != 0 ? bit : mps) << 7));
  };
  int bit = 0;
  a_ -= qe;
  // The less probable symbol's interval (Qe) lies below the more probable one's (A - Qe); where
  // A - Qe < Qe the two are exchanged.
  if ((c_ >> 16) < qe) {
    if (a_ < qe) {
      bit = mps;
      toMps();
    } else {
      bit = 1 - mps;
      toLps(bit);
    }
    a_ = qe;
  } else {
    c_ -= qe << 16;
    if ((a_ & 0x8000) != 0) {
      return mps;
    }
    if (a_ < qe) {
      bit = 1 - mps;
      toLps(bit);
    } else {
      bit = mps;
      toMps();
    }
  }
  do {
    if (ct_ == 0) {
      ByteIn();
    }
    a_ <<= 1;
    c_ <<= 1;
    --ct_;
  } while ((a_ & 0x8000) == 0);
  return bit;
}

std::optional<std::int64_t> IntDecoder::Decode(ArithDecoder& decoder) {
  unsigned prev = 1;
  const auto next = [&]() {
    const int bit = decoder.Decode(contexts_[prev]);
    prev = prev < 256 ? (prev << 1) | static_cast<unsigned>(bit)
                      : (((prev << 1) | static_cast<unsigned>(bit)) & 511) | 256;
    return bit;
  };
  const int sign = next();
  // The prefix chooses how many bits follow and the offset added to them.
  int bits = 0;
  std::int64_t offset = 0;
  if (next() == 0) {
    bits = 2;
  } else if (next() == 0) {
    bits = 4;
    offset = 4;
  } else if (next() == 0) {
    bits = 6;
    offset = 20;
  } else if (next() == 0) {
    bits = 8;
    offset = 84;
  } else if (next() == 0) {
    bits = 12;
    offset = 340;
  } else {
    bits = 32;
    offset = 4436;
  }
  std::int64_t value = 0;
  for (int i = 0; i < bits; ++i) {
    value = (value << 1) | next();
  }
  value += offset;
  if (sign != 0) {
    if (value == 0) {
      return std::nullopt;
    }
    return -value;
  }
  return value;
}

std::int64_t IntDecoder::DecodeValue(ArithDecoder& decoder) {
  const std::optional<std::int64_t> value = Decode(decoder);
  if (!value) {
    Damaged("out-of-band value where a number is required");
  }
  return *value;
}

IdDecoder::IdDecoder(unsigned codeLength)
    : length_(codeLength), contexts_(std::size_t{1} << codeLength, 0) {}

std::uint32_t IdDecoder::Decode(ArithDecoder& decoder) {
  std::uint32_t prev = 1;
  for (unsigned i = 0; i < length_; ++i) {
    prev = (prev << 1) | static_cast<std::uint32_t>(decoder.Decode(contexts_[prev]));
  }
  return prev - (std::uint32_t{1} << length_);
}

unsigned SymbolCodeLength(std::uint64_t count) {
  unsigned length = 0;
  while ((std::uint64_t{1} << length) < count) {
    ++length;
  }
  return length;
}

}  // namespace lvx::pdf::jbig2
