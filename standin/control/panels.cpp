#include "panels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "accessible_viewer.h"
#include "document_facts.h"
#include "gdi_objects.h"
#include "message_log.h"
#include "page_area.h"
#include "page_view.h"
#include "viewer_dpi.h"
#include "viewer_protocol.h"
#include "viewer_window.h"

namespace lvx::standin {
namespace {

constexpr const char* kPanelClass = "LvxStandinPanel";
// Sizes at 96 dpi (viewer_dpi.h scales them).
constexpr int kInset = 3;
constexpr int kButtonWidth = 74;
constexpr int kButtonPadding = 8;  // each side of a zoom button's label
constexpr int kButtonEdges = 10;   // a button's frame and the room above and below its label
constexpr int kFontSlot = 0;       // a panel's window bytes: the font it paints its text in

struct ZoomButton {
  std::int32_t code;
  const char* label;
};
constexpr std::array<ZoomButton, 6> kZoomButtons{{{VCMD_ZOOM100.code, "100 %"},
                                                  {VCMD_ZOOMIN.code, "Zoom in"},
                                                  {VCMD_ZOOMOUT.code, "Zoom out"},
                                                  {VCMD_ZOOMWIDTH.code, "Page width"},
                                                  {VCMD_ZOOMPAGE.code, "Whole page"},
                                                  {VCMD_ZOOMTWOPAGES.code, "Two pages"}}};

// Draws the panel's own text (the page label and the document facts are panels too): one line
// centred vertically, or several lines from the top, wrapped at the panel's width.
void PaintPanel(HWND panel) {
  const PaintScope paint(panel);
  const HDC dc = paint.Get();
  const int length = GetWindowTextLengthA(panel);
  if (length > 0) {
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(panel, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    RECT box{};
    GetClientRect(panel, &box);
    auto* const font = reinterpret_cast<HGDIOBJ>(GetWindowLongPtrA(panel, kFontSlot));
    const HGDIOBJ previous =
        SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const bool lines = text.find('\n') != std::string::npos;
    DrawTextA(dc, text.c_str(), length, &box,
              DT_LEFT | DT_NOPREFIX |
                  (lines ? DT_WORDBREAK | DT_EDITCONTROL : DT_VCENTER | DT_SINGLELINE));
    SelectObject(dc, previous);
  }
}

// A plain panel: a face-coloured area that passes its controls' notifications to the viewer.
// (A static control repaints at once when its text changes; a panel's text waits for the next
// paint, which keeps scrolling quick.)
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_COMMAND:
        return SendMessageA(GetParent(panel), WM_COMMAND, wParam, lParam);
      case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(panel, message, wParam, lParam);
        InvalidateRect(panel, nullptr, TRUE);
        return result;
      }
      case WM_SETFONT:
        // The font belongs to the viewer, which outlives its panels.
        SetWindowLongPtrA(panel, kFontSlot, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam) != 0) {
          InvalidateRect(panel, nullptr, TRUE);
        }
        return 0;
      case WM_GETFONT:
        return GetWindowLongPtrA(panel, kFontSlot);
      case WM_PAINT:
        PaintPanel(panel);
        return 0;
      default:
        break;
    }
  } catch (...) {
    // Nothing may leave a window procedure (out of memory while painting the text); the paint
    // has ended all the same, and the log says why.
    LogCaughtException(message, static_cast<std::int32_t>(wParam));
    return 0;
  }
  return DefWindowProcA(panel, message, wParam, lParam);
}

HWND Child(const ViewerState& state, HWND parent, const char* klass, const char* text, DWORD style,
           int id, DWORD extendedStyle = 0) {
  const HWND child =
      CreateWindowExA(extendedStyle, klass, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), StandinModule(), nullptr);
  const HGDIOBJ font = state.scale.font ? state.scale.font.Get() : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return child;
}

// Every part that shows text, in the order they were made.
std::vector<HWND> TextParts(const ViewerParts& parts) {
  std::vector<HWND> all{parts.viewPanel, parts.pageLabel,     parts.navigationPanel,
                        parts.pageList,  parts.propertyPanel, parts.propertyText};
  all.insert(all.end(), parts.zoomButtons.begin(), parts.zoomButtons.end());
  return all;
}

void Place(HWND part, const Box& box) {
  if (part == nullptr) {
    return;
  }
  MoveWindow(part, box.left, box.top, std::max(box.Width(), 0), std::max(box.Height(), 0), TRUE);
  const bool shown = !box.Empty();
  const bool visible = (GetWindowLongPtrA(part, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != shown) {
    ShowWindow(part, shown ? SW_SHOWNA : SW_HIDE);
  }
}

// The zoom buttons from the left, as many as fit, then the page number in the rest.
void PlaceViewPanelControls(const ViewerState& state) {
  const Box& panel = state.panels.viewPanel;
  const int inset = state.scale.inset;
  const int buttonWidth = state.scale.buttonWidth;
  const int height = std::max(0, panel.Height() - 2 * inset);
  int x = inset;
  for (const HWND button : state.parts.zoomButtons) {
    const bool fits = x + buttonWidth <= panel.Width() - inset;
    Place(button, fits ? Box{x, inset, x + buttonWidth, inset + height} : Box{});
    if (fits) {
      x += buttonWidth + inset;
    }
  }
  const int labelLeft = x + inset;
  Place(state.parts.pageLabel, labelLeft < panel.Width() - inset
                                   ? Box{labelLeft, inset, panel.Width() - inset, inset + height}
                                   : Box{});
}

// Setting a control's text repaints it: only when the text is new.
void SetTextIfChanged(HWND control, const std::string& text) {
  const int length = GetWindowTextLengthA(control);
  std::string shown(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(control, shown.data(), length + 1);
  shown.resize(static_cast<std::size_t>(length));
  if (shown != text) {
    SetWindowTextA(control, text.c_str());
  }
}

Box Inside(const Box& panel, int inset) {
  if (panel.Width() <= 2 * inset || panel.Height() <= 2 * inset) {
    return {};
  }
  return {inset, inset, panel.Width() - inset, panel.Height() - inset};
}

}  // namespace

bool RegisterPanelClass(HINSTANCE module) {
  WNDCLASSA klass{};
  // A panel's text wraps at its width and a single line is centred in its height: a new size
  // changes where every line goes, so the whole panel is erased and painted again, not only the
  // part the new size uncovers.
  klass.style = CS_HREDRAW | CS_VREDRAW;
  klass.lpfnWndProc = PanelProc;
  klass.cbWndExtra = sizeof(LONG_PTR);  // kFontSlot
  klass.hInstance = module;
  klass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  klass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  klass.lpszClassName = kPanelClass;
  return RegisterClassA(&klass) != 0;
}

void UnregisterPanelClass(HINSTANCE module) { UnregisterClassA(kPanelClass, module); }

bool ApplyDpi(ViewerState& state, int dpi) {
  ViewerScale& scale = state.scale;
  if (dpi == scale.dpi && scale.font) {
    return false;
  }
  GdiObject<HFONT> font = MakePanelFont(dpi);
  // The buttons and the view panel grow with the font where it is larger than the sizes scaled.
  int widestLabel = 0;
  int textHeight = 0;
  {
    const WindowDc dc(state.window);
    const Selection selected(dc.Get(), font ? font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    textHeight = metrics.tmHeight;
    for (const ZoomButton& button : kZoomButtons) {
      SIZE extent{};
      GetTextExtentPoint32A(dc.Get(), button.label, static_cast<int>(std::strlen(button.label)),
                            &extent);
      widestLabel = std::max(widestLabel, static_cast<int>(extent.cx));
    }
  }
  scale.dpi = dpi;
  scale.inset = ScaleToDpi(kInset, dpi);
  scale.buttonWidth =
      std::max(ScaleToDpi(kButtonWidth, dpi), widestLabel + 2 * ScaleToDpi(kButtonPadding, dpi));
  const PanelMetrics base;
  scale.panels.viewPanelHeight =
      std::max(ScaleToDpi(base.viewPanelHeight, dpi),
               textHeight + 2 * scale.inset + ScaleToDpi(kButtonEdges, dpi));
  scale.panels.navigationWidth = ScaleToDpi(base.navigationWidth, dpi);
  scale.panels.propertyWidth = ScaleToDpi(base.propertyWidth, dpi);
  scale.panels.scrollBarWidth = SystemMetricForDpi(SM_CXVSCROLL, dpi);
  scale.panels.scrollBarHeight = SystemMetricForDpi(SM_CYHSCROLL, dpi);
  scale.sheetGap = ScaleToDpi(kSheetGap, dpi);
  scale.scrollLine = ScaleToDpi(kScrollLine, dpi);
  state.screenPixelsPerPoint = dpi / 72.0;
  // The parts take the new font before the old one is deleted.
  for (const HWND part : TextParts(state.parts)) {
    if (part != nullptr) {
      SendMessageA(part, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
  }
  scale.font = std::move(font);
  return true;
}

void CreateParts(ViewerState& state) {
  ViewerParts& parts = state.parts;
  const HWND window = state.window;
  parts.viewPanel = Child(state, window, kPanelClass, "", WS_CLIPCHILDREN, kViewPanelId);
  for (std::size_t i = 0; i < kZoomButtons.size(); ++i) {
    parts.zoomButtons.push_back(Child(state, parts.viewPanel, "BUTTON", kZoomButtons[i].label,
                                      WS_VISIBLE | BS_PUSHBUTTON,
                                      kFirstZoomButtonId + static_cast<int>(i)));
  }
  parts.pageLabel =
      Child(state, parts.viewPanel, kPanelClass, "No document", WS_VISIBLE, kPageLabelId);
  parts.navigationPanel =
      Child(state, window, kPanelClass, "", WS_CLIPCHILDREN, kNavigationPanelId);
  parts.pageList = Child(state, parts.navigationPanel, "LISTBOX", "",
                         WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kPageListId,
                         WS_EX_CLIENTEDGE);
  parts.propertyPanel = Child(state, window, kPanelClass, "", WS_CLIPCHILDREN, kPropertyPanelId);
  parts.propertyText =
      Child(state, parts.propertyPanel, kPanelClass, "", WS_VISIBLE, kPropertyTextId);
  parts.verticalBar = Child(state, window, "SCROLLBAR", "", SBS_VERT, kVerticalBarId);
  parts.horizontalBar = Child(state, window, "SCROLLBAR", "", SBS_HORZ, kHorizontalBarId);
  parts.pageArea = CreatePageArea(window, kPageAreaId);
}

void PlaceParts(ViewerState& state) {
  RECT client{};
  GetClientRect(state.window, &client);
  state.panels =
      LayOutPanels(client.right, client.bottom, std::max(state.viewOptions, 0), state.scale.panels);
  const ViewerParts& parts = state.parts;
  Place(parts.viewPanel, state.panels.viewPanel);
  Place(parts.navigationPanel, state.panels.navigationPanel);
  Place(parts.propertyPanel, state.panels.propertyPanel);
  Place(parts.verticalBar, state.panels.verticalBar);
  Place(parts.horizontalBar, state.panels.horizontalBar);
  Place(parts.pageArea, state.panels.pageArea);
  PlaceViewPanelControls(state);
  Place(parts.pageList, Inside(state.panels.navigationPanel, state.scale.inset));
  Place(parts.propertyText, Inside(state.panels.propertyPanel, state.scale.inset));
  // The corner between the scroll bars belongs to the viewer window itself.
  const RECT corner{state.panels.corner.left, state.panels.corner.top, state.panels.corner.right,
                    state.panels.corner.bottom};
  InvalidateRect(state.window, &corner, TRUE);
}

std::string PageLabel(const ViewerState& state) {
  const int count = static_cast<int>(state.sheets.size());
  return count > 0 && state.currentPage >= 0
             ? "Page " + std::to_string(state.currentPage + 1) + " of " + std::to_string(count)
             : std::string("No document");
}

void ShowPageNumber(ViewerState& state) {
  SetTextIfChanged(state.parts.pageLabel, PageLabel(state));
  AnnouncePage(state);
  if (SendMessageA(state.parts.pageList, LB_GETCURSEL, 0, 0) != state.currentPage) {
    SendMessageA(state.parts.pageList, LB_SETCURSEL, static_cast<WPARAM>(state.currentPage), 0);
  }
  ShowProperties(state);
}

void FillPageList(const ViewerState& state) {
  const HWND list = state.parts.pageList;
  const auto count = static_cast<int>(state.sheets.size());
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(count), count * 12);
  for (int page = 1; page <= count; ++page) {
    const std::string entry = "Page " + std::to_string(page);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(state.currentPage), 0);
}

void ShowProperties(const ViewerState& state) {
  SetTextIfChanged(state.parts.propertyText, DescribeDocument(state.document, state.currentPage));
}

bool OnPartCommand(ViewerState& state, int id, int notification) {
  const int button = id - kFirstZoomButtonId;
  if (button >= 0 && button < static_cast<int>(kZoomButtons.size()) && notification == BN_CLICKED) {
    ApplyZoom(state, kZoomButtons[static_cast<std::size_t>(button)].code);
    SetFocus(state.parts.pageArea);
    return true;
  }
  if (id == kPageListId && notification == LBN_SELCHANGE) {
    const auto selected = static_cast<int>(SendMessageA(state.parts.pageList, LB_GETCURSEL, 0, 0));
    if (selected >= 0) {
      GoToPage(state, selected);
    }
    return true;
  }
  return false;
}

}  // namespace lvx::standin
