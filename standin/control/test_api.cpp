// The exported read-back functions of standin_api.h (the message log has its own file).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "page_area.h"
#include "page_view.h"
#include "standin_api.h"
#include "viewer_protocol.h"
#include "viewer_state.h"

namespace lvx::standin {
namespace {

// The state of a live viewer window, or null.
ViewerState* ViewerFrom(void* window) {
  auto* const handle = static_cast<HWND>(window);
  char klass[64] = {};
  if (IsWindow(handle) == FALSE || GetClassNameA(handle, klass, sizeof klass) == 0 ||
      std::strcmp(klass, kViewerClassName) != 0) {
    return nullptr;
  }
  return StateOf(handle);
}

template <std::size_t N>
void CopyText(char (&target)[N], const std::string& text) {
  const std::size_t kept = std::min(text.size(), N - 1);
  std::memcpy(target, text.data(), kept);
  target[kept] = '\0';
}

}  // namespace
}  // namespace lvx::standin

using lvx::standin::ViewerFrom;

extern "C" {

LVX_STANDIN_API std::int32_t LvxStandinViewOptions(void* window) {
  const auto* state = ViewerFrom(window);
  return state == nullptr ? -1 : state->viewOptions;
}

LVX_STANDIN_API std::int32_t LvxStandinGetViewState(void* window, LvxStandinViewState* out) {
  const auto* state = ViewerFrom(window);
  if (state == nullptr || out == nullptr) {
    return 0;
  }
  *out = {};
  out->viewOptions = state->viewOptions;
  out->pageCount = static_cast<std::int32_t>(state->sheets.size());
  out->currentPage = state->currentPage;
  out->zoomMode = static_cast<std::int32_t>(state->zoom.mode);
  out->zoomPercent = state->zoom.percent;
  out->columns = state->zoom.columns;
  out->scrollX = state->scrollX;
  out->scrollY = state->scrollY;
  out->layoutWidth = state->layout.width;
  out->layoutHeight = state->layout.height;
  out->areaWidth = lvx::standin::AreaWidth(*state);
  out->areaHeight = lvx::standin::AreaHeight(*state);
  out->searchOptions = state->search.Options();
  const auto& found = state->search.LastFound();
  out->foundPage = found ? found->page : -1;
  out->foundOffset = found ? static_cast<std::int32_t>(found->match.begin) : -1;
  out->markCount = state->marks.count;
  lvx::standin::CopyText(out->markText, state->marks.pattern);
  return 1;
}

LVX_STANDIN_API std::int32_t LvxStandinGetPrintState(void* window, LvxStandinPrintState* out) {
  const auto* state = ViewerFrom(window);
  if (state == nullptr || out == nullptr) {
    return 0;
  }
  const lvx::standin::PrintSettings& printing = state->printing;
  *out = {};
  out->printingEnabled = printing.enabled ? 1 : 0;
  out->highQuality = printing.highQuality ? 1 : 0;
  out->printerSelection = printing.selectPrinter ? 1 : 0;
  out->deviceContext = printing.deviceContext ? 1 : 0;
  lvx::standin::CopyText(out->printerName, printing.printerName);
  out->requestOpen = printing.started ? 1 : 0;
  out->range = printing.range;
  out->jobs = printing.jobs;
  out->lastResult = printing.last.result;
  out->lastFirstPage = printing.last.firstPage;
  out->lastLastPage = printing.last.lastPage;
  out->lastDpi = printing.last.dpi;
  out->lastRoute = static_cast<std::int32_t>(printing.last.route);
  lvx::standin::CopyText(out->lastPrinter, printing.last.printer);
  return 1;
}

LVX_STANDIN_API std::int32_t LvxStandinPageBox(void* window, std::int32_t page,
                                               std::int32_t box[4]) {
  const auto* state = ViewerFrom(window);
  if (state == nullptr || box == nullptr || page < 0 ||
      static_cast<std::size_t>(page) >= state->layout.sheets.size()) {
    return 0;
  }
  const lvx::standin::Box sheet = lvx::standin::SheetOnScreen(*state, page);
  box[0] = sheet.left;
  box[1] = sheet.top;
  box[2] = sheet.right;
  box[3] = sheet.bottom;
  return 1;
}

LVX_STANDIN_API std::int32_t LvxStandinPageHighlights(void* window, std::int32_t page) {
  auto* state = ViewerFrom(window);
  if (state == nullptr || page < 0 || static_cast<std::size_t>(page) >= state->sheets.size()) {
    return -1;
  }
  try {
    return static_cast<std::int32_t>(lvx::standin::HighlightsOn(*state, page).size());
  } catch (...) {
    return -1;
  }
}
}
