// The resizer on the real main window under Wine, with the stand-in viewer in the host region:
// a size change moves and sizes the viewer in proportion, the first size brings it back pixel for
// pixel, and a move of the window changes nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "deferred_moves.h"
#include "host_adapter.h"
#include "lumivexctl/lumivexcontrol.h"
#include "main_window.h"
#include "main_window_fields.h"
#include "resize_adapter.h"
#include "resizer.h"
#include "session.h"
#include "test_host_window.h"
#include "window.h"
#include "window_definition.h"
#include "window_rects.h"

namespace lvx::toolkit {
namespace {

using lvx::test::ChildRect;
using lvx::test::Describe;
using lvx::test::PumpMessages;

class WindowResizeTest : public ::testing::Test {
 protected:
  WindowResizeTest()
      : session(GetModuleHandleA(nullptr)),
        definition(GetModuleHandleA(nullptr), ostrada::kMainWindowDefinition),
        window(definition),
        host(window),
        layout(window) {}

  void SetUp() override {
    ASSERT_TRUE(window.Open());
    resize::INITRESIZE(resizer, layout, 1);
    ASSERT_NE(viewer.INIT(host, FIELD_HOSTREGION), 0);
    PumpMessages();
    GetWindowRect(window.Handle(), &firstOuter);
    firstViewer = ViewerRect();
  }

  void TearDown() override {
    resize::KILLRESIZE(resizer);
    viewer.KILL();
    window.Close();
    PumpMessages();
  }

  [[nodiscard]] RECT ViewerRect() const {
    return ChildRect(window.Handle(), window.ControlHandle(FIELD_HOSTREGION));
  }

  void SetOuterSize(int width, int height) {
    SetWindowPos(window.Handle(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    resize::RESIZE(resizer, layout);
    PumpMessages();
  }

  // Where a recorded control (the viewer by default, the first record) must be in pixels at the
  // window's current size, from its captured record.
  [[nodiscard]] RECT Expected(std::int32_t position = 1) const {
    const Placement now = window.WindowPlacement();
    const resize::Geometry placed =
        resize::PlaceControl(*resizer.CONTROLQUEUE->Fetch(position), resizer.ORIGWIN, now.width,
                             now.height, resize::RatioOf(now.width, resizer.ORIGWIN.WIDTH),
                             resize::RatioOf(now.height, resizer.ORIGWIN.HEIGHT));
    const int x = window.ToPixelsX(placed.XPOS);
    const int y = window.ToPixelsY(placed.YPOS);
    return RECT{x, y, x + window.ToPixelsX(placed.WIDTH), y + window.ToPixelsY(placed.HEIGHT)};
  }

  Session session;
  WindowDefinition definition;
  Window window;
  HostAdapter host;
  ResizeAdapter layout;
  resize::RESIZER resizer;
  LUMIVEXCONTROL viewer;
  RECT firstOuter{};
  RECT firstViewer{};
};

TEST_F(WindowResizeTest, OnlyTheRegionIsRecordedInDialogUnits) {
  ASSERT_EQ(resizer.CONTROLQUEUE->Count(), 1);
  const resize::ControlRecord& region = *resizer.CONTROLQUEUE->Fetch(1);
  EXPECT_EQ(region.ID, FIELD_HOSTREGION);
  EXPECT_EQ(region.TYPE, 4);
  EXPECT_EQ(region.POS, (resize::Geometry{14, 14, 401, 256}));
  EXPECT_EQ(resizer.ORIGWIN.WIDTH, 425);
  EXPECT_EQ(resizer.ORIGWIN.HEIGHT, 281);
}

TEST_F(WindowResizeTest, ViewerFollowsTheWindowInProportionAndComesBackExactly) {
  const int width = firstOuter.right - firstOuter.left;
  const int height = firstOuter.bottom - firstOuter.top;

  SetOuterSize(width + 300, height + 200);
  const RECT larger = ViewerRect();
  EXPECT_EQ(Describe(larger), Describe(Expected()));
  EXPECT_GT(larger.right - larger.left, firstViewer.right - firstViewer.left + 250);
  EXPECT_GT(larger.bottom - larger.top, firstViewer.bottom - firstViewer.top + 150);
  EXPECT_EQ(DeferredMoveCount(), 0) << "the batch of one move was applied";
  EXPECT_EQ(PendingMoveCount(), 0);

  SetOuterSize(width - 150, height - 100);
  EXPECT_EQ(Describe(ViewerRect()), Describe(Expected()));

  SetOuterSize(width, height);
  EXPECT_EQ(Describe(ViewerRect()), Describe(firstViewer)) << "back to the first size";
}

TEST_F(WindowResizeTest, AControlGoneBeforeAResizeDoesNotHoldBackTheOthers) {
  // Two more controls, captured with the viewer; the first of them goes before the resize.
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const int id : {40, 41}) {
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10 * id, 300, 30, 20, window.Handle(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  }
  resize::KILLRESIZE(resizer);
  resize::INITRESIZE(resizer, layout, 1);
  ASSERT_EQ(resizer.CONTROLQUEUE->Count(), 3);
  DestroyWindow(GetDlgItem(window.Handle(), 40));

  SetOuterSize(firstOuter.right - firstOuter.left + 200, firstOuter.bottom - firstOuter.top + 120);
  EXPECT_EQ(Describe(ViewerRect()), Describe(Expected(1))) << "moved by this one resize";
  EXPECT_EQ(Describe(ChildRect(window.Handle(), GetDlgItem(window.Handle(), 41))),
            Describe(Expected(3)));
  EXPECT_EQ(DeferredMoveCount(), 0) << "the batch of three moves, one skipped, is complete";
  EXPECT_EQ(PendingMoveCount(), 0);
}

TEST_F(WindowResizeTest, MovingTheWindowChangesNothing) {
  const resize::Geometry previous = resizer.PREVIOUSWIN;
  SetWindowPos(window.Handle(), nullptr, firstOuter.left + 40, firstOuter.top + 30, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  resize::RESIZE(resizer, layout);
  PumpMessages();
  EXPECT_EQ(Describe(ViewerRect()), Describe(firstViewer));
  EXPECT_EQ(resizer.PREVIOUSWIN, previous);
}

}  // namespace
}  // namespace lvx::toolkit
