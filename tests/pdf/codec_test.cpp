// The CCITT fax and JPEG 2000 decoders on pictures that Debian's tools coded at build time
// (make_codec_fixtures.sh): both codings are lossless, so every decoded bit and sample must equal
// the source picture; then damaged, truncated and oversized data, and the images on a page.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ccitt_decoder.h"
#include "jbig2.h"
#include "jbig2_encoder.h"
#include "jpx_decoder.h"
#include "page_fixture.h"

namespace lvx::pdf {
namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(LVX_CODEC_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const std::uint8_t> Span(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// A binary PBM, PGM or PPM: its size and samples (16-bit ones as two bytes, high first).
struct Pnm {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t maximum = 1;
  std::vector<std::uint8_t> samples;
};

Pnm ReadPnm(const std::string& name) {
  const std::string bytes = Fixture(name);
  std::istringstream in(bytes);
  Pnm pnm;
  std::string magic;
  in >> magic >> pnm.width >> pnm.height;
  if (magic != "P4") {
    in >> pnm.maximum;
  }
  in.get();
  pnm.samples.assign(bytes.begin() + in.tellg(), bytes.end());
  return pnm;
}

// Group 3 1-D data without its end-of-line codes (Modified Huffman rows), each row optionally
// starting on a byte boundary: end-of-line codes are 11 zero bits and a 1, and no run code holds
// as many zeros.
std::string WithoutEndOfLines(const std::string& coded, bool byteAlign) {
  std::vector<bool> in;
  for (const char c : coded) {
    for (int bit = 7; bit >= 0; --bit) {
      in.push_back(((static_cast<unsigned char>(c) >> bit) & 1U) != 0);
    }
  }
  std::vector<bool> out;
  std::size_t zeros = 0;
  std::size_t pending = 0;  // zeros seen but not yet written
  for (const bool bit : in) {
    if (!bit) {
      ++zeros;
      ++pending;
      continue;
    }
    if (zeros >= 11) {  // an end-of-line code: drop it, and align the next row
      out.insert(out.end(), pending - 11, false);  // the zeros ending the row's last code
      while (byteAlign && out.size() % 8 != 0) {
        out.push_back(false);
      }
    } else {
      out.insert(out.end(), pending, false);
      out.push_back(true);
    }
    zeros = 0;
    pending = 0;
  }
  std::string packed((out.size() + 7) / 8, '\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i]) {
      packed[i / 8] = static_cast<char>(packed[i / 8] | (0x80 >> (i % 8)));
    }
  }
  return packed;
}

constexpr std::size_t kLimit = std::size_t{32} << 20;

TEST(CcittDecoderTest, EveryCodingDecodesToolData) {
  const Pnm picture = ReadPnm("bilevel.pbm");
  ASSERT_EQ(picture.width, 203U);
  struct Case {
    const char* name;
    std::string data;
    std::int64_t k;
    bool endOfLine;
    bool byteAlign;
  };
  const std::string g3 = Fixture("g3.fax");
  const std::vector<Case> cases = {
      {"g4", Fixture("g4.fax"), -1, false, false},
      {"g3", g3, 0, true, false},
      {"g3 (end-of-line codes found without the flag)", g3, 0, false, false},
      {"g3 2-D", Fixture("g3-2d.fax"), 1, true, false},
      {"g3 2-D, K 4", Fixture("g3-2d.fax"), 4, true, false},
      {"g3 with fill bits", Fixture("g3-fill.fax"), 0, true, true},
      {"modified Huffman", WithoutEndOfLines(g3, false), 0, false, false},
      {"modified Huffman, byte-aligned rows", WithoutEndOfLines(g3, true), 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CcittParams params;
    params.k = c.k;
    params.columns = picture.width;
    params.rows = picture.height;
    params.endOfLine = c.endOfLine;
    params.encodedByteAlign = c.byteAlign;
    const std::optional<FaxBitmap> bitmap = DecodeCcitt(Span(c.data), params, kLimit);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->height, picture.height);
    EXPECT_EQ(bitmap->rowsDecoded, picture.height);
    EXPECT_EQ(bitmap->bits, picture.samples);
  }
  // Without a row count the picture ends at its last row (the bottom row has ink).
  CcittParams open;
  open.k = -1;
  open.columns = picture.width;
  const std::optional<FaxBitmap> bitmap = DecodeCcitt(Span(Fixture("g4.fax")), open, kLimit);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->height, picture.height);
  EXPECT_EQ(bitmap->bits, picture.samples);
  // The MMR entry point is Group 4 of a given size.
  const std::optional<FaxBitmap> mmr =
      DecodeMmr(Span(Fixture("g4.fax")), picture.width, picture.height, kLimit);
  ASSERT_TRUE(mmr);
  EXPECT_EQ(mmr->bits, picture.samples);
}

// JBIG2's MMR-coded generic regions are Group 4 data: the fax fixture inside an MMR region of a
// JBIG2 page decodes to the source picture.
TEST(CcittDecoderTest, Jbig2MmrRegionsAreDecodedAsGroup4) {
  const Pnm picture = ReadPnm("bilevel.pbm");
  const std::string g4 = Fixture("g4.fax");
  const auto width = static_cast<int>(picture.width);
  const auto height = static_cast<int>(picture.height);
  test::ByteVector region = test::RegionInfo(width, height, 0, 0, 0);
  region.push_back(1);  // MMR
  region.insert(region.end(), g4.begin(), g4.end());
  const test::ByteVector page = test::PageInformation(picture.width, picture.height, 0);
  const test::ByteVector stream =
      test::Join({test::Segment(0, 48, {}, 1, page), test::Segment(1, 38, {}, 1, region)});
  const Jbig2Result result = DecodeJbig2(stream, {}, std::uint64_t{32} << 20);
  ASSERT_TRUE(result.image) << result.problem;
  EXPECT_EQ(result.image->bits, picture.samples);
  // A region whose coding holds no row is damaged, not a crash.
  region.resize(region.size() - g4.size());
  const Jbig2Result damaged = DecodeJbig2(
      test::Join({test::Segment(0, 48, {}, 1, page), test::Segment(1, 38, {}, 1, region)}), {},
      std::uint64_t{32} << 20);
  EXPECT_FALSE(damaged.image);
  EXPECT_EQ(damaged.problem, "MMR-coded region");
}

TEST(CcittDecoderTest, DamagedDataKeepsTheRowsBeforeTheDamageAndTheRestIsWhite) {
  const Pnm picture = ReadPnm("bilevel.pbm");
  const std::size_t stride = (picture.width + 7) / 8;
  for (const char* name : {"g3.fax", "g4.fax"}) {
    SCOPED_TRACE(name);
    std::string data = Fixture(name);
    data.resize(data.size() / 2);
    CcittParams params;
    params.k = std::string(name) == "g4.fax" ? -1 : 0;
    params.endOfLine = params.k == 0;
    params.columns = picture.width;
    params.rows = picture.height;
    const std::optional<FaxBitmap> bitmap = DecodeCcitt(Span(data), params, kLimit);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->bits.size(), picture.samples.size());
    // Half the data holds the shapes' rows, not the noise band at the bottom.
    std::size_t same = 0;
    while (same < picture.height &&
           std::equal(bitmap->bits.begin() + static_cast<std::ptrdiff_t>(same * stride),
                      bitmap->bits.begin() + static_cast<std::ptrdiff_t>((same + 1) * stride),
                      picture.samples.begin() + static_cast<std::ptrdiff_t>(same * stride))) {
      ++same;
    }
    EXPECT_GE(same, 60U);
    EXPECT_LT(same, picture.height);
    const auto tail = bitmap->bits.begin() + static_cast<std::ptrdiff_t>((same + 1) * stride);
    EXPECT_TRUE(std::all_of(tail, bitmap->bits.end(), [](std::uint8_t b) { return b == 0; }));
  }
  // Through the filter: kDamaged, and the missing rows white in the filter's sense (1 bits).
  std::string data = Fixture("g3.fax");
  data.resize(data.size() / 2);
  const Dict parms = test::ParseDict("<< /K 0 /EndOfLine true /Columns 203 /Rows 97 >>");
  FilterStatus status = FilterStatus::kOk;
  const std::vector<std::uint8_t> samples = CcittFaxDecode(parms, Span(data), kLimit, status);
  EXPECT_EQ(status, FilterStatus::kDamaged);
  ASSERT_EQ(samples.size(), picture.samples.size());
  EXPECT_EQ(samples.back(), 0xFF);
  EXPECT_EQ(samples.front(), static_cast<std::uint8_t>(~picture.samples.front()));
}

TEST(CcittDecoderTest, SizesAreRefusedBeforeDecodingAndGarbageStaysBounded) {
  const std::string g4 = Fixture("g4.fax");
  CcittParams params;
  params.k = -1;
  params.columns = kMaxFaxSide;
  params.rows = kMaxFaxSide;  // 2 GiB of bits: refused, never allocated
  EXPECT_FALSE(DecodeCcitt(Span(g4), params, kLimit));
  params.columns = kMaxFaxSide + 1;
  params.rows = 10;
  EXPECT_FALSE(DecodeCcitt(Span(g4), params, kLimit));
  params.columns = 0;
  EXPECT_FALSE(DecodeCcitt(Span(g4), params, kLimit));
  params.columns = 203;
  EXPECT_FALSE(DecodeCcitt({}, params, kLimit));
  FilterStatus status = FilterStatus::kOk;
  EXPECT_TRUE(CcittFaxDecode(test::ParseDict("<< /K -1 /Columns 200000 /Rows 10 >>"), Span(g4),
                             kLimit, status)
                  .empty());
  EXPECT_EQ(status, FilterStatus::kDamaged);
  // Zeros, ones and noise in every coding: whatever comes out fits the size asked for.
  std::string noise(4096, '\0');
  std::uint32_t seed = 12345;
  for (char& c : noise) {
    seed = seed * 1103515245U + 12345U;
    c = static_cast<char>(seed >> 24U);
  }
  for (const std::string& data : {std::string(4096, '\0'), std::string(4096, '\xFF'), noise}) {
    for (const std::int64_t k : {-1, 0, 2}) {
      for (const std::uint32_t rows : {0U, 50U}) {
        CcittParams garbage;
        garbage.k = k;
        garbage.columns = 1728;
        garbage.rows = rows;
        if (const std::optional<FaxBitmap> bitmap = DecodeCcitt(Span(data), garbage, kLimit)) {
          EXPECT_EQ(bitmap->bits.size(), bitmap->Stride() * bitmap->height);
          EXPECT_LE(bitmap->height, rows == 0 ? 8 * data.size() : rows);
        }
      }
    }
  }
}

// The pixel (x, y) of a decoded page image is dark.
bool Dark(const ImagePixels& pixels, std::uint32_t x, std::uint32_t y) {
  const std::size_t at = std::size_t{y} * static_cast<std::size_t>(pixels.width) + x;
  return pixels.rgb[3 * at] < 128;
}

TEST(CcittImageTest, PagesDrawFaxImagesAfterOtherFiltersAndInline) {
  const Pnm picture = ReadPnm("bilevel.pbm");
  const std::string hex = test::Hex(Fixture("g4.fax")).substr(1);  // without its "<"
  const auto expectPicture = [&](const DisplayList& list) {
    const auto images = test::All<ImageCommand>(list);
    ASSERT_EQ(images.size(), 1U);
    const ImagePixels& pixels = *images[0].pixels;
    ASSERT_EQ(pixels.width, 203);
    ASSERT_EQ(pixels.height, 97);
    std::size_t wrong = 0;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
      for (std::uint32_t x = 0; x < picture.width; ++x) {
        const bool black = ((picture.samples[y * 26 + x / 8] >> (7 - x % 8)) & 1U) != 0;
        wrong += Dark(pixels, x, y) != black ? 1 : 0;
      }
    }
    EXPECT_EQ(wrong, 0U);
  };
  // ASCIIHex then CCITT, the parameters an indirect object.
  expectPicture(test::Draw(
      test::Page("q 203 0 0 97 0 0 cm /Im1 Do Q", "/XObject << /Im1 5 0 R >>",
                 {"stream:/Type /XObject /Subtype /Image /Width 203 /Height 97 /BitsPerComponent 1 "
                  "/ColorSpace /DeviceGray /Filter [/ASCIIHexDecode /CCITTFaxDecode] "
                  "/DecodeParms [null 6 0 R]|" +
                      hex,
                  "<< /K -1 /Columns 203 /Rows 97 >>"})));
  // An inline image with abbreviations, BlackIs1 and Decode [1 0] cancelling out.
  expectPicture(test::Draw(
      test::Page("q 203 0 0 97 0 0 cm BI /W 203 /H 97 /BPC 1 /CS /G /D [1 0] /F [/AHx /CCF] "
                 "/DP [null << /K -1 /Columns 203 /BlackIs1 true >>] ID " +
                 hex + " EI Q")));
}

TEST(JpxDecoderTest, LosslessFilesDecodeExactly) {
  JpxOptions options;
  options.maxPixels = 1 << 20;
  options.maxDecodeBytes = 1 << 24;
  const Pnm grey = ReadPnm("grey.pgm");
  const Pnm rgb = ReadPnm("rgb.ppm");
  for (const char* name : {"grey.j2k", "grey.jp2"}) {
    SCOPED_TRACE(name);
    const std::optional<JpxImage> image = DecodeJpx(Span(Fixture(name)), options);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 67U);
    EXPECT_EQ(image->height, 45U);
    EXPECT_EQ(image->colour, JpxColour::kGray);
    EXPECT_EQ(image->samples, grey.samples);
    EXPECT_TRUE(image->alpha.empty());
  }
  std::optional<JpxImage> image = DecodeJpx(Span(Fixture("rgb.jp2")), options);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->colour, JpxColour::kRgb);
  EXPECT_EQ(image->samples, rgb.samples);
  // 16-bit samples are scaled to 8 bits, rounded.
  const Pnm deep = ReadPnm("grey16.pgm");
  image = DecodeJpx(Span(Fixture("grey16.jp2")), options);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->samples.size(), deep.samples.size() / 2);
  for (std::size_t i = 0; i < image->samples.size(); ++i) {
    const std::uint32_t value =
        (std::uint32_t{deep.samples[2 * i]} << 8U) | deep.samples[2 * i + 1];
    ASSERT_EQ(image->samples[i], (value * 255 + 32767) / 65535) << i;
  }
  // The fourth channel of an RGBA picture is its opacity.
  image = DecodeJpx(Span(Fixture("rgba.jp2")), options);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->components, 3U);
  EXPECT_EQ(image->samples, rgb.samples);
  EXPECT_EQ(image->alpha, ReadPnm("opacity.pgm").samples);
  // The image dictionary's colour space decides: one component of the RGB file.
  options.colourComponents = 1;
  image = DecodeJpx(Span(Fixture("rgb.jp2")), options);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->samples.size(), 67U * 45U);
}

TEST(JpxDecoderTest, LargeImagesAreReducedAndImpossibleOnesRefusedBeforeDecoding) {
  const std::string large = Fixture("large.j2k");  // 640 x 480, five resolution levels
  JpxOptions options;
  options.maxPixels = 640 * 480 / 2;
  options.maxDecodeBytes = 1 << 24;
  std::optional<JpxImage> image = DecodeJpx(Span(large), options);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->reduction, 1U);
  EXPECT_EQ(image->width, 320U);
  EXPECT_EQ(image->height, 240U);
  options.maxPixels = 1 << 20;
  options.maxDecodeBytes =
      std::uint64_t{640} * 480;  // a quarter of the 32-bit planes: two halvings
  image = DecodeJpx(Span(large), options);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->reduction, 2U);
  options.maxPixels = 100;  // below even the smallest level (40 x 30)
  JpxFailure failure = JpxFailure::kNone;
  EXPECT_FALSE(DecodeJpx(Span(large), options, &failure));
  EXPECT_EQ(failure, JpxFailure::kTooLarge);

  // A size marker claiming 100000 x 100000 (or more than the side bound): refused from the
  // header, before openjpeg allocates anything of that size.
  options.maxPixels = 1 << 20;
  for (const std::uint32_t side : {100000U, 200000U, 0xFFFFFFFFU}) {
    std::string huge = Fixture("grey.j2k");
    for (const std::size_t at : {std::size_t{8}, std::size_t{12}}) {
      for (std::size_t i = 0; i < 4; ++i) {
        huge[at + i] = static_cast<char>(side >> (24 - 8 * i));
      }
    }
    EXPECT_FALSE(DecodeJpx(Span(huge), options, &failure)) << side;
  }
  // Truncated data draws what it holds or nothing; garbage and the empty span nothing.
  std::string cut = Fixture("rgb.jp2");
  cut.resize(cut.size() / 2);
  if (const std::optional<JpxImage> partial = DecodeJpx(Span(cut), options)) {
    EXPECT_EQ(partial->samples.size(), 67U * 45U * 3U);
  }
  EXPECT_FALSE(DecodeJpx(Span(std::string(64, '\xFF')), options));
  EXPECT_FALSE(DecodeJpx({}, options));
}

TEST(JpxImageTest, PagesDrawJpxImagesWithTheFilesOrTheirOwnColourSpaceAndOpacity) {
  const Pnm grey = ReadPnm("grey.pgm");
  const Pnm rgb = ReadPnm("rgb.ppm");
  const auto draw = [](const std::string& file, const std::string& extra) {
    const auto images = test::All<ImageCommand>(test::Draw(test::Page(
        "q 67 0 0 45 0 0 cm /Im1 Do Q", "/XObject << /Im1 5 0 R >>",
        {"stream:/Type /XObject /Subtype /Image /Width 67 /Height 45 /Filter /JPXDecode " + extra +
         "|" + Fixture(file)})));
    return images.empty() ? nullptr : images[0].pixels;
  };
  // No colour space: the file's (grey), drawn as RGB.
  auto pixels = draw("grey.jp2", "");
  ASSERT_TRUE(pixels);
  ASSERT_EQ(pixels->rgb.size(), 3 * grey.samples.size());
  for (std::size_t i = 0; i < grey.samples.size(); ++i) {
    ASSERT_EQ(pixels->rgb[3 * i + 1], grey.samples[i]) << i;
  }
  // The dictionary's space and Decode array apply as to any image.
  pixels = draw("grey.jp2", "/ColorSpace /DeviceGray /Decode [1 0]");
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->rgb[0], 255 - grey.samples[0]);
  // The opacity channel is the soft mask only with /SMaskInData.
  pixels = draw("rgba.jp2", "");
  ASSERT_TRUE(pixels);
  EXPECT_EQ(std::vector<std::uint8_t>(pixels->rgb), rgb.samples);
  EXPECT_TRUE(pixels->alpha.empty());
  pixels = draw("rgba.jp2", "/SMaskInData 1");
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->alpha, ReadPnm("opacity.pgm").samples);
  // Damaged data leaves the image out and the page drawn.
  EXPECT_FALSE(draw("grey.pgm", ""));
}

}  // namespace
}  // namespace lvx::pdf
