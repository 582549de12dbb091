// The installed face that draws a font a PDF does not embed. The glyphs sit at the file's widths,
// so a family named after a standard font must get a face of that font's widths: measured here
// with GDI against the published widths (thousandths of the em). Needs the faces scripts/setup.sh
// installs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "font_faces.h"
#include "gdi_objects.h"

namespace lvx::standin {
namespace {

// The advance of each letter of `letters` in `face`, at an em of 1000 pixels.
std::vector<int> Advances(const std::string& face, std::string_view letters) {
  LOGFONTA description{};
  description.lfHeight = -1000;
  description.lfCharSet = DEFAULT_CHARSET;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  const GdiObject<HFONT> font(CreateFontIndirectA(&description));
  const OwnedDc dc(CreateCompatibleDC(nullptr));
  const Selection selected(dc.Get(), font.Get());
  std::vector<int> advances;
  for (const char letter : letters) {
    INT width = 0;
    const auto code = static_cast<UINT>(static_cast<unsigned char>(letter));
    EXPECT_NE(GetCharWidth32A(dc.Get(), code, code, &width), FALSE);
    advances.push_back(width);
  }
  return advances;
}

struct StandardWidths {
  const char* family;  // as a file names it, style removed
  std::string_view letters;
  std::vector<int> widths;
};

TEST(FontFacesTest, FamiliesOfTheStandardFontsGetFacesOfTheirWidths) {
  const std::vector<StandardWidths> cases{
      {"Helvetica", "JimW ", {500, 222, 833, 944, 278}},
      {"ArialMT", "JimW ", {500, 222, 833, 944, 278}},
      {"Times", "JNimW", {389, 722, 278, 778, 944}},
      {"TimesNewRomanPSMT", "JNimW", {389, 722, 278, 778, 944}},
      {"Courier", "JimW ", {600, 600, 600, 600, 600}},
  };
  for (const StandardWidths& standard : cases) {
    const std::string face = GdiFaceFor(standard.family);
    const std::vector<int> advances = Advances(face, standard.letters);
    ASSERT_EQ(advances.size(), standard.widths.size());
    for (std::size_t i = 0; i < advances.size(); ++i) {
      EXPECT_NEAR(advances[i], standard.widths[i], 2)
          << standard.family << " drawn in " << face << ", letter '" << standard.letters[i] << "'";
    }
  }
}

// A family of another design keeps its kind's face, the one an unknown family of the kind gets.
// With the faces setup.sh installs, that face is not one of the standard widths, which would draw
// the letters of a wider design apart.
TEST(FontFacesTest, OtherFamiliesDoNotGetTheStandardWidths) {
  EXPECT_EQ(GdiFaceFor("URWPalladioL-Roma"), GdiFaceFor("Frutiger"));
  EXPECT_EQ(GdiFaceFor("Palatino"), GdiFaceFor("Garamond"));
  EXPECT_EQ(GdiFaceFor("Helvetica-Narrow"), GdiFaceFor("Frutiger"));
  EXPECT_NE(GdiFaceFor("Frutiger"), GdiFaceFor("Helvetica"));
  EXPECT_NE(GdiFaceFor("Garamond"), GdiFaceFor("Times"));
}

}  // namespace
}  // namespace lvx::standin
