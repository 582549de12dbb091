#include "viewer_window.h"

#include <memory>

#include "accessible_viewer.h"
#include "message_log.h"
#include "page_area.h"
#include "page_view.h"
#include "panels.h"
#include "scrolling.h"
#include "viewer_commands.h"
#include "viewer_dpi.h"
#include "viewer_protocol.h"
#include "viewer_state.h"

namespace lvx::standin {
namespace {

// Messages of systems that move windows between screens of different DPI (not in every SDK).
constexpr UINT kDpiChanged = 0x02E0;             // WM_DPICHANGED, to a top-level window
constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, to a child

// The window now shows at `dpi`: everything is made and placed again for it, the zoom kept.
void OnDpiChanged(ViewerState& state, int dpi) {
  if (ApplyDpi(state, dpi)) {
    PlaceParts(state);
    RefreshLayout(state);
    InvalidateRect(state.window, nullptr, TRUE);
  }
}

void OnCreate(HWND window, ViewerState& state) {
  state.window = window;
  // The parts paint themselves; the viewer paints only the corner between the scroll bars. A
  // viewer made as a child is a tab stop of its dialog from the start.
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  SetWindowLongPtrA(window, GWL_STYLE,
                    style | WS_CLIPCHILDREN | ((style & WS_CHILD) != 0 ? WS_TABSTOP : 0));
  // Sizes, fonts and pages follow the DPI of the window's own screen, as the host's awareness lets
  // the system report it.
  ApplyDpi(state, WindowDpi(window));
  CreateParts(state);
  PlaceParts(state);
  RefreshLayout(state);
}

LRESULT OnViewerMessage(ViewerState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto code = static_cast<std::int32_t>(wParam);
  LogMessage(message, code, static_cast<std::int32_t>(lParam),
             message == WM_VIEWER_STRCOMMAND ? reinterpret_cast<const char*>(lParam) : nullptr);
  if (state == nullptr) {
    return 0;
  }
  try {
    return HandleViewerCommand(*state, message, code, lParam);
  } catch (...) {
    // A command that runs out of memory fails as a whole; nothing may leave the window procedure.
    // What ended it goes into the log, so that a fault of the code does not pass unseen.
    LogCaughtException(message, code);
    return -1;
  }
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerState* state = StateOf(window);
  if (message == WM_VIEWER_COMMAND || message == WM_VIEWER_STRCOMMAND) {
    return OnViewerMessage(state, message, wParam, lParam);
  }
  try {
    switch (message) {
      case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(std::make_unique<ViewerState>().release()));
        break;
      case WM_CREATE:
        if (state == nullptr) {
          return -1;
        }
        OnCreate(window, *state);
        LogEvent(LVX_STANDIN_CREATED);
        return 0;
      case WM_SIZE:
        if (state != nullptr) {
          PlaceParts(*state);
          RefreshLayout(*state);
        }
        return 0;
      case kDpiChanged:
        // A top-level viewer: the new DPI comes with the message, and the system's suggested
        // rectangle keeps the window's size on the new screen (the WM_SIZE it gives places the
        // parts when the size changes).
        if (state != nullptr) {
          OnDpiChanged(*state, HIWORD(wParam));
          if (const auto* suggested = reinterpret_cast<const RECT*>(lParam); suggested != nullptr) {
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
          }
        }
        return 0;
      case kDpiChangedAfterParent:
        // A child viewer: its parent has been moved and sized for the new DPI; the viewer asks
        // what its own DPI is now.
        if (state != nullptr) {
          OnDpiChanged(*state, WindowDpi(window));
        }
        return 0;
      case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
      }
      case WM_STYLECHANGING:
        // A viewer made a child after its creation (a popup adopted into a dialog) becomes a tab
        // stop there. The bit is the maximize box of a top-level window, so it is set only now.
        if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
          auto* change = reinterpret_cast<STYLESTRUCT*>(lParam);
          if ((change->styleNew & WS_CHILD) != 0 && (change->styleOld & WS_CHILD) == 0) {
            change->styleNew |= WS_TABSTOP;
          }
        }
        return 0;
      case WM_SETFOCUS:
        // The dialog manager gives the focus to the viewer window; the keys go to the pages.
        if (state != nullptr && state->parts.pageArea != nullptr) {
          SetFocus(state->parts.pageArea);
        }
        return 0;
      case WM_GETDLGCODE:
        return kPageAreaDialogCode;
      case WM_COMMAND:
        if (state != nullptr &&
            OnPartCommand(*state, LOWORD(wParam), static_cast<int>(HIWORD(wParam)))) {
          return 0;
        }
        break;
      case WM_VSCROLL:
      case WM_HSCROLL:
        if (state != nullptr) {
          OnScrollBar(*state, message == WM_VSCROLL, LOWORD(wParam));
        }
        return 0;
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        if (state != nullptr) {
          OnWheel(*state, GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
                  message == WM_MOUSEHWHEEL);
        }
        return 0;
      case WM_KEYDOWN:
        if (state != nullptr && OnKey(*state, wParam)) {
          return 0;
        }
        break;
      case WM_GETOBJECT:
        if (state != nullptr) {
          const LRESULT answer = AnswerGetObject(*state, wParam, lParam);
          if (answer != 0) {
            return answer;
          }
        }
        break;
      case WM_DESTROY:
        LogEvent(LVX_STANDIN_DESTROYED);
        return 0;
      case WM_NCDESTROY:
        std::unique_ptr<ViewerState>{state};
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  } catch (...) {
    // Nothing may leave the window procedure; the message is left undone, and logged.
    LogCaughtException(message, static_cast<std::int32_t>(wParam));
    return message == WM_CREATE ? -1 : 0;
  }
  // The state made at WM_NCCREATE is owned through GWLP_USERDATA and freed at WM_NCDESTROY; the
  // analyzer does not follow a pointer into window data and would report it as leaked here.
  // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ViewerState* StateOf(HWND viewer) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(viewer, GWLP_USERDATA));
}

HINSTANCE StandinModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&StandinModule), &module);
  return module;
}

bool RegisterViewerClass(HINSTANCE module) {
  if (!RegisterPanelClass(module) || !RegisterPageAreaClass(module)) {
    UnregisterViewerClass(module);
    return false;
  }
  WNDCLASSA klass{};
  klass.style = CS_GLOBALCLASS | CS_DBLCLKS;
  klass.lpfnWndProc = ViewerProc;
  klass.hInstance = module;
  klass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  klass.lpszClassName = kViewerClassName;
  if (RegisterClassA(&klass) == 0) {
    UnregisterViewerClass(module);
    return false;
  }
  return true;
}

void UnregisterViewerClass(HINSTANCE module) {
  UnregisterClassA(kViewerClassName, module);
  UnregisterPageAreaClass(module);
  UnregisterPanelClass(module);
}

}  // namespace lvx::standin
