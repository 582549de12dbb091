/* lumivexctl_c.h: the viewer component as a flat C interface, for every compiler and language.
 *
 * Every function is extern "C", __stdcall, and exported from lumivexctl.dll under its plain name
 * (no leading underscore, no @N), in 32-bit and 64-bit programs alike; the import libraries
 * lib/lumivexctl.lib (Microsoft's linker) and lib/lumivexctl.dll.a (MinGW) resolve the names a
 * compiler decorates. Parameters are fixed-width integers and pointers only; nothing here depends
 * on a C++ ABI or on structure packing, except the host-services record below, whose packing is
 * set explicitly.
 *
 * A viewer is an opaque handle made by lvx_create and freed by lvx_destroy. Each function goes
 * through the same object and operations as the C++ class LUMIVEXCONTROL, so the two interfaces
 * send the viewer exactly the same messages and show the same boxes.
 *
 *   LvxViewer* viewer = lvx_create();
 *   lvx_set_switch(viewer, LVX_SWITCH_VERTICAL_SCROLL_BAR, 1);      (before lvx_init)
 *   int32_t window = 0;
 *   if (lvx_init(viewer, dialog, IDC_PLACEHOLDER, &window) == LVX_OK) {
 *     lvx_load_file(viewer, 0, "C:\\docs\\report.pdf", -1);
 *     int32_t pages = lvx_get_page_count(viewer);
 *   }
 *   ...
 *   lvx_kill(viewer);                                      (before the host window goes)
 *   lvx_destroy(viewer);
 *
 * Text goes in as a pointer and a length in bytes (8-bit, the ANSI code page). A length of -1
 * means a NUL-terminated string; otherwise at most `length` bytes are read, a NUL ends the text
 * early, and trailing spaces are removed. File and printer names are cut at 255 bytes, search text
 * at 511. A null pointer is empty text.
 *
 * Optional values come as a flag and a value: `omitted` not 0 means the caller left the argument
 * out and the value is not read. An omitted file name shows the file-open dialog; an omitted page
 * means the whole document (text) or all pages (printing).
 *
 * Call rules:
 *   - Call from the user-interface thread that owns the host window, and only from it.
 *   - One viewer handle per viewer window; a handle is not shared by two placeholders.
 *   - lvx_kill once per lvx_init, before the host window is destroyed. A second lvx_kill with no
 *     lvx_init in between does nothing.
 *   - No lvx_kill or lvx_destroy from inside a dialog or message box that an operation of the same
 *     viewer is showing (for example from a timer while the file-open dialog is up).
 *   - The component shows its own message boxes (load failures, "Buffer too small.", dialog
 *     failures), as the C++ class does; the result codes tell the caller what happened as well.
 *   - The printer chosen in the print dialog is the application's current printer: it is shared
 *     by every viewer of the process.
 */
#ifndef LUMIVEXCTL_LUMIVEXCTL_C_H
#define LUMIVEXCTL_LUMIVEXCTL_C_H

/* The header is C as well as C++: the C forms of the standard headers and declarations. */
/* clang-tidy 14 reports the second line as a duplicate include when a C unit includes this
 * header; it is not one. */
#include <stddef.h> /* NOLINT(modernize-deprecated-headers): wchar_t in C */
#include <stdint.h> /* NOLINT(modernize-deprecated-headers,readability-duplicate-include) */

#define LVX_CALL __stdcall

/* The library exports these names through its module-definition file, undecorated; a
 * dllexport here would add the decorated 32-bit names (_name@N) as well. */
#if defined(LVX_BUILDING_DLL)
#define LVX_C_API
#else
#define LVX_C_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A viewer: one LUMIVEXCONTROL object inside the library. */
typedef struct LvxViewer LvxViewer; /* NOLINT(modernize-use-using) */

/* Results of lvx_init and lvx_init_with_host. */
enum {
  LVX_OK = 0,
  LVX_ERROR_ARGUMENT = 1,   /* a null viewer, host window or service */
  LVX_ERROR_LIBRARY = 2,    /* the viewer library did not load ("Error Loading ..." shown) */
  LVX_ERROR_CLASS = 3,      /* the library registered no viewer class (box shown) */
  LVX_ERROR_PLACEHOLDER = 4 /* no viewer window took the placeholder's place */
};

/* The five switches, read by lvx_init and lvx_set_view_control_properties. */
enum {
  LVX_SWITCH_HORIZONTAL_SCROLL_BAR = 1,
  LVX_SWITCH_VERTICAL_SCROLL_BAR = 2,
  LVX_SWITCH_PROPERTY_PANEL = 3,
  LVX_SWITCH_NAVIGATION_PANEL = 4,
  LVX_SWITCH_VIEW_PANEL = 5
};

/* The host's services, for a host that places the viewer itself (its own window layer, another
 * language's toolkit). Each function receives `context` first. Window handles are 32-bit values;
 * the instance handle is as wide as a pointer. The services must not throw or unwind.
 *   set_pixel_units      pixel units on (not 0) or off for the host window
 *   control_position     the control's x, y, width, height relative to the client area, in the
 *                        current unit; 0 for all four when there is no such control
 *   client_window        the window whose children the controls are
 *   instance_handle      the module handle of the running program
 *   set_control_window   make `window` the control's window in place of the old one (rectangle,
 *                        parent, sibling place and id pass to it; the old one is destroyed);
 *                        0 on success, -1 no such control, -2 not a window
 *   control_window       the control's window, 0 when it has none
 *   show_message         a modal message box with this text, no caption, one button */
#pragma pack(push, 8)
typedef struct LvxHostServices { /* NOLINT(modernize-use-using) */
  void* context;
  void(LVX_CALL* set_pixel_units)(void* context, int32_t on);
  void(LVX_CALL* control_position)(void* context, int32_t control, int32_t* x, int32_t* y,
                                   int32_t* width, int32_t* height);
  int32_t(LVX_CALL* client_window)(void* context);
  intptr_t(LVX_CALL* instance_handle)(void* context);
  int32_t(LVX_CALL* set_control_window)(void* context, int32_t control, int32_t window);
  int32_t(LVX_CALL* control_window)(void* context, int32_t control);
  void(LVX_CALL* show_message)(void* context, const char* text);
} LvxHostServices;
#pragma pack(pop)

/* A cleared viewer (handles 0, switches 0); null when no memory. */
LVX_C_API LvxViewer* LVX_CALL lvx_create(void);
/* Frees the viewer. A viewer that was started and not yet killed is killed first. Null is
 * ignored. */
LVX_C_API void LVX_CALL lvx_destroy(LvxViewer* viewer);

/* Starts the viewer over control `placeholder` (a dialog item id) of `host_window` (an HWND),
 * placed by the built-in plain Win32 host. `window` (may be null) receives the viewer window
 * handle, 0 on failure. Answers LVX_OK or an LVX_ERROR_ code. */
LVX_C_API int32_t LVX_CALL lvx_init(LvxViewer* viewer, void* host_window, int32_t placeholder,
                                    int32_t* window);
/* As lvx_init, with the host's own services; `placeholder` is the host's control number. */
LVX_C_API int32_t LVX_CALL lvx_init_with_host(LvxViewer* viewer, const LvxHostServices* host,
                                              int32_t placeholder, int32_t* window);
/* Destroys the viewer window, then releases the viewer library. */
LVX_C_API void LVX_CALL lvx_kill(LvxViewer* viewer);

/* The operations, in the order of the class's operation table. Results are the viewer's answers
 * passed on unchanged (0 for a null viewer or a cancelled dialog). */
LVX_C_API int32_t LVX_CALL lvx_load_file(LvxViewer* viewer, uint8_t omitted, const char* name,
                                         int32_t length);
LVX_C_API int32_t LVX_CALL lvx_append_file(LvxViewer* viewer, uint8_t omitted, const char* name,
                                           int32_t length);
/* File names in any script: UTF-16 (_w) or UTF-8 (_utf8), length in units of 2 or 1 bytes (-1:
 * up to the NUL). A name the ANSI code page cannot write reaches the viewer as the file's short
 * (8.3) name; where the file has none (a volume that keeps no short names), or the UTF-8 is not
 * valid, a box says so and the result is 0. */
LVX_C_API int32_t LVX_CALL lvx_load_file_w(LvxViewer* viewer, uint8_t omitted, const wchar_t* name,
                                           int32_t length);
LVX_C_API int32_t LVX_CALL lvx_append_file_w(LvxViewer* viewer, uint8_t omitted,
                                             const wchar_t* name, int32_t length);
LVX_C_API int32_t LVX_CALL lvx_load_file_utf8(LvxViewer* viewer, uint8_t omitted, const char* name,
                                              int32_t length);
LVX_C_API int32_t LVX_CALL lvx_append_file_utf8(LvxViewer* viewer, uint8_t omitted,
                                                const char* name, int32_t length);
LVX_C_API void LVX_CALL lvx_clear_view(LvxViewer* viewer);
LVX_C_API void LVX_CALL lvx_show_about(LvxViewer* viewer);
LVX_C_API void LVX_CALL lvx_document_properties(LvxViewer* viewer);
/* 41 100 %, 42 in, 44 out, 45 page width, 46 whole page, 47 two pages. */
LVX_C_API void LVX_CALL lvx_set_zoom(LvxViewer* viewer, int32_t zoom_mode);
/* 123 printing, 124 high quality, 125 printer selection, 126 device-context printing. */
LVX_C_API void LVX_CALL lvx_disable_print(LvxViewer* viewer, int32_t print_feature);
/* Answers the viewer's search result (the page of the next occurrence, or a count). */
LVX_C_API int32_t LVX_CALL lvx_find_text(LvxViewer* viewer, const char* text, int32_t length,
                                         uint8_t mark_found, uint8_t use_find2, uint8_t preset,
                                         uint8_t option_value);
LVX_C_API void LVX_CALL lvx_print(LvxViewer* viewer, uint8_t show_dialog,
                                  uint8_t first_page_omitted, int32_t first_page,
                                  uint8_t last_page_omitted, int32_t last_page);
LVX_C_API void LVX_CALL lvx_print_to_printer(LvxViewer* viewer, const char* printer, int32_t length,
                                             uint8_t first_page_omitted, int32_t first_page,
                                             uint8_t last_page_omitted, int32_t last_page);
LVX_C_API void LVX_CALL lvx_set_view_control_properties(LvxViewer* viewer);
LVX_C_API int32_t LVX_CALL lvx_get_page_count(LvxViewer* viewer);
/* Text length of page `page` (1-based), or of the whole document when omitted. */
LVX_C_API int32_t LVX_CALL lvx_get_text_length(LvxViewer* viewer, uint8_t page_omitted,
                                               int32_t page);
/* Writes the text into `field` (`capacity` bytes, no NUL), padded with spaces; text that does not
 * fit shows "Buffer too small." and leaves the field as it was. */
LVX_C_API void LVX_CALL lvx_get_text(LvxViewer* viewer, char* field, int32_t capacity,
                                     uint8_t page_omitted, int32_t page);

/* The switches (LVX_SWITCH_...): any value but 0 is on. An unknown switch reads 0. */
LVX_C_API void LVX_CALL lvx_set_switch(LvxViewer* viewer, int32_t which, uint8_t value);
LVX_C_API uint8_t LVX_CALL lvx_get_switch(const LvxViewer* viewer, int32_t which);
/* The viewer window handle (0 until lvx_init placed it) and the viewer library's module handle;
 * after lvx_kill both keep their old values. */
LVX_C_API int32_t LVX_CALL lvx_window(const LvxViewer* viewer);
LVX_C_API intptr_t LVX_CALL lvx_library(const LvxViewer* viewer);

#ifdef __cplusplus
}
#endif

#endif
