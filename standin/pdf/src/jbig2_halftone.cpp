#include "jbig2_halftone.h"

#include "jbig2_generic.h"
#include "jbig2_mmr.h"

namespace lvx::pdf::jbig2 {
namespace {

// The grey-scale image decoding procedure: `bits` planes of `width` by `height`, most significant
// first, each after the first in Gray code; answers the values row by row.
std::vector<std::uint32_t> DecodeGrayScale(std::span<const std::uint8_t> data, bool mmr,
                                           int templateId, unsigned bits, std::uint64_t width,
                                           std::uint64_t height, const Bitmap* skip,
                                           Allowance& allowance) {
  if (mmr) {
    Fail(FailureKind::kUnsupported, "MMR-coded halftone region");
  }
  const std::uint64_t cells = width * height;  // both at most kMaxSide: no wrap
  allowance.Take(cells * sizeof(std::uint32_t));
  std::vector<std::uint32_t> values(static_cast<std::size_t>(cells), 0);
  ArithDecoder decoder(data);
  Contexts contexts = GenericContexts(templateId);
  GenericParams params;
  params.width = width;
  params.height = height;
  params.templateId = templateId;
  params.adaptive = NominalAdaptive(templateId);
  params.skip = skip;
  Bitmap previous;
  for (unsigned plane = bits; plane-- > 0;) {
    Bitmap current = DecodeGeneric(decoder, contexts, params, allowance);
    if (plane + 1 < bits) {
      current.Compose(previous, 0, 0, Combine::kXor);
    }
    for (std::uint32_t y = 0; y < current.Height(); ++y) {
      for (std::uint32_t x = 0; x < current.Width(); ++x) {
        values[std::size_t{y} * current.Width() + x] |=
            static_cast<std::uint32_t>(current.Get(x, y)) << plane;
      }
    }
    previous = std::move(current);
  }
  return values;
}

}  // namespace

std::vector<Symbol> DecodePatternDictionary(std::span<const std::uint8_t> data,
                                            Allowance& allowance) {
  ByteReader reader(data);
  const std::uint8_t flags = reader.U8();
  const std::uint8_t width = reader.U8();
  const std::uint8_t height = reader.U8();
  const std::uint64_t count = std::uint64_t{reader.U32()} + 1;
  CheckedCount(count, "too many patterns");
  if (width == 0 || height == 0) {
    Damaged("empty patterns");
  }
  const bool mmr = (flags & 1) != 0;
  const int templateId = (flags >> 1) & 3;
  const std::uint64_t wide = count * width;
  Bitmap collective;
  if (mmr) {
    collective = DecodeMmr(reader.Rest(), wide, height, allowance);
  } else {
    GenericParams params;
    params.width = wide;
    params.height = height;
    params.templateId = templateId;
    params.adaptive = NominalAdaptive(templateId);
    params.adaptive[0] = -static_cast<int>(width);
    params.adaptive[1] = 0;
    ArithDecoder decoder(reader.Rest());
    Contexts contexts = GenericContexts(templateId);
    collective = DecodeGeneric(decoder, contexts, params, allowance);
  }
  std::vector<Symbol> patterns;
  allowance.Take(count * sizeof(Symbol));
  patterns.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    patterns.push_back(std::make_shared<const Bitmap>(
        collective.Part(static_cast<std::int64_t>(i * width), 0, width, height, allowance)));
  }
  return patterns;
}

Bitmap DecodeHalftone(ByteReader& reader, const RegionInfo& info, std::span<const Symbol> patterns,
                      Allowance& allowance) {
  const std::uint8_t flags = reader.U8();
  const std::uint64_t gridWidth = reader.U32();
  const std::uint64_t gridHeight = reader.U32();
  const std::int64_t gridX = reader.S32();
  const std::int64_t gridY = reader.S32();
  const std::int64_t stepX = reader.U16();
  const std::int64_t stepY = reader.U16();
  if (patterns.empty()) {
    Damaged("halftone region without patterns");
  }
  if (gridWidth > kMaxSide || gridHeight > kMaxSide) {
    Fail(FailureKind::kLimit, "halftone grid over the limit");
  }
  const bool mmr = (flags & 1) != 0;
  const int templateId = (flags >> 1) & 3;
  const bool enableSkip = (flags & 8) != 0;
  const int op = (flags >> 4) & 7;
  if (op > 4) {
    Damaged("invalid halftone combination operator");
  }
  Bitmap region(info.width, info.height, allowance);
  region.Fill((flags & 0x80) != 0 ? 1 : 0);
  const std::int64_t patternWidth = patterns[0]->Width();
  const std::int64_t patternHeight = patterns[0]->Height();
  Work(gridWidth * gridHeight + 1);
  // A grid cell's pattern position, in whole pixels.
  const auto cellX = [&](std::int64_t m, std::int64_t n) {
    return (gridX + m * stepY + n * stepX) >> 8;
  };
  const auto cellY = [&](std::int64_t m, std::int64_t n) {
    return (gridY + m * stepX - n * stepY) >> 8;
  };
  Bitmap skip;
  if (enableSkip) {
    skip = Bitmap(gridWidth, gridHeight, allowance);
    for (std::uint32_t m = 0; m < skip.Height(); ++m) {
      for (std::uint32_t n = 0; n < skip.Width(); ++n) {
        const std::int64_t x = cellX(m, n);
        const std::int64_t y = cellY(m, n);
        if (x + patternWidth <= 0 || x >= region.Width() || y + patternHeight <= 0 ||
            y >= region.Height()) {
          skip.SetBlack(n, m);
        }
      }
    }
  }
  const unsigned bits = SymbolCodeLength(patterns.size());
  const std::vector<std::uint32_t> values =
      DecodeGrayScale(reader.Rest(), mmr, templateId, bits, gridWidth, gridHeight,
                      enableSkip ? &skip : nullptr, allowance);
  for (std::uint64_t m = 0; m < gridHeight; ++m) {
    for (std::uint64_t n = 0; n < gridWidth; ++n) {
      const std::uint32_t value = values[static_cast<std::size_t>(m * gridWidth + n)];
      const Symbol& pattern = patterns[std::min<std::size_t>(value, patterns.size() - 1)];
      region.Compose(*pattern, cellX(static_cast<std::int64_t>(m), static_cast<std::int64_t>(n)),
                     cellY(static_cast<std::int64_t>(m), static_cast<std::int64_t>(n)),
                     static_cast<Combine>(op));
    }
  }
  return region;
}

}  // namespace lvx::pdf::jbig2
