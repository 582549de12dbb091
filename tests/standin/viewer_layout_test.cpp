// Code 50 shows or hides each scroll bar and panel by its bit; the visible parts never overlap and
// fill the viewer at any size.
#include <array>
#include <vector>

#include "viewer_fixture.h"

namespace lvx::test {
namespace {

struct PartBit {
  int id;
  std::int32_t bit;
};
constexpr std::array<PartBit, 5> kParts{{{LVX_STANDIN_VERTICAL_BAR, 1},
                                         {LVX_STANDIN_HORIZONTAL_BAR, 2},
                                         {LVX_STANDIN_VIEW_PANEL, 4},
                                         {LVX_STANDIN_NAVIGATION_PANEL, 8},
                                         {LVX_STANDIN_PROPERTY_PANEL, 16}}};

class ViewerLayoutTest : public ViewerTest {
 protected:
  // The visible parts' rectangles; fails when two overlap or one sticks out of the viewer. Some
  // tests call it for the checks alone.
  // NOLINTNEXTLINE(modernize-use-nodiscard)
  std::vector<RECT> CheckVisibleParts() const {
    RECT client{};
    GetClientRect(viewer_, &client);
    std::vector<RECT> shown;
    for (const int id : {1001, 1002, 1003, 1004, 1005, 1006}) {
      const HWND part = Part(id);
      if (part == nullptr || IsWindowVisible(part) == FALSE) {
        continue;
      }
      const RECT box = PartRect(part);
      EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right &&
                  box.bottom <= client.bottom)
          << "part " << id << " outside the viewer";
      for (const RECT& other : shown) {
        RECT common{};
        EXPECT_FALSE(IntersectRect(&common, &box, &other)) << "part " << id << " overlaps";
      }
      shown.push_back(box);
    }
    return shown;
  }
};

TEST_F(ViewerLayoutTest, EachBitShowsItsOwnPartAndOnlyIt) {
  EXPECT_EQ(View().viewOptions, -1);
  EXPECT_FALSE(IsWindowVisible(Part(LVX_STANDIN_VIEW_PANEL)));
  for (std::int32_t options = 0; options < 32; ++options) {
    Command(50, options);
    SCOPED_TRACE(options);
    for (const PartBit& part : kParts) {
      EXPECT_EQ(IsWindowVisible(Part(part.id)) != FALSE, (options & part.bit) != 0)
          << "part " << part.id;
    }
    EXPECT_TRUE(IsWindowVisible(Part(LVX_STANDIN_PAGE_AREA)));
    EXPECT_EQ(View().viewOptions, options);
    CheckVisibleParts();
  }
  Command(50, 31 | 64 | 1024);  // unknown bits change nothing else
  EXPECT_TRUE(IsWindowVisible(Part(LVX_STANDIN_PROPERTY_PANEL)));
}

TEST_F(ViewerLayoutTest, PartsNeverOverlapAndFillTheViewerAtAnySize) {
  Command(50, 31);
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{
           {880, 660}, {400, 300}, {120, 90}, {40, 30}, {17, 17}, {3, 2}, {0, 0}, {1500, 200}}) {
    Resize(w, h);
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    long long area = 0;
    for (const RECT& box : CheckVisibleParts()) {
      area += static_cast<long long>(box.right - box.left) * (box.bottom - box.top);
    }
    RECT client{};
    GetClientRect(viewer_, &client);
    const long long whole = static_cast<long long>(client.right) * client.bottom;
    // Everything but the corner between the two scroll bars is covered by a part.
    const long long corner =
        static_cast<long long>(GetSystemMetrics(SM_CXVSCROLL)) * GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_LE(area, whole);
    EXPECT_GE(area, whole - corner);
    const LvxStandinViewState view = View();
    const RECT pages = PartRect(Part(LVX_STANDIN_PAGE_AREA));
    if (IsWindowVisible(Part(LVX_STANDIN_PAGE_AREA)) != FALSE) {
      EXPECT_EQ(view.areaWidth, pages.right - pages.left);
      EXPECT_EQ(view.areaHeight, pages.bottom - pages.top);
    }
  }
}

TEST_F(ViewerLayoutTest, ScrollBarsBorderThePageAreaAndZoomButtonsStayInsideTheirPanel) {
  Command(50, 31);
  const RECT pages = PartRect(Part(LVX_STANDIN_PAGE_AREA));
  const RECT vertical = PartRect(Part(LVX_STANDIN_VERTICAL_BAR));
  const RECT horizontal = PartRect(Part(LVX_STANDIN_HORIZONTAL_BAR));
  EXPECT_EQ(vertical.left, pages.right);
  EXPECT_EQ(vertical.top, pages.top);
  EXPECT_EQ(horizontal.top, pages.bottom);
  EXPECT_EQ(horizontal.left, pages.left);
  EXPECT_EQ(PartRect(Part(LVX_STANDIN_NAVIGATION_PANEL)).right, pages.left);
  EXPECT_EQ(PartRect(Part(LVX_STANDIN_PROPERTY_PANEL)).left, vertical.right);

  Resize(260, 200);
  const HWND panel = Part(LVX_STANDIN_VIEW_PANEL);
  RECT panelBox{};
  GetClientRect(panel, &panelBox);
  int shown = 0;
  for (int i = 0; i < 6; ++i) {
    const HWND button = GetDlgItem(panel, LVX_STANDIN_FIRST_ZOOM_BUTTON + i);
    ASSERT_NE(button, nullptr);
    if (IsWindowVisible(button) != FALSE) {
      ++shown;
      RECT box{};
      GetWindowRect(button, &box);
      MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&box), 2);
      EXPECT_LE(box.right, panelBox.right);
    }
  }
  EXPECT_GT(shown, 0);
  EXPECT_LT(shown, 6) << "a narrow panel cannot hold all six buttons";
}

}  // namespace
}  // namespace lvx::test
