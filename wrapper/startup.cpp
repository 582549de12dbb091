// Start-up and tear-down of the viewer: INIT, SETVIEWCONTROLPROPERTIES, KILL, and the object's
// cleared initial state.
#include <windows.h>

#include <array>
#include <cstring>
#include <span>
#include <string>

#include "lumivexctl/lumivexcontrol.h"
#include "text_field.h"
#include "viewer_channel.h"

namespace {

constexpr DWORD kViewerStyle = WS_POPUP | WS_BORDER;  // hidden until shown, adopted as a child

// Coordinates travel to CreateWindowExA as signed 16-bit values widened to 32 bits.
int AsShortCoordinate(std::int32_t value) noexcept { return static_cast<std::int16_t>(value); }

void ShowHostMessage(LvxHostWindow& host, const char* prefix, const char* name) {
  const std::string text = std::string(prefix) + name;
  host.ShowMessage(text.c_str());
}

// The viewer window INIT created, until the host reports it as the placeholder's window. A window
// the host did not adopt (no such control, a placeholder the host cannot reach, or INIT cut short)
// is destroyed when INIT ends: it would outlive the library that KILL unloads, and the next
// message to it would run code that is gone.
class CreatedViewer {
 public:
  // `field` is the object's HWINDOW: a destroyed window is not left in it.
  CreatedViewer(HWND window, std::int32_t& field) noexcept : window_(window), field_(field) {}
  ~CreatedViewer() {
    if (window_ != nullptr && !adopted_) {
      if (field_ == lvx::ToHandleValue(window_)) {
        field_ = 0;
      }
      DestroyWindow(window_);
    }
  }
  CreatedViewer(const CreatedViewer&) = delete;
  CreatedViewer& operator=(const CreatedViewer&) = delete;
  CreatedViewer(CreatedViewer&&) = delete;
  CreatedViewer& operator=(CreatedViewer&&) = delete;

  [[nodiscard]] HWND Window() const noexcept { return window_; }
  // The host reported `reported` as the placeholder's window: is that this window?
  [[nodiscard]] bool IsAdoptedAs(std::int32_t reported) const noexcept {
    return window_ != nullptr && reported == lvx::ToHandleValue(window_);
  }
  // INIT has finished with the window adopted: it is the object's now.
  void Keep() noexcept { adopted_ = true; }

 private:
  HWND window_;
  std::int32_t& field_;
  bool adopted_ = false;
};

}  // namespace

LUMIVEXCONTROL::LUMIVEXCONTROL() noexcept = default;

LUMIVEXCONTROL::~LUMIVEXCONTROL() = default;

std::int32_t LUMIVEXCONTROL::INIT(LvxHostWindow& HOSTWINDOW, std::int16_t HOSTCONTROL) {
  lvx::CopyCut(lvx::kViewerLibraryName, std::span<char>(LUMIVEXDLLNAME));
  lvx::CopyCut(lvx::kViewerClassName, std::span<char>(LUMIVEXCLASSNAME));

  LIBHANDLE = lvx::ToAddressValue(LoadLibraryA(LUMIVEXDLLNAME));
  if (LIBHANDLE == 0) {
    ShowHostMessage(HOSTWINDOW, "Error Loading ", LUMIVEXDLLNAME);
    return 0;
  }

  WNDCLASSA scratch{};
  const HINSTANCE program = lvx::ToModule(HOSTWINDOW.InstanceHandle());
  if (GetClassInfoA(program, LUMIVEXCLASSNAME, &scratch) == FALSE) {
    ShowHostMessage(HOSTWINDOW, "Error Getting Class Info ", LUMIVEXCLASSNAME);
    return 0;
  }

  HOSTWINDOW.SetPixelUnits(1);
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  HOSTWINDOW.ControlPosition(HOSTCONTROL, &x, &y, &width, &height);
  const HWND parent = lvx::ToHwnd(HOSTWINDOW.ClientWindow());
  const HINSTANCE instance = lvx::ToModule(HOSTWINDOW.InstanceHandle());

  std::array<char, 1> title{};
  CreatedViewer created(
      CreateWindowExA(0, LUMIVEXCLASSNAME, title.data(), kViewerStyle, AsShortCoordinate(x),
                      AsShortCoordinate(y), AsShortCoordinate(width), AsShortCoordinate(height),
                      parent, nullptr, instance, nullptr),
      HWINDOW);

  HOSTWINDOW.SetControlWindow(HOSTCONTROL, lvx::ToHandleValue(created.Window()));
  HWINDOW = HOSTWINDOW.ControlWindow(HOSTCONTROL);
  if (HWINDOW != 0) {
    ShowWindow(lvx::ToHwnd(HWINDOW), SW_SHOWNORMAL);
    UpdateWindow(lvx::ToHwnd(HWINDOW));
  }
  SETVIEWCONTROLPROPERTIES();
  HOSTWINDOW.SetPixelUnits(0);
  if (created.IsAdoptedAs(HWINDOW)) {
    created.Keep();
  }
  return HWINDOW;
}

void LUMIVEXCONTROL::SETVIEWCONTROLPROPERTIES() {
  std::int32_t options = 0;
  if (TVVERTSCROLLBAR != 0) {
    options += lvx::kViewVerticalScrollBar;
  }
  if (TVHORZSCROLLBAR != 0) {
    options += lvx::kViewHorizontalScrollBar;
  }
  if (TVVIEWPANEL != 0) {
    options += lvx::kViewViewPanel;
  }
  if (TVNAVIGATIONPANEL != 0) {
    options += lvx::kViewNavigationPanel;
  }
  if (TVPROPERTYPANEL != 0) {
    options += lvx::kViewPropertyPanel;
  }
  lvx::SendCommand(HWINDOW, lvx::VCMD_VIEWOPTIONS, options);
}

void LUMIVEXCONTROL::KILL() {
  // The window first: its class and window procedure live in the library.
  if (HWINDOW != 0) {
    DestroyWindow(lvx::ToHwnd(HWINDOW));
  }
  FreeLibrary(lvx::ToModule(LIBHANDLE));
}
