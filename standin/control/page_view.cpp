#include "page_view.h"

#include <algorithm>
#include <cmath>

#include "accessible_viewer.h"
#include "panels.h"
#include "scrolling.h"

namespace lvx::standin {
namespace {

bool HasPage(const ViewerState& state, int page) {
  return page >= 0 && static_cast<std::size_t>(page) < state.layout.sheets.size();
}

double PixelsPerPoint(const ViewerState& state) {
  return state.zoom.percent / 100 * state.screenPixelsPerPoint;
}

}  // namespace

int AreaWidth(const ViewerState& state) { return state.panels.pageArea.Width(); }
int AreaHeight(const ViewerState& state) { return state.panels.pageArea.Height(); }

Box SheetOnScreen(const ViewerState& state, int page) {
  if (!HasPage(state, page)) {
    return {};
  }
  const Box& sheet = state.layout.sheets[static_cast<std::size_t>(page)];
  return {sheet.left - state.scrollX, sheet.top - state.scrollY, sheet.right - state.scrollX,
          sheet.bottom - state.scrollY};
}

void ShowDocument(ViewerState& state, const ShownDocument* document) {
  state.document = document;
  state.accessible.Forget();  // another text, told of when the page number is shown
  state.sheets.clear();
  const int count = document != nullptr ? document->PageCount() : 0;
  state.sheets.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int page = 0; page < count; ++page) {
    state.sheets.push_back(ShownSize(document->Geometry(page)));
  }
  state.currentPage = count > 0 ? 0 : -1;
  state.layout = {};
  state.scrollX = 0;
  state.scrollY = 0;
  state.pageTexts.Clear();
  state.search.Reset();
  state.marks = {};
  state.runs.Clear();
  state.fonts.Clear();
  state.drawings.Clear();
  state.drawing.fonts.Clear();
  state.drawing.embedded.Clear();
  state.drawing.pictures.Clear();
  RefreshLayout(state);
  FillPageList(state);
  ShowProperties(state);
}

void AddPages(ViewerState& state) {
  if (state.document == nullptr) {
    ShowDocument(state, &state.modelPages);
    return;
  }
  const int count = state.document->PageCount();
  for (int page = static_cast<int>(state.sheets.size()); page < count; ++page) {
    state.sheets.push_back(ShownSize(state.document->Geometry(page)));
  }
  if (!state.marks.pattern.empty()) {
    state.marks.count = CountOccurrences(*state.document, state.pageTexts, state.marks.pattern,
                                         state.marks.options);
  }
  RefreshLayout(state);
  FillPageList(state);
  ShowProperties(state);
}

void RefreshLayout(ViewerState& state) {
  // Where the view stands now: down, as a share of the current page's height; across, as the
  // share of the layout's width at the page area's middle. A new layout starts at its top left.
  const int anchor = state.currentPage;
  const bool anchored = HasPage(state, anchor);
  double down = 0;
  double across = 0;
  if (anchored) {
    const Box& old = state.layout.sheets[static_cast<std::size_t>(anchor)];
    down = static_cast<double>(state.scrollY - old.top) / std::max(1, old.Height());
    across = (state.scrollX + AreaWidth(state) / 2.0) / std::max(1, state.layout.width);
  }
  state.zoom.percent =
      std::min(EffectivePercent(state.zoom.mode, state.zoom.percent, state.sheets,
                                state.currentPage, AreaWidth(state), AreaHeight(state),
                                state.screenPixelsPerPoint, state.scale.sheetGap),
               LargestPercent(state.sheets, state.zoom.columns, state.screenPixelsPerPoint,
                              state.scale.sheetGap));
  state.layout = LayOutSheets(state.sheets, state.zoom.columns, PixelsPerPoint(state),
                              AreaWidth(state), AreaHeight(state), state.scale.sheetGap);
  int x = 0;
  int y = 0;
  if (anchored && HasPage(state, anchor)) {
    const Box& now = state.layout.sheets[static_cast<std::size_t>(anchor)];
    y = now.top + static_cast<int>(std::lround(down * now.Height()));
    x = static_cast<int>(std::lround(across * state.layout.width - AreaWidth(state) / 2.0));
  }
  ScrollTo(state, x, y, false);
  if (state.parts.pageArea != nullptr) {
    InvalidateRect(state.parts.pageArea, nullptr, FALSE);
  }
  ShowPageNumber(state);
}

bool ApplyZoom(ViewerState& state, std::int32_t code) {
  if (!ApplyZoomCommand(state.zoom, code)) {
    return false;
  }
  RefreshLayout(state);
  return true;
}

void GoToPage(ViewerState& state, int page) {
  if (state.sheets.empty()) {
    return;
  }
  const int last = static_cast<int>(state.sheets.size()) - 1;
  state.currentPage = std::clamp(page, 0, last);
  if (state.zoom.mode == ZoomMode::kWholePage || state.zoom.mode == ZoomMode::kTwoPages) {
    RefreshLayout(state);  // the fit follows the current page
  }
  const Box& sheet = state.layout.sheets[static_cast<std::size_t>(state.currentPage)];
  ScrollTo(state, state.scrollX, sheet.top - state.scale.sheetGap, false);
  ShowPageNumber(state);
}

void RevealFound(ViewerState& state) {
  const auto& found = state.search.LastFound();
  if (!found || state.document == nullptr || !HasPage(state, found->page)) {
    return;
  }
  if (found->page != state.currentPage) {
    GoToPage(state, found->page);
  }
  // The found text's first character: its run's baseline, on the sheet.
  const PageText& text = state.pageTexts.Get(*state.document, found->page);
  const std::vector<RunSpan> spans = SpansOf(text, found->match);
  const std::vector<pdf::TextRun>& runs = state.runs.Get(*state.document, found->page);
  if (spans.empty() || static_cast<std::size_t>(spans.front().run) >= runs.size()) {
    return;
  }
  const pdf::TextRun& run = runs[static_cast<std::size_t>(spans.front().run)];
  const SheetPoint point =
      PageToSheet(state.document->Geometry(found->page), run.x, run.y, PixelsPerPoint(state));
  const Box& sheet = state.layout.sheets[static_cast<std::size_t>(found->page)];
  const int x = sheet.left + static_cast<int>(point.x);
  const int y = sheet.top + static_cast<int>(point.y);
  const int size = static_cast<int>(std::fabs(run.fontSize) * PixelsPerPoint(state)) + 1;
  int scrollX = state.scrollX;
  int scrollY = state.scrollY;
  if (y - size < scrollY || y + size > scrollY + AreaHeight(state)) {
    scrollY = y - AreaHeight(state) / 3;
  }
  if (x < scrollX || x + size > scrollX + AreaWidth(state)) {
    scrollX = x - AreaWidth(state) / 3;
  }
  ScrollTo(state, scrollX, scrollY, false);
}

}  // namespace lvx::standin
