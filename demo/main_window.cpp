#include "main_window.h"

#include <cstring>

#include "events.h"
#include "handler_guard.h"
#include "host_adapter.h"
#include "lumivexctl/lumivexcontrol.h"
#include "main_window_fields.h"
#include "menu_dispatch.h"
#include "message_box.h"
#include "resize_adapter.h"
#include "resizer.h"
#include "window.h"
#include "window_definition.h"

namespace ostrada {
namespace {

namespace toolkit = lvx::toolkit;
namespace resize = lvx::resize;

constexpr std::int32_t kResizeMode = 1;

// Copies `name` into a 64-byte name field: at most 63 characters and a NUL.
template <std::size_t N>
void SetName(char (&field)[N], const char* name) {
  std::memset(field, 0, N);
  std::strncpy(field, name, N - 1);
}

void SetUpViewer(LUMIVEXCONTROL& viewer) {
  // Cleared: both handles 0; the names and switches are set below.
  viewer.HWINDOW = 0;
  viewer.LIBHANDLE = 0;
  SetName(viewer.LUMIVEXCLASSNAME, "Tarnvik_LUMIVEX_01");
  SetName(viewer.LUMIVEXDLLNAME, "Lumivex01.dll");
  viewer.TVHORZSCROLLBAR = 1;
  viewer.TVVERTSCROLLBAR = 1;
  viewer.TVPROPERTYPANEL = 1;
  viewer.TVNAVIGATIONPANEL = 1;
  viewer.TVVIEWPANEL = 1;
}

// Redisplays every control, except while the window is in its accept-all pass.
void REFRESHWINDOW(const toolkit::Window& window) {  // NOLINT(readability-identifier-naming)
  if (window.AcceptAllPass()) {
    return;
  }
  window.Display();
}

}  // namespace

void MAINWINDOW() {  // NOLINT(readability-identifier-naming)
  // 1. The procedure's state.
  LUMIVEXCONTROL VIEWER;  // NOLINT(readability-identifier-naming)
  SetUpViewer(VIEWER);
  resize::RESIZER RESIZER;  // NOLINT(readability-identifier-naming)
  bool windowOpened = false;
  bool windowInitialized = false;
  PageText pageText;

  // 2. The window definition; nothing on the screen yet.
  toolkit::WindowDefinition definition(GetModuleHandleA(nullptr), kMainWindowDefinition);
  toolkit::Window window(definition);
  toolkit::HostAdapter host(window);
  toolkit::ResizeAdapter layout(window);

  // 3. PREPAREWINDOW. The toolkit reports a window that cannot be opened; without a window there
  //    is nothing to place a viewer in, and the procedure ends.
  if (window.Open()) {
    windowOpened = true;
    resize::INITRESIZE(RESIZER, layout, kResizeMode);
    VIEWER.INIT(host, FIELD_HOSTREGION);
  }

  // 4. The event loop: the event table, then the menu commands. The same handling runs for the
  //    size changes of a frame drag, while the system's sizing loop holds the thread. An event
  //    whose handling runs out of memory is reported ("Not enough memory.") and the loop goes on.
  const auto handleEvent = [&] {
    toolkit::RunHandler(window.Handle(), [&] {
      switch (window.Event()) {
        case toolkit::kEventCloseDown:
          resize::KILLRESIZE(RESIZER);
          break;
        case toolkit::kEventOpenWindow:
          if (!windowInitialized) {
            REFRESHWINDOW(window);  // INITIALIZEWINDOW
            windowInitialized = true;
          }
          window.Select(FIELD_HOSTREGION);
          break;
        case toolkit::kEventGainFocus:
          if (!windowInitialized) {
            REFRESHWINDOW(window);  // INITIALIZEWINDOW
            windowInitialized = true;
          } else {
            REFRESHWINDOW(window);
          }
          break;
        case toolkit::kEventSized:
          resize::RESIZE(RESIZER, layout);
          REFRESHWINDOW(window);
          break;
        case toolkit::kEventRejected:
          toolkit::Beep();
          window.Display(window.EventControl());
          window.Select(window.EventControl());
          break;
        default:
          break;
      }
      DispatchCommand(window.Field(), VIEWER, pageText, window.Handle());
    });
  };
  window.SetLiveHandler(handleEvent);
  while (windowOpened && window.Accept()) {
    handleEvent();
  }
  window.SetLiveHandler(nullptr);

  // 5. ENDPROCEDURE: the viewer goes while its window still exists, then the window.
  if (windowOpened) {
    VIEWER.KILL();
    window.Close();
  }
  definition.Release();
}

}  // namespace ostrada
