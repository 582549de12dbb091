// ostrada.exe under Wine, driven from this separate process through its window as a user would:
// start-up with the viewer in the host region, every menu command's messages to the stand-in
// viewer (read from its log file), the file and print dialogs, the information boxes, resizing,
// and both ways of closing. Screenshots go to bin/artifacts/.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "fixed_decimal.h"
#include "main_window_fields.h"
#include "ostrada_driver.h"
#include "resizer.h"
#include "window_rects.h"

namespace lvx::test {
namespace {

constexpr std::uint32_t kNumberMessage = 0x0400 + 79;
constexpr std::uint32_t kStringMessage = 0x0400 + 77;

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

bool IsMsg(const LogLine& line, std::int32_t code) {
  return line.kind == "msg" && line.code == code;
}

// What a row is expected to send: a message, its code, and its number argument (ignored for
// string commands and when `anyArgument` is set, as for buffer addresses).
struct Sent {
  std::uint32_t message;
  std::int32_t code;
  std::int32_t argument;
  bool anyArgument = false;
};

std::string Show(const std::vector<LogLine>& lines) {
  std::string shown;
  for (const LogLine& line : lines) {
    shown += line.kind + " " + std::to_string(line.message) + " " + std::to_string(line.code) +
             " " + std::to_string(line.argument) + (line.hasText ? " \"" + line.text + "\"" : "") +
             "\n";
  }
  return shown;
}

bool Matches(const std::vector<LogLine>& lines, const std::vector<Sent>& expected) {
  if (lines.size() != expected.size()) {
    return false;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool argumentMatches = expected[i].anyArgument || expected[i].message == kStringMessage ||
                                 lines[i].argument == expected[i].argument;
    if (lines[i].kind != "msg" || lines[i].message != expected[i].message ||
        lines[i].code != expected[i].code || !argumentMatches) {
      return false;
    }
  }
  return true;
}

class OstradaTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(ProgramFolder() + "ostrada.exe"); }

  void Start(const std::string& program) {
    program_ = std::make_unique<OstradaProcess>(program, ArtifactFolder() + TestName() + ".log");
    ASSERT_TRUE(program_->Started()) << program;
    ASSERT_NE(program_->MainWindow(), nullptr) << "no VIEW PDF window";
  }

  // Waits for the viewer to be started (the view options reached it).
  void WaitForViewer() {
    ASSERT_TRUE(program_->WaitForLog([](const LogLine& l) { return IsMsg(l, 50); }))
        << Show(program_->Log());
  }

  // Chooses `field`, then a zoom item as an end marker, and answers the messages the stand-in
  // logged between them. Posted commands run in order, so the marker's message comes after all
  // of the row's. `dialogs` is called while the row runs, to answer any dialog it shows.
  std::vector<LogLine> RunRow(std::int32_t field, const std::function<void()>& dialogs = nullptr) {
    const std::int32_t marker = field == FIELD_ZOOM_100 ? FIELD_ZOOM_IN : FIELD_ZOOM_100;
    const std::int32_t markerCode = marker == FIELD_ZOOM_100 ? 41 : 42;
    const std::size_t from = program_->Log().size();
    program_->Choose(field);
    program_->Choose(marker);
    if (dialogs) {
      dialogs();
    }
    // Without a handler for them, boxes the viewer shows (its properties and about boxes) are
    // closed while waiting for the marker.
    const auto marked = [markerCode](const LogLine& l) { return IsMsg(l, markerCode); };
    std::optional<LogLine> found;
    const ULONGLONG end = GetTickCount64() + kStepTimeoutMs;
    while (!(found = program_->WaitForLog(marked, from, 100)) && GetTickCount64() < end) {
      if (!dialogs) {
        for (const HWND dialog : program_->Dialogs()) {
          OstradaProcess::Press(dialog, IDOK);
        }
      }
    }
    EXPECT_TRUE(found.has_value()) << "the end marker never arrived for field " << field << "\n"
                                   << Show(program_->Log());
    const std::vector<LogLine> lines = program_->Log();
    std::vector<LogLine> row;
    for (std::size_t i = from; i < lines.size(); ++i) {
      if (marked(lines[i])) {
        break;
      }
      row.push_back(lines[i]);
    }
    return row;
  }

  // Waits until everything posted to the program so far has been handled, with a zoom command as
  // the marker (posted messages and the events they make are handled in order).
  void Sync() { RunRow(FIELD_ZOOM_IN); }

  // Answers one information box: waits for it, reads it, presses OK.
  BoxContents AnswerBox(const std::string& screenshot = {}) {
    const auto box = program_->WaitForDialog();
    EXPECT_TRUE(box.has_value()) << "no message box";
    if (!box) {
      return {};
    }
    if (!screenshot.empty()) {
      Sleep(200);  // let it finish painting
      EXPECT_TRUE(SaveWindowPng(box->window, ArtifactFolder() + screenshot));
    }
    EXPECT_TRUE(OstradaProcess::Press(box->window, IDOK));
    return *box;
  }

  // Ends the program with "&Exit" and answers its exit code.
  std::optional<DWORD> Exit() {
    program_->Choose(FIELD_EXIT);
    return program_->WaitForExit();
  }

  std::unique_ptr<OstradaProcess> program_;
};

TEST_F(OstradaTest, OpensWithTheViewerInTheHostRegionFocusedAndFullyShown) {
  WaitForViewer();
  const HWND main = program_->MainWindow();
  const HWND viewer = GetDlgItem(main, FIELD_HOSTREGION);
  ASSERT_NE(viewer, nullptr);
  char klass[64] = {};
  GetClassNameA(viewer, klass, sizeof klass);
  EXPECT_STREQ(klass, "Tarnvik_LUMIVEX_01");
  EXPECT_EQ(Describe(ChildRect(viewer)), Describe(MainWindowDialogRect(14, 14, 401, 256)));
  EXPECT_EQ(GetWindowLongA(viewer, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_CHILD);

  // Other test programs on the display may hold the activation; the focus a window keeps while
  // inactive comes back when it is active again.
  bool focused = false;
  for (int attempt = 0; attempt < 3 && !focused; ++attempt) {
    SetForegroundWindow(main);
    Sync();
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_NE(GetGUIThreadInfo(program_->ThreadId(), &gui), FALSE);
    focused = gui.hwndFocus == viewer || IsChild(viewer, gui.hwndFocus) != FALSE;
  }
  EXPECT_TRUE(focused) << "field 27 (the viewer, or a part of it) is the selected control";

  const std::vector<LogLine> log = program_->Log();
  ASSERT_GE(log.size(), 2U) << Show(log);
  EXPECT_EQ(log[0].kind, "create");
  EXPECT_TRUE(IsMsg(log[1], 50) && log[1].argument == 31 && log[1].message == kNumberMessage)
      << Show(log);

  RECT client{};
  GetClientRect(main, &client);
  const RECT size = MainWindowDialogRect(0, 0, 425, 281);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  Sleep(300);
  EXPECT_TRUE(SaveWindowPng(main, ArtifactFolder() + "after-open.png"));
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaTest, CloseBoxEndsAfterTheViewerIsDestroyedAndUnloaded) {
  WaitForViewer();
  PostMessageA(program_->MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program_->WaitForExit(), 0U);
  const std::vector<LogLine> log = program_->Log();
  ASSERT_GE(log.size(), 2U);
  EXPECT_EQ(log[log.size() - 2].kind, "destroy") << Show(log);
  EXPECT_EQ(log.back().kind, "detach") << Show(log);
}

TEST_F(OstradaTest, ExitItemEndsTheSameWay) {
  WaitForViewer();
  EXPECT_EQ(Exit(), 0U);
  const std::vector<LogLine> log = program_->Log();
  ASSERT_GE(log.size(), 2U);
  EXPECT_EQ(log[log.size() - 2].kind, "destroy") << Show(log);
  EXPECT_EQ(log.back().kind, "detach") << Show(log);
  const auto commands =
      std::count_if(log.begin(), log.end(), [](const LogLine& l) { return l.kind == "msg"; });
  EXPECT_EQ(commands, 1) << "only the view options: Exit runs no viewer operation\n" << Show(log);
}

TEST_F(OstradaTest, MenuTitlesSendNothing) {
  WaitForViewer();
  for (const std::int32_t field : {FIELD_FILE_MENU, FIELD_ZOOM_MENU, FIELD_DISABLE_MENU,
                                   FIELD_INFO_MENU, FIELD_HELP_MENU, FIELD_HOSTREGION}) {
    EXPECT_TRUE(RunRow(field).empty()) << field;
  }
  EXPECT_TRUE(program_->Dialogs().empty());
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaTest, ViewAndFeatureRowsSendExactlyTheirCodes) {
  WaitForViewer();
  const std::vector<std::pair<std::int32_t, std::int32_t>> rows = {
      {FIELD_CLEAR, 100},
      {FIELD_ZOOM_100, 41},
      {FIELD_ZOOM_IN, 42},
      {FIELD_ZOOM_OUT, 44},
      {FIELD_FULL_WIDTH, 45},
      {FIELD_FULL_PAGE, 46},
      {FIELD_TWO_PAGES, 47},
      {FIELD_DISABLE_PRINT, 123},
      {FIELD_DISABLE_HQ_PRINT, 124},
      {FIELD_DISABLE_SELECT_PRINTER, 125},
      {FIELD_DISABLE_DC_PRINT, 126},
      {FIELD_DOCUMENT_PROPERTIES, 1},
      {FIELD_ABOUT, 6},
  };
  for (const auto& [field, code] : rows) {
    const std::vector<LogLine> sent = RunRow(field);
    EXPECT_TRUE(Matches(sent, {{kNumberMessage, code, 0}})) << "field " << field << " sent:\n"
                                                            << Show(sent);
  }
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaTest, InformationItemsWithoutADocument) {
  WaitForViewer();
  BoxContents box;
  std::vector<LogLine> sent = RunRow(FIELD_PAGE_COUNT, [&] { box = AnswerBox("info-box.png"); });
  EXPECT_EQ(box.text, "0 total pages.");
  EXPECT_EQ(box.caption, "");
  EXPECT_TRUE(Matches(sent, {{kNumberMessage, 201, 0}})) << Show(sent);

  sent = RunRow(FIELD_PAGE_TEXT_LENGTH, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.text, "1st Page Text Length = 0");
  EXPECT_EQ(box.caption, "");
  EXPECT_TRUE(Matches(sent, {{kNumberMessage, 260, 0}})) << Show(sent);

  sent = RunRow(FIELD_DOCUMENT_TEXT_LENGTH, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.text, "Document Text Length = 0");
  EXPECT_EQ(box.caption, "");
  EXPECT_TRUE(Matches(sent, {{kNumberMessage, 201, 0}})) << "no pages, no page lengths\n"
                                                         << Show(sent);

  sent = RunRow(FIELD_PAGE_TEXT, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.text, "");
  EXPECT_EQ(box.caption, "1st page text");
  EXPECT_TRUE(Matches(
      sent, {{kNumberMessage, 260, 0}, {kNumberMessage, 260, 0}, {kNumberMessage, 261, 0, true}}))
      << Show(sent);
  EXPECT_EQ(Exit(), 0U);
}

class OstradaDocumentTest : public OstradaTest {
 protected:
  static std::string SamplePdf() { return ProgramFolder() + "testdata\\bar-text.pdf"; }

  // Answers the file-open dialog with `path`, or cancels it when `path` is empty.
  void AnswerFileDialog(const std::string& path) {
    EXPECT_TRUE(lvx::test::AnswerFileDialog(*program_, path)) << "no file-open dialog answered";
  }
};

TEST_F(OstradaDocumentTest, OpenAndAppendThroughTheFileDialog) {
  WaitForViewer();
  std::vector<LogLine> sent = RunRow(FIELD_OPEN, [this] { AnswerFileDialog({}); });
  EXPECT_TRUE(sent.empty()) << "a cancelled dialog sends nothing\n" << Show(sent);
  sent = RunRow(FIELD_APPEND, [this] { AnswerFileDialog({}); });
  EXPECT_TRUE(sent.empty()) << Show(sent);

  sent = RunRow(FIELD_OPEN, [this] { AnswerFileDialog(SamplePdf()); });
  ASSERT_TRUE(Matches(sent, {{kStringMessage, 101, 0}})) << Show(sent);
  EXPECT_EQ(sent[0].text, SamplePdf());
  sent = RunRow(FIELD_APPEND, [this] { AnswerFileDialog(SamplePdf()); });
  ASSERT_TRUE(Matches(sent, {{kStringMessage, 102, 0}})) << Show(sent);
  EXPECT_EQ(sent[0].text, SamplePdf());

  BoxContents box;
  RunRow(FIELD_PAGE_COUNT, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.text, "4 total pages.") << "two pages opened, two appended";
  Sleep(300);
  EXPECT_TRUE(SaveWindowPng(program_->MainWindow(), ArtifactFolder() + "after-open-document.png"));
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaDocumentTest, PageTextShowsTheBarAsALineBreak) {
  WaitForViewer();
  RunRow(FIELD_OPEN, [this] { AnswerFileDialog(SamplePdf()); });
  BoxContents box;
  const std::vector<LogLine> sent = RunRow(FIELD_PAGE_TEXT, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.caption, "1st page text");
  EXPECT_NE(box.text.find("left\nright"), std::string::npos) << box.text;
  EXPECT_EQ(box.text.find('|'), std::string::npos) << box.text;
  ASSERT_EQ(sent.size(), 3U) << Show(sent);
  EXPECT_TRUE(IsMsg(sent[0], 260) && IsMsg(sent[1], 260) && IsMsg(sent[2], 261)) << Show(sent);

  RunRow(FIELD_PAGE_TEXT_LENGTH, [&] { box = AnswerBox(); });
  EXPECT_EQ(box.text.rfind("1st Page Text Length = ", 0), 0U) << box.text;
  EXPECT_NE(box.text, "1st Page Text Length = 0");
  EXPECT_EQ(Exit(), 0U);
}

// Keys posted to the focused window run through the program's own loop: End and Home page the
// viewer that has the focus, and Alt+H then A (the Help menu's mnemonics) still reach the menu.
TEST_F(OstradaDocumentTest, KeysPageTheFocusedViewerAndMenuMnemonicsStillWork) {
  WaitForViewer();
  RunRow(FIELD_OPEN, [this] { AnswerFileDialog(SamplePdf()); });
  const HWND viewer = GetDlgItem(program_->MainWindow(), FIELD_HOSTREGION);
  const HWND label = GetDlgItem(GetDlgItem(viewer, 1001), 1102);  // the view panel's page label
  // Other test programs on the display may hold the activation, and the focus with it; the
  // focus comes back when the window is active again.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  for (int attempt = 0; attempt < 3 && IsChild(viewer, gui.hwndFocus) == FALSE; ++attempt) {
    SetForegroundWindow(program_->MainWindow());
    Sync();
    ASSERT_NE(GetGUIThreadInfo(program_->ThreadId(), &gui), FALSE);
  }
  ASSERT_TRUE(IsChild(viewer, gui.hwndFocus)) << "the viewer keeps the focus after the dialog";
  const auto labelAfter = [&](WPARAM key) {
    PostMessageA(gui.hwndFocus, WM_KEYDOWN, key, 1);
    Sync();
    std::array<char, 64> text{};
    GetWindowTextA(label, text.data(), static_cast<int>(text.size()));
    return std::string(text.data());
  };
  EXPECT_EQ(labelAfter(VK_END), "Page 2 of 2");
  EXPECT_EQ(labelAfter(VK_HOME), "Page 1 of 2");

  const std::size_t from = program_->Log().size();
  PostMessageA(gui.hwndFocus, WM_SYSKEYDOWN, 'H', static_cast<LPARAM>(1U | (1U << 29U)));
  HWND menu = nullptr;
  for (const ULONGLONG end = GetTickCount64() + kStepTimeoutMs;
       menu == nullptr && GetTickCount64() < end; Sleep(20)) {
    menu = FindWindowA("#32768", nullptr);
    menu = menu != nullptr && IsWindowVisible(menu) != FALSE &&
                   GetWindowThreadProcessId(menu, nullptr) == program_->ThreadId()
               ? menu
               : nullptr;
  }
  ASSERT_NE(menu, nullptr) << "Alt+H opened no menu";
  PostMessageA(gui.hwndFocus, WM_CHAR, 'a', 1);
  EXPECT_TRUE(program_->WaitForLog([](const LogLine& l) { return IsMsg(l, 6); }, from))
      << "A chose About, which shows the viewer's about box\n"
      << Show(program_->Log());
  AnswerBox();
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaDocumentTest, PrintDialogCancelledPrintsNothing) {
  WaitForViewer();
  int shown = 0;
  const std::vector<LogLine> sent = RunRow(FIELD_PRINT, [this, &shown] {
    // The print dialog (or, with no printer installed, the dialog's own notice first).
    for (; shown < 3; ++shown) {
      const auto dialog = program_->WaitForDialog(nullptr, shown == 0 ? kStepTimeoutMs : 1500);
      if (!dialog) {
        break;
      }
      OstradaProcess::Press(dialog->window,
                            GetDlgItem(dialog->window, IDCANCEL) != nullptr ? IDCANCEL : IDOK);
    }
  });
  EXPECT_GE(shown, 1) << "&Print shows the print dialog";
  for (const LogLine& line : sent) {
    EXPECT_FALSE(IsMsg(line, 36) || IsMsg(line, 31) || IsMsg(line, 37)) << Show(sent);
  }
  EXPECT_EQ(Exit(), 0U);
}

TEST_F(OstradaTest, ResizingScalesTheViewerAndTheFirstSizeRestoresIt) {
  WaitForViewer();
  const HWND main = program_->MainWindow();
  Sync();
  const HWND viewer = GetDlgItem(main, FIELD_HOSTREGION);
  const RECT first = ChildRect(viewer);
  RECT outer{};
  GetWindowRect(main, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;

  // Larger: the viewer is placed from the captured layout in dialog units.
  SetWindowPos(main, nullptr, 0, 0, width + 262, height + 238, SWP_NOMOVE | SWP_NOZORDER);
  Sync();
  RECT client{};
  GetClientRect(main, &client);
  const RECT units = MainWindowDialogRect(0, 0, 400, 800);  // pixels per 400 x 800 units
  const int w = MulDiv(client.right, 400, units.right);
  const int h = MulDiv(client.bottom, 800, units.bottom);
  const resize::Ratio rx = resize::RatioOf(w, 425);
  const resize::Ratio ry = resize::RatioOf(h, 281);
  const RECT expected =
      MainWindowDialogRect(resize::ScaleTrunc(14, rx), resize::ScaleTrunc(14, ry),
                           resize::ScaleTrunc(401, rx), resize::ScaleTrunc(256, ry));
  const RECT larger = ChildRect(viewer);
  EXPECT_EQ(Describe(larger), Describe(expected));
  EXPECT_GT(larger.right - larger.left, first.right - first.left + 200);
  Sleep(300);
  EXPECT_TRUE(SaveWindowPng(main, ArtifactFolder() + "after-resize.png"));

  // A move without a size change changes nothing.
  SetWindowPos(main, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Sync();
  EXPECT_EQ(Describe(ChildRect(viewer)), Describe(larger));

  // Back to the first size: exactly where it was.
  SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  Sync();
  EXPECT_EQ(Describe(ChildRect(viewer)), Describe(first));
  EXPECT_EQ(Exit(), 0U);
}

// The program in a folder without the viewer library.
class OstradaWithoutViewerTest : public OstradaTest {
 protected:
  void SetUp() override { Start(ProgramFolder() + "nostandin\\ostrada.exe"); }
};

TEST_F(OstradaWithoutViewerTest, ReportsTheMissingLibraryOnceAndStaysUsable) {
  const auto box = program_->WaitForDialog();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Error Loading Lumivex01.dll");
  EXPECT_EQ(box->caption, "");
  EXPECT_TRUE(OstradaProcess::Press(box->window, IDOK));
  EXPECT_FALSE(program_->WaitForDialog(nullptr, 700).has_value()) << "shown once";
  char klass[64] = {};
  GetClassNameA(GetDlgItem(program_->MainWindow(), FIELD_HOSTREGION), klass, sizeof klass);
  EXPECT_STREQ(klass, "LvxRegion") << "the host region stays empty";

  program_->Choose(FIELD_PAGE_COUNT);
  BoxContents info = AnswerBox();
  EXPECT_EQ(info.text, "0 total pages.");
  program_->Choose(FIELD_PAGE_TEXT);
  info = AnswerBox();
  EXPECT_EQ(info.text, "");
  EXPECT_EQ(info.caption, "1st page text");
  program_->Choose(FIELD_ZOOM_IN);
  program_->Choose(FIELD_CLEAR);
  program_->Choose(FIELD_DOCUMENT_TEXT_LENGTH);  // its box shows that the two before have run
  info = AnswerBox();
  EXPECT_EQ(info.text, "Document Text Length = 0");
  EXPECT_TRUE(program_->Dialogs().empty());
  EXPECT_TRUE(program_->Log().empty()) << "no viewer, no messages";
  EXPECT_EQ(Exit(), 0U);
}

// Without a viewer window the file-open dialog still opens, modal to the main window: the main
// window is disabled while the dialog is up (its menu and close box do not act behind it).
TEST_F(OstradaWithoutViewerTest, FileDialogStillOpensModalToTheMainWindow) {
  const auto box = program_->WaitForDialog();
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(OstradaProcess::Press(box->window, IDOK));
  const HWND main = program_->MainWindow();
  // The dialog's owner is the program's active window; other test programs on the display may
  // take the activation away just before the command, so it is tried a few times.
  HWND owner = nullptr;
  bool mainEnabled = true;
  for (int attempt = 0; attempt < 3 && (owner != main || mainEnabled); ++attempt) {
    SetForegroundWindow(main);
    program_->Choose(FIELD_OPEN);
    const auto dialog = program_->WaitForDialog([](HWND d) { return FileNameEdit(d) != nullptr; });
    ASSERT_TRUE(dialog.has_value()) << "&Open shows its dialog without a viewer";
    owner = GetWindow(dialog->window, GW_OWNER);
    mainEnabled = IsWindowEnabled(main) != FALSE;
    EXPECT_TRUE(OstradaProcess::Press(dialog->window, IDCANCEL));
  }
  EXPECT_EQ(owner, main);
  EXPECT_FALSE(mainEnabled) << "the main window acts behind the modal dialog";
  EXPECT_TRUE(IsWindowEnabled(main)) << "and is enabled again once the dialog is gone";
  EXPECT_EQ(Exit(), 0U);
}

}  // namespace
}  // namespace lvx::test
