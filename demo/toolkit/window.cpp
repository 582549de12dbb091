#include "window.h"

#include <algorithm>
#include <array>
#include <vector>

#include "control_kinds.h"
#include "deferred_moves.h"
#include "events.h"
#include "lumivexctl/adopt_window.h"
#include "message_box.h"

namespace lvx::toolkit {
namespace {

// Dialog items are the window's direct children with an id; 0xFFFF is the id of unnumbered
// static text.
constexpr int kUnnumbered = 0xFFFF;

std::vector<std::int32_t> ItemNumbers(HWND window) {
  std::vector<std::int32_t> numbers;
  if (window == nullptr) {
    return numbers;
  }
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id != 0 && id != kUnnumbered) {
      numbers.push_back(id);
    }
  }
  return numbers;
}

bool IsSelfOrChild(HWND window, HWND other) {
  return other == window || IsChild(window, other) != FALSE;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

}  // namespace

Window::Window(const WindowDefinition& definition) : definition_(definition) {}

Window::~Window() { Close(); }

bool Window::Open() {
  if (window_ != nullptr) {
    return true;
  }
  if (!definition_.Loaded()) {
    ShowMessage(nullptr, "The window definition could not be loaded.", "Error");
    return false;
  }
  const HWND created =
      CreateDialogIndirectParamA(definition_.Module(), definition_.Template(), nullptr, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (created == nullptr) {
    ShowMessage(nullptr, "The window could not be opened.", "Error");
    return false;
  }
  window_ = created;
  RECT base{0, 0, 4, 8};
  if (MapDialogRect(window_, &base) != FALSE && base.right > 0 && base.bottom > 0) {
    baseX_ = base.right;
    baseY_ = base.bottom;
  }
  CollectMenu(GetMenu(window_));
  for (const std::int32_t number : ItemNumbers(window_)) {
    kinds_[number] = KindOfWindow(GetDlgItem(window_, number));
  }
  FitFontToDpi();
  RECT client{};
  GetClientRect(window_, &client);
  lastClient_ = SIZE{client.right, client.bottom};
  opened_ = true;
  Queue(kEventOpenWindow);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  return true;
}

void Window::Close() noexcept {
  if (window_ != nullptr && IsWindow(window_) != FALSE) {
    closeRequested_ = true;  // a window closed by its owner reports nothing more
    DestroyWindow(window_);
  }
  window_ = nullptr;
}

void Window::CollectMenu(HMENU menu) {
  if (menu == nullptr) {
    return;
  }
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) == FALSE ||
        (info.fType & MFT_SEPARATOR) != 0) {
      continue;
    }
    const auto id = static_cast<std::int32_t>(info.wID);
    if (info.hSubMenu != nullptr) {
      if (id != 0) {
        menu_[id] = MenuEntry{kKindMenu};
      }
      CollectMenu(info.hSubMenu);
    } else if (id != 0) {
      menu_[id] = MenuEntry{kKindMenuItem};
    }
  }
}

INT_PTR CALLBACK Window::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<Window*>(lParam)->window_ = window;
    return FALSE;  // the focus is the program's to set (Select)
  }
  // The object was stored there at WM_INITDIALOG.
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) {
    return FALSE;
  }
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the dialog manager. A handler that fails here (out of memory in
    // a live handler or a control's check) is left undone, and the message is treated as not
    // handled.
    return FALSE;
  }
}

INT_PTR Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        const SIZE size{LOWORD(lParam), HIWORD(lParam)};
        const bool changed = size.cx != lastClient_.cx || size.cy != lastClient_.cy;
        lastClient_ = size;
        if (opened_ && changed) {
          if (sizingLoop_ && liveHandler_) {
            RunLive(kEventSized);
          } else {
            Queue(kEventSized);
          }
        }
      }
      return FALSE;
    case kDpiChangedMessage:
      OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return TRUE;  // done here: the dialog manager scales nothing of its own on top
    case WM_ENTERSIZEMOVE:
      sizingLoop_ = true;
      return FALSE;
    case WM_EXITSIZEMOVE:
      sizingLoop_ = false;
      return FALSE;
    case WM_ACTIVATE:
      if (opened_ && LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
        Queue(kEventGainFocus);
      }
      return FALSE;  // the dialog manager saves and restores the focused control
    case WM_CLOSE:
      if (!closeRequested_) {
        closeRequested_ = true;
        Queue(kEventCloseDown);
      }
      return TRUE;  // the window stays until the program closes it
    case WM_COMMAND:
      HandleCommand(wParam, lParam);
      return TRUE;
    case WM_DESTROY:
      destroyed_ = true;
      if (!closeRequested_) {
        closeRequested_ = true;
        Queue(kEventCloseDown);
      }
      return FALSE;
    case WM_NCDESTROY:
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void Window::HandleCommand(WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<std::int32_t>(LOWORD(wParam));
  const auto code = HIWORD(wParam);
  if (lParam == 0) {
    // A menu item (code 0) or an accelerator (code 1).
    const auto found = menu_.find(id);
    if (code > 1 || found == menu_.end() || found->second.kind != kKindMenuItem) {
      return;
    }
    if (definition_.StandardAction(id) == kStandardClose) {
      // The ordinary close request, as the close box sends it.
      PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    }
    Queue(kEventAccepted, 0, id);
    return;
  }
  if (code == EN_KILLFOCUS && !Passes(id)) {
    Queue(kEventRejected, id);
  }
}

void Window::RunLive(std::int32_t number) {
  const EventRecord waiting = current_;
  current_ = EventRecord{number, 0, 0};
  try {
    liveHandler_();
  } catch (...) {
    current_ = waiting;
    throw;
  }
  current_ = waiting;
}

void Window::Queue(std::int32_t number, std::int32_t control, std::int32_t field) {
  try {
    events_.push_back(EventRecord{number, control, field});
  } catch (...) {
    // Out of memory inside a window procedure: the event is lost rather than the program.
    return;
  }
  // A message sent from another thread (a size change, an activation) is handled inside
  // GetMessage, which then goes on waiting for a posted message: wake it, so the loop reports
  // the event now rather than with the next input.
  if (waiting_ && window_ != nullptr) {
    PostMessageA(window_, WM_NULL, 0, 0);
  }
}

bool Window::PumpOne() {
  MSG message{};
  waiting_ = true;
  const BOOL got = GetMessageA(&message, nullptr, 0, 0);
  waiting_ = false;
  if (got == 0 || got == -1) {
    // The thread was told to quit (or the queue failed): treat it as a close request.
    if (!closeRequested_) {
      closeRequested_ = true;
      Queue(kEventCloseDown);
    }
    return false;
  }
  // Enter and Esc are dialog-manager keys for an OK and a Cancel button. Where the window has no
  // such button they would arrive as the menu commands with ids 1 and 2, so they go to the
  // focused control instead.
  if (message.message == WM_KEYDOWN &&
      (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN) && window_ != nullptr &&
      IsSelfOrChild(window_, message.hwnd) &&
      GetDlgItem(window_, message.wParam == VK_ESCAPE ? IDCANCEL : IDOK) == nullptr) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
  }
  if (window_ != nullptr && IsDialogMessageA(window_, &message) != FALSE) {
    return true;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
}

bool Window::Accept() {
  // The pass ends once the event of its last control has been handled.
  if (passActive_ && NextPassControl() == 0) {
    passActive_ = false;
  }
  for (;;) {
    if (closeDownTaken_) {
      return false;
    }
    if (!events_.empty()) {
      current_ = events_.front();
      events_.pop_front();
      closeDownTaken_ = current_.number == kEventCloseDown;
      return true;
    }
    if (destroyed_ || window_ == nullptr) {
      return false;
    }
    if (passActive_) {
      // Whatever has arrived is handled first; then the pass goes on without waiting.
      MSG message{};
      if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE &&
          message.message != WM_QUIT) {
        PumpOne();
      } else {
        NextPassEvent();
      }
      continue;
    }
    PumpOne();
  }
}

void Window::StartAcceptAll() {
  passActive_ = true;
  passNext_ = LowestControl();
}

void Window::SetCheck(std::int32_t control, std::function<bool(std::string_view)> check) {
  checks_[control] = std::move(check);
}

bool Window::Passes(std::int32_t control) const {
  const auto found = checks_.find(control);
  if (found == checks_.end() || !found->second) {
    return true;
  }
  const HWND handle = ControlHandle(control);
  return found->second(handle != nullptr ? WindowText(handle) : std::string());
}

std::int32_t Window::NextPassControl() const {
  const std::int32_t highest = HighestControl();
  for (std::int32_t n = std::max(passNext_, 1); n <= highest; ++n) {
    const std::int32_t type = ControlType(n);
    if (type != kKindNone && type != kKindMenu && type != kKindMenuItem) {
      return n;
    }
  }
  return 0;
}

void Window::NextPassEvent() {
  const std::int32_t n = NextPassControl();
  if (n == 0) {
    passActive_ = false;
    return;
  }
  passNext_ = n + 1;
  if (Passes(n)) {
    Queue(kEventAccepted, n);
  } else {
    passActive_ = false;
    Queue(kEventRejected, n);
  }
}

std::int32_t Window::LowestControl() const {
  std::int32_t lowest = 0;
  auto consider = [&lowest](std::int32_t n) { lowest = lowest == 0 ? n : std::min(lowest, n); };
  if (!menu_.empty()) {
    consider(menu_.begin()->first);
  }
  for (const std::int32_t n : ItemNumbers(window_)) {
    consider(n);
  }
  return lowest;
}

std::int32_t Window::HighestControl() const {
  std::int32_t highest = menu_.empty() ? 0 : menu_.rbegin()->first;
  for (const std::int32_t n : ItemNumbers(window_)) {
    highest = std::max(highest, n);
  }
  return highest;
}

std::int32_t Window::ControlType(std::int32_t control) const {
  if (const auto entry = menu_.find(control); entry != menu_.end()) {
    return entry->second.kind;
  }
  const HWND handle = ControlHandle(control);
  if (handle == nullptr) {
    return kKindNone;
  }
  const auto known = kinds_.find(control);
  return known != kinds_.end() ? known->second : KindOfWindow(handle);
}

HWND Window::ControlHandle(std::int32_t control) const {
  if (window_ == nullptr || control <= 0 || control >= kUnnumbered || menu_.contains(control)) {
    return nullptr;
  }
  return GetDlgItem(window_, control);
}

void Window::Select(std::int32_t control) const {
  if (const HWND handle = ControlHandle(control); handle != nullptr) {
    SetFocus(handle);
  }
}

void Window::Display(std::int32_t control) const {
  const std::vector<std::int32_t> all =
      control == 0 ? ItemNumbers(window_) : std::vector<std::int32_t>{control};
  for (const std::int32_t n : all) {
    const HWND handle = ControlHandle(n);
    if (handle == nullptr) {
      continue;
    }
    if (const auto value = values_.find(n); value != values_.end()) {
      SetWindowTextA(handle, value->second.c_str());
    }
    InvalidateRect(handle, nullptr, TRUE);
  }
}

void Window::SetValue(std::int32_t control, std::string value) {
  values_[control] = std::move(value);
}

std::int32_t Window::AdoptWindow(std::int32_t control, HWND window) {
  if (window_ == nullptr || menu_.contains(control)) {
    return LVX_ADOPT_NO_CONTROL;
  }
  // The control keeps its type whatever window it now has. Noted first: when that needs memory
  // that cannot be had, nothing has been adopted yet.
  if (const std::int32_t kind = ControlType(control); kind != kKindNone) {
    kinds_[control] = kind;
  }
  return LvxAdoptWindow(window_, control, window);
}

std::int32_t Window::ToPixelsX(std::int32_t units) const noexcept {
  return MulDiv(units, baseX_, 4);
}
std::int32_t Window::ToPixelsY(std::int32_t units) const noexcept {
  return MulDiv(units, baseY_, 8);
}
std::int32_t Window::FromPixelsX(std::int32_t pixels) const noexcept {
  return MulDiv(pixels, 4, baseX_);
}
std::int32_t Window::FromPixelsY(std::int32_t pixels) const noexcept {
  return MulDiv(pixels, 8, baseY_);
}
std::int32_t Window::ToUnitsX(std::int32_t pixels) const noexcept {
  return pixels_ ? pixels : FromPixelsX(pixels);
}
std::int32_t Window::ToUnitsY(std::int32_t pixels) const noexcept {
  return pixels_ ? pixels : FromPixelsY(pixels);
}

Placement Window::WindowPlacement() const {
  if (window_ == nullptr) {
    return {};
  }
  RECT outer{};
  GetWindowRect(window_, &outer);
  SIZE client = lastClient_;
  if (IsIconic(window_) == FALSE) {
    RECT rect{};
    GetClientRect(window_, &rect);
    client = SIZE{rect.right, rect.bottom};
  }
  return {ToUnitsX(outer.left), ToUnitsY(outer.top), ToUnitsX(client.cx), ToUnitsY(client.cy)};
}

Placement Window::ControlPlacement(std::int32_t control) const {
  const HWND handle = ControlHandle(control);
  if (handle == nullptr) {
    return {};
  }
  RECT rect{};
  GetWindowRect(handle, &rect);
  MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
  return {ToUnitsX(rect.left), ToUnitsY(rect.top), ToUnitsX(rect.right - rect.left),
          ToUnitsY(rect.bottom - rect.top)};
}

void Window::MoveControl(std::int32_t control, Coordinate x, Coordinate y, Coordinate width,
                         Coordinate height) const {
  const HWND handle = ControlHandle(control);
  if (handle == nullptr) {
    // Nothing to move, but the move still counts toward an open batch.
    MoveWindowDeferred(nullptr, 0, 0, 0, 0);
    return;
  }
  RECT rect{};
  GetWindowRect(handle, &rect);
  MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
  // Values not given stay exactly as they are, in pixels, without a round trip through units.
  auto pixelsX = [this](std::int32_t v) { return pixels_ ? v : ToPixelsX(v); };
  auto pixelsY = [this](std::int32_t v) { return pixels_ ? v : ToPixelsY(v); };
  MoveWindowDeferred(handle, x ? pixelsX(*x) : rect.left, y ? pixelsY(*y) : rect.top,
                     width ? pixelsX(*width) : rect.right - rect.left,
                     height ? pixelsY(*height) : rect.bottom - rect.top);
}

}  // namespace lvx::toolkit
