// Small complete JBIG2 streams made with the tests' encoder.
#include "jbig2_encoder.h"

namespace lvx::pdf::test {
std::vector<Jbig2Sample> Jbig2Samples() {
  const TestBitmap image = PatternedBitmap(37, 21, 1);
  GenericCoding typical;
  typical.typicalPrediction = true;
  std::vector<Jbig2Sample> samples;
  samples.push_back({"generic",
                     {},
                     Join({Segment(0, 48, {}, 1, PageInformation(37, 21, 0)),
                           Segment(1, 38, {}, 1, GenericRegionData(image, 0, 0, 0, typical)),
                           Segment(2, 49, {}, 1, {})})});
  test::SegmentOptions unknown;
  unknown.unknownLength = true;
  samples.push_back(
      {"striped",
       {},
       Join({Segment(0, 48, {}, 1, PageInformation(37, 0xFFFFFFFF, 1, 0x8010)),
             Segment(1, 38, {}, 1, GenericRegionData(image, 0, 0, 2, {}, 21), unknown),
             Segment(2, 50, {}, 1, EndOfStripe(20))})});
  const std::vector<TestBitmap> symbols = {PatternedBitmap(5, 7, 2), PatternedBitmap(8, 7, 3),
                                           PatternedBitmap(6, 9, 4)};
  TextCoding text;
  text.refine = true;
  std::vector<TextInstance> instances = {{0, 1, 2}, {1, 8, 3}, {2, 20, 1}, {1, 4, 12}};
  instances[3].refined = PatternedBitmap(9, 8, 5);
  samples.push_back(
      {"text", Segment(0, 0, {}, 0, SymbolDictionaryData(symbols, 0, {}, SymbolCoding{})),
       Join({Segment(1, 48, {}, 1, PageInformation(32, 24, 0)),
             Segment(2, 6, {0}, 1, TextRegionData(32, 24, 0, 0, 0, symbols, instances, text)),
             Segment(3, 49, {}, 1, {})})});
  RefineCoding refine;
  refine.typicalPrediction = true;
  samples.push_back(
      {"refinement",
       {},
       Join({Segment(0, 48, {}, 1, PageInformation(37, 21, 0)),
             Segment(1, 36, {}, 1, GenericRegionData(image, 0, 0, 0, {})),
             Segment(2, 42, {1}, 1,
                     RefinementRegionData(PatternedBitmap(37, 21, 9), image, 0, 0, 4, refine)),
             Segment(3, 49, {}, 1, {})})});
  std::vector<TestBitmap> patterns;
  patterns.reserve(4);
  for (int i = 0; i < 4; ++i) {
    patterns.push_back(PatternedBitmap(3, 3, static_cast<std::uint32_t>(i)));
  }
  HalftoneCoding halftone;
  halftone.gridWidth = 10;
  halftone.gridHeight = 6;
  halftone.stepX = 768;
  halftone.skip = true;
  std::vector<std::uint32_t> values;
  values.reserve(60);
  for (std::uint32_t k = 0; k < 60; ++k) {
    values.push_back(k % 4);
  }
  samples.push_back(
      {"halftone",
       {},
       Join({Segment(0, 48, {}, 1, PageInformation(30, 18, 0)),
             Segment(1, 16, {}, 1, PatternDictionaryData(patterns, 1)),
             Segment(2, 22, {1}, 1, HalftoneRegionData(30, 18, 0, 0, 0, values, 4, 3, 3, halftone)),
             Segment(3, 49, {}, 1, {})})});
  return samples;
}

}  // namespace lvx::pdf::test
