// The JBIG2 decoder against streams the tests' encoder makes from known bitmaps: generic regions
// of every template with moved adaptive pixels and typical prediction, combination operators and
// default pixels, the unknown-length and striped-page rules, segment header forms, globals,
// symbol dictionaries and text regions in every orientation, refinement; damaged and hostile
// streams. The encoder's streams are also decoded by an independent decoder (jbig2dec) where it
// is installed, so that encoder and decoder cannot share a misreading of the format.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "jbig2.h"
#include "jbig2_encoder.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

using test::ByteVector;
using test::GenericCoding;
using test::Join;
using test::PatternedBitmap;
using test::Segment;
using test::TestBitmap;

constexpr std::uint64_t kBudget = std::uint64_t{32} << 20;

ByteVector PageInfo(std::uint32_t number, int width, int height, int defaultPixel = 0) {
  return Segment(number, 48, {}, 1,
                 test::PageInformation(static_cast<std::uint32_t>(width),
                                       static_cast<std::uint32_t>(height), defaultPixel));
}

ByteVector EndOfPage(std::uint32_t number) { return Segment(number, 49, {}, 1, {}); }

// A page holding one immediate generic region.
ByteVector GenericPage(const TestBitmap& image, const GenericCoding& coding) {
  return Join({PageInfo(0, image.width, image.height),
               Segment(1, 38, {}, 1, test::GenericRegionData(image, 0, 0, 0, coding)),
               EndOfPage(2)});
}

struct OracleResult {
  ByteVector bits;       // packed rows; empty when it failed
  std::string messages;  // what it said
};

// The stream decoded by the independent decoder; nothing when it is not installed. With
// LVX_JBIG2_KEEP set, the streams and its output stay in the temporary folder.
std::optional<OracleResult> OracleDecode(const ByteVector& stream, const ByteVector& globals = {}) {
  static int serial = 0;
  if (std::system("command -v jbig2dec > /dev/null 2>&1") != 0) {
    return std::nullopt;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("lvx-jbig2-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const ByteVector& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return (folder / name).string();
  };
  const std::string page = write("page.jb2", stream);
  const std::string global = globals.empty() ? std::string() : write("globals.jb2", globals);
  const std::string output = (folder / "out.pbm").string();
  const std::string command = "jbig2dec -e -t pbm -o '" + output + "' " +
                              (global.empty() ? "" : "'" + global + "' ") + "'" + page + "' > '" +
                              (folder / "log").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(output, std::ios::binary);
  std::string pbm((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ifstream logFile(folder / "log");
  OracleResult result;
  result.messages.assign(std::istreambuf_iterator<char>(logFile), std::istreambuf_iterator<char>());
  if (std::getenv("LVX_JBIG2_KEEP") == nullptr) {
    std::filesystem::remove_all(folder);
  }
  if (status != 0 || pbm.rfind("P4", 0) != 0) {
    return result;
  }
  // "P4\nW H\n" then the rows.
  std::size_t at = 2;
  int fields = 0;
  while (at < pbm.size() && fields < 2) {
    while (at < pbm.size() && std::isspace(static_cast<unsigned char>(pbm[at])) != 0) {
      ++at;
    }
    while (at < pbm.size() && std::isdigit(static_cast<unsigned char>(pbm[at])) != 0) {
      ++at;
    }
    ++fields;
  }
  ++at;
  result.bits.assign(pbm.begin() + static_cast<std::ptrdiff_t>(std::min(at, pbm.size())),
                     pbm.end());
  return result;
}

// Packed rows as text ('#' black, '.' white), for failure messages.
std::string Picture(const ByteVector& packed, int width) {
  const int stride = (width + 7) / 8;
  std::string text;
  for (std::size_t row = 0; (row + 1) * static_cast<std::size_t>(stride) <= packed.size(); ++row) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t byte = packed[row * static_cast<std::size_t>(stride) + x / 8];
      text += ((byte >> (7 - x % 8)) & 1) != 0 ? '#' : '.';
    }
    text += '\n';
  }
  return text;
}

// Decodes `stream` (after `globals`) and compares with `expected`; the independent decoder too.
// Where the independent decoder is known to differ from the standard, it is not asked.
enum class Oracle : std::uint8_t { kAsk, kSkip };

void ExpectDecodes(const ByteVector& stream, const TestBitmap& expected,
                   const ByteVector& globals = {}, Oracle ask = Oracle::kAsk) {
  const Jbig2Result result = DecodeJbig2(stream, globals, kBudget);
  ASSERT_TRUE(result.image.has_value()) << result.problem;
  EXPECT_EQ(result.image->width, static_cast<std::uint32_t>(expected.width));
  EXPECT_EQ(result.image->height, static_cast<std::uint32_t>(expected.height));
  EXPECT_EQ(result.image->bits, expected.Packed());
  if (ask == Oracle::kSkip) {
    return;
  }
  if (const std::optional<OracleResult> oracle = OracleDecode(stream, globals)) {
    EXPECT_EQ(oracle->bits, expected.Packed())
        << "the independent decoder disagrees: " << oracle->messages << "expected:\n"
        << Picture(expected.Packed(), expected.width) << "independent decoder:\n"
        << Picture(oracle->bits, expected.width);
  }
}

TEST(Jbig2Generic, EveryTemplateWithNominalAndMovedAdaptivePixelsAndTypicalPrediction) {
  const TestBitmap image = PatternedBitmap(67, 43, 7);
  for (int templateId = 0; templateId < 4; ++templateId) {
    for (const bool typical : {false, true}) {
      for (const bool moved : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << "template " << templateId << " typical " << typical << " moved " << moved);
        GenericCoding coding;
        coding.templateId = templateId;
        coding.typicalPrediction = typical;
        if (templateId != 0) {
          coding.adaptive = {templateId == 1 ? 3 : 2, -1, 0, 0, 0, 0, 0, 0};
        }
        if (moved) {
          coding.adaptive = {-7, 0, 5, -3, -12, -1, 9, -4};
        }
        ExpectDecodes(GenericPage(image, coding), image);
      }
    }
  }
}

TEST(Jbig2Page, CombinationOperatorsOnPagesOfEitherDefaultPixel) {
  const TestBitmap first = PatternedBitmap(25, 20, 3);
  const TestBitmap second = PatternedBitmap(25, 20, 11);
  for (int defaultPixel = 0; defaultPixel < 2; ++defaultPixel) {
    for (int op = 0; op < 5; ++op) {
      SCOPED_TRACE(testing::Message() << "default " << defaultPixel << " operator " << op);
      GenericCoding coding;
      const ByteVector stream =
          Join({PageInfo(0, 40, 30, defaultPixel),
                Segment(1, 38, {}, 1, test::GenericRegionData(first, 3, 4, 0, coding)),
                Segment(2, 39, {}, 1, test::GenericRegionData(second, 12, 9, op, coding)),
                EndOfPage(3)});
      TestBitmap expected(40, 30, defaultPixel);
      expected.Combine(first, 3, 4, 0);
      expected.Combine(second, 12, 9, op);
      ExpectDecodes(stream, expected);
    }
  }
}

TEST(Jbig2Page, UnknownLengthEndsAtTheRowCountAndStripesGiveThePageHeight) {
  const TestBitmap top = PatternedBitmap(50, 20, 5);
  const TestBitmap bottom = PatternedBitmap(50, 12, 6);
  GenericCoding coding;
  coding.typicalPrediction = true;
  test::SegmentOptions unknown;
  unknown.unknownLength = true;
  // The region information's height is unknown (0xFFFFFFFF) in the first region; the second
  // states more rows (30) than its row count (12), which wins.
  ByteVector second = test::GenericRegionData(bottom, 0, 20, 0, coding, 12);
  second[4] = 0;
  second[5] = 0;
  second[6] = 0;
  second[7] = 30;
  TestBitmap expected(50, 36);
  expected.Combine(top, 0, 0, 0);
  expected.Combine(bottom, 0, 20, 0);
  // A page of known height, and one whose height the last stripe's end row gives (where jbig2dec
  // keeps the page at its largest stripe size).
  for (const std::uint32_t height : {36U, 0xFFFFFFFFU}) {
    SCOPED_TRACE(height);
    const ByteVector stream =
        Join({Segment(0, 48, {}, 1, test::PageInformation(50, height, 0, 0x8000 | 32)),
              Segment(1, 38, {}, 1, test::GenericRegionData(top, 0, 0, 0, coding, 20), unknown),
              Segment(2, 50, {}, 1, test::EndOfStripe(19)), Segment(3, 38, {}, 1, second, unknown),
              Segment(4, 50, {}, 1, test::EndOfStripe(35)), EndOfPage(5)});
    ExpectDecodes(stream, expected, {}, height == 36 ? Oracle::kAsk : Oracle::kSkip);
  }
}

// Symbols of several sizes and heights for the text region tests.
std::vector<TestBitmap> TestSymbols() {
  return {PatternedBitmap(5, 7, 1),  PatternedBitmap(9, 7, 2),   PatternedBitmap(4, 7, 3),
          PatternedBitmap(6, 11, 4), PatternedBitmap(13, 11, 5), PatternedBitmap(3, 2, 6)};
}

// A text region of `instances` drawn as the decoder must draw it.
TestBitmap ExpectedText(int width, int height, const std::vector<TestBitmap>& symbols,
                        const std::vector<test::TextInstance>& instances,
                        const test::TextCoding& coding) {
  TestBitmap region(width, height, coding.defaultPixel);
  for (const test::TextInstance& instance : instances) {
    const TestBitmap& drawn = instance.refined ? *instance.refined : symbols[instance.id];
    const auto [x, y] =
        test::TextPlacement(coding, instance.s, instance.t, drawn.width, drawn.height);
    region.Combine(drawn, x, y, coding.op);
  }
  return region;
}

TEST(Jbig2Text, EveryCornerTransposedOrNotInStripsWithOffsetsAndOperators) {
  const std::vector<TestBitmap> symbols = TestSymbols();
  const ByteVector globals =
      Segment(0, 0, {}, 0, test::SymbolDictionaryData(symbols, 0, {}, test::SymbolCoding{}));
  // Instances strip by strip (strips of 4 rows when logStrips is 2), S ascending in each.
  const std::vector<test::TextInstance> instances = {
      {0, 2, 3},   {1, 10, 5},  {2, 30, 4}, {5, 31, 7}, {3, 4, 16},
      {4, 14, 17}, {0, 40, 19}, {2, 1, 28}, {1, 9, 30}, {3, 45, 29}};
  int cases = 0;
  for (int corner = 0; corner < 4; ++corner) {
    for (const bool transposed : {false, true}) {
      for (const int logStrips : {0, 2}) {
        test::TextCoding coding;
        coding.corner = corner;
        coding.transposed = transposed;
        coding.logStrips = logStrips;
        coding.dsOffset = (cases % 3) * 5 - 5;
        coding.op = cases % 4;
        coding.defaultPixel = cases % 5 == 0 ? 1 : 0;
        ++cases;
        SCOPED_TRACE(testing::Message() << "corner " << corner << " transposed " << transposed
                                        << " strips " << (1 << logStrips));
        // Placed with all instances inside when transposed: S and T swap roles.
        const ByteVector stream =
            Join({PageInfo(1, 64, 48),
                  Segment(2, 6, {0}, 1,
                          test::TextRegionData(60, 44, 2, 3, 0, symbols, instances, coding)),
                  EndOfPage(3)});
        TestBitmap expected(64, 48);
        expected.Combine(ExpectedText(60, 44, symbols, instances, coding), 2, 3, 0);
        ExpectDecodes(stream, expected, globals);
      }
    }
  }
}

TEST(Jbig2Text, RefinedInstancesAndSymbolsRefinedFromEarlierDictionaries) {
  const std::vector<TestBitmap> base = TestSymbols();
  // A second dictionary refines some of the first's symbols (and one of its own new ones), and
  // exports the first's symbols with its own: the text region refers to it alone.
  std::vector<TestBitmap> refined = {PatternedBitmap(6, 8, 21), PatternedBitmap(9, 8, 22),
                                     PatternedBitmap(7, 8, 23)};
  test::SymbolCoding aggregate;
  aggregate.refinedFrom = {0, 4, 6};
  aggregate.offsets = {{{0, 0}}, {{-1, 1}}, {{1, 0}}};
  aggregate.refineAdaptive = {-2, -1, 1, -2};
  std::vector<TestBitmap> known = base;
  known.insert(known.end(), refined.begin(), refined.end());
  const ByteVector dictionaries =
      Join({Segment(0, 0, {}, 0, test::SymbolDictionaryData(base, 0, {}, test::SymbolCoding{})),
            Segment(1, 0, {0}, 0,
                    test::SymbolDictionaryData(refined, static_cast<int>(base.size()), known,
                                               aggregate))});
  for (int refineTemplate = 0; refineTemplate < 2; ++refineTemplate) {
    SCOPED_TRACE(testing::Message() << "refinement template " << refineTemplate);
    test::TextCoding coding;
    coding.refine = true;
    coding.refineTemplate = refineTemplate;
    coding.refineAdaptive = {-1, -2, 2, 1};
    std::vector<test::TextInstance> instances = {{0, 2, 3},  {7, 12, 4},  {8, 30, 2},
                                                 {3, 3, 20}, {6, 20, 22}, {4, 33, 21}};
    instances[1].refined = PatternedBitmap(10, 9, 31);  // wider and taller than symbol 7
    instances[1].rdx = 1;
    instances[4].refined = PatternedBitmap(4, 7, 32);  // narrower than symbol 6
    instances[4].rdy = -1;
    const ByteVector stream = Join(
        {PageInfo(2, 50, 40),
         Segment(3, 6, {1}, 1, test::TextRegionData(48, 38, 1, 1, 0, known, instances, coding)),
         EndOfPage(4)});
    TestBitmap expected(50, 40);
    expected.Combine(ExpectedText(48, 38, known, instances, coding), 1, 1, 0);
    ExpectDecodes(stream, expected, dictionaries);
  }
}

TEST(Jbig2Segments, LongHeaderFormsReferToGlobalsFromLargeSegmentNumbers) {
  // Six dictionaries: one in the globals, five of one symbol each in the page's stream; the text
  // region refers to all, which takes the long form of the referred-to count.
  const std::vector<TestBitmap> symbols = TestSymbols();
  test::SymbolCoding direct;
  direct.generic.templateId = 2;
  direct.generic.adaptive = {1, -2, 0, 0, 0, 0, 0, 0};
  test::SegmentOptions longPage;
  longPage.longPage = true;
  const ByteVector globals =
      Segment(7, 0, {}, 0, test::SymbolDictionaryData({symbols[0]}, 0, {}, direct), longPage);
  const std::vector<test::TextInstance> instances = {{4, 1, 1}, {5, 20, 2}, {2, 25, 4}, {0, 30, 1}};
  const test::TextCoding coding;
  for (const std::uint32_t number : {300U, 70000U}) {
    SCOPED_TRACE(number);
    ByteVector stream = Segment(number, 48, {}, 1, test::PageInformation(40, 20, 0), longPage);
    std::vector<std::uint32_t> referred = {7};
    for (std::uint32_t i = 1; i < symbols.size(); ++i) {
      const ByteVector one =
          Segment(number + i, 0, {}, 1, test::SymbolDictionaryData({symbols[i]}, 0, {}, direct));
      stream.insert(stream.end(), one.begin(), one.end());
      referred.push_back(number + i);
    }
    stream =
        Join({stream,
              Segment(number + 10, 6, referred, 1,
                      test::TextRegionData(40, 20, 0, 0, 0, symbols, instances, coding), longPage),
              Segment(number + 11, 49, {}, 1, {}, longPage)});
    // jbig2dec reads one retention byte too few in the long form (it takes ceil(N / 8), where
    // the standard has one bit for the segment itself and one per referred-to segment).
    ExpectDecodes(stream, ExpectedText(40, 20, symbols, instances, coding), globals, Oracle::kSkip);
  }
}

TEST(Jbig2Refinement, ImmediateAgainstThePageAndAgainstAnIntermediateRegion) {
  const TestBitmap base = PatternedBitmap(30, 24, 41);
  TestBitmap target = base;
  for (int i = 0; i < 30; ++i) {
    target.Set(i, i % 24, 1 - target.At(i, i % 24));  // a diagonal of changes
  }
  for (int templateId = 0; templateId < 2; ++templateId) {
    for (const bool typical : {false, true}) {
      SCOPED_TRACE(testing::Message() << "template " << templateId << " typical " << typical);
      test::RefineCoding coding;
      coding.templateId = templateId;
      coding.typicalPrediction = typical;
      coding.adaptive = {-2, -1, 1, 1};
      // The page's own pixels as the reference, replaced by the refined region: at the page's
      // origin, and elsewhere (where jbig2dec takes its reference from the wrong place).
      for (const int at : {0, 5}) {
        const ByteVector onPage = Join(
            {PageInfo(0, 40, 30),
             Segment(1, 38, {}, 1, test::GenericRegionData(base, at, at, 0, {})),
             Segment(2, 42, {}, 1, test::RefinementRegionData(target, base, at, at, 4, coding)),
             EndOfPage(3)});
        TestBitmap expected(40, 30);
        expected.Combine(target, at, at, 0);
        ExpectDecodes(onPage, expected, {}, at == 0 ? Oracle::kAsk : Oracle::kSkip);
      }
      // An intermediate region as the reference, the result XORed onto a black page (jbig2dec
      // has no intermediate regions).
      const ByteVector intermediate =
          Join({PageInfo(0, 40, 30, 1),
                Segment(1, 36, {}, 1, test::GenericRegionData(base, 0, 0, 0, {})),
                Segment(2, 43, {1}, 1, test::RefinementRegionData(target, base, 7, 2, 2, coding)),
                EndOfPage(3)});
      TestBitmap xored(40, 30, 1);
      xored.Combine(target, 7, 2, 2);
      ExpectDecodes(intermediate, xored, {}, Oracle::kSkip);
    }
  }
}

TEST(Jbig2Halftone, PatternsAlongAGridWithSkippingAndEveryTemplate) {
  std::vector<TestBitmap> patterns;
  for (int i = 0; i < 5; ++i) {
    TestBitmap pattern(4, 4);
    for (int k = 0; k < i * 3; ++k) {
      pattern.Set(k % 4, (k * 3 / 4) % 4, 1);
    }
    patterns.push_back(pattern);
  }
  for (int templateId = 0; templateId < 4; ++templateId) {
    for (const bool rotated : {false, true}) {
      SCOPED_TRACE(testing::Message() << "template " << templateId << " rotated " << rotated);
      // The dictionary's template differs from the region's.
      test::HalftoneCoding coding;
      coding.templateId = templateId;
      coding.gridWidth = 12;
      coding.gridHeight = 9;
      coding.skip = rotated;
      coding.op = rotated ? 2 : 0;
      coding.defaultPixel = templateId == 3 && rotated ? 1 : 0;
      // A grid of 4-pixel cells, or one turned slightly and starting outside the region.
      coding.gridX = rotated ? -700 : 0;
      coding.gridY = rotated ? 300 : 0;
      coding.stepX = rotated ? 1000 : 1024;
      coding.stepY = rotated ? 200 : 0;
      std::vector<std::uint32_t> values;
      values.reserve(108);
      for (int k = 0; k < coding.gridWidth * coding.gridHeight; ++k) {
        values.push_back(static_cast<std::uint32_t>((k * 7 + k / 12) % 5));
      }
      const ByteVector stream =
          Join({PageInfo(1, 50, 40),
                Segment(0, 16, {}, 1, test::PatternDictionaryData(patterns, (templateId + 1) % 4)),
                Segment(2, 22, {0}, 1,
                        test::HalftoneRegionData(46, 36, 2, 1, 0, values, 5, 4, 4, coding)),
                EndOfPage(3)});
      TestBitmap region(46, 36, coding.defaultPixel);
      for (int m = 0; m < coding.gridHeight; ++m) {
        for (int n = 0; n < coding.gridWidth; ++n) {
          const auto [x, y] = test::HalftoneCell(coding, m, n);
          const std::size_t cell = static_cast<std::size_t>(m) * 12 + static_cast<std::size_t>(n);
          region.Combine(patterns[values[cell]], x, y, coding.op);
        }
      }
      TestBitmap expected(50, 40);
      expected.Combine(region, 2, 1, 0);
      // jbig2dec leaves out the region's default pixel (it starts the region white).
      ExpectDecodes(stream, expected, {}, coding.defaultPixel == 0 ? Oracle::kAsk : Oracle::kSkip);
    }
  }
}

}  // namespace
}  // namespace lvx::pdf
