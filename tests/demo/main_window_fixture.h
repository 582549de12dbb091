// ostrada's main window in the test's own process, with the stand-in viewer in its host region:
// opened, captured for resizing (INITRESIZE, mode 1) and the viewer started (INIT), as MAINWINDOW
// does; resized as its resize hook does, and where the resizer must have put a recorded control.
#ifndef LUMIVEX_TESTS_DEMO_MAIN_WINDOW_FIXTURE_H
#define LUMIVEX_TESTS_DEMO_MAIN_WINDOW_FIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

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

namespace lvx::test {

class MainWindowTest : public ::testing::Test {
 protected:
  // `allParts`: the viewer shows its scroll bars and panels, as in ostrada.
  explicit MainWindowTest(bool allParts = false)
      : session(GetModuleHandleA(nullptr)),
        definition(GetModuleHandleA(nullptr), ostrada::kMainWindowDefinition),
        window(definition),
        host(window),
        layout(window) {
    viewer.TVHORZSCROLLBAR = viewer.TVVERTSCROLLBAR = allParts ? 1 : 0;
    viewer.TVPROPERTYPANEL = viewer.TVNAVIGATIONPANEL = viewer.TVVIEWPANEL = allParts ? 1 : 0;
  }

  void SetUp() override {
    ASSERT_TRUE(window.Open());
    resize::INITRESIZE(resizer, layout, 1);
    ASSERT_NE(viewer.INIT(host, FIELD_HOSTREGION), 0);
    PumpMessages();
  }

  void TearDown() override {
    resize::KILLRESIZE(resizer);
    viewer.KILL();
    window.Close();
    PumpMessages();
  }

  [[nodiscard]] HWND Viewer() const { return window.ControlHandle(FIELD_HOSTREGION); }
  [[nodiscard]] RECT ViewerRect() const { return ChildRect(window.Handle(), Viewer()); }

  // Where a recorded control (the viewer by default, the first record) must be in pixels at the
  // window's current size, from its captured record.
  [[nodiscard]] RECT Expected(std::int32_t position = 1) const {
    const toolkit::Placement now = window.WindowPlacement();
    const resize::Geometry placed =
        resize::PlaceControl(*resizer.CONTROLQUEUE->Fetch(position), resizer.ORIGWIN, now.width,
                             now.height, resize::RatioOf(now.width, resizer.ORIGWIN.WIDTH),
                             resize::RatioOf(now.height, resizer.ORIGWIN.HEIGHT));
    const int x = window.ToPixelsX(placed.XPOS);
    const int y = window.ToPixelsY(placed.YPOS);
    return RECT{x, y, x + window.ToPixelsX(placed.WIDTH), y + window.ToPixelsY(placed.HEIGHT)};
  }

  // Sizes the frame, then runs the resize hook.
  void SetOuterSize(int width, int height) {
    SetWindowPos(window.Handle(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    resize::RESIZE(resizer, layout);
    PumpMessages();
  }

  toolkit::Session session;
  toolkit::WindowDefinition definition;
  toolkit::Window window;
  toolkit::HostAdapter host;
  toolkit::ResizeAdapter layout;
  resize::RESIZER resizer;
  LUMIVEXCONTROL viewer;
};

}  // namespace lvx::test

#endif
