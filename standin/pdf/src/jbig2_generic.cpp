#include "jbig2_generic.h"

#include <span>

namespace lvx::pdf::jbig2 {
namespace {

struct Offset {
  int x;
  int y;
};

// Each template's pixels from the context's most significant bit to its least; the adaptive
// pixels' places are marked with y = 1 and their number in x.
constexpr Offset kAdaptive1{0, 1};
constexpr Offset kAdaptive2{1, 1};
constexpr Offset kAdaptive3{2, 1};
constexpr Offset kAdaptive4{3, 1};
constexpr std::array<Offset, 16> kTemplate0 = {{kAdaptive4,
                                                {-1, -2},
                                                {0, -2},
                                                {1, -2},
                                                kAdaptive3,
                                                kAdaptive2,
                                                {-2, -1},
                                                {-1, -1},
                                                {0, -1},
                                                {1, -1},
                                                {2, -1},
                                                kAdaptive1,
                                                {-4, 0},
                                                {-3, 0},
                                                {-2, 0},
                                                {-1, 0}}};
constexpr std::array<Offset, 13> kTemplate1 = {{{-1, -2},
                                                {0, -2},
                                                {1, -2},
                                                {2, -2},
                                                {-2, -1},
                                                {-1, -1},
                                                {0, -1},
                                                {1, -1},
                                                {2, -1},
                                                kAdaptive1,
                                                {-3, 0},
                                                {-2, 0},
                                                {-1, 0}}};
constexpr std::array<Offset, 10> kTemplate2 = {{{-1, -2},
                                                {0, -2},
                                                {1, -2},
                                                {-2, -1},
                                                {-1, -1},
                                                {0, -1},
                                                {1, -1},
                                                kAdaptive1,
                                                {-2, 0},
                                                {-1, 0}}};
constexpr std::array<Offset, 10> kTemplate3 = {{{-3, -1},
                                                {-2, -1},
                                                {-1, -1},
                                                {0, -1},
                                                {1, -1},
                                                kAdaptive1,
                                                {-4, 0},
                                                {-3, 0},
                                                {-2, 0},
                                                {-1, 0}}};
// The context that codes a row's "same as the row above" flag, per template.
constexpr std::array<std::uint32_t, 4> kTypicalContext = {0x9B25, 0x0795, 0x00E5, 0x0195};

std::span<const Offset> TemplatePixels(int templateId) {
  switch (templateId) {
    case 0:
      return kTemplate0;
    case 1:
      return kTemplate1;
    case 2:
      return kTemplate2;
    default:
      return kTemplate3;
  }
}

// The refinement templates: pixels of the bitmap being decoded (reference = false) or of the
// reference, from the most significant bit; y = 2 marks an adaptive pixel.
struct RefinePixel {
  bool reference;
  int x;
  int y;
};
constexpr std::array<RefinePixel, 13> kRefine0 = {{{true, 0, 2},
                                                   {true, 0, -1},
                                                   {true, 1, -1},
                                                   {true, -1, 0},
                                                   {true, 0, 0},
                                                   {true, 1, 0},
                                                   {true, -1, 1},
                                                   {true, 0, 1},
                                                   {true, 1, 1},
                                                   {false, 0, 2},
                                                   {false, 0, -1},
                                                   {false, 1, -1},
                                                   {false, -1, 0}}};
constexpr std::array<RefinePixel, 10> kRefine1 = {{{true, 0, -1},
                                                   {true, -1, 0},
                                                   {true, 0, 0},
                                                   {true, 1, 0},
                                                   {true, 0, 1},
                                                   {true, 1, 1},
                                                   {false, -1, -1},
                                                   {false, 0, -1},
                                                   {false, 1, -1},
                                                   {false, -1, 0}}};
constexpr std::array<std::uint32_t, 2> kRefineTypicalContext = {0x0100, 0x0040};

}  // namespace

Contexts GenericContexts(int templateId) {
  return Contexts(std::size_t{1} << TemplatePixels(templateId).size(), 0);
}

std::array<int, 8> NominalAdaptive(int templateId) {
  if (templateId == 0) {
    return {3, -1, -3, -1, 2, -2, -2, -2};
  }
  return {templateId == 1 ? 3 : 2, -1, 0, 0, 0, 0, 0, 0};
}

namespace {

// A template's fixed pixels in one row, x from `from` to `to` around the pixel decoded: held as a
// window of bits that slides one pixel right per pixel, placed at `shift` in the context.
struct Run {
  int dy = 0;
  int from = 0;
  int to = 0;
  unsigned shift = 0;
};

struct Layout {
  std::array<Run, 3> runs{};
  std::size_t runCount = 0;
  std::array<Offset, 4> adaptive{};
  std::array<unsigned, 4> adaptiveShift{};
  std::size_t adaptiveCount = 0;
};

Layout LayoutOf(std::span<const Offset> pixels, const std::array<int, 8>& adaptive) {
  Layout layout;
  bool extending = false;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const auto shift = static_cast<unsigned>(pixels.size() - 1 - i);
    const Offset& p = pixels[i];
    if (p.y == 1) {
      const auto n = static_cast<std::size_t>(p.x);
      layout.adaptive[layout.adaptiveCount] = {adaptive[2 * n], adaptive[2 * n + 1]};
      layout.adaptiveShift[layout.adaptiveCount++] = shift;
      extending = false;
      continue;
    }
    Run* last = layout.runCount > 0 ? &layout.runs[layout.runCount - 1] : nullptr;
    if (extending && last != nullptr && last->dy == p.y && last->to + 1 == p.x) {
      last->to = p.x;
      last->shift = shift;
    } else {
      layout.runs[layout.runCount++] = {p.y, p.x, p.x, shift};
    }
    extending = true;
  }
  return layout;
}

}  // namespace

Bitmap DecodeGeneric(ArithDecoder& decoder, Contexts& contexts, const GenericParams& params,
                     Allowance& allowance) {
  Bitmap bitmap(params.width, params.height, allowance);
  const std::span<const Offset> pixels = TemplatePixels(params.templateId);
  if (contexts.size() != (std::size_t{1} << pixels.size())) {
    Damaged("generic contexts of another template");
  }
  const Layout layout = LayoutOf(pixels, params.adaptive);
  Work(4 * params.width * params.height + params.height);
  int typical = 0;
  std::array<std::uint32_t, 3> windows{};
  for (std::uint32_t y = 0; y < bitmap.Height(); ++y) {
    if (params.typicalPrediction) {
      typical ^=
          decoder.Decode(contexts[kTypicalContext[static_cast<std::size_t>(params.templateId)]]);
      if (typical != 0) {
        if (y > 0) {
          bitmap.CopyRow(y - 1, y);
        }
        continue;
      }
    }
    const std::int64_t row = y;
    for (std::size_t r = 0; r < layout.runCount; ++r) {
      const Run& run = layout.runs[r];
      windows[r] = 0;
      for (int dx = run.from; dx <= run.to; ++dx) {
        windows[r] = (windows[r] << 1) | static_cast<std::uint32_t>(bitmap.Get(dx, row + run.dy));
      }
    }
    for (std::uint32_t x = 0; x < bitmap.Width(); ++x) {
      const std::int64_t column = x;
      if (params.skip == nullptr || params.skip->Get(x, y) == 0) {
        std::uint32_t context = 0;
        for (std::size_t r = 0; r < layout.runCount; ++r) {
          context |= windows[r] << layout.runs[r].shift;
        }
        for (std::size_t a = 0; a < layout.adaptiveCount; ++a) {
          const Offset& p = layout.adaptive[a];
          context |= static_cast<std::uint32_t>(bitmap.Get(column + p.x, row + p.y))
                     << layout.adaptiveShift[a];
        }
        if (decoder.Decode(contexts[context]) != 0) {
          bitmap.SetBlack(x, y);
        }
      }
      // Each window moves one pixel right (the current row's takes in the pixel just decoded).
      for (std::size_t r = 0; r < layout.runCount; ++r) {
        const Run& run = layout.runs[r];
        const std::uint32_t mask = (1U << static_cast<unsigned>(run.to - run.from + 1)) - 1;
        windows[r] = ((windows[r] << 1) |
                      static_cast<std::uint32_t>(bitmap.Get(column + 1 + run.to, row + run.dy))) &
                     mask;
      }
    }
  }
  return bitmap;
}

Contexts RefineContexts(int templateId) {
  return Contexts(std::size_t{1} << (templateId == 0 ? kRefine0.size() : kRefine1.size()), 0);
}

Bitmap DecodeRefinement(ArithDecoder& decoder, Contexts& contexts, const RefineParams& params,
                        Allowance& allowance) {
  Bitmap bitmap(params.width, params.height, allowance);
  const std::span<const RefinePixel> pixels =
      params.templateId == 0 ? std::span<const RefinePixel>(kRefine0) : kRefine1;
  if (contexts.size() != (std::size_t{1} << pixels.size()) || params.reference == nullptr) {
    Damaged("refinement contexts of another template");
  }
  std::array<RefinePixel, 13> shape{};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    shape[i] = pixels[i];
    if (pixels[i].y == 2) {
      const std::size_t at = pixels[i].reference ? 2 : 0;
      shape[i].x = params.adaptive[at];
      shape[i].y = params.adaptive[at + 1];
    }
  }
  const Bitmap& reference = *params.reference;
  Work(4 * params.width * params.height + params.height);
  int typical = 0;
  for (std::uint32_t y = 0; y < bitmap.Height(); ++y) {
    if (params.typicalPrediction) {
      typical ^= decoder.Decode(
          contexts[kRefineTypicalContext[static_cast<std::size_t>(params.templateId)]]);
    }
    const std::int64_t ry = std::int64_t{y} - params.dy;
    for (std::uint32_t x = 0; x < bitmap.Width(); ++x) {
      const std::int64_t rx = std::int64_t{x} - params.dx;
      if (typical != 0) {
        // Where the reference's 3 by 3 neighbourhood is uniform, the pixel takes its value.
        const int value = reference.Get(rx, ry);
        bool uniform = true;
        for (int j = -1; j <= 1 && uniform; ++j) {
          for (int i = -1; i <= 1 && uniform; ++i) {
            uniform = reference.Get(rx + i, ry + j) == value;
          }
        }
        if (uniform) {
          if (value != 0) {
            bitmap.SetBlack(x, y);
          }
          continue;
        }
      }
      std::uint32_t context = 0;
      for (std::size_t i = 0; i < pixels.size(); ++i) {
        const RefinePixel& p = shape[i];
        const int bit = p.reference ? reference.Get(rx + p.x, ry + p.y)
                                    : bitmap.Get(std::int64_t{x} + p.x, std::int64_t{y} + p.y);
        context = (context << 1) | static_cast<std::uint32_t>(bit);
      }
      if (decoder.Decode(contexts[context]) != 0) {
        bitmap.SetBlack(x, y);
      }
    }
  }
  return bitmap;
}

}  // namespace lvx::pdf::jbig2
