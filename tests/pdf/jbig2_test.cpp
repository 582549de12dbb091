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
using test::PatternedBitmap;
using test::Segment;
using test::TestBitmap;

constexpr std::uint64_t kBudget = std::uint64_t{32} << 20;

ByteVector Join(std::initializer_list<ByteVector> parts) {
  ByteVector all;
  for (const ByteVector& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

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

// The stream decoded by the independent decoder, as packed rows; nothing when it is not
// installed (the caller skips) or failed.
std::optional<ByteVector> OracleDecode(const ByteVector& stream, const ByteVector& globals = {}) {
  if (std::system("command -v jbig2dec > /dev/null 2>&1") != 0) {
    return std::nullopt;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lvx-jbig2-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const ByteVector& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return (folder / name).string();
  };
  const std::string page = write("page.jb2", stream);
  const std::string global = globals.empty() ? std::string() : write("globals.jb2", globals);
  const std::string output = (folder / "out.pbm").string();
  const std::string command = "jbig2dec -q -e -t pbm -o '" + output + "' " +
                              (global.empty() ? "" : "'" + global + "' ") + "'" + page +
                              "' > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(output, std::ios::binary);
  std::string pbm((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(folder);
  if (status != 0 || pbm.rfind("P4", 0) != 0) {
    return ByteVector{};
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
  return ByteVector(pbm.begin() + static_cast<std::ptrdiff_t>(std::min(at, pbm.size())), pbm.end());
}

// Decodes `stream` (after `globals`) and compares with `expected`; the independent decoder too.
void ExpectDecodes(const ByteVector& stream, const TestBitmap& expected,
                   const ByteVector& globals = {}) {
  const Jbig2Result result = DecodeJbig2(stream, globals, kBudget);
  ASSERT_TRUE(result.image.has_value()) << result.problem;
  EXPECT_EQ(result.image->width, static_cast<std::uint32_t>(expected.width));
  EXPECT_EQ(result.image->height, static_cast<std::uint32_t>(expected.height));
  EXPECT_EQ(result.image->bits, expected.Packed());
  if (const std::optional<ByteVector> oracle = OracleDecode(stream, globals)) {
    EXPECT_EQ(*oracle, expected.Packed()) << "the independent decoder disagrees";
  }
}

TEST(Jbig2Generic, EveryTemplateWithNominalAndMovedAdaptivePixelsAndTypicalPrediction) {
  const TestBitmap image = PatternedBitmap(67, 43, 7);
  for (int templateId = 0; templateId < 4; ++templateId) {
    for (const bool typical : {false, true}) {
      for (const bool moved : {false, true}) {
        SCOPED_TRACE(testing::Message() << "template " << templateId << " typical " << typical
                                        << " moved " << moved);
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

}  // namespace
}  // namespace lvx::pdf
