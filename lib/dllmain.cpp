// Entry point of lumivexctl.dll. Loading the library announces the class (its operation table and
// field list) to clients; unloading withdraws it. Threads need nothing.
#include <windows.h>

#include "class_records.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      lvx::AnnounceClass();
      break;
    case DLL_PROCESS_DETACH:
      lvx::WithdrawClass();
      break;
    default:
      break;
  }
  return TRUE;
}
