// The window's fonts and dialog units for its DPI (see window.h): the font of the definition made
// for the DPI where the system's does not fit it, and the answer to a change of DPI.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "window.h"

namespace lvx::toolkit {
namespace {

// The DPI the system shows `window` at: GetDpiForWindow where the system has it (looked up, as
// older systems lack it), else the window's device context's.
int DpiOf(HWND window) {
  const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
  // The named function's type; through void*, as one function type may not be cast to another.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  const auto forWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(reinterpret_cast<void*>(found));
  int dpi = forWindow != nullptr ? static_cast<int>(forWindow(window)) : 0;
  if (dpi <= 0) {
    const HDC dc = GetDC(window);
    dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    ReleaseDC(window, dc);
  }
  return dpi;
}

// What the toolkit needs to know of a font: pixels per 4 horizontal and per 8 vertical dialog
// units, as the dialog manager measures them (the average width of the 52 letters, rounded, and
// the font's height); its character height without internal leading; whether it is an outline
// (TrueType or vector) font, which has every size.
struct FontMeasure {
  SIZE base{0, 0};
  int em = 0;
  bool outline = false;
};

FontMeasure Measure(HWND window, HFONT font) {
  FontMeasure measure;
  const HDC dc = GetDC(window);
  if (dc == nullptr) {
    return measure;
  }
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  SIZE letters{};
  constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (GetTextMetricsA(dc, &metrics) != FALSE &&
      GetTextExtentPoint32A(dc, kLetters, 52, &letters) != FALSE) {
    measure.base = SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
    measure.em = metrics.tmHeight - metrics.tmInternalLeading;
    measure.outline = (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
  }
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return measure;
}

}  // namespace

HFONT Window::Font() const noexcept {
  if (font_) {
    return font_.get();
  }
  return window_ != nullptr ? reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0))
                            : nullptr;
}

bool Window::UseFontFor(int dpi) {
  std::optional<LOGFONTW> definitionFont = definition_.FontAt(dpi);
  if (!definitionFont) {
    return false;
  }
  std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteFont> made(
      CreateFontIndirectW(&*definitionFont));
  FontMeasure measure = made ? Measure(window_, made.get()) : FontMeasure{};
  if (made && !measure.outline) {
    // A bitmap face has a few sizes only (MS Sans Serif stays at a smaller size above 144 dpi,
    // with other proportions): the system's dialog face, an outline face of the same units at
    // 96 dpi, takes its place.
    constexpr wchar_t kDialogFace[] = L"MS Shell Dlg";
    std::copy(std::begin(kDialogFace), std::end(kDialogFace), definitionFont->lfFaceName);
    made.reset(CreateFontIndirectW(&*definitionFont));
    measure = made ? Measure(window_, made.get()) : FontMeasure{};
  }
  const SIZE base = measure.base;
  if (base.cx <= 0 || base.cy <= 0) {
    return false;
  }
  // Every child keeps its place and size in dialog units: read in the old units, placed in the
  // new (through whole units, as the dialog manager and the toolkit's moves place them).
  const auto x = [&](LONG pixels) { return MulDiv(MulDiv(pixels, 4, baseX_), base.cx, 4); };
  const auto y = [&](LONG pixels) { return MulDiv(MulDiv(pixels, 8, baseY_), base.cy, 8); };
  std::vector<HWND> children;
  for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  for (const HWND child : children) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(child, nullptr, x(rect.left), y(rect.top), x(rect.right - rect.left),
                 y(rect.bottom - rect.top), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
  }
  baseX_ = base.cx;
  baseY_ = base.cy;
  font_ = std::move(made);  // the children have the new font before the old one goes
  return true;
}

void Window::FitFontToDpi() {
  const int dpi = DpiOf(window_);
  const std::optional<LOGFONTW> asked = definition_.FontAt(dpi);
  auto* const system = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
  if (dpi <= 0 || !asked || system == nullptr) {
    return;
  }
  if (std::abs(Measure(window_, system).em + asked->lfHeight) <= 1) {
    return;  // the system's font has the size asked for
  }
  RECT client{};
  GetClientRect(window_, &client);
  const int oldX = baseX_;
  const int oldY = baseY_;
  if (!UseFontFor(dpi)) {
    return;
  }
  // The client area keeps its size in dialog units.
  RECT outer{0, 0, MulDiv(MulDiv(client.right, 4, oldX), baseX_, 4),
             MulDiv(MulDiv(client.bottom, 8, oldY), baseY_, 8)};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)),
                     GetMenu(window_) != nullptr ? TRUE : FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::OnDpiChanged(int dpi, const RECT* suggested) {
  if (window_ == nullptr || dpi <= 0) {
    return;
  }
  UseFontFor(dpi);
  if (suggested != nullptr) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace lvx::toolkit
