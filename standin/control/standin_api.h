// The stand-in viewer control's exported test interface. The other maker's control has none of
// this; tests and tools of this project use it to see what the stand-in received and what state
// it is in. All functions are extern "C" (undecorated names for GetProcAddress).
//
// Message log: every WM_VIEWER_COMMAND / WM_VIEWER_STRCOMMAND a stand-in window receives, in
// order, together with life-cycle events (window created and destroyed, library unloaded). When
// the environment variable LUMIVEX_STANDIN_LOG names a file, each entry is also appended to it as
// one line:  "<kind> <message> <code> <argument> <text>"  (kind: msg, create, destroy, detach).
#ifndef LUMIVEX_STANDIN_API_H
#define LUMIVEX_STANDIN_API_H

#include <cstdint>

#if !defined(_WIN32)
#define LVX_STANDIN_API  // native builds use only the constants below
#elif defined(LVX_STANDIN_BUILDING)
#define LVX_STANDIN_API __declspec(dllexport)
#else
#define LVX_STANDIN_API __declspec(dllimport)
#endif

// Results of the document commands.
//   101 (load, replaces the shown document) and 102 (append a file's pages after the shown ones)
//   answer the number of pages now shown, or one of the negative causes below. A load or append
//   that fails leaves the shown document exactly as it was.
//   100 clears the shown document (answers 0).
//   201 answers the number of pages shown.
//   260 with a 0-based page index answers the length of that page's text in Windows-1252
//   characters, without a NUL, and remembers that text; a page index outside the document answers
//   0 and remembers an empty text.
//   261 with a buffer's address writes the remembered text and a NUL into the buffer (exactly the
//   measured length + 1 bytes); without a preceding 260 (or after 100, 101, 102) it writes an
//   empty string. Lines of a page's text end with CR LF.
enum LvxStandinLoadResult : std::int32_t {
  LVX_STANDIN_LOAD_FILE_MISSING = -1,  // no such file, an empty name, or it cannot be read
  LVX_STANDIN_LOAD_NOT_PDF = -2,       // the file is not a PDF document
  LVX_STANDIN_LOAD_DAMAGED = -3,       // a PDF damaged beyond recovery (no readable page)
  LVX_STANDIN_LOAD_PASSWORD = -4,      // encrypted; the empty password does not open it
  LVX_STANDIN_LOAD_UNSUPPORTED = -5,   // an encryption method the viewer does not know
  LVX_STANDIN_LOAD_TOO_LARGE = -6,     // too large to load (file size, memory, page count)
};

enum LvxStandinEntryKind : std::int32_t {
  LVX_STANDIN_MESSAGE = 0,    // a protocol message
  LVX_STANDIN_CREATED = 1,    // a viewer window was created
  LVX_STANDIN_DESTROYED = 2,  // a viewer window was destroyed
};

struct LvxStandinEntry {
  std::int32_t kind;        // an LvxStandinEntryKind
  std::uint32_t message;    // WM_VIEWER_COMMAND or WM_VIEWER_STRCOMMAND (0 for events)
  std::int32_t code;        // wParam: the command code
  std::int32_t argument;    // lParam as a number (for string commands: the address)
  std::int32_t hasText;     // 1 when `text` holds the string of a string command
  char text[512];           // the string, cut to 511 characters, NUL-terminated
  std::int32_t textLength;  // the string's full length before cutting
};

extern "C" {
// Number of entries logged since the library was loaded or the log was cleared.
LVX_STANDIN_API std::int32_t LvxStandinLogCount();
// Copies entry `index` (0-based) to `entry`; answers 0 when there is no such entry.
LVX_STANDIN_API std::int32_t LvxStandinLogEntry(std::int32_t index, LvxStandinEntry* entry);
LVX_STANDIN_API void LvxStandinLogClear();
// The view options (code 50 bit set) last applied by the window, -1 before any.
LVX_STANDIN_API std::int32_t LvxStandinViewOptions(void* window);
}

#endif
