// Stream filters and predictors, including damaged data and output bounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "filters.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

using test::ParseDict;

std::string Str(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::uint8_t> Filter(std::string_view filter, std::string_view data,
                                 FilterStatus& status, const Dict& parms = {},
                                 std::size_t limit = kMaxDecodedStream) {
  return ApplyFilter(filter, parms, test::ToBytes(data), limit, status);
}

// PNG-encodes rows with one filter type per row, the way a writer would.
std::string PngEncode(const std::vector<std::string>& rows, const std::vector<int>& types,
                      int bpp) {
  std::string out;
  std::string prior(rows[0].size(), '\0');
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string& row = rows[r];
    out.push_back(static_cast<char>(types[r]));
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int x = static_cast<unsigned char>(row[i]);
      const int a =
          i >= static_cast<std::size_t>(bpp) ? static_cast<unsigned char>(row[i - bpp]) : 0;
      const int b = static_cast<unsigned char>(prior[i]);
      const int c =
          i >= static_cast<std::size_t>(bpp) ? static_cast<unsigned char>(prior[i - bpp]) : 0;
      int predicted = 0;
      switch (types[r]) {
        case 1:
          predicted = a;
          break;
        case 2:
          predicted = b;
          break;
        case 3:
          predicted = (a + b) / 2;
          break;
        case 4: {
          const int p = a + b - c;
          const int pa = std::abs(p - a);
          const int pb = std::abs(p - b);
          const int pc = std::abs(p - c);
          predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
          break;
        }
        default:
          break;
      }
      out.push_back(static_cast<char>(x - predicted));
    }
    prior = row;
  }
  return out;
}

TEST(FlateTest, DecodesZlibDataAndKeepsWhatPrecedesDamage) {
  const std::string text(5000, 'x');
  FilterStatus status = FilterStatus::kOk;
  EXPECT_EQ(Str(Filter("FlateDecode", test::Deflate(text), status)), text);
  EXPECT_EQ(status, FilterStatus::kOk);

  std::string truncated = test::Deflate("The quick brown fox jumps over the lazy dog. " + text);
  truncated.resize(truncated.size() / 2);
  const std::string partial = Str(Filter("Fl", truncated, status));
  EXPECT_TRUE(std::string("The quick brown fox").starts_with(partial.substr(0, 19)));

  EXPECT_TRUE(Filter("FlateDecode", "definitely not deflate data", status).empty());
  EXPECT_EQ(status, FilterStatus::kDamaged);
}

TEST(FlateTest, ABombIsCutAtTheLimit) {
  const std::string zeros(8 << 20, '\0');  // 8 MiB of zeros deflate to about 8 KiB
  const std::string bomb = test::Deflate(zeros);
  ASSERT_LT(bomb.size(), 20000U);
  FilterStatus status = FilterStatus::kOk;
  const auto out = Filter("FlateDecode", bomb, status, {}, 1 << 20);
  EXPECT_EQ(out.size(), 1U << 20);
  EXPECT_EQ(status, FilterStatus::kTruncated);
}

TEST(PredictorTest, PngRowsOfEveryFilterType) {
  const std::vector<std::string> rows = {
      std::string("\x10\x20\x30\x40\x50\x60", 6), std::string("\x11\x22\x33\x44\x55\x66", 6),
      std::string("\xF0\x01\xE0\x02\xD0\x03", 6), std::string("\x7F\x80\x81\x7E\x00\xFF", 6),
      std::string("\x05\x04\x03\x02\x01\x00", 6)};
  const std::vector<int> types = {0, 1, 2, 3, 4};
  const std::string encoded = PngEncode(rows, types, 2);
  const Dict parms = ParseDict("<< /Predictor 15 /Colors 2 /BitsPerComponent 8 /Columns 3 >>");
  FilterStatus status = FilterStatus::kOk;
  std::string expected;
  for (const auto& row : rows) {
    expected += row;
  }
  EXPECT_EQ(Str(Filter("FlateDecode", test::Deflate(encoded), status, parms)), expected);
  EXPECT_EQ(status, FilterStatus::kOk);
  // An unknown row type is damage.
  std::string bad = encoded;
  bad[7] = 9;
  Filter("FlateDecode", test::Deflate(bad), status, parms);
  EXPECT_EQ(status, FilterStatus::kDamaged);
}

TEST(PredictorTest, TiffDifferencesPerComponent) {
  // Two colours, 8 bits, three columns: each sample is the difference to the one two bytes left.
  const std::string encoded = std::string("\x10\x20\x01\x02\x01\x02", 6);
  const Dict parms = ParseDict("<< /Predictor 2 /Colors 2 /Columns 3 >>");
  FilterStatus status = FilterStatus::kOk;
  EXPECT_EQ(Str(Filter("FlateDecode", test::Deflate(encoded), status, parms)),
            std::string("\x10\x20\x11\x22\x12\x24", 6));
  // One bit per sample, eight columns: 1 0 0 0 1 0 0 0 as differences gives 1 1 1 1 0 0 0 0.
  const Dict bits = ParseDict("<< /Predictor 2 /Colors 1 /BitsPerComponent 1 /Columns 8 >>");
  EXPECT_EQ(Str(Filter("FlateDecode", test::Deflate("\x88"), status, bits)), "\xF0");
}

// Found by the predictor fuzz target: 3 bits a sample made a negative shift (a sample straddling
// two bytes). Sample sizes that PDF does not have leave the data as it is, marked damaged.
TEST(PredictorTest, TiffSampleSizesOutsidePdfAreDamage) {
  for (const char* size : {"3", "5", "7", "12"}) {
    SCOPED_TRACE(size);
    const Dict parms = ParseDict(std::string("<< /Predictor 2 /Colors 4 /BitsPerComponent ") +
                                 size + " /Columns 1 >>");
    FilterStatus status = FilterStatus::kOk;
    EXPECT_EQ(Str(Unpredict({0xFF, 0x00, 0x5A, 0x11, 0x22, 0x33}, parms, status)),
              std::string("\xFF\x00\x5A\x11\x22\x33", 6));
    EXPECT_EQ(status, FilterStatus::kDamaged);
  }
}

TEST(LzwTest, PublishedExampleWithAndWithoutEarlyChange) {
  FilterStatus status = FilterStatus::kOk;
  EXPECT_EQ(Str(Filter("LZWDecode", "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", status)), "-----A---B");
  EXPECT_EQ(status, FilterStatus::kOk);
  // A code beyond the table is damage: what came before is kept.
  Filter("LZW", "\x80\x0B\xFF\xFF\xFF", status);
  EXPECT_EQ(status, FilterStatus::kDamaged);
  // LZW feeds the predictors as Flate does.
  EXPECT_EQ(Str(Filter("LZWDecode", "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", status,
                       ParseDict("<< /EarlyChange 1 >>"))),
            "-----A---B");
}

TEST(AsciiFiltersTest, HexAnd85) {
  FilterStatus status = FilterStatus::kOk;
  EXPECT_EQ(Str(Filter("ASCIIHexDecode", "48 65\n6C6c 6F>ignored", status)), "Hello");
  EXPECT_EQ(Str(Filter("AHx", "414>", status)), "A@");
  Filter("AHx", "41 zz", status);
  EXPECT_EQ(status, FilterStatus::kDamaged);

  EXPECT_EQ(Str(Filter("ASCII85Decode", "87cURD_*#-6q/;CDfTZ)+TMKB!+g%Y~>", status)),
            std::string("Hello, PDF world!\0\0\0\0end", 24));
  EXPECT_EQ(Str(Filter("A85", "@:E_W~>", status)), "abcd");
  EXPECT_EQ(Str(Filter("A85", "@:B~>", status)), "ab");
  EXPECT_EQ(Str(Filter("A85", "z~>", status)), std::string(4, '\0'));
  Filter("A85", "s8W-\"", status);  // a group above 2^32 - 1
  EXPECT_EQ(status, FilterStatus::kDamaged);
}

TEST(RunLengthTest, LiteralAndRepeatedRunsAndTruncation) {
  FilterStatus status = FilterStatus::kOk;
  EXPECT_EQ(Str(Filter("RunLengthDecode",
                       "\x02"
                       "abc\xFDz\x80"
                       "garbage",
                       status)),
            "abczzzz");
  EXPECT_EQ(Str(Filter("RL",
                       "\x05"
                       "ab",
                       status)),
            "");
  EXPECT_EQ(status, FilterStatus::kDamaged);
  // 128 repeats of 257 - 129 = 128 bytes each: bounded by the limit.
  std::string many;
  for (int i = 0; i < 1000; ++i) {
    many += "\x81x";
  }
  EXPECT_EQ(Filter("RL", many, status, {}, 5000).size(), 5000U);
  EXPECT_EQ(status, FilterStatus::kTruncated);
}

TEST(FilterChainTest, ChainsStopAtImageFiltersAndUnknownNames) {
  const std::string hexOfFlate = test::Hex(test::Deflate("chained")).substr(1);
  FilterStatus status = FilterStatus::kOk;
  const Dict chain = ParseDict("<< /Filter [/AHx /Fl] >>");
  EXPECT_EQ(Str(DecodeFilterChain(chain, test::ToBytes(hexOfFlate), kMaxDecodedStream, status)),
            "chained");
  const Dict image = ParseDict("<< /Filter [/AHx /DCTDecode] >>");
  EXPECT_EQ(Str(DecodeFilterChain(image, test::ToBytes("4142>"), kMaxDecodedStream, status)), "AB");
  EXPECT_EQ(status, FilterStatus::kImage);
  const Dict unknown = ParseDict("<< /Filter /NoSuchDecode >>");
  EXPECT_TRUE(DecodeFilterChain(unknown, test::ToBytes("data"), kMaxDecodedStream, status).empty());
  EXPECT_EQ(status, FilterStatus::kUnknown);
}

}  // namespace
}  // namespace lvx::pdf
