// Zoom codes and scrolling by keys, wheel, scroll bars and the page list, read back as the zoom
// factor, the current page and the sheets' places.
#include <cmath>

#include "viewer_fixture.h"

namespace lvx::test {
namespace {

constexpr double kScreen = 96.0 / 72.0;  // pixels per point at 100 % on the test display
constexpr int kGap = 12;                 // pixels around each sheet

int Width(const RECT& box) { return box.right - box.left; }
int Height(const RECT& box) { return box.bottom - box.top; }

class ViewerViewTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Command(50, 31);
  }
  [[nodiscard]] int ScrollBarPosition(int id) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE | SIF_PAGE;
    GetScrollInfo(Part(id), SB_CTL, &info);
    return info.nPos;
  }
};

TEST_F(ViewerViewTest, ZoomCommandsSetTheFactorWithoutADocumentToo) {
  EXPECT_EQ(StartView().zoomMode, LVX_STANDIN_ZOOM_PAGE_WIDTH) << "a new viewer fits the width";
  EXPECT_EQ(StartView().columns, 1);
  EXPECT_EQ(View().zoomMode, LVX_STANDIN_ZOOM_FIXED);
  EXPECT_DOUBLE_EQ(View().zoomPercent, 100);
  Command(42);
  EXPECT_DOUBLE_EQ(View().zoomPercent, 125);
  Command(44);
  Command(44);
  EXPECT_DOUBLE_EQ(View().zoomPercent, 75);
  for (const int ignored : {43, 48, 40, 7, 999}) {
    EXPECT_EQ(Command(ignored), 0);
  }
  EXPECT_DOUBLE_EQ(View().zoomPercent, 75);
  Command(47);
  EXPECT_EQ(View().zoomMode, LVX_STANDIN_ZOOM_TWO_PAGES);
  EXPECT_EQ(View().columns, 2);
  EXPECT_DOUBLE_EQ(View().zoomPercent, 100) << "nothing to fit";
  Command(41);
  EXPECT_EQ(View().zoomMode, LVX_STANDIN_ZOOM_FIXED);
  EXPECT_EQ(View().columns, 1);
}

TEST_F(ViewerViewTest, FittingModesFitThePageAreaAndFollowItsSize) {
  TestDocument document = NumberedPages(4);
  document.pages[2].width = 842;  // one landscape A4 page among Letter pages
  document.pages[2].height = 595;
  Show(document);
  LvxStandinViewState view = View();
  EXPECT_EQ(Width(PageBox(0)), static_cast<int>(std::lround(612 * kScreen)));

  Command(45);  // page width: the widest page fills the width
  view = View();
  EXPECT_EQ(view.zoomMode, LVX_STANDIN_ZOOM_PAGE_WIDTH);
  EXPECT_NEAR(Width(PageBox(2)), view.areaWidth - 2 * kGap, 1);
  EXPECT_NEAR(view.zoomPercent, (view.areaWidth - 2 * kGap) / (842 * kScreen) * 100, 0.01);
  Resize(600, 500);
  view = View();
  EXPECT_NEAR(Width(PageBox(2)), view.areaWidth - 2 * kGap, 1) << "the fit follows the size";

  Command(46);  // whole page: the current page fits entirely
  view = View();
  const RECT page = PageBox(view.currentPage);
  EXPECT_LE(Width(page), view.areaWidth - 2 * kGap + 1);
  EXPECT_LE(Height(page), view.areaHeight - 2 * kGap + 1);
  EXPECT_TRUE(std::abs(Width(page) - (view.areaWidth - 2 * kGap)) <= 1 ||
              std::abs(Height(page) - (view.areaHeight - 2 * kGap)) <= 1);
  EXPECT_GE(page.top, 0);
  EXPECT_LE(page.bottom, view.areaHeight);

  Command(47);  // two pages side by side
  view = View();
  const RECT left = PageBox(0);
  const RECT right = PageBox(1);
  EXPECT_EQ(left.top, right.top);
  EXPECT_EQ(right.left, left.right + kGap);
  EXPECT_GE(left.left, 0);
  EXPECT_LE(right.right, view.areaWidth);
  EXPECT_EQ(PageBox(2).top, std::max(left.bottom, right.bottom) + kGap);

  Command(42);  // zooming in from a fitted factor keeps the two columns
  view = View();
  EXPECT_EQ(view.zoomMode, LVX_STANDIN_ZOOM_FIXED);
  EXPECT_EQ(view.columns, 2);
}

TEST_F(ViewerViewTest, KeysWheelAndScrollBarsScrollAndTheCurrentPageFollows) {
  Show(NumberedPages(12));
  LvxStandinViewState view = View();
  ASSERT_EQ(view.currentPage, 0);
  ASSERT_GT(view.layoutHeight, view.areaHeight);
  const int page = view.areaHeight - 40;

  Key(VK_DOWN);
  EXPECT_EQ(View().scrollY, 40);
  Key(VK_UP);
  EXPECT_EQ(View().scrollY, 0);
  Key(VK_NEXT);
  EXPECT_EQ(View().scrollY, page);
  EXPECT_EQ(ScrollBarPosition(LVX_STANDIN_VERTICAL_BAR), page) << "the bar follows";

  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  Wheel(-120);
  EXPECT_EQ(View().scrollY, page + static_cast<int>(lines) * 40);
  Wheel(120);
  EXPECT_EQ(View().scrollY, page);

  Key(VK_END);
  view = View();
  EXPECT_EQ(view.scrollY, view.layoutHeight - view.areaHeight);
  EXPECT_EQ(view.currentPage, 11);
  Key(VK_HOME);
  EXPECT_EQ(View().scrollY, 0);
  EXPECT_EQ(View().currentPage, 0);

  SendMessageA(viewer_, WM_VSCROLL, SB_PAGEDOWN,
               reinterpret_cast<LPARAM>(Part(LVX_STANDIN_VERTICAL_BAR)));
  EXPECT_EQ(View().scrollY, page);
  SendMessageA(viewer_, WM_VSCROLL, SB_BOTTOM,
               reinterpret_cast<LPARAM>(Part(LVX_STANDIN_VERTICAL_BAR)));
  EXPECT_EQ(View().currentPage, 11);

  Command(42);
  Command(42);  // 150 %: wider than the area, so the view scrolls sideways
  view = View();
  ASSERT_GT(view.layoutWidth, view.areaWidth);
  const int x = view.scrollX;
  Key(VK_RIGHT);
  EXPECT_EQ(View().scrollX, std::min(x + 40, view.layoutWidth - view.areaWidth));
  Wheel(120, MK_CONTROL);  // Ctrl and the wheel zoom
  EXPECT_DOUBLE_EQ(View().zoomPercent, 200);
}

TEST_F(ViewerViewTest, ThePageListAndThePageLabelGoWithTheCurrentPage) {
  Show(NumberedPages(9));
  const HWND list = GetDlgItem(Part(LVX_STANDIN_NAVIGATION_PANEL), LVX_STANDIN_PAGE_LIST);
  const HWND label = GetDlgItem(Part(LVX_STANDIN_VIEW_PANEL), LVX_STANDIN_PAGE_LABEL);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 9);
  // Choosing entry 7 (as a click does) goes to page 7.
  SendMessageA(list, LB_SETCURSEL, 6, 0);
  SendMessageA(Part(LVX_STANDIN_NAVIGATION_PANEL), WM_COMMAND,
               MAKEWPARAM(LVX_STANDIN_PAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(View().currentPage, 6);
  EXPECT_EQ(PageBox(6).top, kGap);
  char text[64] = {};
  GetWindowTextA(label, text, sizeof text);
  EXPECT_STREQ(text, "Page 7 of 9");
  Key(VK_HOME);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  // The zoom buttons act like the zoom codes.
  const HWND twoPages = GetDlgItem(Part(LVX_STANDIN_VIEW_PANEL), LVX_STANDIN_FIRST_ZOOM_BUTTON + 5);
  SendMessageA(twoPages, BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(View().zoomMode, LVX_STANDIN_ZOOM_TWO_PAGES);
  Command(46);
  Key(VK_NEXT);  // whole-page mode: Page Down goes to the next page
  EXPECT_EQ(View().currentPage, 1);
  EXPECT_EQ(PageBox(1).top, kGap);
}

TEST_F(ViewerViewTest, AppendingKeepsTheViewAndAFailedLoadChangesNothing) {
  Show(NumberedPages(2));
  Key(VK_END);
  ASSERT_EQ(View().currentPage, 1);
  ASSERT_EQ(StringCommand(257, "line"), 10);
  const std::string more = TempPath("more");
  ASSERT_TRUE(WritePdf(more, NumberedPages(3)));
  EXPECT_EQ(StringCommand(102, more), 5);
  LvxStandinViewState view = View();
  EXPECT_EQ(view.pageCount, 5);
  EXPECT_EQ(view.currentPage, 1) << "the view stays where it was";
  EXPECT_EQ(view.markCount, 25) << "the marks cover the appended pages";
  EXPECT_EQ(PageHighlights(4), 5);
  const HWND list = GetDlgItem(Part(LVX_STANDIN_NAVIGATION_PANEL), LVX_STANDIN_PAGE_LIST);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 5);
  char facts[1024] = {};
  GetWindowTextA(GetDlgItem(Part(LVX_STANDIN_PROPERTY_PANEL), LVX_STANDIN_PROPERTY_TEXT), facts,
                 sizeof facts);
  EXPECT_NE(std::string(facts).find("Appended: lvx-"), std::string::npos) << facts;
  DeleteFileA(more.c_str());

  EXPECT_LT(StringCommand(101, TempPath("missing")), 0);
  view = View();
  EXPECT_EQ(view.pageCount, 5);
  EXPECT_EQ(view.currentPage, 1);
  EXPECT_EQ(view.markCount, 25);
}

TEST_F(ViewerViewTest, ClearingEmptiesTheViewAndKeepsTheZoom) {
  Show(NumberedPages(3));
  Command(45);
  Key(VK_NEXT);
  Command(100);
  const LvxStandinViewState view = View();
  EXPECT_EQ(view.pageCount, 0);
  EXPECT_EQ(view.currentPage, -1);
  EXPECT_EQ(view.scrollY, 0);
  EXPECT_EQ(view.zoomMode, LVX_STANDIN_ZOOM_PAGE_WIDTH);
  EXPECT_EQ(PageBox(0).right, 0);
  Key(VK_NEXT);  // nothing to scroll, nothing breaks
  EXPECT_EQ(View().scrollY, 0);
}

}  // namespace
}  // namespace lvx::test
