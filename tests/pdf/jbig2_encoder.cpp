#include "jbig2_encoder.h"

#include <cstdlib>

#include "jbig2_arith.h"

namespace lvx::pdf::test {
namespace {

// The generic templates' contexts, spelled out pixel by pixel (bit 0 is the pixel to the left).
std::uint32_t GenericContext(const TestBitmap& b, int x, int y, const GenericCoding& c) {
  const auto& a = c.adaptive;
  const auto p = [&](int dx, int dy, int bit) {
    return static_cast<std::uint32_t>(b.At(x + dx, y + dy)) << bit;
  };
  switch (c.templateId) {
    case 0:
      return p(-1, 0, 0) | p(-2, 0, 1) | p(-3, 0, 2) | p(-4, 0, 3) | p(a[0], a[1], 4) |
             p(2, -1, 5) | p(1, -1, 6) | p(0, -1, 7) | p(-1, -1, 8) | p(-2, -1, 9) |
             p(a[2], a[3], 10) | p(a[4], a[5], 11) | p(1, -2, 12) | p(0, -2, 13) | p(-1, -2, 14) |
             p(a[6], a[7], 15);
    case 1:
      return p(-1, 0, 0) | p(-2, 0, 1) | p(-3, 0, 2) | p(a[0], a[1], 3) | p(2, -1, 4) |
             p(1, -1, 5) | p(0, -1, 6) | p(-1, -1, 7) | p(-2, -1, 8) | p(2, -2, 9) | p(1, -2, 10) |
             p(0, -2, 11) | p(-1, -2, 12);
    case 2:
      return p(-1, 0, 0) | p(-2, 0, 1) | p(a[0], a[1], 2) | p(1, -1, 3) | p(0, -1, 4) |
             p(-1, -1, 5) | p(-2, -1, 6) | p(1, -2, 7) | p(0, -2, 8) | p(-1, -2, 9);
    default:
      return p(-1, 0, 0) | p(-2, 0, 1) | p(-3, 0, 2) | p(-4, 0, 3) | p(a[0], a[1], 4) |
             p(1, -1, 5) | p(0, -1, 6) | p(-1, -1, 7) | p(-2, -1, 8) | p(-3, -1, 9);
  }
}

std::uint32_t RefineContext(const TestBitmap& b, const TestBitmap& r, int x, int y,
                            const RefineCoding& c) {
  const auto p = [&](int dx, int dy, int bit) {
    return static_cast<std::uint32_t>(b.At(x + dx, y + dy)) << bit;
  };
  const auto q = [&](int dx, int dy, int bit) {
    return static_cast<std::uint32_t>(r.At(x - c.dx + dx, y - c.dy + dy)) << bit;
  };
  if (c.templateId == 0) {
    const auto& a = c.adaptive;
    return p(-1, 0, 0) | p(1, -1, 1) | p(0, -1, 2) | p(a[0], a[1], 3) | q(1, 1, 4) | q(0, 1, 5) |
           q(-1, 1, 6) | q(1, 0, 7) | q(0, 0, 8) | q(-1, 0, 9) | q(1, -1, 10) | q(0, -1, 11) |
           q(a[2], a[3], 12);
  }
  return p(-1, 0, 0) | p(1, -1, 1) | p(0, -1, 2) | p(-1, -1, 3) | q(1, 1, 4) | q(0, 1, 5) |
         q(1, 0, 6) | q(0, 0, 7) | q(-1, 0, 8) | q(0, -1, 9);
}

}  // namespace

void Put32(ByteVector& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

ByteVector Join(std::initializer_list<ByteVector> parts) {
  ByteVector all;
  for (const ByteVector& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

void TestBitmap::Combine(const TestBitmap& source, int x, int y, int op) {
  for (int sy = 0; sy < source.height; ++sy) {
    for (int sx = 0; sx < source.width; ++sx) {
      const int dx = x + sx;
      const int dy = y + sy;
      if (dx < 0 || dy < 0 || dx >= width || dy >= height) {
        continue;
      }
      const int s = source.At(sx, sy);
      const int d = At(dx, dy);
      const int results[] = {d | s, d & s, d ^ s, 1 - (d ^ s), s};
      Set(dx, dy, results[op]);
    }
  }
}

ByteVector TestBitmap::Packed() const {
  const int stride = (width + 7) / 8;
  ByteVector out(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (At(x, y) != 0) {
        out[static_cast<std::size_t>(y) * stride + x / 8] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  return out;
}

TestBitmap PatternedBitmap(int width, int height, std::uint32_t seed) {
  TestBitmap image(width, height);
  std::uint32_t state = seed * 2654435761U + 1;
  const auto next = [&state](int range) {
    state = state * 1103515245U + 12345U;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int y = 0; y < height; ++y) {
    if (y > 0 && next(3) == 0) {
      for (int x = 0; x < width; ++x) {
        image.Set(x, y, image.At(x, y - 1));  // a repeated row
      }
      continue;
    }
    for (int x = 0; x < width; ++x) {
      // Vertical strokes, a diagonal band and some noise.
      const int v = ((x / 3 + y / 5) % 4 == 0) || ((x + y) % 11 < 2) || next(13) == 0 ? 1 : 0;
      image.Set(x, y, v);
    }
  }
  return image;
}

void MqEncoder::Encode(std::uint8_t& cx, int bit) {
  const jbig2::QeEntry& entry = jbig2::kQeTable[cx & 0x7F];
  int mps = cx >> 7;
  const std::uint32_t qe = entry.qe;
  a_ -= qe;
  if (bit == mps) {
    if ((a_ & 0x8000) != 0) {
      c_ += qe;
      return;
    }
    if (a_ < qe) {
      a_ = qe;
    } else {
      c_ += qe;
    }
    cx = static_cast<std::uint8_t>(entry.nextMps | (mps << 7));
  } else {
    if (a_ < qe) {
      c_ += qe;
    } else {
      a_ = qe;
    }
    if (entry.exchange != 0) {
      mps = 1 - mps;
    }
    cx = static_cast<std::uint8_t>(entry.nextLps | (mps << 7));
  }
  do {
    a_ <<= 1;
    c_ <<= 1;
    if (--ct_ == 0) {
      ByteOut();
    }
  } while ((a_ & 0x8000) == 0);
}

void MqEncoder::ByteOut() {
  if (out_.back() != 0xFF) {
    if (c_ < 0x8000000) {
      out_.push_back(static_cast<std::uint8_t>(c_ >> 19));
      c_ &= 0x7FFFF;
      ct_ = 8;
      return;
    }
    ++out_.back();  // the carry
    if (out_.back() != 0xFF) {
      c_ &= 0x7FFFFFF;
      out_.push_back(static_cast<std::uint8_t>(c_ >> 19));
      c_ &= 0x7FFFF;
      ct_ = 8;
      return;
    }
    c_ &= 0x7FFFFFF;
  }
  // After 0xFF only seven bits go into the next byte.
  out_.push_back(static_cast<std::uint8_t>(c_ >> 20));
  c_ &= 0xFFFFF;
  ct_ = 7;
}

ByteVector MqEncoder::Finish() {
  const std::uint32_t top = c_ + a_;
  c_ |= 0xFFFF;
  if (c_ >= top) {
    c_ -= 0x8000;
  }
  c_ <<= ct_;
  ByteOut();
  c_ <<= ct_;
  ByteOut();
  if (out_.back() != 0xFF) {
    out_.push_back(0xFF);
  }
  out_.push_back(0xAC);
  return {out_.begin() + 1, out_.end()};
}

void MqEncoder::EncodeInteger(std::array<std::uint8_t, 512>& contexts,
                              std::optional<std::int64_t> value) {
  unsigned prev = 1;
  const auto put = [&](int bit) {
    Encode(contexts[prev], bit);
    prev = prev < 256 ? (prev << 1) | static_cast<unsigned>(bit)
                      : (((prev << 1) | static_cast<unsigned>(bit)) & 511) | 256;
  };
  if (!value) {  // out of band: minus zero
    for (const int bit : {1, 0, 0, 0}) {
      put(bit);
    }
    return;
  }
  const std::int64_t magnitude = std::llabs(*value);
  struct Range {
    std::int64_t low;
    int prefixOnes;
    int bits;
  };
  static constexpr Range kRanges[] = {{0, 0, 2},  {4, 1, 4},    {20, 2, 6},
                                      {84, 3, 8}, {340, 4, 12}, {4436, 5, 32}};
  const Range* range = &kRanges[0];
  for (const Range& candidate : kRanges) {
    if (magnitude >= candidate.low) {
      range = &candidate;
    }
  }
  put(*value < 0 ? 1 : 0);
  for (int i = 0; i < range->prefixOnes; ++i) {
    put(1);
  }
  if (range->prefixOnes < 5) {
    put(0);
  }
  const std::int64_t rest = magnitude - range->low;
  for (int i = range->bits - 1; i >= 0; --i) {
    put(static_cast<int>((rest >> i) & 1));
  }
}

void MqEncoder::EncodeId(std::vector<std::uint8_t>& contexts, unsigned length, std::uint32_t id) {
  std::uint32_t prev = 1;
  for (unsigned i = length; i-- > 0;) {
    const int bit = static_cast<int>((id >> i) & 1U);
    Encode(contexts[prev], bit);
    prev = (prev << 1) | static_cast<std::uint32_t>(bit);
  }
}

void EncodeGeneric(MqEncoder& encoder, std::vector<std::uint8_t>& contexts, const TestBitmap& image,
                   const GenericCoding& coding) {
  static constexpr std::uint32_t kTypical[] = {0x9B25, 0x0795, 0x00E5, 0x0195};
  int typical = 0;
  for (int y = 0; y < image.height; ++y) {
    if (coding.typicalPrediction) {
      bool same = true;
      for (int x = 0; x < image.width && same; ++x) {
        same = image.At(x, y) == image.At(x, y - 1);
      }
      encoder.Encode(contexts[kTypical[coding.templateId]], (same ? 1 : 0) ^ typical);
      typical = same ? 1 : 0;
      if (same) {
        continue;
      }
    }
    for (int x = 0; x < image.width; ++x) {
      if (coding.skip != nullptr && coding.skip->At(x, y) != 0) {
        continue;
      }
      encoder.Encode(contexts[GenericContext(image, x, y, coding)], image.At(x, y));
    }
  }
}

ByteVector EncodeGenericData(const TestBitmap& image, const GenericCoding& coding) {
  MqEncoder encoder;
  std::vector<std::uint8_t> contexts(65536, 0);
  EncodeGeneric(encoder, contexts, image, coding);
  return encoder.Finish();
}

void EncodeRefinement(MqEncoder& encoder, std::vector<std::uint8_t>& contexts,
                      const TestBitmap& image, const TestBitmap& reference,
                      const RefineCoding& coding) {
  const std::uint32_t typicalContext = coding.templateId == 0 ? 0x0100 : 0x0040;
  const auto uniform = [&](int x, int y, int& value) {
    value = reference.At(x - coding.dx, y - coding.dy);
    for (int j = -1; j <= 1; ++j) {
      for (int i = -1; i <= 1; ++i) {
        if (reference.At(x - coding.dx + i, y - coding.dy + j) != value) {
          return false;
        }
      }
    }
    return true;
  };
  int typical = 0;
  for (int y = 0; y < image.height; ++y) {
    if (coding.typicalPrediction) {
      // A row is typical when every pixel with a uniform reference neighbourhood equals it.
      bool row = true;
      for (int x = 0; x < image.width && row; ++x) {
        int value = 0;
        row = !uniform(x, y, value) || image.At(x, y) == value;
      }
      encoder.Encode(contexts[typicalContext], (row ? 1 : 0) ^ typical);
      typical = row ? 1 : 0;
    }
    for (int x = 0; x < image.width; ++x) {
      int value = 0;
      if (typical != 0 && uniform(x, y, value)) {
        continue;
      }
      encoder.Encode(contexts[RefineContext(image, reference, x, y, coding)], image.At(x, y));
    }
  }
}

ByteVector Segment(std::uint32_t number, std::uint8_t type,
                   const std::vector<std::uint32_t>& referred, std::uint32_t page,
                   const ByteVector& data, const SegmentOptions& options) {
  ByteVector out;
  Put32(out, number);
  out.push_back(static_cast<std::uint8_t>(type | (options.longPage ? 0x40 : 0)));
  if (referred.size() > 4) {  // the long form
    Put32(out, 0xE0000000U | static_cast<std::uint32_t>(referred.size()));
    out.resize(out.size() + (referred.size() + 8) / 8, 0);  // retention bits
  } else {
    out.push_back(static_cast<std::uint8_t>(referred.size() << 5));
  }
  for (const std::uint32_t r : referred) {
    if (number <= 256) {
      out.push_back(static_cast<std::uint8_t>(r));
    } else if (number <= 65536) {
      out.push_back(static_cast<std::uint8_t>(r >> 8));
      out.push_back(static_cast<std::uint8_t>(r));
    } else {
      Put32(out, r);
    }
  }
  if (options.longPage) {
    Put32(out, page);
  } else {
    out.push_back(static_cast<std::uint8_t>(page));
  }
  Put32(out, options.unknownLength ? 0xFFFFFFFFU : static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

ByteVector PageInformation(std::uint32_t width, std::uint32_t height, int defaultPixel,
                           std::uint16_t striping) {
  ByteVector out;
  Put32(out, width);
  Put32(out, height);
  Put32(out, 0);
  Put32(out, 0);
  out.push_back(static_cast<std::uint8_t>((defaultPixel << 2) | 0x40));  // operators overridden
  out.push_back(static_cast<std::uint8_t>(striping >> 8));
  out.push_back(static_cast<std::uint8_t>(striping));
  return out;
}

ByteVector RegionInfo(int width, int height, int x, int y, int op) {
  ByteVector out;
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put32(out, static_cast<std::uint32_t>(x));
  Put32(out, static_cast<std::uint32_t>(y));
  out.push_back(static_cast<std::uint8_t>(op));
  return out;
}

ByteVector EndOfStripe(std::uint32_t row) {
  ByteVector out;
  Put32(out, row);
  return out;
}

ByteVector GenericRegionData(const TestBitmap& image, int x, int y, int op,
                             const GenericCoding& coding, std::optional<std::uint32_t> rowCount) {
  ByteVector out = RegionInfo(image.width, rowCount ? -1 : image.height, x, y, op);
  out.push_back(
      static_cast<std::uint8_t>((coding.templateId << 1) | (coding.typicalPrediction ? 8 : 0)));
  const int adaptiveBytes = coding.templateId == 0 ? 8 : 2;
  for (int i = 0; i < adaptiveBytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(coding.adaptive[static_cast<std::size_t>(i)]));
  }
  const ByteVector code = EncodeGenericData(image, coding);
  out.insert(out.end(), code.begin(), code.end());
  if (rowCount) {
    Put32(out, *rowCount);
  }
  return out;
}

ByteVector RefinementRegionData(const TestBitmap& image, const TestBitmap& reference, int x, int y,
                                int op, const RefineCoding& coding) {
  ByteVector out = RegionInfo(image.width, image.height, x, y, op);
  out.push_back(static_cast<std::uint8_t>(coding.templateId | (coding.typicalPrediction ? 2 : 0)));
  if (coding.templateId == 0) {
    for (const int value : coding.adaptive) {
      out.push_back(static_cast<std::uint8_t>(value));
    }
  }
  MqEncoder encoder;
  std::vector<std::uint8_t> contexts(8192, 0);
  EncodeRefinement(encoder, contexts, image, reference, coding);
  const ByteVector code = encoder.Finish();
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

}  // namespace lvx::pdf::test
