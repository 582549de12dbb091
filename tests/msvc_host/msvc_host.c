/* A host program of Microsoft's C ABI: compiled with clang for *-pc-windows-msvc, linked with
   lld-link against lib/lumivexctl.lib and the Windows DLLs alone (no C runtime of any compiler).
   It opens a dialog with a placeholder and drives one viewer through the C interface, checking
   every answer: INIT (first over a missing placeholder, then over the real one), load, page
   count, text length and text (guard bytes around the field), find, zoom, printing on a printer,
   KILL (twice). The stand-in's test interface, found with GetProcAddress, tells the view state.
   Environment: LVX_HOST_PDF a 3-page test document ("Sample page N of 3"), LVX_HOST_PRINTER the
   printer. Prints one line per check and "job NAME" (the print job's name); exits with the
   number of failed checks. */
#include "win32_decls.h"

#include "lumivexctl/lumivexctl_c.h"

enum { kPlaceholder = 27, kGuard = 16, kFieldRoom = 4096 };

static HANDLE out;
static int failures;
static char line[600];
static char pdf[MAX_PATH];
static char printer[256];
static char field[kGuard + kFieldRoom + kGuard];
/* The dialog template, DWORD-aligned. */
static DWORD dialogTemplate[64];

static void Say(const char* text) {
  DWORD written = 0;
  WriteFile(out, text, (DWORD)lstrlenA(text), &written, NULL);
}

static void Check(int ok, const char* what, long value) {
  wsprintfA(line, "%s %s: %ld\r\n", ok ? "ok  " : "FAIL", what, value);
  Say(line);
  if (!ok) {
    ++failures;
  }
}

static int StartsWith(const char* text, const char* prefix) {
  while (*prefix != '\0') {
    if (*text++ != *prefix++) {
      return 0;
    }
  }
  return 1;
}

static WORD* PutText(WORD* at, const char* text) {
  do {
    *at++ = (WORD)(unsigned char)*text;
  } while (*text++ != '\0');
  return at;
}

/* A dialog of 200 x 140 units with one static frame, id kPlaceholder, as the placeholder. */
static HWND OpenDialog(void) {
  DLGTEMPLATE* dialog = (DLGTEMPLATE*)dialogTemplate;
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  dialog->dwExtendedStyle = 0;
  dialog->cdit = 1;
  dialog->x = 10;
  dialog->y = 10;
  dialog->cx = 200;
  dialog->cy = 140;
  WORD* at = (WORD*)(dialog + 1);
  *at++ = 0; /* no menu */
  *at++ = 0; /* the dialog class */
  at = PutText(at, "MSVC host");
  at = (WORD*)(((uintptr_t)at + 3) & ~(uintptr_t)3);
  DLGITEMTEMPLATE* item = (DLGITEMTEMPLATE*)at;
  item->style = WS_CHILD | WS_VISIBLE | SS_BLACKFRAME;
  item->dwExtendedStyle = 0;
  item->x = 10;
  item->y = 10;
  item->cx = 180;
  item->cy = 120;
  item->id = kPlaceholder;
  at = (WORD*)(item + 1);
  *at++ = 0xFFFF;
  *at++ = 0x0082; /* STATIC */
  *at++ = 0;      /* no text */
  *at++ = 0;      /* no creation data */
  return CreateDialogIndirectParamA(GetModuleHandleA(NULL), dialog, NULL, NULL, 0);
}

/* The stand-in's view state: its leading fields, in a record large enough for the whole. */
typedef struct ViewState {
  int32_t viewOptions;
  int32_t pageCount;
  int32_t currentPage;
  int32_t zoomMode;
  char rest[1024];
} ViewState;
typedef int32_t(__cdecl* GetViewState)(void* window, ViewState* state);

static int32_t ZoomMode(int32_t window) {
  static ViewState state;
  GetViewState get = (GetViewState)(void*)GetProcAddress(GetModuleHandleA("Lumivex01.dll"),
                                                         "LvxStandinGetViewState");
  if (get == NULL || get((void*)(intptr_t)window, &state) == 0) {
    return -100;
  }
  return state.zoomMode;
}

static int Run(void) {
  int32_t window = -1;
  int32_t result = 0;
  int guards = 1;

  if (GetEnvironmentVariableA("LVX_HOST_PDF", pdf, sizeof pdf) == 0 ||
      GetEnvironmentVariableA("LVX_HOST_PRINTER", printer, sizeof printer) == 0) {
    Say("set LVX_HOST_PDF and LVX_HOST_PRINTER\r\n");
    return 1;
  }
  HWND dialog = OpenDialog();
  Check(dialog != NULL, "dialog opened", (long)(intptr_t)dialog);
  LvxViewer* viewer = lvx_create();
  Check(viewer != NULL, "viewer created", viewer != NULL);
  if (dialog == NULL || viewer == NULL) {
    return failures;
  }
  lvx_set_switch(viewer, LVX_SWITCH_VERTICAL_SCROLL_BAR, 1);

  result = lvx_init(viewer, dialog, 99, &window);
  Check(result == LVX_ERROR_PLACEHOLDER && window == 0,
        "INIT over a missing placeholder answers LVX_ERROR_PLACEHOLDER", result);
  lvx_kill(viewer);
  Check(GetModuleHandleA("Lumivex01.dll") == NULL, "KILL after the failed INIT unloads", 0);

  result = lvx_init(viewer, dialog, kPlaceholder, &window);
  Check(result == LVX_OK, "INIT", result);
  Check(window != 0 && (HWND)(intptr_t)window == GetDlgItem(dialog, kPlaceholder),
        "the viewer window is the placeholder's", window);
  Check(lvx_window(viewer) == window, "lvx_window", lvx_window(viewer));

  result = lvx_load_file(viewer, 0, pdf, -1);
  Check(result == 3, "LOADFILE answers the pages", result);
  Check(lvx_get_page_count(viewer) == 3, "GETPAGECOUNT", lvx_get_page_count(viewer));
  int32_t length = lvx_get_text_length(viewer, 0, 2);
  Check(length >= 18 && length < kFieldRoom - 8, "GETTEXTLENGTH of page 2", length);
  if (length <= 0 || length >= kFieldRoom - 8) {
    return failures;
  }
  for (int i = 0; i < (int)sizeof field; ++i) {
    field[i] = '#';
  }
  lvx_get_text(viewer, field + kGuard, length + 4, 0, 2);
  for (int i = 0; i < kGuard; ++i) {
    guards = guards && field[i] == '#' && field[kGuard + length + 4 + i] == '#';
  }
  Check(guards, "GETTEXT writes nothing outside the field", length + 4);
  Check(StartsWith(field + kGuard, "Sample page 2 of 3"), "GETTEXT delivers page 2", length);
  Check(field[kGuard + length] == ' ' && field[kGuard + length + 3] == ' ',
        "GETTEXT pads the field with spaces", length);
  Check(lvx_get_text_length(viewer, 1, 0) > 2 * length, "GETTEXTLENGTH of the whole document",
        lvx_get_text_length(viewer, 1, 0));

  result = lvx_find_text(viewer, "of 3", -1, 1, 1, 1, 0);
  Check(result == 3, "FINDTEXT counts one per page", result);
  lvx_set_zoom(viewer, 46);
  Check(ZoomMode(window) == 2, "SETZOOM 46 shows the whole page", ZoomMode(window));
  lvx_set_zoom(viewer, 45);
  Check(ZoomMode(window) == 1, "SETZOOM 45 fits the page width", ZoomMode(window));

  lvx_print_to_printer(viewer, printer, -1, 0, 2, 0, 2);
  const char* name = pdf + lstrlenA(pdf);
  while (name > pdf && name[-1] != '\\') {
    --name;
  }
  wsprintfA(line, "job %s\r\n", name);
  Say(line);

  lvx_kill(viewer);
  Check(!IsWindow((HWND)(intptr_t)window), "KILL destroys the viewer window", window);
  Check(GetModuleHandleA("Lumivex01.dll") == NULL, "KILL unloads the viewer library", 0);
  lvx_kill(viewer);
  Check(lvx_window(viewer) == window, "a second KILL changes nothing", lvx_window(viewer));
  lvx_destroy(viewer);
  DestroyWindow(dialog);
  return failures;
}

/* The entry point: no C runtime starts this program. */
void __cdecl HostMain(void) {
  out = GetStdHandle(STD_OUTPUT_HANDLE);
  ExitProcess((UINT)Run());
}
