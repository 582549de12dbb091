#include "viewer_window.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "document_commands.h"
#include "document_model.h"
#include "message_log.h"
#include "viewer_protocol.h"

namespace lvx::standin {
namespace {

constexpr int kViewPanelHeight = 28;
constexpr int kNavigationPanelWidth = 120;
constexpr int kPropertyPanelWidth = 160;

struct ViewerState {
  int viewOptions = -1;
  HWND viewPanel = nullptr;
  HWND navigationPanel = nullptr;
  HWND propertyPanel = nullptr;
  DocumentModel document;
};

ViewerState* StateOf(HWND window) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

HWND MakePanel(HWND parent, const char* klass, const char* text, DWORD style) {
  return CreateWindowExA(0, klass, text, WS_CHILD | WS_BORDER | style, 0, 0, 0, 0, parent, nullptr,
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                         nullptr);
}

// Places the visible panels without overlap: view panel on top, navigation on the left, property
// panel on the right; the rest is the page area.
void Layout(HWND window, const ViewerState& state) {
  RECT client{};
  GetClientRect(window, &client);
  const bool view = (state.viewOptions & kViewViewPanel) != 0;
  const bool navigation = (state.viewOptions & kViewNavigationPanel) != 0;
  const bool property = (state.viewOptions & kViewPropertyPanel) != 0;
  const int top = view ? kViewPanelHeight : 0;
  const int width = client.right;
  const int navWidth = navigation ? std::min(kNavigationPanelWidth, width / 3) : 0;
  const int propWidth = property ? std::min(kPropertyPanelWidth, width / 3) : 0;
  MoveWindow(state.viewPanel, 0, 0, width, top, TRUE);
  MoveWindow(state.navigationPanel, 0, top, navWidth, client.bottom - top, TRUE);
  MoveWindow(state.propertyPanel, width - propWidth, top, propWidth, client.bottom - top, TRUE);
  ShowWindow(state.viewPanel, view ? SW_SHOWNA : SW_HIDE);
  ShowWindow(state.navigationPanel, navigation ? SW_SHOWNA : SW_HIDE);
  ShowWindow(state.propertyPanel, property ? SW_SHOWNA : SW_HIDE);
}

void ApplyViewOptions(HWND window, ViewerState& state, int options) {
  state.viewOptions = options;
  ShowScrollBar(window, SB_VERT, (options & kViewVerticalScrollBar) != 0 ? TRUE : FALSE);
  ShowScrollBar(window, SB_HORZ, (options & kViewHorizontalScrollBar) != 0 ? TRUE : FALSE);
  Layout(window, state);
  InvalidateRect(window, nullptr, TRUE);
}

void Paint(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window, &paint);
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  DrawTextA(dc, "No document", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE: {
      auto created = std::make_unique<ViewerState>();
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created.release()));
      break;
    }
    case WM_CREATE:
      state->viewPanel = MakePanel(window, "STATIC", "View panel", SS_CENTER);
      state->navigationPanel = MakePanel(window, "LISTBOX", "", LBS_NOTIFY);
      state->propertyPanel = MakePanel(window, "STATIC", "Properties", SS_LEFT);
      LogEvent(LVX_STANDIN_CREATED);
      return 0;
    case WM_SIZE:
      if (state != nullptr) {
        Layout(window, *state);
      }
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_DESTROY:
      LogEvent(LVX_STANDIN_DESTROYED);
      return 0;
    case WM_NCDESTROY:
      std::unique_ptr<ViewerState>{state};
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    default:
      if (message == WM_VIEWER_COMMAND || message == WM_VIEWER_STRCOMMAND) {
        const auto code = static_cast<std::int32_t>(wParam);
        const auto argument = static_cast<std::int32_t>(lParam);
        LogMessage(message, code, argument,
                   message == WM_VIEWER_STRCOMMAND ? reinterpret_cast<const char*>(lParam)
                                                   : nullptr);
        if (message == WM_VIEWER_COMMAND && code == VCMD_VIEWOPTIONS.code && state != nullptr) {
          ApplyViewOptions(window, *state, argument);
        }
        if (state != nullptr) {
          const DocumentCommandResult done =
              HandleDocumentCommand(state->document, message, code, lParam);
          if (done.documentChanged) {
            InvalidateRect(window, nullptr, TRUE);
          }
          if (done.handled) {
            return done.result;
          }
        }
        return 0;
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterViewerClass(HINSTANCE module) {
  WNDCLASSA klass{};
  klass.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  klass.lpfnWndProc = ViewerProc;
  klass.hInstance = module;
  klass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  klass.lpszClassName = kViewerClassName;
  return RegisterClassA(&klass) != 0;
}

void UnregisterViewerClass(HINSTANCE module) { UnregisterClassA(kViewerClassName, module); }

}  // namespace lvx::standin

extern "C" LVX_STANDIN_API std::int32_t LvxStandinViewOptions(void* window) {
  const auto handle = static_cast<HWND>(window);
  char klass[64] = {};
  if (IsWindow(handle) == FALSE || GetClassNameA(handle, klass, sizeof klass) == 0 ||
      std::strcmp(klass, lvx::kViewerClassName) != 0) {
    return -1;
  }
  const auto* state = lvx::standin::StateOf(handle);
  return state == nullptr ? -1 : state->viewOptions;
}
