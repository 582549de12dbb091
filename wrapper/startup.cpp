// Start-up and tear-down of the viewer: INIT, SETVIEWCONTROLPROPERTIES, KILL, and the object's
// cleared initial state.
#include <windows.h>

#include <array>
#include <span>
#include <string_view>

#include "init_scope.h"
#include "lumivexctl/lumivexcontrol.h"
#include "operation_guard.h"
#include "released_viewers.h"
#include "text_field.h"
#include "viewer_channel.h"

namespace {

constexpr DWORD kViewerStyle = WS_POPUP | WS_BORDER;  // hidden until shown, adopted as a child

// Coordinates travel to CreateWindowExA as signed 16-bit values widened to 32 bits.
int AsShortCoordinate(std::int32_t value) noexcept { return static_cast<std::int16_t>(value); }

// INIT's messages: a fixed text directly followed by one of the two name fields (at most 63
// characters). Formed in a buffer of the call, so a failed start is reported also when no memory
// can be had.
void ShowHostMessage(LvxHostWindow& host, std::string_view prefix, const char* name) {
  std::array<char, 32 + sizeof LUMIVEXCONTROL::LUMIVEXDLLNAME> text{};
  const std::size_t used = lvx::CopyCut(prefix, text);
  lvx::CopyCut(name, std::span<char>(text).subspan(used));
  host.ShowMessage(text.data());
}

}  // namespace

LUMIVEXCONTROL::LUMIVEXCONTROL() noexcept = default;

LUMIVEXCONTROL::~LUMIVEXCONTROL() { lvx::ForgetReleased(this); }

std::int32_t LUMIVEXCONTROL::INIT(LvxHostWindow& HOSTWINDOW, std::int16_t HOSTCONTROL) {
  // SETVIEWCONTROLPROPERTIES may be overridden and throw; the host's services are noexcept.
  // Started again: the next KILL releases what this INIT takes.
  lvx::ForgetReleased(this);
  return lvx::AnswerGuarded(HWINDOW, [&]() -> std::int32_t {
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

    lvx::PixelUnits pixels(HOSTWINDOW);
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    HOSTWINDOW.ControlPosition(HOSTCONTROL, &x, &y, &width, &height);
    const HWND parent = lvx::ToHwnd(HOSTWINDOW.ClientWindow());
    const HINSTANCE instance = lvx::ToModule(HOSTWINDOW.InstanceHandle());

    std::array<char, 1> title{};
    lvx::CreatedViewer created(
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
    pixels.Off();
    if (created.IsAdoptedAs(HWINDOW)) {
      created.Keep();
    }
    return HWINDOW;
  });
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
  // Once per INIT: a second KILL would destroy whatever window has the old handle value now and
  // release a library reference the object no longer holds. Marked before the window goes, so a
  // KILL reached again while the window is being destroyed does nothing either.
  if (!lvx::MarkReleased({this, HWINDOW, LIBHANDLE})) {
    return;
  }
  // The window first: its class and window procedure live in the library.
  if (HWINDOW != 0) {
    DestroyWindow(lvx::ToHwnd(HWINDOW));
  }
  FreeLibrary(lvx::ToModule(LIBHANDLE));
}
