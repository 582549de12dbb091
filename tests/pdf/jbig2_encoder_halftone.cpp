// The tests' encoder of pattern dictionaries and halftone regions (arithmetic coding).
#include "jbig2_arith.h"
#include "jbig2_encoder.h"

namespace lvx::pdf::test {
ByteVector PatternDictionaryData(const std::vector<TestBitmap>& patterns, int templateId) {
  const int width = patterns[0].width;
  const int height = patterns[0].height;
  ByteVector out;
  out.push_back(static_cast<std::uint8_t>(templateId << 1));
  out.push_back(static_cast<std::uint8_t>(width));
  out.push_back(static_cast<std::uint8_t>(height));
  Put32(out, static_cast<std::uint32_t>(patterns.size() - 1));
  TestBitmap collective(width * static_cast<int>(patterns.size()), height);
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    collective.Combine(patterns[i], width * static_cast<int>(i), 0, 4);
  }
  GenericCoding coding;
  coding.templateId = templateId;
  // The first adaptive pixel looks one pattern back; the others stay where they are.
  coding.adaptive = {-width, 0, -3, -1, 2, -2, -2, -2};
  const ByteVector code = EncodeGenericData(collective, coding);
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

std::array<int, 2> HalftoneCell(const HalftoneCoding& coding, int m, int n) {
  // An arithmetic shift: the grid may start left of or above the region.
  const int x = (coding.gridX + m * coding.stepY + n * coding.stepX) >> 8;
  const int y = (coding.gridY + m * coding.stepX - n * coding.stepY) >> 8;
  return {x, y};
}

ByteVector HalftoneRegionData(int width, int height, int x, int y, int op,
                              std::vector<std::uint32_t> values, int patternCount, int patternWidth,
                              int patternHeight, const HalftoneCoding& coding) {
  ByteVector out = RegionInfo(width, height, x, y, op);
  out.push_back(static_cast<std::uint8_t>((coding.templateId << 1) | (coding.skip ? 8 : 0) |
                                          (coding.op << 4) | (coding.defaultPixel << 7)));
  Put32(out, static_cast<std::uint32_t>(coding.gridWidth));
  Put32(out, static_cast<std::uint32_t>(coding.gridHeight));
  Put32(out, static_cast<std::uint32_t>(coding.gridX));
  Put32(out, static_cast<std::uint32_t>(coding.gridY));
  out.push_back(static_cast<std::uint8_t>(coding.stepX >> 8));
  out.push_back(static_cast<std::uint8_t>(coding.stepX));
  out.push_back(static_cast<std::uint8_t>(coding.stepY >> 8));
  out.push_back(static_cast<std::uint8_t>(coding.stepY));
  TestBitmap skipped(coding.gridWidth, coding.gridHeight);
  for (int m = 0; m < coding.gridHeight && coding.skip; ++m) {
    for (int n = 0; n < coding.gridWidth; ++n) {
      const auto [px, py] = HalftoneCell(coding, m, n);
      if (px + patternWidth <= 0 || px >= width || py + patternHeight <= 0 || py >= height) {
        skipped.Set(n, m, 1);
        values[static_cast<std::size_t>(m * coding.gridWidth + n)] = 0;
      }
    }
  }
  const auto bits =
      static_cast<int>(jbig2::SymbolCodeLength(static_cast<std::uint64_t>(patternCount)));
  MqEncoder encoder;
  std::vector<std::uint8_t> contexts(65536, 0);
  GenericCoding plane;
  plane.templateId = coding.templateId;
  plane.adaptive = {coding.templateId <= 1 ? 3 : 2, -1, -3, -1, 2, -2, -2, -2};
  for (int j = bits - 1; j >= 0; --j) {
    // Plane j in Gray code: bit j of each value, exclusive-or bit j + 1.
    TestBitmap image(coding.gridWidth, coding.gridHeight);
    for (int m = 0; m < coding.gridHeight; ++m) {
      for (int n = 0; n < coding.gridWidth; ++n) {
        const std::uint32_t value = values[static_cast<std::size_t>(m * coding.gridWidth + n)];
        image.Set(n, m, static_cast<int>(((value >> j) ^ (value >> (j + 1))) & 1U));
      }
    }
    plane.skip = coding.skip ? &skipped : nullptr;
    EncodeGeneric(encoder, contexts, image, plane);
  }
  const ByteVector code = encoder.Finish();
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

}  // namespace lvx::pdf::test
