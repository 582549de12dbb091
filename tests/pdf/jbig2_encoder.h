// A small JBIG2 encoder for the tests: it makes embedded streams (segments without a file header)
// from known bitmaps, so that the decoder's output can be compared with them exactly. MQ
// arithmetic coding, generic regions (templates 0 to 3, adaptive pixels, typical prediction),
// generic refinement regions, symbol dictionaries (direct and refined symbols) and text regions.
// Contexts are formed here pixel by pixel from the standard's templates, independently of the
// decoder's tables.
#ifndef LVX_TESTS_JBIG2_ENCODER_H
#define LVX_TESTS_JBIG2_ENCODER_H

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace lvx::pdf::test {

using ByteVector = std::vector<std::uint8_t>;

// Appends a 32-bit big-endian value; joins byte runs.
void Put32(ByteVector& out, std::uint32_t value);
ByteVector Join(std::initializer_list<ByteVector> parts);

// A bitmap of 0 (white) and 1 (black) pixels, one byte each.
struct TestBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  TestBitmap() = default;
  TestBitmap(int w, int h, int fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  // 0 outside.
  [[nodiscard]] int At(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height
               ? 0
               : pixels[static_cast<std::size_t>(y) * width + x];
  }
  void Set(int x, int y, int v) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
      pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(v);
    }
  }
  // Combines `source` at (x, y): 0 OR, 1 AND, 2 XOR, 3 XNOR, 4 REPLACE.
  void Combine(const TestBitmap& source, int x, int y, int op);
  // Rows packed as the PDF filter's output: (width + 7) / 8 bytes, 1 = black.
  [[nodiscard]] ByteVector Packed() const;
};

// A bitmap of pseudo-random strokes and blocks (reproducible from `seed`), with long runs of
// equal rows so that typical prediction has work to do.
TestBitmap PatternedBitmap(int width, int height, std::uint32_t seed);

class MqEncoder {
 public:
  // Codes `bit` in the context whose state is `cx` (index and more probable symbol, as the
  // decoder keeps them).
  void Encode(std::uint8_t& cx, int bit);
  // Ends the code with the 0xFF 0xAC marker; answers the bytes.
  ByteVector Finish();
  // An integer with the IAx procedure (nothing: the out-of-band value).
  void EncodeInteger(std::array<std::uint8_t, 512>& contexts, std::optional<std::int64_t> value);
  // A symbol number of `length` bits (IAID).
  void EncodeId(std::vector<std::uint8_t>& contexts, unsigned length, std::uint32_t id);

 private:
  void ByteOut();
  std::uint32_t a_ = 0x8000;
  std::uint32_t c_ = 0;
  int ct_ = 12;
  ByteVector out_{0};  // a byte before the code, dropped at the end
};

// The generic region coding of `image` with template 0 to 3 and its adaptive pixels (x, y pairs).
struct GenericCoding {
  int templateId = 0;
  bool typicalPrediction = false;
  std::array<int, 8> adaptive{3, -1, -3, -1, 2, -2, -2, -2};
  const TestBitmap* skip = nullptr;  // pixels set here are not coded (they are 0)
};
void EncodeGeneric(MqEncoder& encoder, std::vector<std::uint8_t>& contexts, const TestBitmap& image,
                   const GenericCoding& coding);
ByteVector EncodeGenericData(const TestBitmap& image, const GenericCoding& coding);

// The refinement coding of `image` against `reference` placed at (dx, dy).
struct RefineCoding {
  int templateId = 0;
  bool typicalPrediction = false;
  std::array<int, 4> adaptive{-1, -1, -1, -1};
  int dx = 0;
  int dy = 0;
};
void EncodeRefinement(MqEncoder& encoder, std::vector<std::uint8_t>& contexts,
                      const TestBitmap& image, const TestBitmap& reference,
                      const RefineCoding& coding);

// Segment header fields and their encodings.
struct SegmentOptions {
  bool longPage = false;       // a four-byte page association
  bool unknownLength = false;  // data length 0xFFFFFFFF (an immediate generic region)
};
ByteVector Segment(std::uint32_t number, std::uint8_t type,
                   const std::vector<std::uint32_t>& referred, std::uint32_t page,
                   const ByteVector& data, const SegmentOptions& options = {});
ByteVector PageInformation(std::uint32_t width, std::uint32_t height, int defaultPixel,
                           std::uint16_t striping = 0);
ByteVector RegionInfo(int width, int height, int x, int y, int op);
ByteVector EndOfStripe(std::uint32_t row);
// A generic region segment's data: region information, flags, adaptive pixels, code. With
// `rowCount`, the code is followed by the real row count (for an unknown length).
ByteVector GenericRegionData(const TestBitmap& image, int x, int y, int op,
                             const GenericCoding& coding,
                             std::optional<std::uint32_t> rowCount = std::nullopt);
ByteVector RefinementRegionData(const TestBitmap& image, const TestBitmap& reference, int x, int y,
                                int op, const RefineCoding& coding);

// A symbol dictionary's data: `symbols` coded directly with `coding` (no typical prediction),
// consecutive symbols of one height forming a height class; or, with `refinedFrom`, each new
// symbol refined from one of the inputs and earlier new symbols (whose bitmaps `known` holds),
// at the offsets `offsets`. Exports all inputs and new symbols.
struct SymbolCoding {
  GenericCoding generic;
  int refineTemplate = 0;
  std::array<int, 4> refineAdaptive{-1, -1, -1, -1};
  std::vector<int> refinedFrom;             // empty: direct coding
  std::vector<std::array<int, 2>> offsets;  // the refinement offsets per new symbol
};
ByteVector SymbolDictionaryData(const std::vector<TestBitmap>& symbols, int inputCount,
                                const std::vector<TestBitmap>& known, const SymbolCoding& coding);

// One placed symbol of a text region: its number, S along the strip and T across it (the
// coordinates of its reference corner), and optionally a refined bitmap to draw instead.
struct TextInstance {
  TextInstance(std::uint32_t number, int sAlong, int tAcross) : id(number), s(sAlong), t(tAcross) {}
  std::uint32_t id = 0;
  int s = 0;
  int t = 0;
  std::optional<TestBitmap> refined;
  int rdx = 0;
  int rdy = 0;
};
struct TextCoding {
  int logStrips = 0;
  int corner = 1;  // 0 bottom left, 1 top left, 2 bottom right, 3 top right
  bool transposed = false;
  int op = 0;
  int defaultPixel = 0;
  int dsOffset = 0;
  bool refine = false;
  int refineTemplate = 0;
  std::array<int, 4> refineAdaptive{-1, -1, -1, -1};
};
// Instances must come strip by strip (T / strips ascending), S ascending within a strip.
ByteVector TextRegionData(int width, int height, int x, int y, int op,
                          const std::vector<TestBitmap>& symbols,
                          const std::vector<TextInstance>& instances, const TextCoding& coding);
// Where a text region draws an instance's bitmap of `w` by `h` (its top left corner).
std::array<int, 2> TextPlacement(const TextCoding& coding, int s, int t, int w, int h);

// A pattern dictionary's data: the patterns (all of one size) side by side in one bitmap coded
// with `templateId`.
ByteVector PatternDictionaryData(const std::vector<TestBitmap>& patterns, int templateId);

// A halftone region's data: the grid's pattern numbers `values` (row by row) coded by bit planes
// in Gray code. Cells whose pattern would fall outside the region are skipped when `skip` is set.
struct HalftoneCoding {
  int templateId = 0;
  bool skip = false;
  int op = 0;  // how patterns combine within the region
  int defaultPixel = 0;
  int gridWidth = 0;
  int gridHeight = 0;
  int gridX = 0;  // in 1/256 pixel
  int gridY = 0;
  int stepX = 256;
  int stepY = 0;
};
ByteVector HalftoneRegionData(int width, int height, int x, int y, int op,
                              std::vector<std::uint32_t> values, int patternCount, int patternWidth,
                              int patternHeight, const HalftoneCoding& coding);
// The top left corner of grid cell (m, n)'s pattern.
std::array<int, 2> HalftoneCell(const HalftoneCoding& coding, int m, int n);

// Small complete streams of each kind of region (generic, text with a dictionary in the globals,
// refinement, halftone), for seeds and documents.
struct Jbig2Sample {
  std::string name;
  ByteVector globals;
  ByteVector stream;
};
std::vector<Jbig2Sample> Jbig2Samples();

}  // namespace lvx::pdf::test

#endif
