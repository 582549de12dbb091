// Whole-document GETTEXT: how its time compares with the bare messages and copies it cannot do
// without, and how it grows with the document (linear: twice the pages, about twice the time).
//
// A viewer window of this process answers the text commands at once (every page 2,000 characters),
// so what is measured is the wrapper's own work around the messages. Each figure is the best of
// several runs, all in this one process, the measurements taken in turn.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "lumivexctl/lumivexcontrol.h"

namespace {

constexpr UINT kCommandMessage = WM_USER + 79;
constexpr WPARAM kPageCount = 201;
constexpr WPARAM kPageTextLength = 260;
constexpr WPARAM kPageText = 261;
constexpr std::int32_t kPageLength = 2000;
constexpr int kRuns = 15;

// The document the viewer shows: its page count and one page text used for every page.
struct Document {
  std::int32_t pages = 0;
  std::string pageText;
};
Document document;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCommandMessage) {
    switch (wParam) {
      case kPageCount:
        return document.pages;
      case kPageTextLength:
        return static_cast<LRESULT>(document.pageText.size());
      case kPageText:
        std::memcpy(reinterpret_cast<char*>(lParam), document.pageText.c_str(),
                    document.pageText.size() + 1);
        return 0;
      default:
        return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateViewer() {
  WNDCLASSA klass{};
  klass.lpfnWndProc = ViewerProc;
  klass.hInstance = GetModuleHandleA(nullptr);
  klass.lpszClassName = "LvxBenchViewer";
  RegisterClassA(&klass);
  return CreateWindowExA(0, klass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         klass.hInstance, nullptr);
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// The same messages as a whole-document GETTEXT (201, 260 per page, 201, then 260 and 261 per
// page) with each page fetched into a zero-filled buffer and copied once into the result, and the
// result copied once into the field: the least any implementation has to do.
void BareLoop(HWND viewer, std::vector<char>& field) {
  const auto send = [viewer](WPARAM code, LPARAM argument) {
    return static_cast<std::int32_t>(SendMessageA(viewer, kCommandMessage, code, argument));
  };
  std::int64_t total = 0;
  const std::int32_t pages = send(kPageCount, 0);
  for (std::int32_t i = 0; i < pages; ++i) {
    total += send(kPageTextLength, i);
  }
  std::vector<char> result(static_cast<std::size_t>(total) + 1);
  std::vector<char> page;
  std::size_t used = 0;
  const std::int32_t again = send(kPageCount, 0);
  for (std::int32_t i = 0; i < again; ++i) {
    const auto length = static_cast<std::size_t>(send(kPageTextLength, i));
    page.assign(length + 1, '\0');
    send(kPageText, reinterpret_cast<LPARAM>(page.data()));
    std::memcpy(result.data() + used, page.data(), length);
    used += length;
  }
  std::memcpy(field.data(), result.data(), used);
}

// One document size: a field that holds it whole, and the best time of each way to fill it.
struct Case {
  explicit Case(std::int32_t pageCount)
      : pages(pageCount), field(static_cast<std::size_t>(pageCount) * kPageLength) {}
  std::int32_t pages;
  std::vector<char> field;
  double getText = 1e30;
  double bare = 1e30;
};

// One run of each measurement, the cases taken in turn, so that a slow spell of the shared
// machine falls on all of them alike; every figure is the best of its runs.
void MeasureOnce(HWND viewer, Case& c) {
  document.pages = c.pages;
  LUMIVEXCONTROL object;
  object.HWINDOW = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(viewer));
  const LvxTextField text{c.field.data(), static_cast<std::int32_t>(c.field.size())};
  c.getText = std::min(c.getText, Seconds([&] { object.GETTEXT(text, LvxOmittedInt32()); }));
  c.bare = std::min(c.bare, Seconds([&] { BareLoop(viewer, c.field); }));
}

bool Delivered(const Case& c) {
  return std::equal(c.field.end() - kPageLength, c.field.end(), document.pageText.begin());
}

}  // namespace

int main() {
  document.pageText.resize(kPageLength);
  for (std::size_t i = 0; i < document.pageText.size(); ++i) {
    document.pageText[i] = static_cast<char>('a' + i % 26);
  }
  const HWND viewer = CreateViewer();
  if (viewer == nullptr) {
    std::printf("cannot create the viewer window\n");
    return 1;
  }
  Case warmUp(1000);
  MeasureOnce(viewer, warmUp);
  Case ten(10000);
  Case twenty(20000);
  for (int run = 0; run < kRuns; ++run) {
    MeasureOnce(viewer, ten);
    MeasureOnce(viewer, twenty);
  }
  DestroyWindow(viewer);
  if (!Delivered(ten) || !Delivered(twenty)) {
    std::printf("GETTEXT did not deliver the document's text\n");
    return 1;
  }

  std::printf("whole-document GETTEXT, pages of %d characters, best of %d runs\n", kPageLength,
              kRuns);
  std::printf("  10,000 pages: GETTEXT %.1f ms, bare messages and copies %.1f ms\n",
              ten.getText * 1e3, ten.bare * 1e3);
  std::printf("  20,000 pages: GETTEXT %.1f ms, bare messages and copies %.1f ms\n",
              twenty.getText * 1e3, twenty.bare * 1e3);
  std::printf("ratio GETTEXT / bare loop (10,000 pages): %.2f\n", ten.getText / ten.bare);
  std::printf("ratio GETTEXT 20,000 / 10,000 pages:      %.2f (2.00 is linear)\n",
              twenty.getText / ten.getText);
  return 0;
}
