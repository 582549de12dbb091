/* The Windows declarations the host program uses, written out as the Windows SDK declares them:
   this machine has no SDK, and MinGW-w64's headers do not compile for the MSVC targets. The
   functions are the real ones of kernel32.dll and user32.dll. */
#ifndef LUMIVEX_TESTS_MSVC_HOST_WIN32_DECLS_H
#define LUMIVEX_TESTS_MSVC_HOST_WIN32_DECLS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI __stdcall
#define MAX_PATH 260
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define WS_POPUP 0x80000000UL
#define WS_CHILD 0x40000000UL
#define WS_VISIBLE 0x10000000UL
#define WS_CAPTION 0x00C00000UL
#define WS_SYSMENU 0x00080000UL
#define SS_BLACKFRAME 0x00000007UL

typedef unsigned long DWORD;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HMODULE;
typedef intptr_t(WINAPI* FARPROC)(void);
typedef intptr_t(WINAPI* DLGPROC)(HWND, UINT, uintptr_t, intptr_t);

#pragma pack(push, 2)
typedef struct {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
} DLGTEMPLATE;
typedef struct {
  DWORD style;
  DWORD dwExtendedStyle;
  short x;
  short y;
  short cx;
  short cy;
  WORD id;
} DLGITEMTEMPLATE;
#pragma pack(pop)

__declspec(dllimport) void WINAPI ExitProcess(UINT exitCode);
__declspec(dllimport) DWORD WINAPI
    GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);
__declspec(dllimport) HMODULE WINAPI GetModuleHandleA(const char* name);
__declspec(dllimport) FARPROC WINAPI GetProcAddress(HMODULE module, const char* name);
__declspec(dllimport) HANDLE WINAPI GetStdHandle(DWORD which);
__declspec(dllimport) BOOL WINAPI
    WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped);
__declspec(dllimport) int WINAPI lstrlenA(const char* text);
__declspec(dllimport) HWND WINAPI
    CreateDialogIndirectParamA(HMODULE instance, const DLGTEMPLATE* dialog, HWND owner,
                               DLGPROC procedure, intptr_t parameter);
__declspec(dllimport) BOOL WINAPI DestroyWindow(HWND window);
__declspec(dllimport) HWND WINAPI GetDlgItem(HWND dialog, int id);
__declspec(dllimport) BOOL WINAPI IsWindow(HWND window);
__declspec(dllimport) int __cdecl wsprintfA(char* out, const char* format, ...);

#endif
