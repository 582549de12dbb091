// A host program of lumivexctl.dll (linked against the DLL, as a customer's program is) that runs
// many rounds with two viewers alive, and prints what the process holds before and after.
//
//   dll_long_run.exe [ROUNDS]        (1,000 by default)
//
// Each round starts a viewer in a fresh placeholder (KILL takes the placeholder away with the
// viewer window), opens a 3-page document in it, fetches the whole text from it and from the
// viewer started the round before, then ends that older viewer with KILL. Two viewers are alive
// in every round and the viewer library stays loaded until the last KILL, which must unload it.
//
// The figures (GDI objects, USER objects, heap bytes in use) are taken after the first two rounds,
// once every cache that lives as long as the process is filled, and after the last round. The
// run passes when the object counts did not grow and the heap grew by less than kHeapBound;
// exit code 0, or 1 with the reason.
#include <windows.h>

#include <lumivexctl/lumivexcontrol.h>
#include <lumivexctl/win32_host.h>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "process_resources.h"
#include "standin_log.h"
#include "test_host_window.h"
#include "test_pdf.h"

namespace {

using lvx::test::ProcessResources;

// Heap growth allowed over the whole run: allocator bookkeeping and fragmentation. A leaked
// document, page text or viewer state would be kilobytes a round, megabytes over the run.
constexpr std::size_t kHeapBound = 256 * 1024;
constexpr int kPages = 3;
constexpr int kWarmUpRounds = 2;  // each viewer once
constexpr std::array<int, 2> kPlaceholderIds = {27, 28};
constexpr std::array<int, 2> kPlaceholderLeft = {10, 330};

// One of the two viewers, in its own placeholder of the host window.
struct Slot {
  LUMIVEXCONTROL viewer;
  bool started = false;
};

class LongRun {
 public:
  LongRun(HWND host, std::string document) : host_(host), document_(std::move(document)) {}

  // Starts the viewer of slot `slot` in a new placeholder, opens the document and checks its
  // text; then checks the text of the other viewer and ends it. Empty when all went well, else
  // what failed.
  std::string Round(int slot) {
    Slot& current = slots_.at(static_cast<std::size_t>(slot));
    Slot& other = slots_.at(static_cast<std::size_t>(1 - slot));
    if (std::string failed = Start(slot, current); !failed.empty()) {
      return failed;
    }
    if (!HasDocumentText(current.viewer)) {
      return "the new viewer delivered the wrong text";
    }
    if (other.started) {
      if (!HasDocumentText(other.viewer)) {
        return "the older viewer delivered the wrong text";
      }
      End(other);
    }
    // The stand-in keeps every message it received for its test interface; not the viewers'.
    lvx::test::ClearStandinLog();
    lvx::test::PumpMessages();
    return {};
  }

  void EndAll() {
    for (Slot& slot : slots_) {
      End(slot);
    }
    lvx::test::PumpMessages();
  }

 private:
  std::string Start(int slot, Slot& current) {
    const int id = kPlaceholderIds.at(static_cast<std::size_t>(slot));
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME,
                    kPlaceholderLeft.at(static_cast<std::size_t>(slot)), 20, 300, 400, host_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                    nullptr);
    LvxWin32Host adapter(host_);
    current.viewer.TVVERTSCROLLBAR = current.viewer.TVHORZSCROLLBAR = 1;
    if (current.viewer.INIT(adapter, static_cast<std::int16_t>(id)) == 0) {
      return "INIT answered 0";
    }
    current.started = true;
    const LvxText name{document_.c_str(), static_cast<std::int32_t>(document_.size())};
    if (current.viewer.LOADFILE(LvxGivenText(name)) != kPages) {
      return "LOADFILE did not answer the page count";
    }
    UpdateWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(current.viewer.HWINDOW)));
    return {};
  }

  static void End(Slot& slot) {
    if (slot.started) {
      slot.viewer.KILL();
      slot.started = false;
    }
  }

  // GETTEXT of the whole document into a field of exactly its length.
  bool HasDocumentText(LUMIVEXCONTROL& viewer) {
    const std::int32_t length = viewer.GETTEXTLENGTH(LvxOmittedInt32());
    if (length <= 0) {
      return false;
    }
    text_.assign(static_cast<std::size_t>(length), '?');
    viewer.GETTEXT(LvxTextField{text_.data(), length}, LvxOmittedInt32());
    return text_.starts_with("Page 1 line 1") && text_.find("Page 3 line 5") != std::string::npos;
  }

  HWND host_;
  std::string document_;
  std::array<Slot, 2> slots_;
  std::string text_;
};

void PrintRow(const char* when, const ProcessResources& figures) {
  std::printf("  %-22s %12ld %13ld %14zu\n", when, figures.gdiObjects, figures.userObjects,
              figures.heapBytes);
}

long long Growth(std::size_t before, std::size_t after) {
  return static_cast<long long>(after) - static_cast<long long>(before);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
  if (rounds <= kWarmUpRounds) {
    std::fprintf(stderr, "usage: dll_long_run [ROUNDS]   (more than %d)\n", kWarmUpRounds);
    return 2;
  }
  std::array<char, MAX_PATH> temp{};
  GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
  const std::string document = std::string(temp.data()) + "lvx-dll-long-run-" +
                               std::to_string(GetCurrentProcessId()) + ".pdf";
  if (!lvx::test::WritePdf(document, lvx::test::NumberedPages(kPages))) {
    std::fprintf(stderr, "cannot write %s\n", document.c_str());
    return 1;
  }
  const HWND host = lvx::test::CreatePlainHostWindow("DLL long run", 20, 20, 680, 480);
  ShowWindow(host, SW_SHOW);
  LongRun run(host, document);

  std::string failed;
  int done = 0;  // rounds run
  for (; done < kWarmUpRounds && failed.empty(); ++done) {
    failed = run.Round(done % 2);
  }
  lvx::test::WarmUpActivationDrawing(host);
  const ProcessResources first = lvx::test::MeasureResources();
  const auto start = std::chrono::steady_clock::now();
  for (; done < rounds && failed.empty(); ++done) {
    failed = run.Round(done % 2);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const ProcessResources last = lvx::test::MeasureResources();
  run.EndAll();
  const bool unloaded = GetModuleHandleA("Lumivex01.dll") == nullptr;
  DestroyWindow(host);
  DeleteFileA(document.c_str());

  std::printf(
      "lumivexctl.dll long run: %d rounds of INIT, LOADFILE, GETTEXT and KILL, two viewers "
      "alive in each, a %d-page document\n",
      done, kPages);
  std::printf("  %-22s %12s %13s %14s\n", "", "GDI objects", "USER objects", "heap bytes");
  PrintRow("after round 2", first);
  PrintRow("after the last round", last);
  std::printf(
      "  growth: GDI %+ld, USER %+ld, heap %+lld bytes (bound: no object growth, heap "
      "below +%zu)\n",
      last.gdiObjects - first.gdiObjects, last.userObjects - first.userObjects,
      Growth(first.heapBytes, last.heapBytes), kHeapBound);
  std::printf("  counted by: GDI %s, USER %s\n", first.gdiSource.c_str(), first.userSource.c_str());
  const int measured = done - kWarmUpRounds;
  std::printf("  %.1f s for the %d measured rounds, %.1f ms a round\n", seconds, measured,
              measured > 0 ? 1000.0 * seconds / measured : 0.0);

  if (!failed.empty()) {
    std::printf("FAILED in round %d: %s\n", done, failed.c_str());
    return 1;
  }
  if (!unloaded) {
    std::printf("FAILED: the last KILL did not unload the viewer library\n");
    return 1;
  }
  if (last.gdiObjects > first.gdiObjects || last.userObjects > first.userObjects ||
      Growth(first.heapBytes, last.heapBytes) >= static_cast<long long>(kHeapBound)) {
    std::printf("FAILED: outside the bound\n  before: %s\n  after:  %s\n", first.details.c_str(),
                last.details.c_str());
    return 1;
  }
  std::printf("passed: within the bound, the library unloaded by the last KILL\n");
  return 0;
}
