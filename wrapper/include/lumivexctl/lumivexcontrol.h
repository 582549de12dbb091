// LUMIVEXCONTROL: one PDF viewer window inside a host program's window.
//
// The viewer itself is the viewer control library "Lumivex01.dll" (window class
// "Tarnvik_LUMIVEX_01"); an object of this class loads it, places one viewer window over a
// placeholder control of the host's window, and turns each operation into command messages to
// that window. Use (with lumivexctl/win32_host.h, in a dialog with placeholder IDC_PLACEHOLDER):
//
//   LUMIVEXCONTROL viewer;                 // cleared: handles 0, names empty, switches 0
//   viewer.TVVERTSCROLLBAR = 1;            // set the switches wanted before INIT
//   LvxWin32Host host(dialog);             // the window that holds the placeholder
//   if (viewer.INIT(host, IDC_PLACEHOLDER) != 0) {
//     viewer.LOADFILE(LvxGivenText({"C:\\doc.pdf", 10}));
//     int pages = viewer.GETPAGECOUNT();
//   }
//   viewer.KILL();                         // before the host window goes
//
// Call rules:
//   - Call every operation from the user-interface thread that owns the host window.
//   - One object per viewer window: an object is not shared by two placeholders, and is neither
//     copied nor moved.
//   - KILL once per INIT (also after a failed INIT, which may hold the library), before the host
//     window is destroyed. A second KILL with no INIT in between does nothing.
//   - No KILL from inside a dialog or message box that an operation of the same object is
//     showing (the file-open or print dialog, an error box), for example from a timer.
//   - The component shows its own message boxes (load failures, "Buffer too small.", dialog
//     failures); they are modal to the host window.
//   - The printer chosen in the print dialog is the application's current printer, shared by every
//     viewer of the process.
//   - Host services must not throw (host_window.h).
//
// Build configurations: define LVX_STATIC when the wrapper's sources are compiled into the
// program itself; LVX_BUILDING_DLL is defined only by the build of lumivexctl.dll; anything else
// imports the class from lumivexctl.dll.
//
// Binary interface (for clients that do not use this header, such as hosts written in another
// language): lumivexctl.dll exports
//   - each operation under its C++ (Itanium) symbol, for example
//     _ZN14LUMIVEXCONTROL4INITER13LvxHostWindows; in 32-bit programs operations use the
//     __thiscall convention (object in ECX, arguments on the stack, the callee pops them), in
//     64-bit programs the platform's one convention (object as the first argument);
//   - LUMIVEXCONTROL_OPERATIONS: the operation table, a pointer to LVX_OPERATION_COUNT entry
//     points in the order of the declarations below (it is the class's virtual table; an object
//     stores this pointer in its first pointer-sized bytes: 4 in 32-bit, 8 in 64-bit programs);
//   - LUMIVEXCONTROL_FIELDS: the field list (LvxFieldList), each declared field's name, type,
//     offset and size, and the object's size.
// To make an object without this header: allocate LvxFieldList::objectSize bytes, clear them,
// store LUMIVEXCONTROL_OPERATIONS in the first pointer-sized bytes, and call entry i of the table
// with the object as receiver.
#ifndef LUMIVEXCTL_LUMIVEXCONTROL_H
#define LUMIVEXCTL_LUMIVEXCONTROL_H

// The class is built with MinGW: its exported symbols, operation table and calling conventions are
// those of the Itanium C++ ABI, which Microsoft's compiler, clang-cl and clang for *-windows-msvc
// do not share. They use the C interface, which every compiler and language can call.
#if defined(_MSC_VER) || !defined(__MINGW32__)
#error \
    "lumivexctl/lumivexcontrol.h needs MinGW (the Itanium C++ ABI). With this compiler include <lumivexctl/lumivexctl.hpp> (a C++ class over the C interface) or <lumivexctl/lumivexctl_c.h> (C), and link lib/lumivexctl.lib (CMake: lumivexctl::c)."
#endif

#include <cstdint>

#include "host_window.h"
#include "lvx_types.h"

#if defined(LVX_STATIC)
#define LUMIVEXCTL_API
#elif defined(LVX_BUILDING_DLL)
#define LUMIVEXCTL_API __declspec(dllexport)
#else
#define LUMIVEXCTL_API __declspec(dllimport)
#endif

// The class, its fields and its operations carry the names of the published interface; its
// fields are public because clients read them.
#pragma pack(push, 8)
// NOLINTBEGIN(readability-identifier-naming, bugprone-reserved-identifier)
class LUMIVEXCTL_API LUMIVEXCONTROL {
 public:
  LUMIVEXCONTROL() noexcept;

  // --- operations, in the order of the operation table ---
  // Loads the viewer library, creates the viewer window over control HOSTCONTROL of the host and
  // has the host adopt it. Answers the viewer window handle, 0 on failure.
  virtual std::int32_t INIT(LvxHostWindow& HOSTWINDOW, std::int16_t HOSTCONTROL);
  // Destroys the viewer window, then unloads the viewer library. The handle fields keep their
  // (now stale) values. A second KILL with no INIT in between does nothing.
  virtual void KILL();
  // Opens a PDF file in place of the shown document (code 101); with FILENAME omitted, asks for
  // it with the file-open dialog. Answers the viewer's result, 0 when the dialog was cancelled.
  virtual std::int32_t LOADFILE(LvxOptionalText FILENAME);
  // Adds a PDF file's pages to the shown document (code 102); otherwise as LOADFILE.
  virtual std::int32_t APPENDFILE(LvxOptionalText FILENAME);
  virtual void CLEARVIEW();
  virtual void SHOWABOUT();
  virtual void DOCUMENTPROPERTIES();
  // Forwards any zoom command code (41 100 %, 42 in, 44 out, 45 width, 46 page, 47 two pages).
  virtual void SETZOOM(std::int32_t ZOOMMODE);
  // Forwards any print-feature code (123 printing, 124 high quality, 125 printer selection,
  // 126 device-context printing): the viewer switches that feature off.
  virtual void DISABLEPRINT(std::int32_t PRINTFEATURE);
  // Searches the document; ends with exactly one mark command. Answers the search result.
  virtual std::int32_t FINDTEXT(LvxText SEARCHTEXT, std::uint8_t MARKFOUND, std::uint8_t USEFIND2,
                                std::uint8_t PRESET, std::uint8_t OPTIONVALUE);
  // Prints on the application's current printer, after the print dialog when SHOWDIALOG is not 0.
  virtual void _PRINT(std::uint8_t SHOWDIALOG, LvxOptionalInt32 FIRSTPAGE,
                      LvxOptionalInt32 LASTPAGE);
  // Prints on the named printer without a dialog.
  virtual void PRINTTOPRINTER(LvxText PRINTERNAME, LvxOptionalInt32 FIRSTPAGE,
                              LvxOptionalInt32 LASTPAGE);
  // Sends the five switches to the viewer as its view options (code 50).
  virtual void SETVIEWCONTROLPROPERTIES();
  virtual std::int32_t GETPAGECOUNT();
  // Text length of page PAGE (1-based), or of the whole document when PAGE is omitted.
  virtual std::int32_t GETTEXTLENGTH(LvxOptionalInt32 PAGE);
  // Delivers the text of page PAGE, or of the whole document, into TEXT, padded with spaces.
  virtual void GETTEXT(LvxTextField TEXT, LvxOptionalInt32 PAGE);

  // Declared after the operations so that they keep the first table entries.
  virtual ~LUMIVEXCONTROL();

  // An object stands for one viewer window and one load reference of the viewer library: a copy
  // would destroy the window twice and release a reference it never took. Neither copied nor
  // moved (this changes no exported symbol and not the operation table).
  LUMIVEXCONTROL(const LUMIVEXCONTROL&) = delete;
  LUMIVEXCONTROL& operator=(const LUMIVEXCONTROL&) = delete;
  LUMIVEXCONTROL(LUMIVEXCONTROL&&) = delete;
  LUMIVEXCONTROL& operator=(LUMIVEXCONTROL&&) = delete;

  // --- fields, in declared order ---
  std::int32_t HWINDOW = 0;            // the viewer window, 0 until INIT placed it
  LvxAddressValue LIBHANDLE = 0;       // the loaded viewer library, 0 when the load failed
  char LUMIVEXCLASSNAME[64]{};         // NUL-terminated; INIT writes "Tarnvik_LUMIVEX_01"
  char LUMIVEXDLLNAME[64]{};           // NUL-terminated; INIT writes "Lumivex01.dll"
  std::uint8_t TVHORZSCROLLBAR = 0;    // not 0: horizontal scroll bar shown
  std::uint8_t TVVERTSCROLLBAR = 0;    // not 0: vertical scroll bar shown
  std::uint8_t TVPROPERTYPANEL = 0;    // not 0: property panel shown
  std::uint8_t TVNAVIGATIONPANEL = 0;  // not 0: navigation panel shown
  std::uint8_t TVVIEWPANEL = 0;        // not 0: view panel shown
};
// NOLINTEND(readability-identifier-naming, bugprone-reserved-identifier)
#pragma pack(pop)

// Number of operations at the start of the operation table.
inline constexpr std::int32_t LVX_OPERATION_COUNT = 16;

// The field list exported as LUMIVEXCONTROL_FIELDS.
enum LvxFieldType : std::int32_t {
  LVX_FIELD_INT32 = 1,    // signed 32-bit integer
  LVX_FIELD_CSTRING = 2,  // NUL-terminated 8-bit text of `size` bytes
  LVX_FIELD_UINT8 = 3,    // unsigned 8-bit integer
  LVX_FIELD_INT64 = 4,    // signed 64-bit integer (address-sized fields of 64-bit programs)
};

#pragma pack(push, 8)
struct LvxFieldInfo {
  const char* name;
  std::int32_t type;    // an LvxFieldType
  std::int32_t offset;  // from the start of the object
  std::int32_t size;    // in bytes
};

struct LvxFieldList {
  std::int32_t count;       // number of entries in `fields`
  std::int32_t objectSize;  // bytes of one object, operation table pointer included
  const LvxFieldInfo* fields;
};
#pragma pack(pop)

#if !defined(LVX_STATIC)
extern "C" {
LUMIVEXCTL_API extern const LvxFieldList LUMIVEXCONTROL_FIELDS;
// Set when the library is loaded, cleared when it is unloaded.
LUMIVEXCTL_API extern void* const* LUMIVEXCONTROL_OPERATIONS;
}
#endif

#endif
