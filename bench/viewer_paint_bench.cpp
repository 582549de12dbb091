// How long the stand-in viewer takes to paint: a page-down through a document at page width,
// each step painted at once, against the same steps with no document (background only), timed
// in the same run. Prints milliseconds per step and the ratio.
//   viewer_paint_bench [PDF]     (default: a generated 40-page document of text lines)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "test_pdf.h"
#include "viewer_protocol.h"

namespace {

double Now() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds per Page Down step, each repainted at once; the best of `rounds` runs.
double TimeSteps(HWND viewer, int steps, int rounds) {
  const HWND area = GetDlgItem(viewer, 1006);
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    SendMessageA(area, WM_KEYDOWN, VK_HOME, 0);
    UpdateWindow(viewer);
    const double start = Now();
    for (int i = 0; i < steps; ++i) {
      SendMessageA(area, WM_KEYDOWN, VK_NEXT, 0);
      InvalidateRect(area, nullptr, FALSE);
      UpdateWindow(area);
    }
    best = std::min(best, (Now() - start) / steps);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (LoadLibraryA(lvx::kViewerLibraryName) == nullptr) {
    std::fprintf(stderr, "Lumivex01.dll not found\n");
    return 1;
  }
  std::string path;
  if (argc > 1) {
    path = argv[1];
  } else {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    path = std::string(folder) + "lvx-paint-bench.pdf";
    lvx::test::WritePdf(path, lvx::test::NumberedPages(40, 40));
  }
  const HWND host = CreateWindowExA(0, "STATIC", "paint bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                    0, 900, 700, nullptr, nullptr, nullptr, nullptr);
  const HWND viewer = CreateWindowExA(0, lvx::kViewerClassName, "", WS_CHILD | WS_VISIBLE, 0, 0,
                                      880, 660, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(viewer, lvx::WM_VIEWER_COMMAND, 50, 31);
  SendMessageA(viewer, lvx::WM_VIEWER_COMMAND, 45, 0);
  constexpr int kSteps = 30;
  constexpr int kRounds = 5;
  const double empty = TimeSteps(viewer, kSteps, kRounds);

  const double loadStart = Now();
  const auto pages = static_cast<long>(
      SendMessageA(viewer, lvx::WM_VIEWER_STRCOMMAND, 101, reinterpret_cast<LPARAM>(path.c_str())));
  const double load = Now() - loadStart;
  if (pages <= 0) {
    std::fprintf(stderr, "%s did not load (%ld)\n", path.c_str(), pages);
    return 1;
  }
  const double shown = TimeSteps(viewer, kSteps, kRounds);
  SendMessageA(viewer, lvx::WM_VIEWER_STRCOMMAND, 257, reinterpret_cast<LPARAM>("e"));
  const double marked = TimeSteps(viewer, kSteps, kRounds);
  std::printf("document: %s (%ld pages), loaded and laid out in %.1f ms\n", path.c_str(), pages,
              load);
  std::printf(
      "page down at page width, per step: empty %.2f ms, pages %.2f ms (%.1fx), "
      "pages with every 'e' marked %.2f ms (%.1fx)\n",
      empty, shown, shown / empty, marked, marked / empty);
  DestroyWindow(host);
  if (argc <= 1) {
    DeleteFileA(path.c_str());
  }
  return 0;
}
