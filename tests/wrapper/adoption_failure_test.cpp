// INIT when the host does not adopt the viewer window: a control number the host does not have, a
// placeholder that is not a direct child of the host window (inside a group box), an overridden
// operation that runs out of memory, and (built into a folder of its own,
// LVX_EXPECT_REFUSED_CREATION) a viewer class whose windows refuse to be created. Each time INIT
// answers 0, and nothing of the viewer outlives the library: after KILL a broadcast and the host
// window's destruction reach no code of the unloaded library.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "allocation_limit.h"
#include "lumivexctl/lumivexcontrol.h"
#include "message_box_watcher.h"
#include "test_host_window.h"

namespace lvx::test {
namespace {

constexpr const char* kViewerClass = "Tarnvik_LUMIVEX_01";

class AdoptionFailureTest : public ::testing::Test {
 protected:
  AdoptionFailureTest() { host.emplace(); }

  // What must hold after an INIT that placed no viewer.
  void ExpectNothingOutlivesTheLibrary() {
    EXPECT_EQ(viewer.HWINDOW, 0);
    ASSERT_EQ(CountThreadWindowsOfClass(kViewerClass), 0) << "a viewer window outlives INIT";
    viewer.KILL();
    EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr) << "KILL unloads the library";
    BroadcastToTopLevelWindows();
    host.reset();
    PumpMessages();
    EXPECT_EQ(CountThreadWindowsOfClass(kViewerClass), 0);
  }

  std::optional<TestHostWindow> host;
  LUMIVEXCONTROL viewer;
};

#if !defined(LVX_EXPECT_REFUSED_CREATION)

TEST_F(AdoptionFailureTest, AControlNumberTheHostDoesNotHave) {
  LvxWin32Host adapter(host->Window());
  EXPECT_EQ(viewer.INIT(adapter, 99), 0);
  ExpectNothingOutlivesTheLibrary();
}

TEST_F(AdoptionFailureTest, APlaceholderInsideAGroupBox) {
  constexpr int kGroupId = 40;
  constexpr int kNestedId = 41;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const HWND group = CreateWindowExA(
      0, "BUTTON", "Document", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 320, 20, 170, 200,
      host->Window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGroupId)), instance, nullptr);
  const HWND nested = CreateWindowExA(
      0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 10, 20, 150, 170, group,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNestedId)), instance, nullptr);
  ASSERT_NE(nested, nullptr);
  LvxWin32Host adapter(host->Window());
  EXPECT_EQ(viewer.INIT(adapter, kNestedId), 0);
  EXPECT_TRUE(IsWindow(nested)) << "the host could not reach it, so it stays";
  ExpectNothingOutlivesTheLibrary();
}

// A program's own viewer class whose SETVIEWCONTROLPROPERTIES, which INIT calls once the host
// has adopted the window, needs memory that cannot be had.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class NoteKeepingViewer final : public LUMIVEXCONTROL {
 public:
  static constexpr std::size_t kNoteSize = 1024;
  void SETVIEWCONTROLPROPERTIES() override {
    LUMIVEXCONTROL::SETVIEWCONTROLPROPERTIES();
    notes.emplace_back(kNoteSize, 'n');
  }
  std::vector<std::string> notes;
};

TEST_F(AdoptionFailureTest, AnOverriddenOperationThatRunsOutOfMemory) {
  NoteKeepingViewer ownViewer;
  ownViewer.notes.reserve(1);
  LvxWin32Host adapter(host->Window());
  std::int32_t result = -1;
  bool threw = false;
  std::vector<ObservedBox> boxes;
  {
    MessageBoxWatcher watcher;
    const AllocationLimit limit(NoteKeepingViewer::kNoteSize / 2);
    try {
      result = ownViewer.INIT(adapter, kPlaceholderId);
    } catch (...) {
      threw = true;
    }
    EXPECT_EQ(limit.Refused(), 1U);
    boxes = watcher.Boxes();
  }
  EXPECT_FALSE(threw) << "an exception left INIT";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ownViewer.HWINDOW, 0);
  ASSERT_EQ(boxes.size(), 1U);
  EXPECT_EQ(boxes[0].text, "Not enough memory.");
  EXPECT_EQ(boxes[0].caption, "Error");
  ASSERT_EQ(CountThreadWindowsOfClass(kViewerClass), 0) << "a viewer window outlives INIT";
  ownViewer.KILL();
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr) << "KILL unloads the library";
}

#else

// The library loads and registers its class, but every window of it refuses creation.
TEST_F(AdoptionFailureTest, AViewerClassThatRefusesCreation) {
  LvxWin32Host adapter(host->Window());
  EXPECT_EQ(viewer.INIT(adapter, kPlaceholderId), 0);
  EXPECT_NE(viewer.LIBHANDLE, 0);
  EXPECT_EQ(GetDlgItem(host->Window(), kPlaceholderId), nullptr)
      << "handed no window, the host reports none for the placeholder";
  ExpectNothingOutlivesTheLibrary();
}

#endif

}  // namespace
}  // namespace lvx::test
