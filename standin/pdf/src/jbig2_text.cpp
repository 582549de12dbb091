#include "jbig2_text.h"

#include "jbig2_generic.h"

namespace lvx::pdf::jbig2 {
namespace {

// Coordinates stay far inside 64 bits: every step adds at most a 33-bit value, and a region has
// at most kMaxCount instances.
constexpr std::int64_t kMaxCoordinate = std::int64_t{1} << 56;

void CheckCoordinate(std::int64_t value) {
  if (value > kMaxCoordinate || value < -kMaxCoordinate) {
    Damaged("text region coordinate out of range");
  }
}

}  // namespace

Bitmap DecodeText(ArithDecoder& decoder, TextDecoders& decoders, Contexts& refineContexts,
                  const TextParams& params, Allowance& allowance) {
  Bitmap region(params.width, params.height, allowance);
  region.Fill(params.defaultPixel);
  const std::int64_t strips = std::int64_t{1} << params.logStrips;
  const bool right = params.corner == Corner::kTopRight || params.corner == Corner::kBottomRight;
  const bool bottom = params.corner == Corner::kBottomLeft || params.corner == Corner::kBottomRight;
  std::int64_t stripT = -decoders.dt.DecodeValue(decoder) * strips;
  std::int64_t firstS = 0;
  std::uint64_t placed = 0;
  while (placed < params.instances) {
    stripT += decoders.dt.DecodeValue(decoder) * strips;
    CheckCoordinate(stripT);
    bool first = true;
    std::int64_t curS = 0;
    for (;;) {
      if (first) {
        firstS += decoders.fs.DecodeValue(decoder);
        CheckCoordinate(firstS);
        curS = firstS;
        first = false;
      } else {
        const std::optional<std::int64_t> ds = decoders.ds.Decode(decoder);
        if (!ds) {
          break;  // the strip's end
        }
        curS += *ds + params.dsOffset;
        CheckCoordinate(curS);
      }
      if (placed >= params.instances) {
        Damaged("more symbol instances than the region declares");
      }
      const std::int64_t curT = strips == 1 ? 0 : decoders.it.DecodeValue(decoder);
      const std::int64_t t = stripT + curT;
      const std::uint32_t id = decoders.id.Decode(decoder);
      if (id >= params.symbols.size() || !params.symbols[id]) {
        Damaged("symbol number out of range");
      }
      const Bitmap* symbol = params.symbols[id].get();
      Bitmap refined;
      if (params.refine && decoders.ri.DecodeValue(decoder) != 0) {
        const std::int64_t rdw = decoders.rdw.DecodeValue(decoder);
        const std::int64_t rdh = decoders.rdh.DecodeValue(decoder);
        const std::int64_t rdx = decoders.rdx.DecodeValue(decoder);
        const std::int64_t rdy = decoders.rdy.DecodeValue(decoder);
        const std::int64_t width = std::int64_t{symbol->Width()} + rdw;
        const std::int64_t height = std::int64_t{symbol->Height()} + rdh;
        if (width < 0 || height < 0) {
          Damaged("refined symbol of negative size");
        }
        RefineParams refine;
        refine.width = static_cast<std::uint64_t>(width);
        refine.height = static_cast<std::uint64_t>(height);
        refine.templateId = params.refineTemplate;
        refine.reference = symbol;
        refine.dx = (rdw >> 1) + rdx;  // floor(rdw / 2): arithmetic shift
        refine.dy = (rdh >> 1) + rdy;
        refine.adaptive = params.refineAdaptive;
        refined = DecodeRefinement(decoder, refineContexts, refine, allowance);
        symbol = &refined;
      }
      const std::int64_t w = symbol->Width();
      const std::int64_t h = symbol->Height();
      if (!params.transposed && right) {
        curS += w - 1;
      } else if (params.transposed && bottom) {
        curS += h - 1;
      }
      // S runs along the strip, T across it; the corner says which pixel sits at (S, T).
      std::int64_t x = params.transposed ? t : curS;
      std::int64_t y = params.transposed ? curS : t;
      if (right) {
        x -= w - 1;
      }
      if (bottom) {
        y -= h - 1;
      }
      region.Compose(*symbol, x, y, params.op);
      if (!params.transposed && !right) {
        curS += w - 1;
      } else if (params.transposed && !bottom) {
        curS += h - 1;
      }
      ++placed;
      Work(16);
    }
  }
  return region;
}

}  // namespace lvx::pdf::jbig2
