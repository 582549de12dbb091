/* Uses lumivexctl.dll from C, loaded at run time, through its two exported records only:
 *   LUMIVEXCONTROL_FIELDS      the field list: each field's name, type, offset and size
 *   LUMIVEXCONTROL_OPERATIONS  the operation table: 16 entry points (__thiscall in a 32-bit
 *                              program, the one calling convention in a 64-bit one), in order:
 *     0 INIT, 1 KILL, 2 LOADFILE, 3 APPENDFILE, 4 CLEARVIEW, 5 SHOWABOUT, 6 DOCUMENTPROPERTIES,
 *     7 SETZOOM, 8 DISABLEPRINT, 9 FINDTEXT, 10 _PRINT, 11 PRINTTOPRINTER,
 *     12 SETVIEWCONTROLPROPERTIES, 13 GETPAGECOUNT, 14 GETTEXTLENGTH, 15 GETTEXT
 * An object is a cleared block of the listed size whose first pointer-sized bytes hold the table
 * pointer. INIT takes a host window object: a pointer to a table of seven services, with the same
 * calling convention. The same source builds for 32-bit and 64-bit Windows. Of the package it
 * includes only the C helper lumivexctl/adopt_window.h, which places the viewer window.
 *
 *   runtime_loading.exe FILE.pdf     prints "pages: N"; exit code 0 when N > 0 */
#include <lumivexctl/adopt_window.h>
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN64)
#define THISCALL /* 64-bit Windows has one calling convention */
#else
#define THISCALL __attribute__((thiscall))
#endif

/* The parameter records, as laid out by the library (plain C layout, natural alignment). */
typedef struct {
  const char* data;
  int32_t length;
} LvxText;
typedef struct {
  LvxText text;
  uint8_t omitted;
} LvxOptionalText;
typedef struct {
  const char* name;
  int32_t type;
  int32_t offset;
  int32_t size;
} LvxFieldInfo;
typedef struct {
  int32_t count;
  int32_t objectSize;
  const LvxFieldInfo* fields;
} LvxFieldList;

/* The host window: seven services, in this order. */
typedef struct Host Host;
typedef struct {
  void(THISCALL* setPixelUnits)(Host*, uint8_t);
  void(THISCALL* controlPosition)(Host*, int16_t, int32_t*, int32_t*, int32_t*, int32_t*);
  int32_t(THISCALL* clientWindow)(Host*);
  intptr_t(THISCALL* instanceHandle)(Host*); /* an address: as wide as a pointer */
  int32_t(THISCALL* setControlWindow)(Host*, int16_t, int32_t);
  int32_t(THISCALL* controlWindow)(Host*, int16_t);
  void(THISCALL* showMessage)(Host*, const char*);
} HostServices;
struct Host {
  const HostServices* services;
  HWND window;
};

enum { kPlaceholder = 27 };

static RECT ChildRect(HWND parent, HWND child) {
  RECT rect = {0, 0, 0, 0};
  if (child != NULL) {
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, (POINT*)&rect, 2);
  }
  return rect;
}

static void THISCALL SetPixelUnits(Host* self, uint8_t on) { (void)self, (void)on; }

static void THISCALL ControlPosition(Host* self, int16_t id, int32_t* x, int32_t* y, int32_t* w,
                                     int32_t* h) {
  RECT rect = ChildRect(self->window, GetDlgItem(self->window, id));
  *x = rect.left, *y = rect.top, *w = rect.right - rect.left, *h = rect.bottom - rect.top;
}

static int32_t THISCALL ClientWindow(Host* self) { return (int32_t)(intptr_t)self->window; }

static intptr_t THISCALL InstanceHandle(Host* self) {
  (void)self;
  return (intptr_t)GetModuleHandleA(NULL);
}

/* The viewer window takes the placeholder's place (the package's adoption helper). */
static int32_t THISCALL SetControlWindow(Host* self, int16_t id, int32_t value) {
  return LvxAdoptWindow(self->window, id, (HWND)(intptr_t)value);
}

static int32_t THISCALL ControlWindow(Host* self, int16_t id) {
  return (int32_t)(intptr_t)GetDlgItem(self->window, id);
}

static void THISCALL ShowMessage(Host* self, const char* text) {
  MessageBoxA(self->window, text, "", MB_OK);
}

static const HostServices kServices = {SetPixelUnits,  ControlPosition,  ClientWindow,
                                       InstanceHandle, SetControlWindow, ControlWindow,
                                       ShowMessage};

typedef int32_t(THISCALL* InitOperation)(void*, Host*, int16_t);
typedef void(THISCALL* PlainOperation)(void*);
typedef int32_t(THISCALL* CountOperation)(void*);
typedef int32_t(THISCALL* LoadOperation)(void*, LvxOptionalText);

static const LvxFieldInfo* FindField(const LvxFieldList* list, const char* name) {
  for (int32_t i = 0; i < list->count; ++i) {
    if (strcmp(list->fields[i].name, name) == 0) {
      return &list->fields[i];
    }
  }
  return NULL;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: runtime_loading FILE.pdf\n");
    return 2;
  }
  HMODULE library = LoadLibraryA("lumivexctl.dll");
  if (library == NULL) {
    fprintf(stderr, "lumivexctl.dll not found (error %lu)\n", GetLastError());
    return 1;
  }
  const LvxFieldList* fields =
      (const LvxFieldList*)GetProcAddress(library, "LUMIVEXCONTROL_FIELDS");
  void* const* const* table =
      (void* const* const*)GetProcAddress(library, "LUMIVEXCONTROL_OPERATIONS");
  const LvxFieldInfo* vertical = fields ? FindField(fields, "TVVERTSCROLLBAR") : NULL;
  if (fields == NULL || table == NULL || *table == NULL || vertical == NULL) {
    fprintf(stderr, "lumivexctl.dll does not export its class records\n");
    FreeLibrary(library);
    return 1;
  }
  void* const* operations = *table;

  /* A host window with a placeholder control. */
  HWND window = CreateWindowExA(0, "STATIC", "Viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                520, 420, NULL, NULL, GetModuleHandleA(NULL), NULL);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 480, 360, window,
                  (HMENU)(intptr_t)kPlaceholder, GetModuleHandleA(NULL), NULL);
  Host host = {&kServices, window};

  /* The object: cleared, table attached, one switch set through the field list. */
  unsigned char* object = calloc(1, (size_t)fields->objectSize);
  memcpy(object, &operations, sizeof operations);
  object[vertical->offset] = 1;

  int32_t pages = 0;
  if (((InitOperation)operations[0])(object, &host, kPlaceholder) != 0) {
    LvxOptionalText name = {{argv[1], (int32_t)strlen(argv[1])}, 0};
    if (((LoadOperation)operations[2])(object, name) > 0) {
      pages = ((CountOperation)operations[13])(object);
    }
  }
  printf("pages: %d\n", (int)pages);
  ((PlainOperation)operations[1])(object); /* KILL */
  free(object);
  DestroyWindow(window);
  FreeLibrary(library);
  return pages > 0 ? 0 : 1;
}
