// A Lumivex01.dll that registers the viewer's window class, but whose windows refuse to be
// created (WM_NCCREATE answers FALSE), so CreateWindowExA fails in INIT. For the adoption test.
#include <windows.h>

namespace {

constexpr const char* kViewerClass = "Tarnvik_LUMIVEX_01";

LRESULT CALLBACK RefusingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    return FALSE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    WNDCLASSA klass{};
    klass.style = CS_GLOBALCLASS;
    klass.lpfnWndProc = RefusingProc;
    klass.hInstance = instance;
    klass.lpszClassName = kViewerClass;
    return RegisterClassA(&klass) != 0 ? TRUE : FALSE;
  }
  if (reason == DLL_PROCESS_DETACH) {
    UnregisterClassA(kViewerClass, instance);
  }
  return TRUE;
}
