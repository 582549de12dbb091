// Start-up and tear-down of the viewer with the stand-in viewer library next to the test program:
// the view-option bit sets, the adoption of the placeholder, the host services INIT uses and
// their order, the fixed names, overrides taking part, and the order of KILL.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "lumivexctl/lumivexcontrol.h"
#include "message_box_watcher.h"
#include "standin_log.h"
#include "test_host_window.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

std::int32_t StandinViewOptions(HWND window) {
  const auto query = reinterpret_cast<std::int32_t (*)(void*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("Lumivex01.dll"), "LvxStandinViewOptions")));
  return query == nullptr ? -2 : query(window);
}

class StartupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    viewer.KILL();
    PumpMessages();
  }

  std::int32_t Start() {
    RecordingHost recording(host.Window());
    const std::int32_t result = viewer.INIT(recording, kPlaceholderId);
    journal = recording.Journal();
    PumpMessages();
    return result;
  }

  // The last view options the stand-in received with code 50.
  static std::int32_t LastViewOptions() {
    std::int32_t options = -1;
    for (const LoggedMessage& message : StandinMessages()) {
      if (message.message == WM_VIEWER_COMMAND && message.code == VCMD_VIEWOPTIONS.code) {
        options = message.argument;
      }
    }
    return options;
  }

  TestHostWindow host;
  LUMIVEXCONTROL viewer;
  std::vector<std::string> journal;
};

TEST_F(StartupTest, NewObjectIsCleared) {
  const LUMIVEXCONTROL fresh;
  EXPECT_EQ(fresh.HWINDOW, 0);
  EXPECT_EQ(fresh.LIBHANDLE, 0);
  EXPECT_STREQ(fresh.LUMIVEXCLASSNAME, "");
  EXPECT_STREQ(fresh.LUMIVEXDLLNAME, "");
  EXPECT_EQ(fresh.TVHORZSCROLLBAR + fresh.TVVERTSCROLLBAR + fresh.TVPROPERTYPANEL +
                fresh.TVNAVIGATIONPANEL + fresh.TVVIEWPANEL,
            0);
}

// An object stands for one viewer window and one library reference: a copy would destroy the
// window twice and release a reference it never took.
TEST(StartupOwnershipTest, AnObjectCannotBeCopiedOrMoved) {
  EXPECT_FALSE(std::is_copy_constructible_v<LUMIVEXCONTROL>);
  EXPECT_FALSE(std::is_copy_assignable_v<LUMIVEXCONTROL>);
  EXPECT_FALSE(std::is_move_constructible_v<LUMIVEXCONTROL>);
  EXPECT_FALSE(std::is_move_assignable_v<LUMIVEXCONTROL>);
}

TEST_F(StartupTest, InitPlacesTheViewerExactlyOverThePlaceholder) {
  const HWND placeholder = host.Placeholder();
  const HWND label = host.Label();
  const std::int32_t result = Start();

  ASSERT_NE(result, 0);
  EXPECT_EQ(result, viewer.HWINDOW);
  const HWND viewerWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(viewer.HWINDOW));
  EXPECT_FALSE(IsWindow(placeholder)) << "the placeholder's own window must be gone";
  EXPECT_EQ(GetDlgItem(host.Window(), kPlaceholderId), viewerWindow);
  EXPECT_EQ(GetDlgCtrlID(viewerWindow), kPlaceholderId);
  EXPECT_EQ(GetParent(viewerWindow), host.Window());
  const LONG style = GetWindowLongA(viewerWindow, GWL_STYLE);
  EXPECT_NE(style & WS_CHILD, 0);
  EXPECT_EQ(style & WS_POPUP, 0);
  EXPECT_NE(style & WS_BORDER, 0);
  EXPECT_TRUE(IsWindowVisible(viewerWindow));
  // Same place in the sibling order: directly after the label that preceded the placeholder.
  EXPECT_EQ(GetWindow(label, GW_HWNDNEXT), viewerWindow);

  RECT rect{};
  GetWindowRect(viewerWindow, &rect);
  MapWindowPoints(HWND_DESKTOP, host.Window(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, kPlaceholderRect.left);
  EXPECT_EQ(rect.top, kPlaceholderRect.top);
  EXPECT_EQ(rect.right - rect.left, kPlaceholderRect.right - kPlaceholderRect.left);
  EXPECT_EQ(rect.bottom - rect.top, kPlaceholderRect.bottom - kPlaceholderRect.top);

  // It moves with its window, as a child does.
  SetWindowPos(host.Window(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT moved{};
  GetWindowRect(viewerWindow, &moved);
  MapWindowPoints(HWND_DESKTOP, host.Window(), reinterpret_cast<POINT*>(&moved), 2);
  EXPECT_EQ(moved.left, kPlaceholderRect.left);
  EXPECT_EQ(moved.top, kPlaceholderRect.top);
}

TEST_F(StartupTest, InitUsesTheHostServicesInOrderAndLeavesPixelUnitsOff) {
  ASSERT_NE(Start(), 0);
  const std::vector<std::string> expected = {
      "instance", "units 1",  "position 27", "client",
      "instance", "adopt 27", "window 27",   "units 0",
  };
  EXPECT_EQ(journal, expected);
}

TEST_F(StartupTest, InitOverwritesTheNamesAndLoadsTheLibrary) {
  std::snprintf(viewer.LUMIVEXDLLNAME, sizeof viewer.LUMIVEXDLLNAME, "%s", "other.dll");
  std::snprintf(viewer.LUMIVEXCLASSNAME, sizeof viewer.LUMIVEXCLASSNAME, "%s", "OtherClass");
  ASSERT_NE(Start(), 0);
  EXPECT_STREQ(viewer.LUMIVEXDLLNAME, "Lumivex01.dll");
  EXPECT_STREQ(viewer.LUMIVEXCLASSNAME, "Tarnvik_LUMIVEX_01");
  // The whole module handle: a 64-bit DLL is loaded above 4 GB.
  EXPECT_EQ(reinterpret_cast<HMODULE>(viewer.LIBHANDLE), GetModuleHandleA("Lumivex01.dll"));
}

struct SwitchCase {
  std::uint8_t horizontal, vertical, property, navigation, view;
  std::int32_t expected;
};

class ViewOptionsTest : public StartupTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(ViewOptionsTest, SwitchesBecomeTheBitSetOfCode50) {
  const SwitchCase& c = GetParam();
  viewer.TVHORZSCROLLBAR = c.horizontal;
  viewer.TVVERTSCROLLBAR = c.vertical;
  viewer.TVPROPERTYPANEL = c.property;
  viewer.TVNAVIGATIONPANEL = c.navigation;
  viewer.TVVIEWPANEL = c.view;
  ClearStandinLog();
  ASSERT_NE(Start(), 0);
  const std::vector<LoggedMessage> expected = {{WM_VIEWER_COMMAND, 50, c.expected, ""}};
  EXPECT_EQ(StandinMessages(), expected);
  EXPECT_EQ(StandinViewOptions(reinterpret_cast<HWND>(static_cast<INT_PTR>(viewer.HWINDOW))),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ViewOptionsTest,
    ::testing::Values(SwitchCase{1, 1, 1, 1, 1, 31}, SwitchCase{0, 1, 0, 0, 0, 1},
                      SwitchCase{1, 0, 0, 0, 0, 2}, SwitchCase{0, 0, 1, 0, 0, 16},
                      SwitchCase{0, 0, 0, 1, 0, 8}, SwitchCase{0, 0, 0, 0, 1, 4},
                      SwitchCase{0, 0, 0, 0, 0, 0}, SwitchCase{7, 2, 255, 0, 0, 19}));

TEST_F(StartupTest, SettingsCanBeSentAgainAfterASwitchChanges) {
  viewer.TVHORZSCROLLBAR = viewer.TVVERTSCROLLBAR = viewer.TVPROPERTYPANEL = 1;
  viewer.TVNAVIGATIONPANEL = viewer.TVVIEWPANEL = 1;
  ASSERT_NE(Start(), 0);
  EXPECT_EQ(LastViewOptions(), 31);
  viewer.TVNAVIGATIONPANEL = 0;
  viewer.SETVIEWCONTROLPROPERTIES();
  EXPECT_EQ(LastViewOptions(), 31 - 8);
}

class CountingViewer : public LUMIVEXCONTROL {
 public:
  void SETVIEWCONTROLPROPERTIES() override { ++calls; }
  int calls = 0;
};

TEST(StartupOverrideTest, InitCallsTheOverrideOfSetViewControlProperties) {
  TestHostWindow host;
  CountingViewer viewer;
  ClearStandinLog();
  LvxWin32Host adapter(host.Window());
  ASSERT_NE(viewer.INIT(adapter, kPlaceholderId), 0);
  EXPECT_EQ(viewer.calls, 1);
  for (const LoggedMessage& message : StandinMessages()) {
    EXPECT_NE(message.code, VCMD_VIEWOPTIONS.code) << "the base operation must not have run";
  }
  viewer.KILL();
}

TEST_F(StartupTest, TheViewerWindowBelongsToTheProgramsWholeInstanceHandle) {
  // A 64-bit program sits above 4 GB: the instance handle must reach CreateWindowExA uncut.
  ASSERT_NE(Start(), 0);
  const HWND viewerWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(viewer.HWINDOW));
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(viewerWindow, GWLP_HINSTANCE)),
            GetModuleHandleA(nullptr));
}

TEST(StartupNullWindowTest, AdoptingNoWindowLeavesTheControlWithoutAWindow) {
  TestHostWindow host;
  LvxWin32Host adapter(host.Window());
  EXPECT_EQ(adapter.SetControlWindow(kPlaceholderId, 0), LVX_ADOPT_NOT_A_WINDOW);
  EXPECT_EQ(adapter.ControlWindow(kPlaceholderId), 0);
  EXPECT_EQ(adapter.SetControlWindow(kPlaceholderId, 0), LVX_ADOPT_NO_CONTROL);
}

TEST(StartupKillTest, KillDestroysTheWindowBeforeUnloadingAndKeepsTheHandles) {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  const std::string logFile = std::string(path) + "lvx-startup-kill.log";
  DeleteFileA(logFile.c_str());
  SetEnvironmentVariableA("LUMIVEX_STANDIN_LOG", logFile.c_str());
  {
    TestHostWindow host;
    LUMIVEXCONTROL viewer;
    LvxWin32Host adapter(host.Window());
    ASSERT_NE(viewer.INIT(adapter, kPlaceholderId), 0);
    const std::int32_t window = viewer.HWINDOW;
    const LvxAddressValue library = viewer.LIBHANDLE;
    viewer.KILL();
    EXPECT_EQ(viewer.HWINDOW, window);
    EXPECT_EQ(viewer.LIBHANDLE, library);
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(window))));
    // The library's only reference was INIT's: after KILL the module is gone from the process.
    EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
  }
  SetEnvironmentVariableA("LUMIVEX_STANDIN_LOG", nullptr);
  std::ifstream log(logFile);
  std::vector<std::string> kinds;
  for (std::string line; std::getline(log, line);) {
    kinds.push_back(line.substr(0, line.find(' ')));
  }
  DeleteFileA(logFile.c_str());
  // Created, sent its settings, destroyed, and only then unloaded.
  const std::vector<std::string> expected = {"create", "msg", "destroy", "detach"};
  EXPECT_EQ(kinds, expected);
}

}  // namespace
}  // namespace lvx::test
