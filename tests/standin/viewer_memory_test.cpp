// The stand-in viewer's window procedures when memory runs out. Its windows are built into this
// program (not loaded from Lumivex01.dll), so that the tests' allocator (allocation_limit.h)
// governs their memory. With no memory to be had, nothing may leave a window procedure: commands
// answer failure or keep the view as it was, painting and resizing do what they can, and once
// memory is back the viewer works as before.
#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <set>
#include <string>
#include <vector>

#include "allocation_limit.h"
#include "font_faces.h"
#include "standin_api.h"
#include "test_host_window.h"
#include "test_pdf.h"
#include "viewer_protocol.h"
#include "viewer_window.h"

namespace lvx::test {
namespace {

class StandinOutOfMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin::RegisterViewerClass(GetModuleHandleA(nullptr)));
    host_ = CreatePlainHostWindow("Out of memory test", 0, 0, 820, 620);
    ASSERT_NE(host_, nullptr);
    viewer_ = CreateWindowExA(0, kViewerClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, host_,
                              reinterpret_cast<HMENU>(27), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(viewer_, nullptr);
    ShowWindow(host_, SW_SHOW);
    Command(50, 31);  // every panel and both scroll bars
    PumpMessages();
  }

  void TearDown() override {
    if (host_ != nullptr) {
      DestroyWindow(host_);
    }
    PumpMessages();
    standin::UnregisterViewerClass(GetModuleHandleA(nullptr));
  }

  // Some calls only send the command, so the answer may be left unread.
  // NOLINTNEXTLINE(modernize-use-nodiscard)
  LRESULT Command(std::int32_t code, std::int32_t argument = 0) const {
    return SendMessageA(viewer_, WM_VIEWER_COMMAND, static_cast<WPARAM>(code), argument);
  }
  // NOLINTNEXTLINE(modernize-use-nodiscard)
  LRESULT StringCommand(std::int32_t code, const std::string& text) const {
    return SendMessageA(viewer_, WM_VIEWER_STRCOMMAND, static_cast<WPARAM>(code),
                        reinterpret_cast<LPARAM>(text.c_str()));
  }
  [[nodiscard]] HWND PageArea() const { return GetDlgItem(viewer_, LVX_STANDIN_PAGE_AREA); }

  // What a user does to a viewer: resizing, painting, keys, the wheel, zooms, a search.
  void UseTheViewer(int width, int height) const {
    SetWindowPos(viewer_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(viewer_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (const WPARAM key : {VK_NEXT, VK_DOWN, VK_END, VK_HOME}) {
      SendMessageA(PageArea(), WM_KEYDOWN, key, 1);
    }
    SendMessageA(PageArea(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    for (const std::int32_t zoom : {42, 45, 47, 41}) {
      Command(zoom);
    }
    StringCommand(255, "line");
    RedrawWindow(viewer_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
  }

  static std::string DocumentPath() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "lvx-oom-" + std::to_string(GetCurrentProcessId()) + ".pdf";
  }

  HWND host_ = nullptr;
  HWND viewer_ = nullptr;
};

int CALLBACK CollectFamily(const LOGFONTA* font, const TEXTMETRICA* /*metric*/, DWORD type,
                           LPARAM families) {
  if ((type & TRUETYPE_FONTTYPE) != 0 && font->lfFaceName[0] != '@') {
    reinterpret_cast<std::set<std::string>*>(families)->insert(font->lfFaceName);
  }
  return 1;
}

// First in this file: the installed faces are read once per process, at the first use.
TEST_F(StandinOutOfMemoryTest, InstalledFontsAreReadAgainAfterAFailedReading) {
  std::set<std::string> families;
  const HDC screen = GetDC(nullptr);
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(screen, &all, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
  ReleaseDC(nullptr, screen);
  ASSERT_FALSE(families.empty());
  // A family that is installed is used as it is; one that is not gets a substitute.
  const std::string installed = *families.rbegin();
  {
    const AllocationLimit limit(1);
    EXPECT_THROW(standin::GdiFaceFor(installed), std::bad_alloc);
  }
  EXPECT_EQ(standin::GdiFaceFor(installed), installed) << "the list of faces is complete";
}

TEST_F(StandinOutOfMemoryTest, EveryWindowProcedureSurvivesAndTheViewerRecovers) {
  const std::string path = DocumentPath();
  ASSERT_TRUE(WritePdf(path, NumberedPages(3, 30)));
  {
    const AllocationLimit limit(1);  // no allocation succeeds
    EXPECT_LT(StringCommand(101, path), 0) << "a document that cannot be had is not loaded";
    EXPECT_EQ(Command(201), 0);
    UseTheViewer(700, 500);
    EXPECT_GT(limit.Refused(), 0U);
  }
  EXPECT_EQ(StringCommand(101, path), 3) << "with memory back, the same file loads";

  {
    const AllocationLimit limit(1);
    UseTheViewer(760, 560);
    StringCommand(102, path);
    EXPECT_GT(limit.Refused(), 0U);
  }
  EXPECT_EQ(Command(201), 3) << "the failed append changed nothing";
  UseTheViewer(800, 600);
  EXPECT_EQ(StringCommand(102, path), 6);
  EXPECT_GT(Command(260, 0), 0) << "the first page's text is measured";
  DeleteFileA(path.c_str());
}

// The log entries the failures left, as "message:text".
std::vector<std::string> LoggedFaults() {
  std::vector<std::string> faults;
  for (std::int32_t i = 0; i < LvxStandinLogCount(); ++i) {
    LvxStandinEntry entry{};
    if (LvxStandinLogEntry(i, &entry) != 0 && entry.kind == LVX_STANDIN_FAULT) {
      faults.push_back(std::to_string(entry.message) + ":" + entry.text);
    }
  }
  return faults;
}

TEST_F(StandinOutOfMemoryTest, WhatAWindowProcedureCaughtIsLogged) {
  const std::string path = DocumentPath();
  ASSERT_TRUE(WritePdf(path, NumberedPages(3, 30)));
  ASSERT_EQ(StringCommand(101, path), 3);
  LvxStandinLogClear();
  {
    const AllocationLimit limit(1);
    UseTheViewer(700, 500);
  }
  const std::vector<std::string> faults = LoggedFaults();
  ASSERT_FALSE(faults.empty()) << "the failures left no trace";
  for (const std::string& fault : faults) {
    EXPECT_NE(fault.find(":std::bad_alloc"), std::string::npos) << fault;
  }
  DeleteFileA(path.c_str());
}

TEST_F(StandinOutOfMemoryTest, TheLogKeepsItsLastEntriesAndCountsTheDroppedOnes) {
  LvxStandinLogClear();
  constexpr int kSent = 5000;
  for (int i = 0; i < kSent; ++i) {
    Command(201, i);
  }
  ASSERT_EQ(LvxStandinLogCount(), 4096 + 1);
  LvxStandinEntry first{};
  ASSERT_EQ(LvxStandinLogEntry(0, &first), 1);
  EXPECT_EQ(first.kind, LVX_STANDIN_DROPPED);
  EXPECT_EQ(first.code, kSent - 4096);
  LvxStandinEntry oldest{};
  LvxStandinEntry last{};
  ASSERT_EQ(LvxStandinLogEntry(1, &oldest), 1);
  ASSERT_EQ(LvxStandinLogEntry(4096, &last), 1);
  EXPECT_EQ(oldest.argument, kSent - 4096);
  EXPECT_EQ(last.argument, kSent - 1);
  EXPECT_EQ(LvxStandinLogEntry(4097, &last), 0);
  LvxStandinLogClear();
  EXPECT_EQ(LvxStandinLogCount(), 0);
}

}  // namespace
}  // namespace lvx::test
