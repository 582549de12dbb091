// The JBIG2 decoder on hostile and damaged streams: sizes and counts beyond the limits, more
// bitmap memory than allowed, work beyond the page's budget, codings it does not implement, and
// every truncation and many corruptions of valid streams. Each ends with a reason, never a crash.
#include <gtest/gtest.h>

#include <string>

#include "jbig2.h"
#include "jbig2_encoder.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

using test::ByteVector;
using test::Join;
using test::Put32;
using test::Segment;

constexpr std::uint64_t kBudget = std::uint64_t{32} << 20;

std::string Problem(const ByteVector& stream, const ByteVector& globals = {},
                    std::uint64_t budget = kBudget) {
  const Jbig2Result result = DecodeJbig2(stream, globals, budget);
  EXPECT_FALSE(result.image.has_value());
  return result.problem;
}

ByteVector PageOf(std::uint32_t width, std::uint32_t height) {
  return Segment(0, 48, {}, 1, test::PageInformation(width, height, 0));
}

TEST(Jbig2Hostile, SizesAndCountsBeyondTheLimitsAreRefused) {
  EXPECT_EQ(Problem(PageOf(0x7FFFFFFF, 10)), "bitmap side over the limit");
  // Sides within the limit whose product is not: 100000 x 100000 pixels are 1.25 GB.
  EXPECT_EQ(Problem(PageOf(100000, 100000)), "bitmaps exceed the memory allowance");
  EXPECT_EQ(Problem(PageOf(1000, 1000), {}, 1000), "bitmaps exceed the memory allowance");
  ByteVector region = test::RegionInfo(0x40000000, 10, 0, 0, 0);
  region.push_back(0);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), Segment(1, 38, {}, 1, region)})),
            "region side over the limit");
  // A dictionary of 2^32 - 1 new symbols, and one of few symbols exporting more.
  ByteVector dictionary = {0, 0, 3, 0xFF, 0xFD, 0xFF, 2, 0xFE, 0xFE, 0xFE};
  Put32(dictionary, 1);
  Put32(dictionary, 0xFFFFFFFF);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), Segment(1, 0, {}, 1, dictionary)})),
            "too many new symbols");
  dictionary.resize(dictionary.size() - 8);
  Put32(dictionary, 9);
  Put32(dictionary, 2);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), Segment(1, 0, {}, 1, dictionary)})),
            "more exported symbols than symbols");
  // Patterns: 2^32 of them.
  ByteVector patterns = {0, 4, 4};
  Put32(patterns, 0xFFFFFFFF);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), Segment(1, 16, {}, 1, patterns)})), "too many patterns");
  // A text region of 2^31 instances.
  ByteVector text = test::RegionInfo(10, 10, 0, 0, 0);
  text.push_back(0);
  text.push_back(0);
  Put32(text, 0x80000000);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), Segment(1, 6, {}, 1, text)})),
            "too many symbol instances");
  // A long-form referred-to count of 2^29 - 1.
  ByteVector header;
  Put32(header, 5);
  header.push_back(6);
  Put32(header, 0xFFFFFFFF);
  EXPECT_EQ(Problem(Join({PageOf(10, 10), header})), "too many referred-to segments");
}

TEST(Jbig2Hostile, WorkBeyondThePageBudgetStops) {
  const test::TestBitmap image = test::PatternedBitmap(300, 200, 3);
  const ByteVector stream =
      Join({PageOf(300, 200), Segment(1, 38, {}, 1, test::GenericRegionData(image, 0, 0, 0, {}))});
  WorkBudget budget(10000);
  const WorkBudget::Scope scope(budget);
  EXPECT_EQ(Problem(stream), "work budget spent");
  EXPECT_TRUE(budget.Exhausted());
}

TEST(Jbig2Hostile, CodingsNotImplementedAreReported) {
  ByteVector huffman = {0, 1};  // SDHUFF
  Put32(huffman, 1);
  Put32(huffman, 1);
  EXPECT_EQ(Problem(Join({PageOf(16, 4), Segment(1, 0, {}, 1, huffman)})),
            "Huffman-coded symbol dictionary");
  ByteVector huffmanText = test::RegionInfo(16, 4, 0, 0, 0);
  huffmanText.insert(huffmanText.end(), {0, 1, 0, 0});
  Put32(huffmanText, 1);
  EXPECT_EQ(Problem(Join({PageOf(16, 4), Segment(1, 6, {}, 1, huffmanText)})),
            "Huffman-coded text region");
}

TEST(Jbig2Hostile, DamagedStructureIsReported) {
  // Unknown length without the end marker, a region before the page, symbols never defined.
  ByteVector region = test::RegionInfo(8, 8, 0, 0, 0);
  region.insert(region.end(), {0, 3, 0xFF, 0xFD, 0xFF, 2, 0xFE, 0xFE, 0xFE, 1, 2, 3});
  test::SegmentOptions unknown;
  unknown.unknownLength = true;
  EXPECT_EQ(Problem(Join({PageOf(8, 8), Segment(1, 38, {}, 1, region, unknown)})),
            "generic region of unknown length without its end marker");
  EXPECT_EQ(Problem(Segment(1, 38, {}, 1, region)), "region before the page information");
  const std::vector<test::TestBitmap> symbols = {test::PatternedBitmap(4, 4, 1)};
  const ByteVector text = test::TextRegionData(8, 8, 0, 0, 0, symbols, {{0, 1, 1}}, {});
  EXPECT_EQ(Problem(Join({PageOf(8, 8), Segment(1, 6, {}, 1, text)})),
            "symbol number out of range");
  EXPECT_EQ(Problem({}), "no page information");
}

TEST(Jbig2Hostile, EveryTruncationAndManyCorruptionsEndCleanly) {
  std::size_t decoded = 0;
  std::size_t refused = 0;
  for (const test::Jbig2Sample& sample : test::Jbig2Samples()) {
    SCOPED_TRACE(sample.name);
    for (std::size_t length = 0; length <= sample.stream.size(); ++length) {
      const ByteVector cut(sample.stream.begin(),
                           sample.stream.begin() + static_cast<std::ptrdiff_t>(length));
      const Jbig2Result result = DecodeJbig2(cut, sample.globals, kBudget);
      (result.image ? decoded : refused) += 1;
      EXPECT_NE(result.image.has_value(), !result.problem.empty());
    }
    std::uint32_t state = 12345;
    for (int trial = 0; trial < 300; ++trial) {
      ByteVector damaged = sample.stream;
      for (int flips = 0; flips < 3; ++flips) {
        state = state * 1103515245U + 12345U;
        damaged[(state >> 8) % damaged.size()] ^= static_cast<std::uint8_t>(1U << (state % 8));
      }
      WorkBudget budget(std::uint64_t{1} << 24);
      const WorkBudget::Scope scope(budget);
      const Jbig2Result result = DecodeJbig2(damaged, sample.globals, kBudget);
      (result.image ? decoded : refused) += 1;
    }
  }
  // Truncated streams keep their page when the cut falls after it; most damage is refused.
  EXPECT_GT(decoded, 0U);
  EXPECT_GT(refused, 0U);
}

}  // namespace
}  // namespace lvx::pdf
