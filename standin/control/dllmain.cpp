// Entry point of the stand-in Lumivex01.dll: the viewer window class exists while it is loaded.
#include <windows.h>

#include "message_log.h"
#include "viewer_window.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      return lvx::standin::RegisterViewerClass(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      lvx::standin::UnregisterViewerClass(instance);
      lvx::standin::LogDetach();
      break;
    default:
      break;
  }
  return TRUE;
}
