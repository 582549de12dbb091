// The window toolkit on the program's own main-window definition, in this process under Wine:
// the window it builds, field numbers and type codes, units, the event loop's events, the
// accept-all pass, deferred moves, message boxes, and the host services the wrapper uses.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "allocation_limit.h"
#include "control_kinds.h"
#include "deferred_moves.h"
#include "events.h"
#include "handler_guard.h"
#include "host_adapter.h"
#include "lumivexctl/lumivexcontrol.h"
#include "main_window.h"
#include "main_window_fields.h"
#include "message_box.h"
#include "message_box_watcher.h"
#include "session.h"
#include "test_host_window.h"
#include "window.h"
#include "window_definition.h"
#include "window_rects.h"

namespace lvx::toolkit {
namespace {

using lvx::test::AllocationLimit;
using lvx::test::ChildRect;
using lvx::test::Describe;
using lvx::test::MessageBoxWatcher;
using lvx::test::PumpMessages;

// The menu as the window must carry it: field number, text, popup or not.
struct MenuEntryText {
  std::int32_t field;
  const char* text;
  bool popup;
};
const std::vector<MenuEntryText>& ExpectedMenu() {
  static const std::vector<MenuEntryText> menu = {
      {1, "&File", true},
      {2, "&Open", false},
      {3, "&Append", false},
      {4, "&Clear", false},
      {5, "&Print", false},
      {6, "Zoom", true},
      {7, "&100%", false},
      {8, "Zoom&In", false},
      {9, "Zoom&Out", false},
      {10, "Full &Width", false},
      {11, "Full &Page", false},
      {12, "&Two Pages", false},
      {13, "&Disable", true},
      {14, "&Print", false},
      {15, "&High Quality Print", false},
      {16, "&Select Printer", false},
      {17, "&DC Print", false},
      {18, "&Exit", false},
      {19, "&Info", true},
      {20, "&Page Count", false},
      {21, "&Page Text Length", false},
      {22, "Page Text", false},
      {23, "&Document Text Length", false},
      {24, "&Help", true},
      {25, "&Document Properties", false},
      {26, "&About", false},
  };
  return menu;
}

struct MenuWalk {
  std::vector<MenuEntryText> entries;
  std::vector<std::string> texts;  // owns the strings `entries` point to
  int separators = 0;
  bool anyState = false;
};

void Walk(HMENU menu, MenuWalk& walk) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_NE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info), FALSE);
    if ((info.fType & MFT_SEPARATOR) != 0) {
      ++walk.separators;
      continue;
    }
    walk.anyState = walk.anyState || info.fState != 0;
    walk.texts.emplace_back(text);
    walk.entries.push_back(
        {static_cast<std::int32_t>(info.wID), nullptr, info.hSubMenu != nullptr});
    if (info.hSubMenu != nullptr) {
      Walk(info.hSubMenu, walk);
    }
  }
}

// Ends a wait for an event that does not come: after `ms` the window is asked to close, so the
// loop reports CloseDown instead of blocking the test run.
class EventTimeout {
 public:
  EventTimeout(HWND window, UINT ms) : timer_(Start(window, ms)) {}
  ~EventTimeout() { KillTimer(nullptr, timer_); }
  EventTimeout(const EventTimeout&) = delete;
  EventTimeout& operator=(const EventTimeout&) = delete;
  EventTimeout(EventTimeout&&) = delete;
  EventTimeout& operator=(EventTimeout&&) = delete;

 private:
  static UINT_PTR Start(HWND window, UINT ms) {
    target = window;
    return SetTimer(nullptr, 0, ms, &EventTimeout::Fire);
  }
  static void CALLBACK Fire(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/, DWORD /*time*/) {
    PostMessageA(target, WM_CLOSE, 0, 0);
  }
  static inline HWND target = nullptr;
  UINT_PTR timer_ = 0;
};

RECT DialogRect(HWND window, int x, int y, int width, int height) {
  RECT rect{x, y, x + width, y + height};
  MapDialogRect(window, &rect);
  return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ToolkitTest : public ::testing::Test {
 protected:
  ToolkitTest()
      : session(GetModuleHandleA(nullptr)),
        definition(GetModuleHandleA(nullptr), ostrada::kMainWindowDefinition),
        window(definition) {}

  void SetUp() override {
    ASSERT_TRUE(session.Ready());
    ASSERT_TRUE(definition.Loaded());
    ASSERT_TRUE(window.Open());
    SetDeferredMoveCount(0);
  }

  void TearDown() override {
    SetDeferredMoveCount(0);
    window.Close();
    PumpMessages();
  }

  // The next event, or CloseDown after two seconds without one.
  std::int32_t Next() {
    const EventTimeout timeout(window.Handle(), 2000);
    return window.Accept() ? window.Event() : -1;
  }

  // Takes events until `number` (or the end); answers whether it came.
  bool TakeUntil(std::int32_t number) {
    for (int i = 0; i < 20; ++i) {
      const std::int32_t event = Next();
      if (event == number) {
        return true;
      }
      if (event == -1 || event == kEventCloseDown) {
        return false;
      }
    }
    return false;
  }

  // Takes the pending events up to and including the marker command `field`, answering the
  // event numbers seen before it.
  std::vector<std::int32_t> EventsBefore(std::int32_t field) {
    PostMessageA(window.Handle(), WM_COMMAND, static_cast<WPARAM>(field), 0);
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 20; ++i) {
      const std::int32_t event = Next();
      if (event == kEventAccepted && window.Field() == field) {
        return seen;
      }
      seen.push_back(event);
      if (event == -1 || event == kEventCloseDown) {
        break;
      }
    }
    ADD_FAILURE() << "the marker command never arrived";
    return seen;
  }

  Session session;
  WindowDefinition definition;
  Window window;
};

TEST_F(ToolkitTest, WindowIsBuiltAsDefined) {
  const HWND handle = window.Handle();
  char title[64] = {};
  GetWindowTextA(handle, title, sizeof title);
  EXPECT_STREQ(title, "VIEW PDF");

  const LONG style = GetWindowLongA(handle, GWL_STYLE);
  EXPECT_NE(style & WS_THICKFRAME, 0) << "sizing border";
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  // MS Sans Serif 8 pt: its dialog units give the client area 425 x 281 of them.
  RECT client{};
  GetClientRect(handle, &client);
  const RECT size = DialogRect(handle, 0, 0, 425, 281);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

  // Button-face background: the dialog paints it, the region shows it too.
  PumpMessages();
  UpdateWindow(handle);
  const HDC dc = GetDC(handle);
  const COLORREF corner = GetPixel(dc, 3, 3);
  const COLORREF insideRegion = GetPixel(dc, client.right / 2, client.bottom / 2);
  ReleaseDC(handle, dc);
  EXPECT_EQ(corner, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(insideRegion, GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW));
}

TEST_F(ToolkitTest, MenuCarriesEveryTextAtItsFieldNumber) {
  MenuWalk walk;
  Walk(GetMenu(window.Handle()), walk);
  const auto& expected = ExpectedMenu();
  ASSERT_EQ(walk.entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(walk.entries[i].field, expected[i].field) << i;
    EXPECT_EQ(walk.texts[i], expected[i].text) << "field " << expected[i].field;
    EXPECT_EQ(walk.entries[i].popup, expected[i].popup) << "field " << expected[i].field;
  }
  EXPECT_EQ(walk.separators, 2);
  EXPECT_FALSE(walk.anyState) << "no entry is checked, disabled or greyed";
}

TEST_F(ToolkitTest, ControlsByNumberWithTypeCodes) {
  EXPECT_EQ(window.LowestControl(), 1);
  EXPECT_EQ(window.HighestControl(), FIELD_HOSTREGION);
  for (const MenuEntryText& entry : ExpectedMenu()) {
    EXPECT_EQ(window.ControlType(entry.field), entry.popup ? kKindMenu : kKindMenuItem)
        << entry.field;
    EXPECT_EQ(window.ControlHandle(entry.field), nullptr);
  }
  EXPECT_EQ(window.ControlType(FIELD_HOSTREGION), kKindRegion);
  EXPECT_EQ(window.ControlType(0), kKindNone);
  EXPECT_EQ(window.ControlType(28), kKindNone);

  // Controls made after opening are found by number with the kind of their class.
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  CreateWindowExA(0, "BUTTON", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, window.Handle(),
                  reinterpret_cast<HMENU>(40), instance, nullptr);
  CreateWindowExA(0, "BUTTON", "c", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 10, 10, window.Handle(),
                  reinterpret_cast<HMENU>(41), instance, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, window.Handle(),
                  reinterpret_cast<HMENU>(42), instance, nullptr);
  CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 10, 10, window.Handle(),
                  reinterpret_cast<HMENU>(43), instance, nullptr);
  EXPECT_EQ(window.ControlType(40), kKindButton);
  EXPECT_EQ(window.ControlType(41), kKindCheck);
  EXPECT_EQ(window.ControlType(42), kKindEntry);
  EXPECT_EQ(window.ControlType(43), kKindDropList);
  EXPECT_EQ(window.HighestControl(), 43);
}

TEST_F(ToolkitTest, DialogUnitsByDefaultPixelsOnRequest) {
  EXPECT_FALSE(window.PixelUnits());
  EXPECT_EQ(window.ControlPlacement(FIELD_HOSTREGION), (Placement{14, 14, 401, 256}));
  EXPECT_EQ(window.WindowPlacement().width, 425);
  EXPECT_EQ(window.WindowPlacement().height, 281);

  window.SetPixelUnits(true);
  const RECT region = DialogRect(window.Handle(), 14, 14, 401, 256);
  EXPECT_EQ(
      window.ControlPlacement(FIELD_HOSTREGION),
      (Placement{region.left, region.top, region.right - region.left, region.bottom - region.top}));
  window.SetPixelUnits(false);
  EXPECT_EQ(window.ControlPlacement(FIELD_HOSTREGION), (Placement{14, 14, 401, 256}));
  EXPECT_EQ(window.ControlPlacement(FIELD_OPEN), Placement{});
}

TEST_F(ToolkitTest, FirstEventIsOpenWindowAndMenuItemsAreAccepted) {
  EXPECT_EQ(Next(), kEventOpenWindow);
  EXPECT_EQ(window.Field(), 0);
  PostMessageA(window.Handle(), WM_COMMAND, FIELD_CLEAR, 0);
  ASSERT_TRUE(TakeUntil(kEventAccepted));
  EXPECT_EQ(window.Field(), FIELD_CLEAR);
  // A menu title or an unknown number sent as a command is no chosen item.
  PostMessageA(window.Handle(), WM_COMMAND, FIELD_ZOOM_MENU, 0);
  PostMessageA(window.Handle(), WM_COMMAND, 99, 0);
  const std::vector<std::int32_t> before = EventsBefore(FIELD_ABOUT);
  for (const std::int32_t event : before) {
    EXPECT_NE(event, kEventAccepted);
  }
}

TEST_F(ToolkitTest, EscapeAndEnterAreNotMenuCommands) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  SetFocus(window.Handle());
  PostMessageA(window.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(window.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  for (const std::int32_t event : EventsBefore(FIELD_ABOUT)) {
    EXPECT_NE(event, kEventAccepted);
  }
}

TEST_F(ToolkitTest, ExitItemClosesLikeTheCloseBox) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  PostMessageA(window.Handle(), WM_COMMAND, FIELD_EXIT, 0);
  std::vector<std::int32_t> seen;
  while (window.Accept()) {
    seen.push_back(window.Event());
    EXPECT_NE(window.Field(), FIELD_EXIT);
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), kEventCloseDown);
  EXPECT_TRUE(IsWindow(window.Handle())) << "the program closes the window after the loop";
  EXPECT_FALSE(window.Accept());
}

TEST_F(ToolkitTest, CloseBoxAndRepeatedRequestsGiveOneCloseDown) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  PostMessageA(window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(window.Handle(), WM_CLOSE, 0, 0);
  int closeDowns = 0;
  while (window.Accept()) {
    closeDowns += window.Event() == kEventCloseDown ? 1 : 0;
  }
  EXPECT_EQ(closeDowns, 1);
}

TEST_F(ToolkitTest, SizedForSizeChangesOnly) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  const HWND handle = window.Handle();
  RECT outer{};
  GetWindowRect(handle, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;

  SetWindowPos(handle, nullptr, 0, 0, width + 90, height + 40, SWP_NOMOVE | SWP_NOZORDER);
  std::vector<std::int32_t> seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventSized), 1);
  EXPECT_EQ(window.WindowPlacement().width, window.FromPixelsX(window.ToPixelsX(425) + 90));

  SetWindowPos(handle, nullptr, 60, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventSized), 0) << "a move is no size change";

  // Minimising reports nothing and keeps the size as it was; so does restoring.
  const Placement before = window.WindowPlacement();
  ShowWindow(handle, SW_MINIMIZE);
  seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventSized), 0);
  EXPECT_EQ(window.WindowPlacement().width, before.width);
  EXPECT_EQ(window.WindowPlacement().height, before.height);
  ShowWindow(handle, SW_RESTORE);
  seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventSized), 0);
}

TEST_F(ToolkitTest, FrameDragSizesAreHandledLiveWithoutBeingQueuedAgain) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  EventsBefore(FIELD_ABOUT);
  std::vector<std::int32_t> live;
  std::vector<std::int32_t> widths;
  window.SetLiveHandler([&] {
    live.push_back(window.Event());
    widths.push_back(window.WindowPlacement().width);
  });
  const HWND handle = window.Handle();
  RECT outer{};
  GetWindowRect(handle, &outer);
  // What the system's sizing loop sends around a drag of the frame.
  SendMessageA(handle, WM_ENTERSIZEMOVE, 0, 0);
  SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left + 60, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left + 120, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  SendMessageA(handle, WM_EXITSIZEMOVE, 0, 0);
  ASSERT_EQ(live.size(), 2U) << "each size change of the drag is handled at once";
  EXPECT_EQ(live[0], kEventSized);
  EXPECT_LT(widths[0], widths[1]);
  const std::vector<std::int32_t> seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventSized), 0);

  // Outside a drag the change is queued as usual.
  SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  const std::vector<std::int32_t> after = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(after.begin(), after.end(), kEventSized), 1);
  EXPECT_EQ(live.size(), 2U);
  window.SetLiveHandler(nullptr);
}

TEST_F(ToolkitTest, SizeChangeFromAnotherThreadIsReportedWithoutFurtherInput) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  EventsBefore(FIELD_ABOUT);  // whatever start-up left waiting
  const HWND handle = window.Handle();
  RECT outer{};
  GetWindowRect(handle, &outer);
  // Shrinking invalidates nothing, so no paint message wakes the loop either.
  std::atomic<bool> done = false;
  std::thread resizer([handle, outer, &done] {
    Sleep(150);
    SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left - 40,
                 outer.bottom - outer.top - 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    done = true;
  });
  // Other programs' windows on the display may take and give back the activation meanwhile.
  const bool sized = TakeUntil(kEventSized);
  while (!done) {  // the size change is sent to this thread: keep answering it
    PumpMessages();
    Sleep(10);
  }
  resizer.join();
  EXPECT_TRUE(sized);
  // Had the loop slept until Next()'s time-out asked the window to close, CloseDown would follow.
  const std::vector<std::int32_t> after = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(after.begin(), after.end(), kEventCloseDown), 0);
}

TEST_F(ToolkitTest, AcceptAllPassChecksEachControlInOrder) {
  ASSERT_EQ(Next(), kEventOpenWindow);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  CreateWindowExA(0, "EDIT", "filled", WS_CHILD | WS_VISIBLE, 0, 0, 50, 12, window.Handle(),
                  reinterpret_cast<HMENU>(40), instance, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 20, 50, 12, window.Handle(),
                  reinterpret_cast<HMENU>(41), instance, nullptr);
  const auto notEmpty = [](std::string_view text) { return !text.empty(); };
  window.SetCheck(40, notEmpty);
  window.SetCheck(41, notEmpty);
  EXPECT_FALSE(window.AcceptAllPass());

  window.StartAcceptAll();
  struct Seen {
    std::int32_t event;
    std::int32_t control;
    bool pass;
  };
  std::vector<Seen> seen;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(TakeUntil(i < 2 ? kEventAccepted : kEventRejected));
    seen.push_back({window.Event(), window.EventControl(), window.AcceptAllPass()});
  }
  EXPECT_EQ(seen[0].control, FIELD_HOSTREGION);
  EXPECT_TRUE(seen[0].pass);
  EXPECT_EQ(seen[1].control, 40);
  EXPECT_TRUE(seen[1].pass);
  EXPECT_EQ(seen[2].event, kEventRejected);
  EXPECT_EQ(seen[2].control, 41);
  EXPECT_FALSE(seen[2].pass) << "a rejected control ends the pass";
  EXPECT_EQ(window.Field(), 0);

  // Filled in, the same control passes and the pass runs to its end.
  SetWindowTextA(window.ControlHandle(41), "now filled");
  window.StartAcceptAll();
  std::vector<std::int32_t> accepted;
  while (accepted.size() < 3 && TakeUntil(kEventAccepted)) {
    accepted.push_back(window.EventControl());
  }
  EXPECT_EQ(accepted, (std::vector<std::int32_t>{FIELD_HOSTREGION, 40, 41}));
  EventsBefore(FIELD_ABOUT);
  EXPECT_FALSE(window.AcceptAllPass());
}

TEST_F(ToolkitTest, DeferredMovesAreGatheredAndAppliedTogether) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window.Handle(),
                                     reinterpret_cast<HMENU>(40), instance, nullptr);
  window.SetPixelUnits(true);
  const HWND region = window.ControlHandle(FIELD_HOSTREGION);
  const RECT regionBefore = ChildRect(window.Handle(), region);

  SetDeferredMoveCount(2);
  window.MoveControl(FIELD_HOSTREGION, 5, 6, 100, 50);
  EXPECT_EQ(PendingMoveCount(), 1);
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), regionBefore)) << "gathered, not made";
  window.MoveControl(40, 200, 7, 30, 20);
  EXPECT_EQ(PendingMoveCount(), 0);
  EXPECT_EQ(DeferredMoveCount(), 0) << "a counted batch returns the count to 0";
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), RECT{5, 6, 105, 56}));
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), other), RECT{200, 7, 230, 27}));

  // Standing batches: the count stays, and writing it applies the batch still open.
  SetDeferredMoveCount(-2);
  window.MoveControl(FIELD_HOSTREGION, 1, 1, 10, 10);
  window.MoveControl(40, 2, 2, 10, 10);
  window.MoveControl(FIELD_HOSTREGION, 3, 3, 10, 10);
  EXPECT_EQ(DeferredMoveCount(), -2);
  EXPECT_EQ(PendingMoveCount(), 1);
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), RECT{1, 1, 11, 11}));
  SetDeferredMoveCount(0);
  EXPECT_EQ(PendingMoveCount(), 0);
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), RECT{3, 3, 13, 13}));
}

TEST_F(ToolkitTest, DeferredMovesAreMadeWhenNoMemoryCanBeHad) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window.Handle(),
                                     reinterpret_cast<HMENU>(40), instance, nullptr);
  window.SetPixelUnits(true);
  const HWND region = window.ControlHandle(FIELD_HOSTREGION);

  // A batch gathered with memory is applied without any.
  SetDeferredMoveCount(3);
  window.MoveControl(FIELD_HOSTREGION, 5, 6, 100, 50);
  window.MoveControl(40, 200, 7, 30, 20);
  {
    const AllocationLimit limit(1);  // every allocation fails
    SetDeferredMoveCount(0);
  }
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), RECT{5, 6, 105, 56}));
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), other), RECT{200, 7, 230, 27}));

  // A move that cannot be gathered is made at once, after the moves gathered before it, and it
  // still counts: the batch is complete.
  SetDeferredMoveCount(2);
  window.MoveControl(FIELD_HOSTREGION, 1, 2, 10, 10);
  {
    const AllocationLimit limit(1);
    window.MoveControl(FIELD_HOSTREGION, 3, 4, 10, 10);
    EXPECT_EQ(limit.Refused(), 1U);
  }
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), region), RECT{3, 4, 13, 14}))
      << Describe(ChildRect(window.Handle(), region));
  EXPECT_EQ(DeferredMoveCount(), 0);
  EXPECT_EQ(PendingMoveCount(), 0);
}

TEST_F(ToolkitTest, OutOfMemoryInsideTheDialogProcedureStaysThere) {
  // A handler of live size changes that needs a large buffer, while none can be had.
  int calls = 0;
  window.SetLiveHandler([this, &calls] {
    ++calls;
    std::vector<char> buffer(64 << 20);
    GetWindowTextA(window.Handle(), buffer.data(), static_cast<int>(buffer.size()));
  });
  RECT outer{};
  GetWindowRect(window.Handle(), &outer);
  {
    const AllocationLimit limit(1 << 20);
    SendMessageA(window.Handle(), WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(window.Handle(), nullptr, 0, 0, outer.right - outer.left + 40,
                 outer.bottom - outer.top + 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(window.Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(limit.Refused(), 1U);
  }
  EXPECT_EQ(calls, 1);
  window.SetLiveHandler(nullptr);

  // A control's check whose text cannot be read when the control loses the focus.
  const HWND entry = CreateWindowExA(
      0, "EDIT", "a text of more than sixteen letters", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
      window.Handle(), reinterpret_cast<HMENU>(40), GetModuleHandleA(nullptr), nullptr);
  window.SetCheck(40, [](std::string_view) { return false; });
  SetFocus(entry);
  ASSERT_EQ(GetFocus(), entry);
  std::size_t refused = 0;
  {
    const AllocationLimit limit(1);
    SetFocus(window.ControlHandle(FIELD_HOSTREGION));
    refused = limit.Refused();
  }
  EXPECT_GE(refused, 1U);
  // The window goes on working; the failed check reported nothing.
  const std::vector<std::int32_t> seen = EventsBefore(FIELD_ABOUT);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kEventRejected), 0);
  EXPECT_EQ(window.Event(), kEventAccepted);
}

TEST_F(ToolkitTest, AHandlerOutOfMemoryIsReportedAndTheProgramGoesOn) {
  const MessageBoxWatcher watcher;
  {
    const AllocationLimit limit(1 << 20);
    RunHandler(window.Handle(), [this] {
      std::vector<char> buffer(64 << 20);
      GetWindowTextA(window.Handle(), buffer.data(), static_cast<int>(buffer.size()));
    });
  }
  bool ran = false;
  RunHandler(window.Handle(), [&ran] { ran = true; });
  EXPECT_TRUE(ran);
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  EXPECT_EQ(watcher.Boxes()[0].text, "Not enough memory.");
  EXPECT_EQ(watcher.Boxes()[0].caption, "Error");
  EXPECT_EQ(watcher.Boxes()[0].owner, window.Handle());
}

TEST_F(ToolkitTest, MoveLeavesValuesNotGivenExactlyAsTheyWere) {
  const HWND region = window.ControlHandle(FIELD_HOSTREGION);
  const RECT before = ChildRect(window.Handle(), region);
  window.MoveControl(FIELD_HOSTREGION, std::nullopt, std::nullopt, 300, std::nullopt);
  const RECT after = ChildRect(window.Handle(), region);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_EQ(after.right - after.left, window.ToPixelsX(300)) << Describe(after);
  window.MoveControl(FIELD_OPEN, 1, 1, 1, 1);  // a menu item has no place: nothing happens
}

TEST_F(ToolkitTest, MessageBoxBreaksLinesAtBarsAndTakesAnOptionalCaption) {
  EXPECT_EQ(MessageText("one|two||three"), "one\ntwo\n\nthree");
  const MessageBoxWatcher watcher;
  ShowMessage(window.Handle(), "left|right", "A caption");
  ShowMessage(window.Handle(), "plain");
  ASSERT_EQ(watcher.Boxes().size(), 2U);
  EXPECT_EQ(watcher.Boxes()[0].text, "left\nright");
  EXPECT_EQ(watcher.Boxes()[0].caption, "A caption");
  EXPECT_EQ(watcher.Boxes()[0].owner, window.Handle());
  EXPECT_FALSE(watcher.Boxes()[0].hasIcon);
  EXPECT_EQ(watcher.Boxes()[1].text, "plain");
  EXPECT_EQ(watcher.Boxes()[1].caption, "");
}

TEST_F(ToolkitTest, HostServicesPlaceTheViewerInTheRegion) {
  LUMIVEXCONTROL viewer;
  HostAdapter host(window);
  window.SetPixelUnits(true);  // INIT leaves the window in its default unit whatever it was in
  const RECT region = DialogRect(window.Handle(), 14, 14, 401, 256);
  const std::int32_t started = viewer.INIT(host, FIELD_HOSTREGION);
  ASSERT_NE(started, 0);
  EXPECT_FALSE(window.PixelUnits());
  const HWND viewerWindow = window.ControlHandle(FIELD_HOSTREGION);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(viewerWindow), started);
  char klass[64] = {};
  GetClassNameA(viewerWindow, klass, sizeof klass);
  EXPECT_STREQ(klass, "Tarnvik_LUMIVEX_01");
  EXPECT_TRUE(SameRect(ChildRect(window.Handle(), viewerWindow), region))
      << Describe(ChildRect(window.Handle(), viewerWindow)) << " vs " << Describe(region);
  EXPECT_EQ(GetWindowLongA(viewerWindow, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_CHILD);
  EXPECT_EQ(window.ControlType(FIELD_HOSTREGION), kKindRegion) << "the control keeps its type";
  window.Select(FIELD_HOSTREGION);
  // The viewer may hand the focus on to its page area.
  const HWND focus = GetFocus();
  EXPECT_TRUE(focus == viewerWindow || IsChild(viewerWindow, focus) != FALSE);
  viewer.KILL();
  EXPECT_EQ(window.ControlType(FIELD_HOSTREGION), kKindNone) << "its window is gone";
}

TEST_F(ToolkitTest, AdoptingNoWindowLeavesTheControlWithoutOne) {
  HostAdapter host(window);
  EXPECT_EQ(host.SetControlWindow(FIELD_HOSTREGION, 0), -2);
  EXPECT_EQ(host.ControlWindow(FIELD_HOSTREGION), 0);
  EXPECT_EQ(host.SetControlWindow(FIELD_OPEN, 0), -1) << "a menu item cannot adopt a window";
}

}  // namespace
}  // namespace lvx::toolkit
