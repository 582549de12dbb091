// Several viewers in one program, with the stand-in viewer library: two objects in two
// placeholders share the library (each INIT takes a reference of its own), KILL of one (even
// twice) leaves the other painting and answering, the last KILL unloads; and an object started
// again after KILL.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstring>
#include <string>

#include "lumivexctl/lumivexcontrol.h"
#include "screen_capture.h"
#include "test_host_window.h"
#include "test_pdf.h"

namespace lvx::test {
namespace {

constexpr int kSecondPlaceholderId = 28;
constexpr const char* kViewerClass = "Tarnvik_LUMIVEX_01";

HWND AsWindow(std::int32_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }

// A placeholder like the host window's own, with control number `id`.
HWND AddPlaceholder(HWND host, int id, int x) {
  return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, x, 20, 160, 200,
                         host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// Pixels of the viewer's client area that are white: the page sheets the stand-in paints.
int WhitePixels(std::int32_t viewer) {
  const HWND window = AsWindow(viewer);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  const Picture picture = CaptureClient(window);
  return picture.Count(RECT{0, 0, picture.width, picture.height},
                       [](std::uint32_t pixel) { return pixel == 0xFFFFFF; });
}

class TwoViewersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::array<char, MAX_PATH> temp{};
    GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    pdf = std::string(temp.data()) + "lvx-two-viewers-" + std::to_string(GetCurrentProcessId()) +
          ".pdf";
    ASSERT_TRUE(WritePdf(pdf, NumberedPages(3)));
  }
  void TearDown() override { DeleteFileA(pdf.c_str()); }

  // Opens the test document in `viewer` and answers its page count.
  std::int32_t Open(LUMIVEXCONTROL& viewer) const {
    viewer.LOADFILE(LvxGivenText({pdf.c_str(), static_cast<std::int32_t>(pdf.size())}));
    return viewer.GETPAGECOUNT();
  }
  // The first page's text as GETTEXT delivers it, trailing spaces removed.
  static std::string FirstPageText(LUMIVEXCONTROL& viewer) {
    std::array<char, 256> field{};
    viewer.GETTEXT(LvxTextField{field.data(), static_cast<std::int32_t>(field.size())},
                   LvxGivenInt32(1));
    std::string text(field.data(), field.size());
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  TestHostWindow host;
  std::string pdf;
};

TEST_F(TwoViewersTest, KillingOneLeavesTheOtherWorkingAndTheLastUnloads) {
  ASSERT_NE(AddPlaceholder(host.Window(), kSecondPlaceholderId, 320), nullptr);
  LvxWin32Host adapter(host.Window());
  LUMIVEXCONTROL left;
  LUMIVEXCONTROL right;
  ASSERT_NE(left.INIT(adapter, kPlaceholderId), 0);
  ASSERT_NE(right.INIT(adapter, kSecondPlaceholderId), 0);
  EXPECT_NE(left.HWINDOW, right.HWINDOW);
  EXPECT_EQ(left.LIBHANDLE, right.LIBHANDLE);
  EXPECT_EQ(CountThreadWindowsOfClass(kViewerClass), 2);
  EXPECT_EQ(Open(left), 3);
  EXPECT_EQ(Open(right), 3);
  const std::string text = FirstPageText(right);
  EXPECT_EQ(text.rfind("Page 1 line 1", 0), 0U) << text;
  const int painted = WhitePixels(right.HWINDOW);
  EXPECT_GT(painted, 1000) << "the right viewer shows its page";

  const std::int32_t leftWindow = left.HWINDOW;
  const LvxAddressValue leftLibrary = left.LIBHANDLE;
  left.KILL();
  EXPECT_FALSE(IsWindow(AsWindow(left.HWINDOW)));
  // A second KILL with no INIT between releases nothing: the library reference it would drop is
  // the right viewer's, and its window would be unloaded under it.
  left.KILL();
  EXPECT_EQ(left.HWINDOW, leftWindow) << "the handle values stay as they were";
  EXPECT_EQ(left.LIBHANDLE, leftLibrary);
  EXPECT_NE(GetModuleHandleA("Lumivex01.dll"), nullptr) << "the right viewer's reference stays";
  ASSERT_TRUE(IsWindow(AsWindow(right.HWINDOW)));
  EXPECT_EQ(right.GETPAGECOUNT(), 3);
  EXPECT_EQ(FirstPageText(right), text);
  EXPECT_EQ(right.FINDTEXT(LvxText{"line 4", 6}, 0, 1, 1, 0), 3) << "one match on each page";
  EXPECT_EQ(WhitePixels(right.HWINDOW), painted) << "it paints as before";
  BroadcastToTopLevelWindows();

  right.KILL();
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr) << "the last KILL unloads the library";
  EXPECT_EQ(CountThreadWindowsOfClass(kViewerClass), 0);
}

// After KILL the placeholder is gone with the viewer window. Given a new placeholder, the same
// object starts again with a fresh load of the library; without one, INIT answers 0 and leaves
// nothing behind.
TEST_F(TwoViewersTest, AnObjectStartsAgainAfterKill) {
  LvxWin32Host adapter(host.Window());
  LUMIVEXCONTROL viewer;
  ASSERT_NE(viewer.INIT(adapter, kPlaceholderId), 0);
  EXPECT_EQ(Open(viewer), 3);
  viewer.KILL();
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);

  ASSERT_NE(AddPlaceholder(host.Window(), kPlaceholderId, 10), nullptr);
  ASSERT_NE(viewer.INIT(adapter, kPlaceholderId), 0);
  EXPECT_EQ(GetDlgItem(host.Window(), kPlaceholderId), AsWindow(viewer.HWINDOW));
  EXPECT_EQ(viewer.GETPAGECOUNT(), 0) << "a new viewer shows no document";
  EXPECT_EQ(Open(viewer), 3);
  EXPECT_EQ(FirstPageText(viewer).rfind("Page 1 line 1", 0), 0U);
  EXPECT_GT(WhitePixels(viewer.HWINDOW), 1000);
  viewer.KILL();
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);

  EXPECT_EQ(viewer.INIT(adapter, kPlaceholderId), 0) << "the placeholder went with the viewer";
  EXPECT_EQ(viewer.HWINDOW, 0);
  EXPECT_EQ(CountThreadWindowsOfClass(kViewerClass), 0);
  viewer.KILL();
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
}

}  // namespace
}  // namespace lvx::test
