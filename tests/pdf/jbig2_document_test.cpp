// JBIG2 images in documents: an image XObject with JBIG2Decode after FlateDecode, its
// JBIG2Globals stream compressed too, drawn as a DeviceGray image and as an image mask (1 in
// JBIG2 is black: sample 0); an image whose data cannot be decoded is left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jbig2.h"
#include "jbig2_encoder.h"
#include "page_fixture.h"

namespace lvx::pdf {
namespace {

using test::All;
using test::Draw;
using test::Page;

std::string Text(const test::ByteVector& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(Jbig2Documents, TextRegionWithGlobalsDrawnAsGreyImageAndAsMask) {
  const std::vector<test::Jbig2Sample> samples = test::Jbig2Samples();
  const test::Jbig2Sample& text = samples[2];
  ASSERT_EQ(text.name, "text");
  const Jbig2Result decoded = DecodeJbig2(text.stream, text.globals, std::uint64_t{1} << 24);
  ASSERT_TRUE(decoded.image.has_value()) << decoded.problem;
  const int width = static_cast<int>(decoded.image->width);
  const int height = static_cast<int>(decoded.image->height);
  const std::string size = "/Width " + std::to_string(width) + " /Height " + std::to_string(height);
  const DisplayList list = Draw(
      Page("q 100 0 0 50 0 0 cm /Grey Do Q 1 0 0 rg q 100 0 0 50 0 50 cm /Mask Do Q /Broken Do",
           "/XObject << /Grey 5 0 R /Mask 6 0 R /Broken 8 0 R >>",
           {"stream:/Subtype /Image " + size +
                " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter [/FlateDecode /JBIG2Decode]"
                " /DecodeParms [null << /JBIG2Globals 7 0 R >>]|" +
                test::Deflate(Text(text.stream)),
            "stream:/Subtype /Image " + size +
                " /ImageMask true /Filter /JBIG2Decode /DecodeParms << /JBIG2Globals 7 0 R >>|" +
                Text(text.stream),
            "stream:/Filter /FlateDecode|" + test::Deflate(Text(text.globals)),
            // The page's stream without the dictionary its text region needs.
            "stream:/Subtype /Image " + size +
                " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /JBIG2Decode|" +
                Text(text.stream)}));
  const auto images = All<ImageCommand>(list);
  ASSERT_EQ(images.size(), 2U);
  const ImagePixels& grey = *images[0].pixels;
  const ImagePixels& mask = *images[1].pixels;
  ASSERT_EQ(grey.width, width);
  ASSERT_EQ(grey.height, height);
  ASSERT_EQ(mask.width, width);
  const std::size_t stride = (static_cast<std::size_t>(width) + 7) / 8;
  int black = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                             static_cast<std::size_t>(x);
      const bool set =
          ((decoded.image
                ->bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) / 8] >>
            (7 - x % 8)) &
           1) != 0;
      black += set ? 1 : 0;
      ASSERT_EQ(grey.rgb[3 * at], set ? 0 : 255) << x << "," << y;
      ASSERT_EQ(mask.alpha[at], set ? 255 : 0) << x << "," << y;
    }
  }
  EXPECT_GT(black, 20);
  EXPECT_EQ(mask.rgb[0], 255);  // the fill colour
}

}  // namespace
}  // namespace lvx::pdf
