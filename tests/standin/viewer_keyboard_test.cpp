// The viewer window in a real dialog, adopted in place of a placeholder as the wrapper does, and
// driven by key and mouse messages posted to the focused window and run through the dialog's own
// loop (TranslateAccelerator, IsDialogMessage, TranslateMessage, DispatchMessage); Shift and Ctrl
// are held in the thread's keyboard state, where the dialog manager and the accelerators read
// them.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "keyboard_dialog.h"
#include "lumivexctl/adopt_window.h"
#include "test_pdf.h"
#include "viewer_fixture.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

INT_PTR CALLBACK KeyboardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  // Buttons and accelerators; the edit field's notifications are left out.
  if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
    auto* commands = reinterpret_cast<std::vector<int>*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (commands != nullptr) {
      commands->push_back(LOWORD(wParam));
    }
    return TRUE;
  }
  return FALSE;
}

class ViewerKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.Loaded()) << "Lumivex01.dll next to the test";
    WaitForOtherProgramsWindows();
    const HINSTANCE program = GetModuleHandleA(nullptr);
    dialog_ = CreateDialogParamA(program, "KEYBOARDHOST", nullptr, KeyboardDialogProc,
                                 reinterpret_cast<LPARAM>(&commands_));
    ASSERT_NE(dialog_, nullptr);
    keys_ = LoadAcceleratorsA(program, "KEYBOARDKEYS");
    ASSERT_NE(keys_, nullptr);
    // Created hidden as a popup and adopted as the wrapper's host service does.
    viewer_ = CreateWindowExA(0, kViewerClassName, "", WS_POPUP | WS_BORDER, 0, 0, 10, 10, nullptr,
                              nullptr, program, nullptr);
    ASSERT_NE(viewer_, nullptr);
    ASSERT_EQ(LvxAdoptWindow(dialog_, KEYBOARD_PLACEHOLDER, viewer_), LVX_ADOPT_OK);
    ShowWindow(dialog_, SW_SHOW);
    std::array<char, MAX_PATH> folder{};
    GetTempPathA(folder.size(), folder.data());
    const std::string path =
        std::string(folder.data()) + "lvx-keys-" + std::to_string(GetCurrentProcessId()) + ".pdf";
    ASSERT_TRUE(WritePdf(path, NumberedPages(6)));
    ASSERT_EQ(
        SendMessageA(viewer_, WM_VIEWER_STRCOMMAND, 101, reinterpret_cast<LPARAM>(path.c_str())),
        6);
    DeleteFileA(path.c_str());
    SendMessageA(viewer_, WM_VIEWER_COMMAND, 41, 0);  // 100 %: pages taller than the area
    Activate();
    SetFocus(GetDlgItem(dialog_, KEYBOARD_EDIT));
    RunLoop();
  }

  // The test program that ran just before may hold the foreground for a moment more, while Wine
  // takes its windows down (its dialog would take the activation back from this one).
  static void WaitForOtherProgramsWindows() {
    for (int attempt = 0; attempt < 150; ++attempt) {
      const HWND foreground = GetForegroundWindow();
      DWORD process = 0;
      GetWindowThreadProcessId(foreground, &process);
      if (foreground == nullptr || process == GetCurrentProcessId()) {
        return;
      }
      Sleep(20);
    }
  }

  // The focus is the active window's. The dialog is made the foreground window until it stays
  // so for a moment: Wine hears of the windows of a test program that ran just before from the X
  // server a little later, and the activation may move once more. Its dialog manager puts the
  // focus back on the control that had it.
  void Activate() const {
    int stable = 0;
    for (int attempt = 0; attempt < 300 && stable < 10; ++attempt) {
      if (GetActiveWindow() == dialog_) {
        ++stable;
      } else {
        stable = 0;
        // The thread's own active window, when the display's foreground cannot be had.
        SetForegroundWindow(dialog_);
        SetActiveWindow(dialog_);
      }
      RunLoop();
      Sleep(20);
    }
    std::array<char, 64> klass{};
    GetClassNameA(GetForegroundWindow(), klass.data(), static_cast<int>(klass.size()));
    ASSERT_EQ(GetActiveWindow(), dialog_)
        << "the foreground window is " << GetForegroundWindow() << " of class " << klass.data();
  }

  void TearDown() override {
    SetKeyboardState(std::array<BYTE, 256>{}.data());
    if (keys_ != nullptr) {
      DestroyAcceleratorTable(keys_);
    }
    if (dialog_ != nullptr) {
      DestroyWindow(dialog_);
    }
    RunLoop();
  }

  // The dialog's message loop, until the queue is empty.
  void RunLoop() const {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (TranslateAcceleratorA(dialog_, keys_, &message) != 0 ||
          IsDialogMessageA(dialog_, &message) != FALSE) {
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  // Presses and releases `key` on the focused window, with Shift or Ctrl held. A window of
  // another program may take the activation meanwhile: the dialog is made active again, and its
  // dialog manager gives the focus back to the control that had it when it was deactivated.
  void Press(WORD key, WORD held = 0) const {
    KeepActive();
    std::array<BYTE, 256> state{};
    if (held != 0) {
      state[held] = 0x80;
      state[held == VK_SHIFT ? VK_LSHIFT : VK_LCONTROL] = 0x80;
    }
    SetKeyboardState(state.data());
    const HWND target = GetFocus();
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, key, static_cast<LPARAM>(1U | (scan << 16U)));
    RunLoop();
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(1U | (scan << 16U) | 0xC0000000U));
    RunLoop();
    SetKeyboardState(std::array<BYTE, 256>{}.data());
    KeepActive();
  }

  void KeepActive() const {
    if (GetActiveWindow() != dialog_) {
      Activate();
    }
  }

  void Wheel(int delta, WORD keys) const {
    KeepActive();
    POINT centre{50, 50};
    ClientToScreen(PageArea(), &centre);
    PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                 MAKELPARAM(centre.x, centre.y));
    RunLoop();
    KeepActive();
  }

  [[nodiscard]] HWND PageArea() const { return GetDlgItem(viewer_, LVX_STANDIN_PAGE_AREA); }
  [[nodiscard]] LvxStandinViewState View() const { return library_.ViewState(viewer_); }

  // The pixels of the page area's second column (where the focus rectangle's left side lies),
  // as painted now.
  [[nodiscard]] std::vector<COLORREF> EdgeColumn() const {
    UpdateWindow(PageArea());
    std::vector<COLORREF> column;
    const HDC dc = GetDC(PageArea());
    for (int y = 8; y < 40; ++y) {
      column.push_back(GetPixel(dc, 1, y));
    }
    ReleaseDC(PageArea(), dc);
    return column;
  }

  StandinLibrary library_;
  HWND dialog_ = nullptr;
  HACCEL keys_ = nullptr;
  HWND viewer_ = nullptr;
  std::vector<int> commands_;
};

TEST_F(ViewerKeyboardTest, TabAndShiftTabMoveIntoTheViewerAndOutAgain) {
  EXPECT_NE(GetWindowLongA(viewer_, GWL_STYLE) & WS_TABSTOP, 0) << "a tab stop once adopted";
  const HWND edit = GetDlgItem(dialog_, KEYBOARD_EDIT);
  const HWND apply = GetDlgItem(dialog_, KEYBOARD_APPLY);
  ASSERT_EQ(GetFocus(), edit);
  struct Step {
    WORD held;
    HWND focus;
    const char* where;
  };
  const std::array<Step, 5> steps{{{0, PageArea(), "Tab from the edit field: the pages"},
                                   {0, apply, "Tab again: out to the button"},
                                   {VK_SHIFT, PageArea(), "Shift+Tab: back into the viewer"},
                                   {VK_SHIFT, edit, "Shift+Tab again: out to the edit field"},
                                   {VK_SHIFT, apply, "Shift+Tab wraps to the last stop"}}};
  for (const Step& step : steps) {
    Press(VK_TAB, step.held);
    EXPECT_EQ(GetFocus(), step.focus) << step.where;
  }
  EXPECT_TRUE(commands_.empty()) << "Tab pressed no button";
}

TEST_F(ViewerKeyboardTest, ScrollingKeysAndTheWheelActOnTheViewerThatHasTheFocus) {
  Press(VK_DOWN);
  EXPECT_EQ(View().scrollY, 0) << "the keys of the edit field do not reach the viewer";
  Press(VK_TAB);
  ASSERT_EQ(GetFocus(), PageArea());
  const LvxStandinViewState start = View();
  ASSERT_GT(start.layoutHeight, 3 * start.areaHeight);
  ASSERT_GT(start.layoutWidth, start.areaWidth);
  const int lastY = start.layoutHeight - start.areaHeight;
  const int x = start.scrollX;  // the pages are centred across
  ASSERT_GE(start.layoutWidth - start.areaWidth, x + 40);
  const int pageStep = start.areaHeight - 40;
  struct Step {
    WORD key;
    int x;
    int y;
  };
  const std::array<Step, 9> steps{{{VK_DOWN, x, 40},
                                   {VK_DOWN, x, 80},
                                   {VK_UP, x, 40},
                                   {VK_NEXT, x, 40 + pageStep},
                                   {VK_PRIOR, x, 40},
                                   {VK_RIGHT, x + 40, 40},
                                   {VK_LEFT, x, 40},
                                   {VK_END, x, lastY},
                                   {VK_HOME, x, 0}}};
  for (const Step& step : steps) {
    Press(step.key);
    const LvxStandinViewState view = View();
    EXPECT_EQ(view.scrollX, step.x) << "key " << step.key;
    EXPECT_EQ(view.scrollY, step.y) << "key " << step.key;
    EXPECT_EQ(GetFocus(), PageArea()) << "key " << step.key << " kept the focus";
  }
  Press(VK_END);
  EXPECT_EQ(View().currentPage, 5) << "End shows the last page";

  Wheel(WHEEL_DELTA, 0);
  EXPECT_LT(View().scrollY, lastY) << "the wheel scrolls up";
  const double percent = View().zoomPercent;
  Wheel(WHEEL_DELTA, MK_CONTROL);
  EXPECT_GT(View().zoomPercent, percent) << "Ctrl+wheel zooms in";
  EXPECT_TRUE(commands_.empty());
}

TEST_F(ViewerKeyboardTest, TheHostsMnemonicsAndAcceleratorsWorkWhileTheViewerHasTheFocus) {
  Press(VK_TAB);
  ASSERT_EQ(GetFocus(), PageArea());
  Press('O', VK_CONTROL);
  Press('A');
  EXPECT_EQ(commands_, (std::vector<int>{KEYBOARD_OPEN, KEYBOARD_APPLY}))
      << "Ctrl+O is the host's accelerator, A the mnemonic of its button";
  EXPECT_EQ(View().scrollY, 0) << "neither key scrolled the viewer";
}

TEST_F(ViewerKeyboardTest, ClickingThePageGivesTheViewerTheFocusAndAFocusRectangle) {
  const std::vector<COLORREF> unfocused = EdgeColumn();
  PostMessageA(PageArea(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
  PostMessageA(PageArea(), WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
  RunLoop();
  KeepActive();
  EXPECT_EQ(GetFocus(), PageArea());
  const std::vector<COLORREF> focused = EdgeColumn();
  int dotted = 0;
  for (std::size_t y = 0; y < focused.size(); ++y) {
    dotted += focused[y] != unfocused[y] ? 1 : 0;
  }
  EXPECT_GE(dotted, 8) << "the focus rectangle's dotted side";

  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, KEYBOARD_APPLY));
  EXPECT_EQ(EdgeColumn(), unfocused) << "the rectangle goes with the focus";
}

}  // namespace
}  // namespace lvx::test
