// Nothing leaks: 1,000 load/paint/mark/clear cycles of a document and 100 create/show/paint/
// destroy cycles of the viewer window end with the GDI and USER object counts they started with
// and the heap within a small bound. The figures are printed.
#include <cstdio>

#include "process_resources.h"
#include "standin_log.h"
#include "viewer_fixture.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

// Heap growth allowed over a whole run (allocator bookkeeping and fragmentation, not leaks: a
// leak of a document or a page's text would be tens of kilobytes per cycle).
constexpr std::size_t kHeapSlack = 256 * 1024;

void Report(const char* what, int cycles, const ProcessResources& before,
            const ProcessResources& after) {
  std::printf(
      "%s, %d cycles: GDI objects %ld -> %ld (%s), USER objects %ld -> %ld (%s), "
      "heap %zu -> %zu bytes (%+lld)\n",
      what, cycles, before.gdiObjects, after.gdiObjects, before.gdiSource.c_str(),
      before.userObjects, after.userObjects, before.userSource.c_str(), before.heapBytes,
      after.heapBytes,
      static_cast<long long>(after.heapBytes) - static_cast<long long>(before.heapBytes));
  std::fflush(stdout);
}

void ExpectSameResources(const ProcessResources& before, const ProcessResources& after) {
  EXPECT_GT(before.gdiObjects, 0) << "the count must measure something";
  EXPECT_GT(before.userObjects, 0);
  EXPECT_EQ(after.gdiObjects, before.gdiObjects) << before.details << "\n" << after.details;
  EXPECT_EQ(after.userObjects, before.userObjects) << before.details << "\n" << after.details;
  EXPECT_LT(after.heapBytes, before.heapBytes + kHeapSlack);
}

class ViewerResourcesTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    TestDocument document = NumberedPages(4, 12);
    document.pages[1].rotation = 90;
    document.pages[2].lines.push_back({72, 200, 30, "Large heading", "Times-Bold"});
    path_ = TempPath("cycles");
    ASSERT_TRUE(WritePdf(path_, document));
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    ViewerTest::TearDown();
  }

  // Everything a document brings: loading, painting its pages at two zooms, finding, marking.
  void UseDocument(HWND viewer) const {
    const auto send = [viewer](std::int32_t code, std::int32_t argument) {
      return SendMessageA(viewer, WM_VIEWER_COMMAND, static_cast<WPARAM>(code), argument);
    };
    const auto sendText = [viewer](std::int32_t code, const std::string& text) {
      return SendMessageA(viewer, WM_VIEWER_STRCOMMAND, static_cast<WPARAM>(code),
                          reinterpret_cast<LPARAM>(text.c_str()));
    };
    ASSERT_EQ(sendText(101, path_), 4);
    UpdateWindow(viewer);
    send(47, 0);
    UpdateWindow(viewer);
    ASSERT_GE(sendText(255, "heading"), 0);
    ASSERT_EQ(sendText(257, "line"), 48);
    UpdateWindow(viewer);
    send(41, 0);
    send(100, 0);
    UpdateWindow(viewer);
    // The stand-in's message log keeps every message for the tests: not a leak of the viewer's.
    ClearStandinLog();
  }

  std::string path_;
};

TEST_F(ViewerResourcesTest, AThousandLoadAndClearCyclesLeaveNothingBehind) {
  Command(50, 31);
  for (int i = 0; i < 5; ++i) {  // first use fills caches that live as long as the process
    UseDocument(viewer_);
  }
  WarmUpActivationDrawing(host_);
  const ProcessResources before = MeasureResources();
  constexpr int kCycles = 1000;
  for (int i = 0; i < kCycles; ++i) {
    UseDocument(viewer_);
    if (HasFatalFailure()) {
      return;
    }
  }
  Pump();
  const ProcessResources after = MeasureResources();
  Report("load/paint/clear", kCycles, before, after);
  ExpectSameResources(before, after);
}

TEST_F(ViewerResourcesTest, AHundredViewerWindowsCreatedAndDestroyedLeaveNothingBehind) {
  const auto cycle = [this] {
    const HWND viewer = CreateWindowExA(0, kViewerClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 600,
                                        500, host_, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(viewer, nullptr);
    SendMessageA(viewer, WM_VIEWER_COMMAND, 50, 31);
    UseDocument(viewer);
    ASSERT_EQ(
        SendMessageA(viewer, WM_VIEWER_STRCOMMAND, 101, reinterpret_cast<LPARAM>(path_.c_str())),
        4);
    UpdateWindow(viewer);  // destroyed with a document shown
    DestroyWindow(viewer);
  };
  for (int i = 0; i < 3; ++i) {
    cycle();
  }
  WarmUpActivationDrawing(host_);
  const ProcessResources before = MeasureResources();
  constexpr int kCycles = 100;
  for (int i = 0; i < kCycles; ++i) {
    cycle();
    if (HasFatalFailure()) {
      return;
    }
  }
  Pump();
  const ProcessResources after = MeasureResources();
  Report("create/destroy", kCycles, before, after);
  ExpectSameResources(before, after);
}

}  // namespace
}  // namespace lvx::test
