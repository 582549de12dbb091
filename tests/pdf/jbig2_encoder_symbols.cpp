// The tests' encoder of symbol dictionaries and text regions (arithmetic coding).
#include <cstddef>

#include "jbig2_arith.h"
#include "jbig2_encoder.h"

namespace lvx::pdf::test {
namespace {

using IntContexts = std::array<std::uint8_t, 512>;

// The integer coders of a text region (shared by a dictionary's refined symbols).
struct TextCoders {
  IntContexts dt{}, fs{}, ds{}, it{}, ri{}, rdw{}, rdh{}, rdx{}, rdy{};
  std::vector<std::uint8_t> id;
  std::vector<std::uint8_t> refine = std::vector<std::uint8_t>(8192, 0);
};

}  // namespace

std::array<int, 2> TextPlacement(const TextCoding& coding, int s, int t, int w, int h) {
  const bool right = coding.corner == 2 || coding.corner == 3;
  const bool bottom = coding.corner == 0 || coding.corner == 2;
  int x = coding.transposed ? t : s;
  int y = coding.transposed ? s : t;
  if (right) {
    x -= w - 1;
  }
  if (bottom) {
    y -= h - 1;
  }
  return {x, y};
}

ByteVector SymbolDictionaryData(const std::vector<TestBitmap>& symbols, int inputCount,
                                const std::vector<TestBitmap>& known, const SymbolCoding& coding) {
  const bool aggregate = !coding.refinedFrom.empty();
  ByteVector out;
  const int flags =
      (aggregate ? 2 : 0) | (coding.generic.templateId << 10) | (coding.refineTemplate << 12);
  out.push_back(static_cast<std::uint8_t>(flags >> 8));
  out.push_back(static_cast<std::uint8_t>(flags));
  const int adaptiveBytes = coding.generic.templateId == 0 ? 8 : 2;
  for (int i = 0; i < adaptiveBytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(coding.generic.adaptive[static_cast<std::size_t>(i)]));
  }
  if (aggregate && coding.refineTemplate == 0) {
    for (const int value : coding.refineAdaptive) {
      out.push_back(static_cast<std::uint8_t>(value));
    }
  }
  const std::size_t total = static_cast<std::size_t>(inputCount) + symbols.size();
  Put32(out, static_cast<std::uint32_t>(total));
  Put32(out, static_cast<std::uint32_t>(symbols.size()));
  MqEncoder encoder;
  IntContexts heightDelta{};
  IntContexts widthDelta{};
  IntContexts exportRun{};
  IntContexts aggregateCount{};
  std::vector<std::uint8_t> generic(65536, 0);
  TextCoders text;
  text.id.assign(std::size_t{1} << jbig2::SymbolCodeLength(total), 0);
  int height = 0;
  for (std::size_t i = 0; i < symbols.size();) {
    // One height class: the run of symbols of this height.
    std::size_t end = i;
    while (end < symbols.size() && symbols[end].height == symbols[i].height) {
      ++end;
    }
    encoder.EncodeInteger(heightDelta, symbols[i].height - height);
    height = symbols[i].height;
    int width = 0;
    for (; i < end; ++i) {
      encoder.EncodeInteger(widthDelta, symbols[i].width - width);
      width = symbols[i].width;
      if (!aggregate) {
        GenericCoding plain = coding.generic;
        plain.typicalPrediction = false;
        EncodeGeneric(encoder, generic, symbols[i], plain);
        continue;
      }
      encoder.EncodeInteger(aggregateCount, 1);
      const auto from = static_cast<std::uint32_t>(coding.refinedFrom[i]);
      encoder.EncodeId(text.id, jbig2::SymbolCodeLength(total), from);
      RefineCoding refine;
      refine.templateId = coding.refineTemplate;
      refine.adaptive = coding.refineAdaptive;
      refine.dx = coding.offsets[i][0];
      refine.dy = coding.offsets[i][1];
      encoder.EncodeInteger(text.rdx, refine.dx);
      encoder.EncodeInteger(text.rdy, refine.dy);
      EncodeRefinement(encoder, text.refine, symbols[i], known[from], refine);
    }
    encoder.EncodeInteger(widthDelta, std::nullopt);
  }
  // Everything is exported: an empty run of unexported symbols, then all of them.
  encoder.EncodeInteger(exportRun, 0);
  encoder.EncodeInteger(exportRun, static_cast<std::int64_t>(total));
  const ByteVector code = encoder.Finish();
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

ByteVector TextRegionData(int width, int height, int x, int y, int op,
                          const std::vector<TestBitmap>& symbols,
                          const std::vector<TextInstance>& instances, const TextCoding& coding) {
  ByteVector out = RegionInfo(width, height, x, y, op);
  const int flags = (coding.refine ? 2 : 0) | (coding.logStrips << 2) | (coding.corner << 4) |
                    (coding.transposed ? 0x40 : 0) | (coding.op << 7) | (coding.defaultPixel << 9) |
                    ((coding.dsOffset & 0x1F) << 10) | (coding.refineTemplate << 15);
  out.push_back(static_cast<std::uint8_t>(flags >> 8));
  out.push_back(static_cast<std::uint8_t>(flags));
  if (coding.refine && coding.refineTemplate == 0) {
    for (const int value : coding.refineAdaptive) {
      out.push_back(static_cast<std::uint8_t>(value));
    }
  }
  Put32(out, static_cast<std::uint32_t>(instances.size()));
  MqEncoder encoder;
  TextCoders c;
  const unsigned idLength = jbig2::SymbolCodeLength(symbols.size());
  c.id.assign(std::size_t{1} << idLength, 0);
  const int strips = 1 << coding.logStrips;
  const bool right = coding.corner == 2 || coding.corner == 3;
  const bool bottom = coding.corner == 0 || coding.corner == 2;
  // Floor division: strips start at multiples of their size.
  const auto stripOf = [strips](int t) { return (t >= 0 ? t : t - strips + 1) / strips * strips; };
  encoder.EncodeInteger(c.dt, 0);
  int stripT = 0;
  int firstS = 0;
  int curS = 0;
  for (std::size_t i = 0; i < instances.size();) {
    const int strip = stripOf(instances[i].t);
    encoder.EncodeInteger(c.dt, (strip - stripT) / strips);
    stripT = strip;
    bool first = true;
    for (; i < instances.size() && stripOf(instances[i].t) == strip; ++i) {
      const TextInstance& instance = instances[i];
      const TestBitmap& drawn = instance.refined ? *instance.refined : symbols[instance.id];
      // The decoder's S before it moves to the reference corner.
      int before = instance.s;
      if (!coding.transposed && right) {
        before -= drawn.width - 1;
      } else if (coding.transposed && bottom) {
        before -= drawn.height - 1;
      }
      if (first) {
        encoder.EncodeInteger(c.fs, before - firstS);
        firstS = before;
        first = false;
      } else {
        encoder.EncodeInteger(c.ds, before - curS - coding.dsOffset);
      }
      if (strips > 1) {
        encoder.EncodeInteger(c.it, instance.t - strip);
      }
      encoder.EncodeId(c.id, idLength, instance.id);
      if (coding.refine) {
        encoder.EncodeInteger(c.ri, instance.refined ? 1 : 0);
        if (instance.refined) {
          const TestBitmap& base = symbols[instance.id];
          const int rdw = drawn.width - base.width;
          const int rdh = drawn.height - base.height;
          encoder.EncodeInteger(c.rdw, rdw);
          encoder.EncodeInteger(c.rdh, rdh);
          encoder.EncodeInteger(c.rdx, instance.rdx);
          encoder.EncodeInteger(c.rdy, instance.rdy);
          RefineCoding refine;
          refine.templateId = coding.refineTemplate;
          refine.adaptive = coding.refineAdaptive;
          refine.dx = (rdw >= 0 ? rdw / 2 : (rdw - 1) / 2) + instance.rdx;
          refine.dy = (rdh >= 0 ? rdh / 2 : (rdh - 1) / 2) + instance.rdy;
          EncodeRefinement(encoder, c.refine, drawn, base, refine);
        }
      }
      curS = instance.s;
      if (!coding.transposed && !right) {
        curS += drawn.width - 1;
      } else if (coding.transposed && !bottom) {
        curS += drawn.height - 1;
      }
    }
    encoder.EncodeInteger(c.ds, std::nullopt);  // the strip's end
  }
  const ByteVector code = encoder.Finish();
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

}  // namespace lvx::pdf::test
