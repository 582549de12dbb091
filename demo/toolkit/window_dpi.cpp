// The window's answer to a change of DPI (see window.h): its font and dialog units for the new
// DPI, its controls kept in place in dialog units, and the size the system suggests.
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "window.h"

namespace lvx::toolkit {
namespace {

// Pixels per 4 horizontal and per 8 vertical dialog units of `font`, as the dialog manager
// measures them: the average width of the 52 letters, rounded, and the font's height.
SIZE BaseUnits(HWND window, HFONT font) {
  SIZE base{0, 0};
  const HDC dc = GetDC(window);
  if (dc == nullptr) {
    return base;
  }
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  SIZE letters{};
  constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (GetTextMetricsA(dc, &metrics) != FALSE &&
      GetTextExtentPoint32A(dc, kLetters, 52, &letters) != FALSE) {
    base = SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
  }
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return base;
}

}  // namespace

HFONT Window::Font() const noexcept {
  if (font_) {
    return font_.get();
  }
  return window_ != nullptr ? reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0))
                            : nullptr;
}

void Window::OnDpiChanged(int dpi, const RECT* suggested) {
  if (window_ == nullptr || dpi <= 0) {
    return;
  }
  const std::optional<LOGFONTW> definitionFont = definition_.FontAt(dpi);
  std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteFont> made(
      definitionFont ? CreateFontIndirectW(&*definitionFont) : nullptr);
  const SIZE base = made ? BaseUnits(window_, made.get()) : SIZE{0, 0};
  if (base.cx > 0 && base.cy > 0) {
    // Every child keeps its place and size in dialog units: pixels scale with the units.
    const int oldX = baseX_;
    const int oldY = baseY_;
    std::vector<HWND> children;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    for (const HWND child : children) {
      RECT rect{};
      GetWindowRect(child, &rect);
      MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
      SetWindowPos(child, nullptr, MulDiv(rect.left, base.cx, oldX),
                   MulDiv(rect.top, base.cy, oldY), MulDiv(rect.right - rect.left, base.cx, oldX),
                   MulDiv(rect.bottom - rect.top, base.cy, oldY),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
    }
    baseX_ = base.cx;
    baseY_ = base.cy;
    font_ = std::move(made);  // the children have the new font before the old one goes
  }
  if (suggested != nullptr) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace lvx::toolkit
