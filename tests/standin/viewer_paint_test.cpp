// What the page area shows: white sheets of the pages' own sizes on grey, their text in dark
// pixels, yellow marks under marked text; pictures of it are saved for people to look at.
#include <string>
#include <vector>

#include "screen_capture.h"
#include "viewer_fixture.h"

namespace lvx::test {
namespace {

bool IsWhite(std::uint32_t c) { return Red(c) > 245 && Green(c) > 245 && Blue(c) > 245; }
bool IsDark(std::uint32_t c) { return Red(c) < 110 && Green(c) < 110 && Blue(c) < 110; }
bool IsGrey(std::uint32_t c) { return c == 0x808080; }
bool IsYellow(std::uint32_t c) { return Red(c) > 200 && Green(c) > 180 && Blue(c) < 140; }

class ViewerPaintTest : public ViewerTest {
 protected:
  // The page area's picture and sheet `page`'s box in it.
  [[nodiscard]] Picture PageArea() const { return CaptureClient(Part(LVX_STANDIN_PAGE_AREA)); }
  static long Area(const RECT& box) { return (box.right - box.left) * (box.bottom - box.top); }
};

TEST_F(ViewerPaintTest, SheetsShowTheirTextOnGrey) {
  Command(50, 0);
  Show(NumberedPages(3));
  const Picture picture = PageArea();
  ASSERT_GT(picture.width, 0);
  const RECT sheet = PageBox(0);
  ASSERT_GT(Area(sheet), 0);
  // 100 %: a US Letter sheet is 612 x 792 points, 816 x 1056 pixels at 96 dpi.
  EXPECT_EQ(sheet.right - sheet.left, 816);
  EXPECT_EQ(sheet.bottom - sheet.top, 1056);
  const RECT visible{sheet.left, sheet.top, std::min<LONG>(sheet.right, picture.width),
                     std::min<LONG>(sheet.bottom, picture.height)};
  EXPECT_GT(picture.Count(visible, IsWhite), Area(visible) * 9 / 10);
  // Five lines of 12-point text: dark pixels in the band where they are drawn (from 100 points
  // below the top, 72 points in).
  const RECT lines{sheet.left + 90, sheet.top + 120, sheet.left + 400, sheet.top + 240};
  EXPECT_GT(picture.Count(lines, IsDark), 200);
  const RECT left{0, 0, sheet.left - 4, picture.height};
  EXPECT_EQ(picture.Count(left, IsGrey), Area(left)) << "grey beside the sheet";
  SavePng(picture, ScreenshotFolder() + "paint-100.png");
}

TEST_F(ViewerPaintTest, MarkedTextIsHighlightedAndAnEmptyTextClearsTheMarks) {
  Command(50, 0);
  Show(NumberedPages(2));
  EXPECT_EQ(StringCommand(257, "line"), 10);
  EXPECT_EQ(PageHighlights(0), 5);
  Picture picture = PageArea();
  const RECT sheet = PageBox(0);
  EXPECT_GT(picture.Count(sheet, IsYellow), 300);
  SavePng(picture, ScreenshotFolder() + "paint-marks.png");
  EXPECT_EQ(StringCommand(257, ""), 0);
  EXPECT_EQ(PageHighlights(0), 0);
  picture = PageArea();
  EXPECT_EQ(picture.Count(sheet, IsYellow), 0);
}

// A resize rewraps the property panel's text; the panel must then show exactly what a fresh paint
// at the new size shows, with nothing left of the old lines.
TEST_F(ViewerPaintTest, PropertyPanelAfterAResizeShowsWhatAFreshPaintShows) {
  Command(50, 31);
  TestDocument document = NumberedPages(2);
  document.title = "A title long enough to wrap in a narrow property panel";
  document.author = "Somebody with a rather long name, Esq.";
  Show(document, "a-file-name-long-enough-to-wrap-twice");
  const HWND panel = Part(LVX_STANDIN_PROPERTY_PANEL);
  const std::vector<SIZE> sizes = {{560, 500}, {860, 640}, {640, 420}, {880, 660}, {520, 600}};
  for (std::size_t step = 0; step < sizes.size(); ++step) {
    Resize(static_cast<int>(sizes[step].cx), static_cast<int>(sizes[step].cy));
    const Picture resized = CaptureClient(panel);
    RedrawWindow(panel, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const Picture fresh = CaptureClient(panel);
    ASSERT_EQ(resized.width, fresh.width);
    ASSERT_EQ(resized.height, fresh.height);
    ASSERT_GT(fresh.width, 0);
    int differing = 0;
    for (std::size_t i = 0; i < fresh.pixels.size(); ++i) {
      differing += resized.pixels[i] != fresh.pixels[i] ? 1 : 0;
    }
    const std::string name = ScreenshotFolder() + "property-panel-" + std::to_string(step);
    SavePng(resized, name + "-resized.png");
    SavePng(fresh, name + "-fresh.png");
    EXPECT_EQ(differing, 0) << "at " << sizes[step].cx << " x " << sizes[step].cy
                            << ": pixels differ from a fresh paint (see " << name << "-*.png)";
  }
}

}  // namespace
}  // namespace lvx::test
