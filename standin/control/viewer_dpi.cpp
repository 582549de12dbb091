#include "viewer_dpi.h"

namespace lvx::standin {
namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A function of user32 that older systems lack; null there. user32 is loaded in every process
// that has windows, so the module handle stays valid.
template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user = GetModuleHandleA("user32.dll");
  const FARPROC found = user != nullptr ? GetProcAddress(user, name) : nullptr;
  // GetProcAddress answers a generic function pointer; the named function has this type. (Through
  // void*, as the compiler does not let one function type be cast to another directly.)
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// The DPI of the screen's device context: the system DPI, what the system's own metrics and fonts
// are given for.
int ScreenDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto forWindow = User32Function<DpiForWindowFunction>("GetDpiForWindow");
  if (forWindow != nullptr && window != nullptr) {
    const auto dpi = static_cast<int>(forWindow(window));
    if (dpi > 0) {
      return dpi;
    }
  }
  const WindowDc dc(window);
  const int dpi = dc.Get() != nullptr ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : kBaseDpi;
}

int ScaleToDpi(int value, int dpi) { return MulDiv(value, dpi, kBaseDpi); }

int SystemMetricForDpi(int index, int dpi) {
  static const auto forDpi = User32Function<MetricsForDpiFunction>("GetSystemMetricsForDpi");
  if (forDpi != nullptr) {
    const int value = forDpi(index, static_cast<UINT>(dpi));
    if (value > 0) {
      return value;
    }
  }
  return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

GdiObject<HFONT> MakePanelFont(int dpi) {
  static const auto forDpi = User32Function<ParametersForDpiFunction>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  bool found = forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                           static_cast<UINT>(dpi)) != FALSE;
  if (!found &&
      SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE) {
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    found = true;
  }
  if (!found) {
    // No system answer at all: the stock GUI face, 8 points at `dpi`.
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont,
               &metrics.lfMessageFont);
    metrics.lfMessageFont.lfHeight = -MulDiv(8, dpi, 72);
  }
  return GdiObject<HFONT>(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace lvx::standin
