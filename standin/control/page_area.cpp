#include "page_area.h"

#include "gdi_objects.h"
#include "message_log.h"
#include "page_view.h"
#include "scrolling.h"
#include "viewer_window.h"

namespace lvx::standin {
namespace {

constexpr const char* kPageAreaClass = "LvxStandinPageArea";
constexpr COLORREF kBackground = RGB(128, 128, 128);
constexpr COLORREF kMarkColour = RGB(255, 235, 59);
constexpr COLORREF kFoundColour = RGB(255, 152, 0);

ViewerState* ViewerOf(HWND area) { return StateOf(GetParent(area)); }

// The focus rectangle, just inside the page area's edge, while the area has the keyboard focus.
void DrawFocus(HDC dc, HWND area, const RECT& client) {
  if (GetFocus() == area) {
    RECT edge = client;
    InflateRect(&edge, -1, -1);
    DrawFocusRect(dc, &edge);
  }
}

void Paint(HWND area) {
  const PaintScope paint(area);
  const HDC dc = paint.Get();
  RECT client{};
  GetClientRect(area, &client);
  ViewerState* state = ViewerOf(area);
  if (state != nullptr && client.right > 0 && client.bottom > 0) {
    // Everything is drawn off screen first and shown in one copy, so nothing flickers.
    const OwnedDc memory(CreateCompatibleDC(dc));
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory && bitmap) {
      const Selection selected(memory.Get(), bitmap.Get());
      DrawView(memory.Get(), client, *state);
      DrawFocus(memory.Get(), area, client);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    } else {
      DrawView(dc, client, *state);
      DrawFocus(dc, area, client);
    }
  }
}

LRESULT CALLBACK PageAreaProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    ViewerState* state = ViewerOf(area);
    switch (message) {
      case WM_PAINT:
        Paint(area);
        return 0;
      case WM_ERASEBKGND:
        return 1;  // the paint covers everything
      case WM_GETDLGCODE:
        return kPageAreaDialogCode;
      case WM_LBUTTONDOWN:
        SetFocus(area);
        return 0;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        InvalidateRect(area, nullptr, FALSE);  // the focus rectangle comes or goes
        return 0;
      case WM_KEYDOWN:
        if (state != nullptr && OnKey(*state, wParam)) {
          return 0;
        }
        break;
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        if (state != nullptr) {
          OnWheel(*state, GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
                  message == WM_MOUSEHWHEEL);
          return 0;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    // Nothing may leave a window procedure; the view keeps its last state, and the log says why.
    LogCaughtException(message, static_cast<std::int32_t>(wParam));
    return 0;
  }
  return DefWindowProcA(area, message, wParam, lParam);
}

}  // namespace

bool RegisterPageAreaClass(HINSTANCE module) {
  WNDCLASSA klass{};
  klass.style = CS_HREDRAW | CS_VREDRAW;
  klass.lpfnWndProc = PageAreaProc;
  klass.hInstance = module;
  klass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  klass.lpszClassName = kPageAreaClass;
  return RegisterClassA(&klass) != 0;
}

void UnregisterPageAreaClass(HINSTANCE module) { UnregisterClassA(kPageAreaClass, module); }

HWND CreatePageArea(HWND viewer, int id) {
  return CreateWindowExA(0, kPageAreaClass, "", WS_CHILD, 0, 0, 0, 0, viewer,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), StandinModule(),
                         nullptr);
}

std::vector<Highlight> HighlightsOn(ViewerState& state, int page) {
  std::vector<Highlight> highlights;
  if (state.document == nullptr) {
    return highlights;
  }
  const auto& found = state.search.LastFound();
  if (state.marks.pattern.empty() && (!found || found->page != page)) {
    return highlights;
  }
  const PageText& text = state.pageTexts.Get(*state.document, page);
  if (!state.marks.pattern.empty()) {
    for (const TextMatch& match : FindAll(text.text, state.marks.pattern, state.marks.options)) {
      for (const RunSpan& span : SpansOf(text, match)) {
        highlights.push_back({span, kMarkColour});
      }
    }
  }
  if (found && found->page == page) {
    for (const RunSpan& span : SpansOf(text, found->match)) {
      highlights.push_back({span, kFoundColour});
    }
  }
  return highlights;
}

void DrawView(HDC dc, const RECT& client, ViewerState& state) {
  const GdiObject<HBRUSH> background(CreateSolidBrush(kBackground));
  FillRect(dc, &client, background.Get());
  if (state.document == nullptr || state.sheets.empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const Selection font(
        dc, state.scale.font ? state.scale.font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    RECT box = client;
    DrawTextA(dc, "No document", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const double pixelsPerPoint = state.zoom.percent / 100 * state.screenPixelsPerPoint;
  for (int page = 0; page < static_cast<int>(state.sheets.size()); ++page) {
    const Box sheet = SheetOnScreen(state, page);
    if (sheet.top >= client.bottom) {
      break;  // rows only go further down
    }
    const int gap = state.scale.sheetGap;
    if (sheet.bottom + gap < 0 || sheet.right + gap < 0 || sheet.left - gap >= client.right) {
      continue;
    }
    const SheetPlacement placement{sheet.left, sheet.top, pixelsPerPoint,
                                   state.document->Geometry(page)};
    const std::vector<Highlight> highlights = HighlightsOn(state, page);
    const std::shared_ptr<const pdf::DisplayList> drawing =
        state.drawings.Get(*state.document, page);
    // The text runs place the highlights, and stand in for a page without a drawing.
    const bool needRuns = drawing == nullptr || !highlights.empty();
    static const std::vector<pdf::TextRun> kNoRuns;
    PaintSheet(dc, placement, needRuns ? state.runs.Get(*state.document, page) : kNoRuns,
               state.fonts, highlights, true, drawing.get(), &state.drawing);
  }
}

}  // namespace lvx::standin
