/* Keeps a Wine session up for a whole test run in the emulated PC (scripts/emulated-pc/guest.sh
   starts it before the tests): a hidden window and a message loop. It prints "ready" once its
   window exists, or a line starting "failed" with the reason. */
#include <stdio.h>
#include <windows.h>

int main(void) {
  WNDCLASSA windowClass = {0};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "LvxKeepSession";
  if (!RegisterClassA(&windowClass)) {
    printf("failed: RegisterClassA, error %lu\n", GetLastError());
    return 1;
  }
  /* The desktop process first, waited for as long as it takes: a window made before it is up
     starts it too, but waits for it only a short time and fails when it is slower. */
  STARTUPINFOA startup = {0};
  PROCESS_INFORMATION desktop = {0};
  char commandLine[] = "C:\\windows\\system32\\explorer.exe /desktop";
  startup.cb = sizeof startup;
  if (CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &desktop)) {
    DWORD waited = WaitForInputIdle(desktop.hProcess, 600000);
    printf("desktop process: %s\n", waited == 0 ? "idle" : "not idle (ended, or already running)");
    CloseHandle(desktop.hThread);
    CloseHandle(desktop.hProcess);
  } else {
    printf("desktop process: not started (error %lu)\n", GetLastError());
  }
  /* Never shown: it only keeps this program a user of the desktop. */
  HWND window = CreateWindowA("LvxKeepSession", "keep session", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                              NULL, NULL, windowClass.hInstance, NULL);
  if (!window) {
    printf("failed: no window (error %lu); the desktop process was not up in time\n",
           GetLastError());
    fflush(stdout);
    /* Stay a while, so that the desktop process this start asked for finishes starting. */
    Sleep(60000);
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    DispatchMessageA(&message);
  }
  return 0;
}
