// Zoom commands, fitting factors and the continuous layout of page sheets.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "page_layout.h"
#include "zoom.h"

namespace lvx::standin {
namespace {

constexpr double kScreen = 96.0 / 72.0;  // pixels per point at 100 % on a 96-dpi screen

TEST(ZoomTest, CommandsMoveAlongTheLadderAndIgnoreOtherCodes) {
  ZoomSetting zoom;
  EXPECT_TRUE(ApplyZoomCommand(zoom, 42));
  EXPECT_EQ(zoom, (ZoomSetting{ZoomMode::kFixed, 125, 1}));
  EXPECT_TRUE(ApplyZoomCommand(zoom, 44));
  EXPECT_TRUE(ApplyZoomCommand(zoom, 44));
  EXPECT_DOUBLE_EQ(zoom.percent, 75);
  for (const int code : {43, 48, 40, 0, -1, 100, 50}) {
    EXPECT_FALSE(ApplyZoomCommand(zoom, code)) << code;
  }
  EXPECT_DOUBLE_EQ(zoom.percent, 75);
  EXPECT_TRUE(ApplyZoomCommand(zoom, 41));
  EXPECT_EQ(zoom, ZoomSetting{});
}

TEST(ZoomTest, ZoomingStopsAtTheLimits) {
  ZoomSetting zoom;
  for (int i = 0; i < 40; ++i) {
    ApplyZoomCommand(zoom, 42);
  }
  EXPECT_DOUBLE_EQ(zoom.percent, kMaxZoomPercent);
  for (int i = 0; i < 40; ++i) {
    ApplyZoomCommand(zoom, 44);
  }
  EXPECT_DOUBLE_EQ(zoom.percent, kMinZoomPercent);
}

TEST(ZoomTest, ZoomingFromAFittedFactorTakesTheNeighbouringStepAndKeepsTwoColumns) {
  ZoomSetting zoom;
  ApplyZoomCommand(zoom, 47);
  EXPECT_EQ(zoom.mode, ZoomMode::kTwoPages);
  EXPECT_EQ(zoom.columns, 2);
  zoom.percent = 87.3;  // what the fit worked out
  ApplyZoomCommand(zoom, 42);
  EXPECT_EQ(zoom, (ZoomSetting{ZoomMode::kFixed, 100, 2}));
  zoom.percent = 100.05;  // within rounding of a step counts as that step
  ApplyZoomCommand(zoom, 44);
  EXPECT_DOUBLE_EQ(zoom.percent, 75);
  ApplyZoomCommand(zoom, 45);
  EXPECT_EQ(zoom.columns, 1);
}

TEST(PageLayoutTest, RotationSwapsTheSides) {
  EXPECT_DOUBLE_EQ(ShownSize({612, 792, 90}).width, 792);
  EXPECT_DOUBLE_EQ(ShownSize({612, 792, 270}).height, 612);
  EXPECT_DOUBLE_EQ(ShownSize({612, 792, 180}).width, 612);
}

TEST(PageLayoutTest, SizesThatAreNotNumbersOrTooLargeAreTamed) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_DOUBLE_EQ(ShownSize({nan, -5, 0}).width, 612);
  EXPECT_DOUBLE_EQ(ShownSize({nan, -5, 0}).height, 792);
  EXPECT_DOUBLE_EQ(ShownSize({inf, 0.001, 0}).height, 1);
  EXPECT_DOUBLE_EQ(ShownSize({1e12, 10, 0}).width, 200000);
}

TEST(PageLayoutTest, HugeDocumentsAreZoomedNoFurtherThanTheLayoutCanHold) {
  // 5,000 pages of 200 inches: at 1,600 % the layout would not fit in an int.
  const std::vector<SheetSize> sheets(5000, SheetSize{14400, 14400});
  const double largest = LargestPercent(sheets, 1, kScreen);
  EXPECT_LT(largest, kMaxZoomPercent);
  EXPECT_GT(largest, 1000);
  const PageLayout layout = LayOutSheets(sheets, 1, largest / 100 * kScreen, 800, 600);
  EXPECT_GT(layout.height, 0);
  EXPECT_LE(layout.height, kMaxLayoutPixels);
  EXPECT_GT(layout.sheets.back().top, layout.sheets.front().top);
  // Ordinary documents keep the whole zoom range.
  EXPECT_GT(LargestPercent(std::vector<SheetSize>(5000, SheetSize{612, 792}), 1, kScreen),
            kMaxZoomPercent);
}

TEST(PageLayoutTest, PagePointsLandOnTheTurnedSheet) {
  // The top left corner of an upright page and where it goes when the page is turned clockwise.
  const double w = 200;
  const double h = 300;
  auto corner = [&](int rotation) { return PageToSheet({w, h, rotation}, 0, h, 2.0); };
  EXPECT_DOUBLE_EQ(corner(0).x, 0);
  EXPECT_DOUBLE_EQ(corner(0).y, 0);
  EXPECT_DOUBLE_EQ(corner(90).x, 2 * h);  // top left goes to the top right
  EXPECT_DOUBLE_EQ(corner(90).y, 0);
  EXPECT_DOUBLE_EQ(corner(180).x, 2 * w);  // to the bottom right
  EXPECT_DOUBLE_EQ(corner(180).y, 2 * h);
  EXPECT_DOUBLE_EQ(corner(270).x, 0);  // to the bottom left
  EXPECT_DOUBLE_EQ(corner(270).y, 2 * w);
  EXPECT_EQ(TextEscapement(90), 2700);
  EXPECT_EQ(TextEscapement(0), 0);
}

TEST(PageLayoutTest, OneColumnStacksSheetsOfTheirOwnSizeCentred) {
  const std::vector<SheetSize> sheets{{612, 792}, {792, 612}, {300, 300}};
  const PageLayout layout = LayOutSheets(sheets, 1, 1.0, 1000, 500);
  ASSERT_EQ(layout.sheets.size(), 3U);
  EXPECT_EQ(layout.sheets[0], (Box{194, kSheetGap, 806, kSheetGap + 792}));
  EXPECT_EQ(layout.sheets[1].top, layout.sheets[0].bottom + kSheetGap);
  EXPECT_EQ(layout.sheets[1].Width(), 792);
  EXPECT_EQ(layout.sheets[2].left, 350);
  EXPECT_EQ(layout.height, layout.sheets[2].bottom + kSheetGap);
  EXPECT_EQ(layout.width, 1000);
  // Wider than the area: the layout grows and keeps a gap at both sides.
  const PageLayout wide = LayOutSheets(sheets, 1, 2.0, 1000, 500);
  EXPECT_EQ(wide.width, 2 * 792 + 2 * kSheetGap);
  EXPECT_EQ(wide.sheets[1].left, kSheetGap);
}

TEST(PageLayoutTest, TwoColumnsPutPairsSideBySideAndAnOddLastPageAlone) {
  const std::vector<SheetSize> sheets{{100, 200}, {100, 150}, {100, 200}};
  const PageLayout layout = LayOutSheets(sheets, 2, 1.0, 300, 100);
  ASSERT_EQ(layout.sheets.size(), 3U);
  EXPECT_EQ(layout.sheets[0].top, layout.sheets[1].top);
  EXPECT_EQ(layout.sheets[1].left, layout.sheets[0].right + kSheetGap);
  EXPECT_EQ(layout.sheets[2].top, layout.sheets[0].bottom + kSheetGap);
  EXPECT_EQ(layout.sheets[2].left, 100);
}

TEST(PageLayoutTest, FittingModesFitTheAreaWithGaps) {
  const std::vector<SheetSize> sheets{{612, 792}, {1224, 792}, {612, 792}, {612, 792}};
  const int w = 1000;
  const int h = 800;
  const double width = EffectivePercent(ZoomMode::kPageWidth, 0, sheets, 0, w, h, kScreen);
  EXPECT_NEAR(width / 100 * kScreen * 1224, w - 2 * kSheetGap, 0.01);
  const double page = EffectivePercent(ZoomMode::kWholePage, 0, sheets, 0, w, h, kScreen);
  EXPECT_NEAR(page / 100 * kScreen * 792, h - 2 * kSheetGap, 0.01);
  // The row holding page 3 (0-based 2) is pages 2 and 3, each 612 wide.
  const double two = EffectivePercent(ZoomMode::kTwoPages, 0, sheets, 3, 2000, h, kScreen);
  EXPECT_NEAR(two, page, 0.01) << "tall rows fit the height";
  const double twoNarrow = EffectivePercent(ZoomMode::kTwoPages, 0, sheets, 2, 700, h, kScreen);
  EXPECT_NEAR(twoNarrow / 100 * kScreen * 1224, 700 - 3 * kSheetGap, 0.01);
  EXPECT_DOUBLE_EQ(EffectivePercent(ZoomMode::kPageWidth, 0, {}, 0, w, h, kScreen), 100);
  EXPECT_DOUBLE_EQ(EffectivePercent(ZoomMode::kWholePage, 0, sheets, 0, 5, 5, kScreen),
                   kMinZoomPercent);
  EXPECT_DOUBLE_EQ(EffectivePercent(ZoomMode::kFixed, 250, sheets, 0, w, h, kScreen), 250);
}

TEST(PageLayoutTest, TheMostVisibleSheetIsTheCurrentOne) {
  const std::vector<SheetSize> sheets{{100, 100}, {100, 100}, {100, 100}};
  const PageLayout layout = LayOutSheets(sheets, 1, 1.0, 200, 100);
  EXPECT_EQ(MostVisibleSheet(layout, 0, 100), 0);
  EXPECT_EQ(MostVisibleSheet(layout, layout.sheets[1].top - 10, 100), 1);
  EXPECT_EQ(MostVisibleSheet(layout, layout.sheets[2].top - 60, 100), 1);
  EXPECT_EQ(MostVisibleSheet(layout, layout.height + 50, 100), -1);
  EXPECT_EQ(MostVisibleSheet(PageLayout{}, 0, 100), -1);
}

}  // namespace
}  // namespace lvx::standin
