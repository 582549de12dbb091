// Pictures of the viewer for people to look at (artifacts/screenshots/*.png in the build tree): a
// multi-page document at 100 %, page width and two pages side by side, with all panels on and all
// off, and with marked text. LVX_SCREENSHOT_PDF names the document (a corpus file, for instance)
// and LVX_SCREENSHOT_MARK the text to mark; without them a generated document is used.
// LVX_SCREENSHOT_SET names a subfolder for the pictures.
#include <cstdlib>

#include "screen_capture.h"
#include "viewer_fixture.h"

namespace lvx::test {
namespace {

class ViewerScreenshotTest : public ViewerTest {
 protected:
  // Saves the host window's picture; answers how much of the page area shows page sheets (some
  // shots are taken for the picture alone).
  // NOLINTNEXTLINE(modernize-use-nodiscard)
  double Shoot(const std::string& name) const {
    Pump();
    const Picture whole = CaptureClient(host_);
    std::string folder = ScreenshotFolder();
    if (const char* set = std::getenv("LVX_SCREENSHOT_SET"); set != nullptr && *set != '\0') {
      folder += std::string(set) + "\\";
      CreateDirectoryA(folder.c_str(), nullptr);
    }
    EXPECT_TRUE(SavePng(whole, folder + name + ".png"));
    const Picture pages = CaptureClient(Part(LVX_STANDIN_PAGE_AREA));
    const RECT all{0, 0, pages.width, pages.height};
    const int white = pages.Count(all, [](std::uint32_t c) { return c == 0xFFFFFF; });
    return pages.width * pages.height > 0
               ? static_cast<double>(white) / (pages.width * pages.height)
               : 0;
  }
};

TEST_F(ViewerScreenshotTest, ViewsOfAMultiPageDocument) {
  const char* given = std::getenv("LVX_SCREENSHOT_PDF");
  const char* mark = std::getenv("LVX_SCREENSHOT_MARK");
  std::string marked = mark != nullptr ? mark : "line";
  int pages = 0;
  if (given != nullptr && *given != '\0') {
    if (GetFileAttributesA(given) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << given << " is not there";
    }
    pages = static_cast<int>(StringCommand(101, given));
  } else {
    TestDocument document = NumberedPages(6, 30);
    document.pages[3].rotation = 90;
    document.pages[1].lines.push_back({72, 120, 28, "A heading in Times", "Times-Bold"});
    document.pages[2].lines.push_back({72, 120, 11, "monospaced text", "Courier"});
    Show(document, "screens");
    pages = 6;
  }
  ASSERT_GT(pages, 1) << (given != nullptr ? given : "");

  Command(50, 31);
  Command(41);
  EXPECT_GT(Shoot("01-100-percent-all-panels"), 0.2);
  Command(45);
  EXPECT_GT(Shoot("02-page-width-all-panels"), 0.5);
  Command(47);
  const double twoPages = Shoot("03-two-pages-all-panels");
  EXPECT_GT(twoPages, 0.2);
  EXPECT_EQ(PageBox(0).top, PageBox(1).top);

  Command(50, 0);
  Command(41);
  EXPECT_GT(Shoot("04-100-percent-no-panels"), 0.2);
  Command(45);
  EXPECT_GT(Shoot("05-page-width-no-panels"), 0.5);
  Command(47);
  EXPECT_GT(Shoot("06-two-pages-no-panels"), 0.2);

  Command(50, 31);
  Command(45);
  EXPECT_GT(StringCommand(257, marked), 0) << marked;
  EXPECT_GE(StringCommand(255, marked), 0);
  Shoot("07-marks-page-width");
}

}  // namespace
}  // namespace lvx::test
