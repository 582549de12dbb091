// INIT when the viewer library cannot be used. This program is built twice, into folders of its
// own: once where no Lumivex01.dll exists (LVX_EXPECT_MISSING_LIBRARY), once next to a
// Lumivex01.dll that registers no window class. Either way exactly one message box names the
// cause, INIT answers 0, no window is created and the placeholder stays.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>

#include "allocation_limit.h"
#include "lumivexctl/lumivexcontrol.h"
#include "message_box_watcher.h"
#include "test_host_window.h"

namespace lvx::test {
namespace {

TEST(StartupFailureTest, InitReportsTheCauseOnceAndCreatesNothing) {
  TestHostWindow host;
  const HWND placeholder = host.Placeholder();
  LUMIVEXCONTROL viewer;
  viewer.HWINDOW = 0;
  RecordingHost recording(host.Window());
  std::int32_t result = -1;
  std::vector<ObservedBox> boxes;
  {
    MessageBoxWatcher watcher;
    result = viewer.INIT(recording, kPlaceholderId);
    boxes = watcher.Boxes();
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(viewer.HWINDOW, 0);
  EXPECT_TRUE(IsWindow(placeholder));
  EXPECT_EQ(GetDlgItem(host.Window(), kPlaceholderId), placeholder);
  ASSERT_EQ(boxes.size(), 1U);
  EXPECT_EQ(boxes[0].caption, "");
  EXPECT_FALSE(boxes[0].hasIcon);
#if defined(LVX_EXPECT_MISSING_LIBRARY)
  EXPECT_EQ(boxes[0].text, "Error Loading Lumivex01.dll");
  EXPECT_EQ(viewer.LIBHANDLE, 0);
  // The host window's units were never touched.
  const std::vector<std::string> expected = {"message Error Loading Lumivex01.dll"};
  EXPECT_EQ(recording.Journal(), expected);
  viewer.KILL();  // destroys nothing, unloads nothing, does not crash
  EXPECT_TRUE(IsWindow(placeholder));
#else
  EXPECT_EQ(boxes[0].text, "Error Getting Class Info Tarnvik_LUMIVEX_01");
  ASSERT_NE(viewer.LIBHANDLE, 0);
  const HMODULE loaded = GetModuleHandleA("Lumivex01.dll");
  EXPECT_EQ(reinterpret_cast<HMODULE>(viewer.LIBHANDLE), loaded);
  const std::vector<std::string> expected = {"instance",
                                             "message Error Getting Class Info Tarnvik_LUMIVEX_01"};
  EXPECT_EQ(recording.Journal(), expected);
  viewer.KILL();  // the library stays loaded until here
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
  EXPECT_TRUE(IsWindow(placeholder));
#endif
}

// A host that keeps the message INIT shows in a fixed buffer, so that showing it needs no memory.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class QuietHost final : public ForwardingHost {
 public:
  explicit QuietHost(HWND parent) : ForwardingHost(parent) {}
  void ShowMessage(const char* text) noexcept override {
    ++shown;
    lstrcpynA(message.data(), text, static_cast<int>(message.size()));
  }
  int shown = 0;
  std::array<char, 128> message{};
};

// The cause is reported even when no memory can be had: forming the message allocates nothing,
// and nothing unwinds out of INIT.
TEST(StartupFailureTest, TheCauseIsReportedWithoutMemory) {
  TestHostWindow host;
  QuietHost quiet(host.Window());
  LUMIVEXCONTROL viewer;
  std::int32_t result = -1;
  bool threw = false;
  {
    const AllocationLimit everything(1);
    try {
      result = viewer.INIT(quiet, kPlaceholderId);
    } catch (...) {
      threw = true;
    }
  }
  EXPECT_FALSE(threw) << "an exception left INIT";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(quiet.shown, 1);
#if defined(LVX_EXPECT_MISSING_LIBRARY)
  EXPECT_STREQ(quiet.message.data(), "Error Loading Lumivex01.dll");
#else
  EXPECT_STREQ(quiet.message.data(), "Error Getting Class Info Tarnvik_LUMIVEX_01");
#endif
  viewer.KILL();
}

}  // namespace
}  // namespace lvx::test
