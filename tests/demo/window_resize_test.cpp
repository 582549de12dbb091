// The resizer on the real main window under Wine, with the stand-in viewer in the host region:
// a size change moves and sizes the viewer in proportion, the first size brings it back pixel for
// pixel, and a move of the window changes nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "deferred_moves.h"
#include "main_window_fields.h"
#include "main_window_fixture.h"
#include "window_rects.h"

namespace lvx::toolkit {
namespace {

using lvx::test::ChildRect;
using lvx::test::Describe;
using lvx::test::PumpMessages;

class WindowResizeTest : public lvx::test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    GetWindowRect(window.Handle(), &firstOuter);
    firstViewer = ViewerRect();
  }

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
