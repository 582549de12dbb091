#include "jbig2_regions.h"

#include "jbig2_generic.h"
#include "jbig2_mmr.h"

namespace lvx::pdf::jbig2 {

Bitmap DecodeGenericRegion(ByteReader& reader, RegionInfo& info, bool unknownLength,
                           Allowance& allowance) {
  const std::uint8_t flags = reader.U8();
  if ((flags & 0x10) != 0) {
    Fail(FailureKind::kUnsupported, "extended generic template");
  }
  const bool mmr = (flags & 1) != 0;
  GenericParams params;
  params.templateId = (flags >> 1) & 3;
  params.typicalPrediction = (flags & 8) != 0;
  if (!mmr) {
    const int adaptiveBytes = params.templateId == 0 ? 8 : 2;
    for (int i = 0; i < adaptiveBytes; ++i) {
      params.adaptive[static_cast<std::size_t>(i)] = reader.S8();
    }
  }
  std::span<const std::uint8_t> coded = reader.Rest();
  if (unknownLength) {
    // The data ends with the region's real row count.
    if (coded.size() < 4) {
      Damaged("generic region without its row count");
    }
    ByteReader count(coded.subspan(coded.size() - 4));
    const std::uint32_t rows = count.U32();
    if (info.height == 0xFFFFFFFF || rows < info.height) {
      info.height = rows;
    }
    coded = coded.first(coded.size() - 4);
  }
  if (info.height > kMaxSide) {
    Fail(FailureKind::kLimit, "region side over the limit");
  }
  params.width = info.width;
  params.height = info.height;
  if (mmr) {
    return DecodeMmr(coded, info.width, info.height, allowance);
  }
  ArithDecoder decoder(coded);
  Contexts contexts = GenericContexts(params.templateId);
  return DecodeGeneric(decoder, contexts, params, allowance);
}

Bitmap DecodeRefinementRegion(ByteReader& reader, const RegionInfo& info, const Bitmap& reference,
                              Allowance& allowance) {
  const std::uint8_t flags = reader.U8();
  RefineParams params;
  params.width = info.width;
  params.height = info.height;
  params.templateId = flags & 1;
  params.typicalPrediction = (flags & 2) != 0;
  if (params.templateId == 0) {
    for (int& value : params.adaptive) {
      value = reader.S8();
    }
  }
  params.reference = &reference;
  ArithDecoder decoder(reader.Rest());
  Contexts contexts = RefineContexts(params.templateId);
  return DecodeRefinement(decoder, contexts, params, allowance);
}

Bitmap DecodeTextRegion(ByteReader& reader, const RegionInfo& info, std::span<const Symbol> symbols,
                        Allowance& allowance) {
  const std::uint16_t flags = reader.U16();
  if ((flags & 1) != 0) {
    Fail(FailureKind::kUnsupported, "Huffman-coded text region");
  }
  TextParams params;
  params.width = info.width;
  params.height = info.height;
  params.refine = (flags & 2) != 0;
  params.logStrips = (flags >> 2) & 3;
  params.corner = static_cast<Corner>((flags >> 4) & 3);
  params.transposed = (flags & 0x40) != 0;
  params.op = static_cast<Combine>((flags >> 7) & 3);
  params.defaultPixel = (flags >> 9) & 1;
  params.dsOffset = (flags >> 10) & 0x1F;
  if (params.dsOffset >= 16) {
    params.dsOffset -= 32;  // a five-bit signed field
  }
  params.refineTemplate = (flags >> 15) & 1;
  if (params.refine && params.refineTemplate == 0) {
    for (int& value : params.refineAdaptive) {
      value = reader.S8();
    }
  }
  params.instances = CheckedCount(reader.U32(), "too many symbol instances");
  params.symbols = symbols;
  ArithDecoder decoder(reader.Rest());
  TextDecoders decoders(SymbolCodeLength(symbols.size()));
  Contexts refineContexts = RefineContexts(params.refineTemplate);
  return DecodeText(decoder, decoders, refineContexts, params, allowance);
}

}  // namespace lvx::pdf::jbig2
