// The resizer's arithmetic and its walk over a window's controls, on a window of numbers (no
// toolkit): ratios at 4 places, the strategy rules with their truncations, and what RESIZE hands
// to the toolkit (moves, the deferred-move count).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fixed_decimal.h"
#include "resizer.h"

namespace lvx::resize {
namespace {

TEST(RatioTest, RoundsHalfAwayFromZeroAtFourPlaces) {
  EXPECT_EQ(RatioOf(1, 32).scaled, 313);  // 0.03125
  EXPECT_EQ(RatioOf(2, 3).scaled, 6667);
  EXPECT_EQ(RatioOf(1, 3).scaled, 3333);
  EXPECT_EQ(RatioOf(600, 425).scaled, 14118);
  EXPECT_EQ(RatioOf(400, 281).scaled, 14235);
  EXPECT_EQ(RatioOf(-1, 32).scaled, -313);
  EXPECT_EQ(RatioOf(425, 425), kRatioOne);
}

TEST(RatioTest, ZeroDivisorGivesZeroAndLargeQuotientsAreHeld) {
  EXPECT_EQ(RatioOf(600, 0).scaled, 0);
  EXPECT_EQ(RatioOf(0, 425).scaled, 0);
  EXPECT_EQ(RatioOf(999'999, 1000).scaled, 9'999'990);
  EXPECT_EQ(RatioOf(1000, 1).scaled, kRatioLimit);
  EXPECT_EQ(RatioOf(2'000'000'000, 1).scaled, kRatioLimit);
  EXPECT_EQ(RatioOf(-2'000'000'000, 1).scaled, -kRatioLimit);
}

TEST(DecimalTest, TruncatesTowardZero) {
  EXPECT_EQ(ScaleTrunc(14, Ratio{14118}), 19);  // 19.7652
  EXPECT_EQ(ScaleTrunc(-14, Ratio{14118}), -19);
  EXPECT_EQ(OffsetFromCentre(14, 425), -198);  // -198.5
  EXPECT_EQ(CentreTrunc(600, -198), 102);
  EXPECT_EQ(CentreTrunc(5, 0), 2);                            // 2.5
  EXPECT_EQ(CentreScaledTrunc(600, -198, Ratio{14118}), 20);  // 300 - 279.5364
  EXPECT_EQ(AnchorTrunc(500, 100, Ratio{12500}), 375);
  EXPECT_EQ(AnchorTrunc(0, 3, Ratio{5000}), -1);  // -1.5: the whole difference is truncated
}

ControlRecord Record(std::int32_t id, Geometry pos, std::uint16_t positional = 0,
                     std::uint16_t resize = 0, std::int32_t type = kTypeRegion) {
  ControlRecord record;
  record.ID = id;
  record.TYPE = type;
  record.POSITIONALSTRATEGY = positional;
  record.RESIZESTRATEGY = resize;
  record.POS = pos;
  return record;
}

Geometry Place(const ControlRecord& record, Geometry original, std::int32_t w, std::int32_t h) {
  return PlaceControl(record, original, w, h, RatioOf(w, original.WIDTH),
                      RatioOf(h, original.HEIGHT));
}

TEST(PlaceControlTest, MainWindowRegionScalesInProportion) {
  const Geometry window{0, 0, 425, 281};
  EXPECT_EQ(Place(Record(27, {14, 14, 401, 256}), window, 600, 400), (Geometry{19, 19, 566, 364}));
}

TEST(PlaceControlTest, CentreKeepsTheTruncatedOffset) {
  const Geometry window{0, 0, 425, 281};
  EXPECT_EQ(Place(Record(1, {14, 0, 50, 10}, kHCentre, kKeepWidth), window, 600, 281).XPOS, 102);
  EXPECT_EQ(Place(Record(1, {14, 0, 50, 10}, kHCentre, 0), window, 600, 281).XPOS, 20);
  // Vertically the same rules: d = trunc(14 - 140.5) = -126.
  EXPECT_EQ(Place(Record(1, {0, 14, 10, 50}, kVCentre, kKeepHeight), window, 425, 400).YPOS, 74);
  EXPECT_EQ(Place(Record(1, {0, 14, 10, 50}, kVCentre, 0), window, 425, 400).YPOS, 20);
}

TEST(PlaceControlTest, RightAndBottomAnchors) {
  const Geometry window{0, 0, 400, 400};
  EXPECT_EQ(Place(Record(1, {300, 0, 80, 10}, kHRight, kKeepWidth), window, 500, 400),
            (Geometry{400, 0, 80, 10}));
  EXPECT_EQ(Place(Record(1, {300, 0, 80, 10}, kHRight, 0), window, 500, 400),
            (Geometry{375, 0, 100, 10}));
  EXPECT_EQ(Place(Record(1, {0, 300, 10, 80}, kVBottom, kKeepHeight), window, 400, 500),
            (Geometry{0, 400, 10, 80}));
  EXPECT_EQ(Place(Record(1, {0, 300, 10, 80}, kVBottom, 0), window, 400, 500),
            (Geometry{0, 375, 10, 100}));
}

TEST(PlaceControlTest, FixedLeftAndTopRules) {
  const Geometry window{0, 0, 400, 400};
  EXPECT_EQ(Place(Record(1, {30, 40, 80, 10}, kHFixed | kVFixed, 0), window, 800, 200),
            (Geometry{30, 40, 160, 5}));
  EXPECT_EQ(Place(Record(1, {30, 40, 80, 10}, kHLeft | kVTop, kKeepWidth | kKeepHeight), window,
                  800, 200),
            (Geometry{30, 40, 80, 10}));
  EXPECT_EQ(Place(Record(1, {30, 40, 80, 10}, kHLeft | kVTop, 0), window, 800, 200),
            (Geometry{60, 20, 160, 5}));
}

TEST(PlaceControlTest, AutoStrategiesPickTheNearerEdgeAndEqualMarginsCountAsNear) {
  const Geometry window{0, 0, 400, 400};
  // Margins 100 and 100: left and top. Keeping the size, the position stays.
  EXPECT_EQ(Place(Record(1, {100, 100, 200, 200}, kHAuto | kVAuto, kKeepWidth | kKeepHeight),
                  window, 600, 600),
            (Geometry{100, 100, 200, 200}));
  // Left margin 101 > right margin 99: anchored right (and bottom).
  EXPECT_EQ(Place(Record(1, {101, 101, 200, 200}, kHAuto | kVAuto, kKeepWidth | kKeepHeight),
                  window, 600, 600),
            (Geometry{301, 301, 200, 200}));
}

TEST(PlaceControlTest, UnnamedStrategiesLeaveThePositionScaled) {
  const Geometry window{0, 0, 400, 400};
  EXPECT_EQ(Place(Record(1, {100, 100, 10, 10}, 0x0303, 0), window, 600, 500),
            (Geometry{150, 125, 15, 12}));
}

TEST(PlaceControlTest, RatiosOfExactlyOneLeaveEveryRuleAlone) {
  const Geometry window{0, 0, 425, 281};
  for (const std::uint16_t positional : {0x0000, 0x0101, 0x0202, 0x0404, 0x0808, 0x1010}) {
    for (const std::uint16_t resize : {0, 1, 2, 3}) {
      EXPECT_EQ(Place(Record(1, {14, 14, 401, 256}, positional, resize), window, 425, 281),
                (Geometry{14, 14, 401, 256}))
          << positional << " " << resize;
    }
  }
}

TEST(PlaceControlTest, WidthZeroCollapsesScaledControls) {
  const Geometry window{0, 0, 400, 400};
  EXPECT_EQ(Place(Record(1, {30, 40, 80, 10}), window, 0, 400), (Geometry{0, 40, 0, 10}));
  EXPECT_EQ(Place(Record(1, {300, 40, 80, 10}, kHRight, kKeepWidth), window, 0, 400).XPOS, -100);
}

TEST(StrategiesTest, ModeTwoTable) {
  EXPECT_EQ(StrategiesForType(9).positional, 0x1010);
  EXPECT_EQ(StrategiesForType(9).resize, 3);
  for (const std::int32_t type : {12, 21}) {
    EXPECT_EQ(StrategiesForType(type).positional, 0);
    EXPECT_EQ(StrategiesForType(type).resize, 3);
  }
  for (const std::int32_t type : {8, 15, 16, 34}) {
    EXPECT_EQ(StrategiesForType(type).resize, 2) << type;
  }
  for (const std::int32_t type : {1, 4, 17, 99}) {
    EXPECT_EQ(StrategiesForType(type).positional, 0);
    EXPECT_EQ(StrategiesForType(type).resize, 0);
  }
}

// A window of numbers: controls by number with a type and geometry, a journal of what the
// resizer asked for, and a deferred-move count that behaves as the toolkit's does.
class NumberWindow final : public WindowServices {
 public:
  struct Control {
    std::int32_t type;
    Geometry geometry;
  };

  Geometry window{0, 0, 425, 281};
  std::map<std::int32_t, Control> controls;
  std::int32_t deferred = 0;
  std::vector<std::string> journal;

  Geometry WindowGeometry() override {
    journal.emplace_back("window");
    return window;
  }
  std::int32_t LowestControl() override { return controls.empty() ? 0 : controls.begin()->first; }
  std::int32_t HighestControl() override { return controls.empty() ? 0 : controls.rbegin()->first; }
  std::int32_t ControlType(std::int32_t control) override {
    const auto found = controls.find(control);
    return found == controls.end() ? kTypeNone : found->second.type;
  }
  Geometry ControlGeometry(std::int32_t control) override { return controls.at(control).geometry; }
  void MoveControl(std::int32_t control, Coordinate x, Coordinate y, Coordinate width,
                   Coordinate height) override {
    Geometry& g = controls.at(control).geometry;
    g = {x.value_or(g.XPOS), y.value_or(g.YPOS), width.value_or(g.WIDTH),
         height.value_or(g.HEIGHT)};
    journal.push_back("move " + std::to_string(control) + (width ? "" : " keep-width"));
    if (deferred > 0) {
      --deferred;
    }
  }
  std::int32_t DeferredMoveCount() override { return deferred; }
  void SetDeferredMoveCount(std::int32_t count) override {
    journal.push_back("defer " + std::to_string(count));
    deferred = count;
  }
};

class ResizerTest : public ::testing::Test {
 protected:
  void TearDown() override { KILLRESIZE(resizer); }

  NumberWindow window;
  RESIZER resizer;
};

TEST_F(ResizerTest, MainWindowRegionFollowsTheWindowAndComesBackExactly) {
  for (std::int32_t item = 1; item <= 26; ++item) {
    window.controls[item] = {item == 1 || item == 6 ? kTypeMenu : kTypeMenuItem, {}};
  }
  window.controls[27] = {kTypeRegion, {14, 14, 401, 256}};
  INITRESIZE(resizer, window, 1);
  ASSERT_NE(resizer.CONTROLQUEUE, nullptr);
  ASSERT_EQ(resizer.CONTROLQUEUE->Count(), 1);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->ID, 27);

  window.window = {40, 50, 600, 400};
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[27].geometry, (Geometry{19, 19, 566, 364}));
  EXPECT_EQ(resizer.PREVIOUSWIN, (Geometry{40, 50, 600, 400}));
  EXPECT_EQ(resizer.ORIGWIN, (Geometry{0, 0, 425, 281}));

  // Only the height changes: rx is again taken against the captured width.
  window.window = {40, 50, 600, 300};
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[27].geometry, (Geometry{19, 14, 566, 273}));

  window.window = {7, 9, 425, 281};
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[27].geometry, (Geometry{14, 14, 401, 256}));
}

TEST_F(ResizerTest, MoveWithoutSizeChangeTouchesNothing) {
  window.controls[27] = {kTypeRegion, {14, 14, 401, 256}};
  INITRESIZE(resizer, window, 1);
  window.journal.clear();
  window.window = {300, 200, 425, 281};
  RESIZE(resizer, window);
  EXPECT_EQ(window.journal, (std::vector<std::string>{"window"}));
  EXPECT_EQ(resizer.PREVIOUSWIN, (Geometry{0, 0, 425, 281}));
}

TEST_F(ResizerTest, SkipsMissingNumbersMenusAndItemsAndKeepsNumberOrder) {
  window.controls[3] = {kTypeButton, {10, 10, 50, 14}};
  window.controls[5] = {kTypeMenu, {}};
  window.controls[6] = {kTypeMenuItem, {}};
  window.controls[9] = {8, {10, 30, 100, 12}};
  INITRESIZE(resizer, window, kModeByType);
  ASSERT_EQ(resizer.CONTROLQUEUE->Count(), 2);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->ID, 3);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->POSITIONALSTRATEGY, 0x1010);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->RESIZESTRATEGY, 3);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(2)->ID, 9);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(2)->RESIZESTRATEGY, 2);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(3), nullptr);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(0), nullptr);
}

TEST_F(ResizerTest, OtherModesScaleEverything) {
  window.controls[3] = {kTypeButton, {10, 10, 50, 14}};
  INITRESIZE(resizer, window, 7);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->POSITIONALSTRATEGY, 0);
  EXPECT_EQ(resizer.CONTROLQUEUE->Fetch(1)->RESIZESTRATEGY, 0);
}

TEST_F(ResizerTest, AllMovesOfOneResizeAreOneBatch) {
  window.controls[2] = {kTypeRegion, {0, 0, 10, 10}};
  window.controls[4] = {kTypeRegion, {20, 0, 10, 10}};
  window.controls[7] = {kTypeRegion, {40, 0, 10, 10}};
  INITRESIZE(resizer, window, 1);
  window.journal.clear();
  window.window.WIDTH = 850;
  RESIZE(resizer, window);
  EXPECT_EQ(window.journal,
            (std::vector<std::string>{"window", "defer 3", "move 2", "move 4", "move 7"}));
  EXPECT_EQ(window.deferred, 0);
}

TEST_F(ResizerTest, StandingNegativeCountIsWrittenBackAndOthersAreNot) {
  window.controls[2] = {kTypeRegion, {0, 0, 10, 10}};
  INITRESIZE(resizer, window, 1);
  window.deferred = -4;
  window.window.WIDTH = 850;
  RESIZE(resizer, window);
  EXPECT_EQ(window.journal.back(), "defer -4");
  EXPECT_EQ(window.deferred, -4);

  window.deferred = 5;
  window.journal.clear();
  window.window.WIDTH = 600;
  RESIZE(resizer, window);
  EXPECT_EQ(window.journal, (std::vector<std::string>{"window", "defer 1", "move 2"}));
}

TEST_F(ResizerTest, MenusOnlyGiveAnEmptyListAndResizeOnlyRecordsTheSize) {
  window.controls[1] = {kTypeMenu, {}};
  window.controls[2] = {kTypeMenuItem, {}};
  INITRESIZE(resizer, window, 1);
  ASSERT_NE(resizer.CONTROLQUEUE, nullptr);
  EXPECT_EQ(resizer.CONTROLQUEUE->Count(), 0);
  window.journal.clear();
  window.window = {1, 2, 500, 300};
  RESIZE(resizer, window);
  EXPECT_EQ(window.journal, (std::vector<std::string>{"window", "defer 0"}));
  EXPECT_EQ(resizer.PREVIOUSWIN, (Geometry{1, 2, 500, 300}));
}

TEST_F(ResizerTest, NoControlsAtAll) {
  INITRESIZE(resizer, window, 1);
  EXPECT_EQ(resizer.CONTROLQUEUE->Count(), 0);
}

TEST_F(ResizerTest, ThinControlOfTypeOneKeepsItsCurrentWidth) {
  window.controls[4] = {1, {100, 10, 1, 50}};
  window.controls[5] = {1, {100, 10, 2, 50}};
  INITRESIZE(resizer, window, 1);
  window.controls[4].geometry.WIDTH = 3;  // changed by somebody else since the snapshot
  window.journal.clear();
  window.window.WIDTH = 850;
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[4].geometry, (Geometry{200, 10, 3, 50}));
  EXPECT_EQ(window.controls[5].geometry, (Geometry{200, 10, 4, 50}));
  EXPECT_EQ(window.journal[2], "move 4 keep-width");
}

TEST_F(ResizerTest, ZeroWidthThenBackPlacesEverythingFromTheSnapshot) {
  window.controls[27] = {kTypeRegion, {14, 14, 401, 256}};
  INITRESIZE(resizer, window, 1);
  window.window.WIDTH = 0;
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[27].geometry, (Geometry{0, 14, 0, 256}));
  window.window.WIDTH = 425;
  RESIZE(resizer, window);
  EXPECT_EQ(window.controls[27].geometry, (Geometry{14, 14, 401, 256}));
}

TEST_F(ResizerTest, KillFreesTheList) {
  window.controls[27] = {kTypeRegion, {14, 14, 401, 256}};
  INITRESIZE(resizer, window, 1);
  KILLRESIZE(resizer);
  EXPECT_EQ(resizer.CONTROLQUEUE, nullptr);
}

}  // namespace
}  // namespace lvx::resize
