// ostrada and the stand-in viewer at the DPI the Wine prefix is set to (CTest runs this program
// once per DPI of its table, the expected DPI in LVX_EXPECTED_DPI): the viewer's texts fit their
// controls in fonts made for the DPI, pages are drawn at device resolution, the menu bar and the
// information boxes are not clipped, the resizer keeps its exact proportions, a change of DPI is
// followed, and ostrada itself is pictured with a document open.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "main_window_fields.h"
#include "main_window_fixture.h"
#include "menu_dispatch.h"
#include "message_box.h"
#include "message_box_watcher.h"
#include "ostrada_driver.h"
#include "pdf_builder.h"
#include "screen_capture.h"
#include "window_rects.h"

namespace lvx::test {
namespace {

namespace toolkit = lvx::toolkit;
namespace resize = lvx::resize;

constexpr UINT kViewerCommand = WM_USER + 79;
constexpr int kViewPanelId = 1001;
constexpr int kNavigationPanelId = 1002;
constexpr int kPropertyPanelId = 1003;
constexpr int kVerticalBarId = 1004;
constexpr int kPageAreaId = 1006;
constexpr int kPageListId = 1101;
constexpr int kPageLabelId = 1102;
constexpr int kPropertyTextId = 1103;
constexpr int kFirstZoomButtonId = 1111;
constexpr int kZoomButtons = 6;

int ExpectedDpi() {
  const char* value = std::getenv("LVX_EXPECTED_DPI");
  return value != nullptr ? std::atoi(value) : 0;
}

// user32's per-DPI functions, looked up as the stand-in does (missing on older systems).
template <typename Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int DpiOfWindow(HWND window) {
  const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  return forWindow != nullptr ? static_cast<int>(forWindow(window)) : 0;
}

// The system's non-client metrics (menu and message fonts) for `dpi`.
NONCLIENTMETRICSW MetricsFor(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const auto forDpi =
      User32<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
  if (forDpi == nullptr || forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                  static_cast<UINT>(dpi)) == FALSE) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  }
  return metrics;
}

std::string TextOf(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// How large `text` is in `font` (one line; with `wrapWidth`, wrapped at that width as the panels
// and message boxes wrap it).
SIZE TextSize(HFONT font, const std::string& text, int wrapWidth = 0) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  if (wrapWidth > 0) {
    RECT box{0, 0, wrapWidth, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
    size = SIZE{box.right, box.bottom};
  } else {
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return size;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

int FontPixels(HFONT font) {
  LOGFONTA logical{};
  GetObjectA(font, sizeof logical, &logical);
  return std::abs(static_cast<int>(logical.lfHeight));
}

RECT ClientOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

// A 2 x 2 inch page: a hairline (width 0: one device pixel) across and down its middle, and a
// 3-point line down at x = 36 points.
std::string LinesDocument() {
  pdf::test::PdfBuilder pdf;
  const int content =
      pdf.AddStream("", "0 0 0 RG 0 w 72 8 m 72 136 l S 8 72 m 136 72 l S 3 w 36 8 m 36 136 l S\n");
  const int page = pdf.Reserve();
  const int pages = pdf.Add("<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
  pdf.Set(page, "<< /Type /Page /Parent " + std::to_string(pages) +
                    " 0 R /MediaBox [0 0 144 144] /Contents " + std::to_string(content) +
                    " 0 R >>");
  return pdf.Build(pdf.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>"));
}

// Dark pixels in a run of the picture (a row from x0 to x1, or a column from y0 to y1).
int DarkInRow(const Picture& picture, int y, int x0, int x1) {
  return picture.Count(RECT{x0, y, x1, y + 1}, [](std::uint32_t c) { return Red(c) < 100; });
}
int DarkInColumn(const Picture& picture, int x, int y0, int y1) {
  return picture.Count(RECT{x, y0, x + 1, y1}, [](std::uint32_t c) { return Red(c) < 100; });
}

TEST(HighDpiSetting, ThePrefixReportsItsDpiToThisProgram) {
  const int dpi = ExpectedDpi();
  ASSERT_GT(dpi, 0) << "LVX_EXPECTED_DPI is not set";
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), dpi);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi);
  ReleaseDC(nullptr, screen);
  const HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  const int windowDpi = DpiOfWindow(probe);
  DestroyWindow(probe);
  if (windowDpi != 0) {
    EXPECT_EQ(windowDpi, dpi);
  }
}

// ostrada's main window in this process (main_window_fixture.h), its viewer with all its parts
// showing a document.
class OstradaWindowAtDpi : public MainWindowTest {
 protected:
  OstradaWindowAtDpi() : MainWindowTest(true) {}

  void SetUp() override {
    dpi = ExpectedDpi();
    ASSERT_GT(dpi, 0) << "LVX_EXPECTED_DPI is not set";
    MainWindowTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    std::array<char, MAX_PATH> folder{};
    GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
    path = std::string(folder.data()) + "lvx-high-dpi-" + std::to_string(GetCurrentProcessId()) +
           ".pdf";
    std::ofstream(path, std::ios::binary) << LinesDocument();
    ASSERT_EQ(viewer.LOADFILE(LvxGivenText({path.c_str(), static_cast<std::int32_t>(path.size())})),
              1);
    PumpMessages();
  }

  void TearDown() override {
    MainWindowTest::TearDown();
    DeleteFileA(path.c_str());
  }

  [[nodiscard]] HWND Part(int panel, int id) const {
    return GetDlgItem(panel != 0 ? GetDlgItem(Viewer(), panel) : Viewer(), id);
  }

  // The checks that every text of the viewer fits its control, in a font made for `expectedDpi`.
  void ExpectViewerTextsFit(int expectedDpi) const {
    const int smallest = MulDiv(11, expectedDpi, 96) - 1;  // 8 points at least
    int shownButtons = 0;
    for (int i = 0; i < kZoomButtons; ++i) {
      const HWND button = Part(kViewPanelId, kFirstZoomButtonId + i);
      ASSERT_NE(button, nullptr);
      if (IsWindowVisible(button) == FALSE) {
        continue;
      }
      ++shownButtons;
      const RECT client = ClientOf(button);
      const SIZE text = TextSize(FontOf(button), TextOf(button));
      EXPECT_GE(FontPixels(FontOf(button)), smallest) << TextOf(button);
      // A push button draws a frame of two pixels on each side and its focus rectangle inside it.
      EXPECT_LE(text.cx + 8, client.right) << TextOf(button) << " in " << Describe(client);
      EXPECT_LE(text.cy + 4, client.bottom) << TextOf(button) << " in " << Describe(client);
    }
    EXPECT_EQ(shownButtons, kZoomButtons)
        << "the viewer in ostrada has room for every button: viewer "
        << Describe(ClientOf(Viewer())) << ", a button "
        << Describe(ClientOf(Part(kViewPanelId, kFirstZoomButtonId)));

    const HWND label = Part(kViewPanelId, kPageLabelId);
    const SIZE labelText = TextSize(FontOf(label), TextOf(label));
    EXPECT_EQ(TextOf(label), "Page 1 of 1");
    EXPECT_GE(FontPixels(FontOf(label)), smallest);
    EXPECT_LE(labelText.cx, ClientOf(label).right);
    EXPECT_LE(labelText.cy, ClientOf(label).bottom);

    const HWND list = Part(kNavigationPanelId, kPageListId);
    RECT item{};
    ASSERT_NE(SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    const SIZE entry = TextSize(FontOf(list), "Page 1");
    EXPECT_GE(FontPixels(FontOf(list)), smallest);
    EXPECT_LE(entry.cx, item.right - item.left);
    EXPECT_LE(entry.cy, item.bottom - item.top);

    const HWND facts = Part(kPropertyPanelId, kPropertyTextId);
    const RECT factsBox = ClientOf(facts);
    const SIZE wrapped = TextSize(FontOf(facts), TextOf(facts), factsBox.right);
    EXPECT_FALSE(TextOf(facts).empty());
    EXPECT_LE(wrapped.cx, factsBox.right);
    EXPECT_LE(wrapped.cy, factsBox.bottom) << TextOf(facts);
  }

  std::string path;
  int dpi = 0;
};

TEST_F(OstradaWindowAtDpi, ViewerTextsFitTheirControlsInFontsMadeForTheDpi) {
  ExpectViewerTextsFit(dpi);
  // The parts' sizes follow the DPI: the view panel's height, the side panels' widths (a quarter
  // of the viewer at most) and the scroll bar's width.
  const RECT viewer = ClientOf(Viewer());
  EXPECT_GE(ChildRect(Viewer(), GetDlgItem(Viewer(), kViewPanelId)).bottom, MulDiv(30, dpi, 96));
  const RECT navigation = ChildRect(Viewer(), GetDlgItem(Viewer(), kNavigationPanelId));
  EXPECT_EQ(navigation.right - navigation.left,
            std::min(MulDiv(150, dpi, 96), static_cast<int>(viewer.right / 4)));
  const RECT bar = ChildRect(Viewer(), GetDlgItem(Viewer(), kVerticalBarId));
  EXPECT_EQ(bar.right - bar.left, GetSystemMetrics(SM_CXVSCROLL)) << "the system's, at its DPI";
}

TEST_F(OstradaWindowAtDpi, PagesAreDrawnAtDeviceResolution) {
  SendMessageA(Viewer(), kViewerCommand, 41, 0);  // 100 %
  PumpMessages();
  const double pixelsPerPoint = dpi / 72.0;
  const std::array<std::int32_t, 4> box = [&] {
    std::array<std::int32_t, 4> sheet{};
    const auto get = reinterpret_cast<std::int32_t (*)(void*, std::int32_t, std::int32_t*)>(
        reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("Lumivex01.dll"), "LvxStandinPageBox")));
    EXPECT_NE(get, nullptr);
    if (get != nullptr) {
      get(Viewer(), 0, sheet.data());
    }
    return sheet;
  }();
  // A 144-point sheet is 2 inches: 2 x DPI pixels.
  EXPECT_NEAR(box[2] - box[0], 2 * dpi, 1);
  EXPECT_NEAR(box[3] - box[1], 2 * dpi, 1);

  const Picture picture = CaptureClient(Part(0, kPageAreaId));
  ASSERT_GE(picture.width, box[2]) << "the sheet is inside the page area";
  ASSERT_GE(picture.height, box[3]);
  const auto at = [&](double points) { return static_cast<int>(points * pixelsPerPoint); };
  // The hairlines are one device pixel wide at every DPI, wherever they are crossed.
  const int down = box[0] + at(72);
  const int across = box[1] + at(72);
  for (const double y : {20.0, 50.0, 100.0, 120.0}) {
    EXPECT_EQ(DarkInRow(picture, box[1] + at(y), down - 6, down + 7), 1) << "row at " << y;
  }
  for (const double x : {50.0, 100.0, 120.0}) {
    EXPECT_EQ(DarkInColumn(picture, box[0] + at(x), across - 6, across + 7), 1)
        << "column at " << x;
  }
  // The 3-point line is 3 points wide in device pixels (drawn at the device's resolution, not a
  // 96-dpi picture stretched).
  const int thick = DarkInRow(picture, box[1] + at(100), box[0] + at(28), box[0] + at(44));
  EXPECT_NEAR(thick, 3 * pixelsPerPoint, 1.0);
  if (dpi == 144 || dpi == 192) {
    SavePng(picture, ScreenshotFolder() + "lines-" + std::to_string(dpi) + "dpi.png");
  }
}

TEST_F(OstradaWindowAtDpi, MenuBarAndInformationBoxesAreNotClipped) {
  const HWND main = window.Handle();
  const HMENU menu = GetMenu(main);
  const NONCLIENTMETRICSW metrics = MetricsFor(dpi);
  const HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
  MENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_NE(GetMenuBarInfo(main, OBJID_MENU, 0, &bar), FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_EQ(count, 3);
  RECT first{};
  GetMenuItemRect(main, menu, 0, &first);
  for (int i = 0; i < count; ++i) {
    std::array<char, 64> title{};
    GetMenuStringA(menu, static_cast<UINT>(i), title.data(), static_cast<int>(title.size()),
                   MF_BYPOSITION);
    std::string shown(title.data());
    std::erase(shown, '&');
    RECT item{};
    ASSERT_NE(GetMenuItemRect(main, menu, static_cast<UINT>(i), &item), FALSE);
    const SIZE text = TextSize(menuFont, shown);
    EXPECT_LE(text.cx, item.right - item.left) << shown;
    EXPECT_LE(text.cy, item.bottom - item.top) << shown;
    EXPECT_EQ(item.top, first.top) << shown << ": the menu bar holds one row";
    EXPECT_LE(item.bottom, bar.rcBar.bottom) << shown;
  }
  DeleteObject(menuFont);

  // The information boxes, as the menu shows them: every line of the text and the OK button's
  // label fit, and the box is on the screen.
  int inspected = 0;
  MessageBoxWatcher watcher([&](HWND box) {
    ++inspected;
    const HWND text = GetDlgItem(box, 0xFFFF);
    const RECT client = ClientOf(text);
    const SIZE wrapped = TextSize(FontOf(text), TextOf(text), client.right);
    EXPECT_LE(wrapped.cx, client.right) << TextOf(text);
    EXPECT_LE(wrapped.cy, client.bottom) << TextOf(text);
    const HWND ok = GetDlgItem(box, IDOK);
    const SIZE label = TextSize(FontOf(ok), TextOf(ok));
    EXPECT_LE(label.cx + 8, ClientOf(ok).right);
    EXPECT_LE(label.cy + 4, ClientOf(ok).bottom);
    RECT outer{};
    GetWindowRect(box, &outer);
    EXPECT_LE(outer.right - outer.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(outer.bottom - outer.top, GetSystemMetrics(SM_CYSCREEN));
  });
  ostrada::PageText pageText;
  for (const std::int32_t field :
       {FIELD_PAGE_COUNT, FIELD_PAGE_TEXT_LENGTH, FIELD_DOCUMENT_TEXT_LENGTH}) {
    ostrada::DispatchCommand(field, viewer, pageText, main);
  }
  toolkit::ShowMessage(main, "A longer message|on two lines, as the page text shows them", "Page");
  EXPECT_EQ(inspected, 4);
  EXPECT_EQ(watcher.Boxes().size(), 4U);
}

TEST_F(OstradaWindowAtDpi, ResizerKeepsExactProportionsInTheWindowsOwnUnits) {
  // The captured layout is the definition's, in dialog units, at every DPI.
  const resize::ControlRecord& region = *resizer.CONTROLQUEUE->Fetch(1);
  EXPECT_EQ(region.POS, (resize::Geometry{14, 14, 401, 256}));
  EXPECT_EQ(resizer.ORIGWIN.WIDTH, 425);
  EXPECT_EQ(resizer.ORIGWIN.HEIGHT, 281);

  RECT outer{};
  GetWindowRect(window.Handle(), &outer);
  const RECT first = ChildRect(window.Handle(), Viewer());
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetOuterSize(width + MulDiv(300, dpi, 96), height + MulDiv(200, dpi, 96));
  EXPECT_EQ(Describe(ChildRect(window.Handle(), Viewer())), Describe(Expected()));
  SetOuterSize(width - MulDiv(150, dpi, 96), height - MulDiv(100, dpi, 96));
  EXPECT_EQ(Describe(ChildRect(window.Handle(), Viewer())), Describe(Expected()));
  SetOuterSize(width, height);
  EXPECT_EQ(Describe(ChildRect(window.Handle(), Viewer())), Describe(first)) << "back exactly";
}

TEST_F(OstradaWindowAtDpi, ADpiChangeTakesTheSuggestedRectangleAndKeepsTheLayout) {
  const int next = dpi * 3 / 2;
  RECT outer{};
  GetWindowRect(window.Handle(), &outer);
  const RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, 3, 2),
                       outer.top + MulDiv(outer.bottom - outer.top, 3, 2)};
  const int baseBefore = window.ToPixelsX(4);
  SendMessageA(window.Handle(), toolkit::kDpiChangedMessage, MAKEWPARAM(next, next),
               reinterpret_cast<LPARAM>(&suggested));
  resize::RESIZE(resizer, layout);  // the Sized event's hook
  PumpMessages();
  RECT now{};
  GetWindowRect(window.Handle(), &now);
  EXPECT_EQ(Describe(now), Describe(suggested));
  // The window's font and dialog units are those of the new DPI; the viewer keeps its place in
  // dialog units, as the resizer computes it.
  EXPECT_EQ(FontPixels(window.Font()), MulDiv(8, next, 72));
  EXPECT_GT(window.ToPixelsX(4), baseBefore);
  EXPECT_EQ(Describe(ChildRect(window.Handle(), Viewer())), Describe(Expected()));
}

// The stand-in as a top-level window, moved by the system to a screen of twice the DPI: it takes
// the suggested rectangle, makes its font and parts for the new DPI, and everything still fits.
TEST_F(OstradaWindowAtDpi, AViewerOnItsOwnFollowsADpiChange) {
  const HWND popup = CreateWindowExA(0, "Tarnvik_LUMIVEX_01", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                     MulDiv(900, dpi, 96), MulDiv(700, dpi, 96), nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(popup, nullptr);
  SendMessageA(popup, kViewerCommand, 50, 31);
  const HWND button = GetDlgItem(GetDlgItem(popup, kViewPanelId), kFirstZoomButtonId);
  const int before = FontPixels(FontOf(button));
  const int next = dpi * 2;
  const RECT suggested{10, 10, 10 + MulDiv(900, next, 96), 10 + MulDiv(700, next, 96)};
  SendMessageA(popup, 0x02E0, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
  PumpMessages();
  RECT now{};
  GetWindowRect(popup, &now);
  EXPECT_EQ(Describe(now), Describe(suggested));
  EXPECT_NEAR(FontPixels(FontOf(button)), 2 * before, 2);
  const RECT panel = ChildRect(popup, GetDlgItem(popup, kViewPanelId));
  EXPECT_GE(panel.bottom - panel.top, MulDiv(30, next, 96));
  const SIZE text = TextSize(FontOf(button), TextOf(button));
  EXPECT_LE(text.cx + 8, ClientOf(button).right);
  EXPECT_LE(text.cy + 4, ClientOf(button).bottom);
  DestroyWindow(popup);
}

// ostrada.exe itself, as the user starts it: its manifest declares per-monitor awareness, the
// libraries declare and change none, and a picture of it with a document open is saved.
TEST(OstradaAtDpi, DeclaresItsAwarenessAndIsPicturedWithADocument) {
  const auto bytesOf = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const HMODULE program =
      LoadLibraryExA((ProgramFolder() + "ostrada.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  const HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr) << "ostrada.exe has an application manifest";
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                             SizeofResource(program, found));
  FreeLibrary(program);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  for (const char* library : {"Lumivex01.dll", "lumivexctl.dll"}) {
    const std::string bytes = bytesOf(ProgramFolder() + library);
    ASSERT_FALSE(bytes.empty()) << library;
    for (const char* call : {"SetProcessDPIAware", "SetProcessDpiAwareness",
                             "SetThreadDpiAwarenessContext", "dpiAware"}) {
      EXPECT_EQ(bytes.find(call), std::string::npos) << library << " names " << call;
    }
  }

  const int dpi = ExpectedDpi();
  ASSERT_GT(dpi, 0);
  OstradaProcess ostrada(ProgramFolder() + "ostrada.exe",
                         ArtifactFolder() + "high-dpi-" + std::to_string(dpi) + ".log");
  ASSERT_TRUE(ostrada.Started());
  const HWND main = ostrada.MainWindow();
  ASSERT_NE(main, nullptr);
  ostrada.Choose(FIELD_OPEN);
  ASSERT_TRUE(AnswerFileDialog(ostrada, ProgramFolder() + "testdata\\drawing-kinds.pdf"));
  ASSERT_TRUE(
      ostrada.WaitForLog([](const LogLine& l) { return l.kind == "msg" && l.code == 101; }));
  ostrada.Choose(FIELD_FULL_WIDTH);
  ASSERT_TRUE(ostrada.WaitForLog([](const LogLine& l) { return l.kind == "msg" && l.code == 45; }));
  // The viewer lies over the host region: 14, 14, 401 x 256 of the client's 425 x 281 dialog
  // units (each within the rounding of a unit).
  const RECT client = ClientOf(main);
  const RECT region = ChildRect(main, GetDlgItem(main, FIELD_HOSTREGION));
  EXPECT_NEAR(region.left, client.right * 14 / 425.0, 2);
  EXPECT_NEAR(region.top, client.bottom * 14 / 281.0, 2);
  EXPECT_NEAR(region.right - region.left, client.right * 401 / 425.0, 2);
  EXPECT_NEAR(region.bottom - region.top, client.bottom * 256 / 281.0, 2);
  // The window is as large in pixels as its dialog units are at this DPI: MS Sans Serif 8 point
  // is about 6 x 13 pixels a unit cell at 96 dpi.
  EXPECT_NEAR(client.right, 638.0 * dpi / 96, 638.0 * dpi / 96 / 8);
  Sleep(500);  // let the pages finish painting
  EXPECT_TRUE(SaveWindowPng(main, ArtifactFolder() + "ostrada-" + std::to_string(dpi) + "dpi.png"));
  ostrada.Choose(FIELD_EXIT);
  EXPECT_EQ(ostrada.WaitForExit(), 0U);
}

}  // namespace
}  // namespace lvx::test
