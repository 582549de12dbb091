// Nothing leaks: 1,000 load/paint/mark/clear cycles of a document, 100 create/show/paint/destroy
// cycles of the viewer window, and 50 load/paint/clear cycles and 4 print jobs of a document with
// every kind of drawing (data/drawing-kinds.pdf: embedded TrueType and Type 1 fonts, shadings,
// Type 3 glyphs, Flate, JPEG and masked images) end with the GDI and USER object counts they
// started with and the heap within a small bound. The figures are printed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "dialog_driver.h"

#include "process_resources.h"
#include "standin_log.h"
#include "test_host_window.h"
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

// Runs `cycle` `warmUps` times (first use fills caches that live as long as the process), then
// `cycles` times between two measurements; prints the figures and expects the same objects and
// a heap within the bound. Stops at the first fatal failure of a cycle.
template <typename Cycle>
void ExpectCyclesLeaveNothing(const char* what, HWND host, int warmUps, int cycles, Cycle cycle) {
  for (int i = 0; i < warmUps && !::testing::Test::HasFatalFailure(); ++i) {
    cycle();
  }
  WarmUpActivationDrawing(host);
  const ProcessResources before = MeasureResources();
  for (int i = 0; i < cycles; ++i) {
    if (::testing::Test::HasFatalFailure()) {
      return;
    }
    cycle();
  }
  PumpMessages();
  const ProcessResources after = MeasureResources();
  Report(what, cycles, before, after);
  ExpectSameResources(before, after);
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
  ExpectCyclesLeaveNothing("load/paint/clear", host_, 5, 1000, [this] { UseDocument(viewer_); });
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
  ExpectCyclesLeaveNothing("create/destroy", host_, 3, 100, cycle);
}

// The document with one kind of drawing a page (tests/standin/data/make-drawing-kinds.sh), next
// to this source file, copied to a file of this process so that its print jobs have a name of
// their own.
class DrawingKindsTest : public ViewerTest {
 protected:
  static constexpr int kPages = 6;

  void SetUp() override {
    ViewerTest::SetUp();
    std::string source = __FILE__;
    source.resize(source.find_last_of("\\/") + 1);
    source = (source.front() == '/' ? "Z:" : "") + source + "data/drawing-kinds.pdf";
    path_ = TempPath("drawing-kinds");
    // The print job's name: the file's name without its extension.
    jobName_ = path_.substr(path_.find_last_of('\\') + 1);
    jobName_.resize(jobName_.find_last_of('.'));
    ASSERT_NE(CopyFileA(source.c_str(), path_.c_str(), FALSE), FALSE) << source;
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    ViewerTest::TearDown();
  }

  // Loads the document and paints every page at the whole-page and two-page zooms.
  void PaintEveryPage() {
    ASSERT_EQ(StringCommand(101, path_), kPages);
    for (const std::int32_t zoom : {46, 47}) {
      Command(zoom);
      Key(VK_HOME);
      UpdateWindow(viewer_);
      for (int page = 1; page < kPages; ++page) {
        Key(VK_NEXT);
        UpdateWindow(viewer_);
      }
    }
    Command(100);
    UpdateWindow(viewer_);
    ClearStandinLog();
  }

  // Prints every page as one job on the second printer, "PDF2": the print tests wait for the queue
  // of "PDF" to empty.
  void PrintEveryPage() {
    ASSERT_EQ(StringCommand(101, path_), kPages);
    StringCommand(35, "PDF2");
    Command(36);
    Command(31, 0);
    ASSERT_EQ(Command(37), kPages) << "the whole document is printed";
    ++jobs_;
    Command(100);
    ClearStandinLog();
  }

  // The printouts (cups-pdf names them after the job) are removed once the spooler has written
  // them; a job still running after a minute leaves its file.
  void RemovePrintouts() const {
    // The printer's output folder: LVX_PDF_OUTPUT (a Unix path, as print_check.sh takes it), else
    // PDF in the home folder, which Wine names in WINEHOMEDIR ("\\??\\Z:\\root").
    std::string folder;
    if (const char* output = std::getenv("LVX_PDF_OUTPUT"); output != nullptr) {
      folder = std::string("Z:") + output;
    } else if (const char* home = std::getenv("WINEHOMEDIR"); home != nullptr) {
      const std::string path = home;
      if (const std::size_t colon = path.find(':'); colon != std::string::npos && colon > 0) {
        folder = path.substr(colon - 1) + "\\PDF";
      }
    }
    if (jobs_ == 0 || folder.empty()) {
      return;
    }
    const std::string pattern = folder + "\\" + jobName_ + "*.pdf";
    int removed = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (removed < jobs_ && std::chrono::steady_clock::now() < deadline) {
      WIN32_FIND_DATAA found{};
      const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
      if (search != INVALID_HANDLE_VALUE) {
        do {
          const std::string file = folder + "\\" + found.cFileName;
          removed += DeleteFileA(file.c_str()) != FALSE ? 1 : 0;
        } while (FindNextFileA(search, &found) != FALSE);
        FindClose(search);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  }

  std::string jobName_;
  std::string path_;
  int jobs_ = 0;
};

TEST_F(DrawingKindsTest, EveryKindOfDrawingOnScreenLeavesNothingBehind) {
  Command(50, 31);
  ExpectCyclesLeaveNothing("drawing kinds on screen", host_, 3, 50, [this] { PaintEveryPage(); });
}

TEST_F(DrawingKindsTest, EveryKindOfDrawingPrintedLeavesNothingBehind) {
  RequireDefaultPrinter("PDF");
  if (IsSkipped() || HasFatalFailure()) {
    return;
  }
  ExpectCyclesLeaveNothing("drawing kinds printed", host_, 1, 4, [this] { PrintEveryPage(); });
  RemovePrintouts();
}

}  // namespace
}  // namespace lvx::test
