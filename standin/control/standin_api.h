// The stand-in viewer control: what it does with each command, and its exported test interface.
// The other maker's control has no such interface; tests and tools of this project use it to see
// what the stand-in received and what state it is in. All functions are extern "C" (undecorated
// names for GetProcAddress); every structure holds only fixed-width integers, doubles and
// character arrays.
//
// ---------------------------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------------------------
// Class "Tarnvik_LUMIVEX_01" (application-global, registered while the library is loaded). Its
// client area holds these child windows (ids for GetDlgItem):
//   1001 view panel       across the top: six zoom buttons (ids 1111 to 1116: 100 %, zoom in,
//                         zoom out, page width, whole page, two pages; those that do not fit are
//                         hidden) and the current page ("Page 3 of 12": window text of id 1102)
//   1002 navigation panel on the left: a list box (id 1101) with one entry per page; choosing an
//                         entry goes to that page
//   1003 property panel   on the right: the file name, folder, pages, title, author, producer,
//                         PDF version and the current page's size, as the window text of its
//                         child 1103 (one fact a line)
//   1004, 1005            vertical and horizontal scroll bar (scroll-bar controls) bordering the
//                         page area
//   1006 page area        the pages on grey, each a white sheet of its own size (MediaBox, with
//                         /Rotate applied) in one column (two side by side after code 47), text
//                         runs drawn at their positions and sizes in a GDI font of their family;
//                         painted through an off-screen bitmap
// The parts never overlap and together fill the client area at any size; side panels take at most
// a quarter of the width each. A part that is switched off or has no room is hidden.
// Scrolling: scroll bars; mouse wheel (Shift: sideways; Ctrl: zoom in/out); keys Up/Down/Left/
// Right (40 pixels), Page Up/Down (the page area's height less 40 pixels; in whole-page mode the
// previous/next page), Home/End (document start/end). Scrolling makes the page showing most
// the current page.
// Keyboard in a dialog: a viewer window that is a child (made so, or adopted) is a tab stop; it
// passes the focus to the page area, which draws a focus rectangle and takes the focus when
// clicked. Both answer WM_GETDLGCODE with DLGC_WANTARROWS only: Tab, Enter, Esc, characters and
// the host's accelerators and mnemonics stay the host's.
// Accessibility: WM_GETOBJECT (OBJID_CLIENT) answers an MSAA IAccessible document: name the page
// label ("Page 2 of 6", "No document"), value the current page's text, state read-only; its
// children are the system's objects of the shown panels' controls and of the scroll bars.
// EVENT_OBJECT_NAMECHANGE and EVENT_OBJECT_VALUECHANGE follow the current page and the document.
//
// ---------------------------------------------------------------------------------------------
// Commands (wParam = code; lParam as listed). Codes not listed answer 0 and change nothing.
// ---------------------------------------------------------------------------------------------
//  50  bits: 1 vertical scroll bar, 2 horizontal scroll bar, 4 view panel, 8 navigation panel,
//      16 property panel; other bits are ignored. Before the first code 50 nothing but the page
//      area is shown.
//  41  zoom 100 % (one point = 1/72 inch on the screen, by its LOGPIXELSY), one column
//  42  zoom in / 44 zoom out: the next step of 10 25 33 50 67 75 100 125 150 200 300 400 800
//      1600 % from the factor in effect; keeps the column count; leaves a fitting mode
//  45  page width: the widest page fills the page area's width; one column
//  46  whole page: the current page fits the page area; one column
//  47  two pages side by side: pages in rows of two, the current row fits the page area
//      The fitting modes work the factor out again when the window or the options change. The
//      zoom setting is kept when a document is loaded or cleared. A new viewer starts in
//      page-width mode.
// Documents (the document model):
// 101  (load, replaces the shown document) and 102 (append a file's pages after the shown ones)
//      answer the number of pages now shown, or one of the negative causes of
//      LvxStandinLoadResult. A load or append that fails leaves the shown document exactly as it
//      was. A document shown anew starts at its first page, without marks, the search position at
//      its start; an appended file keeps the view where it was.
// 100  clears the shown document and the view: no marks, search position back at the start
//      (answers 0).
// 201  answers the number of pages shown.
// 260  with a 0-based page index answers the length of that page's text in Windows-1252
//      characters, without a NUL, and remembers that text; a page index outside the document
//      answers 0 and remembers an empty text.
// 261  with a buffer's address writes the remembered text and a NUL into the buffer (exactly the
//      measured length + 1 bytes); without a preceding 260 (or after 100, 101, 102) it writes an
//      empty string. Lines of a page's text end with CR LF.
//   1  document properties: a modal message box, caption "Document Properties", with the facts
//      of the property panel ("No document" when none), owned by the host's top-level window
//      (the viewer's own owner when it is not inside another window). Answers 0.
//   6  about box, caption "About Lumivex Viewer", owned likewise. Answers 0.
// Search (text in Windows-1252; the page text is the page's text runs in content order, a space
// where runs leave a gap or change line, white space collapsed; the search text's white space is
// collapsed the same way; matches never span pages and never overlap):
// 253  sets the option bits (replacing the previous ones): 1 match case, 2 whole words (no letter
//      or digit of Windows-1252 just before or after), 4 backwards. Other bits are ignored, so
//      128 switches every option off. The options stay until changed.
// 254  back to the document's start: the next forward search starts on the first page, the next
//      backward one at the end of the last page.
// 255  finds the next occurrence after (backwards: before) the last one found, makes its page the
//      current page, scrolls it into view and highlights it; answers its 0-based page. Answers
//      -1 when there is none before the document's end (start), or no document or an empty
//      text; the position then goes back to the start (the next search starts over).
// 256  answers how many occurrences the whole document holds (0 for none); moves nothing.
// 257  marks every occurrence on screen with the options in force (an empty text clears the
//      marks); answers the number of occurrences marked.
// Printing:
//  35  the printer's name (kept until the next 35)
//  36  opens a print request: the page range becomes "all"
//  31  the range: 0 all; otherwise low 16 bits first page, high 16 bits last page (1-based,
//      unsigned); first 0 means page 1, last 0 or past the end means the last page
//  37  prints the requested pages of the shown document and closes the request. Each page at its
//      own size, scaled down to fit the paper if larger, centred. Answers the number of pages
//      printed, or: -1 printing switched off (123), -2 no document, -3 no such printer (or no
//      default printer), -4 a range with no page of the document, -5 the print job failed,
//      -6 no request open (no 36 since the last 37). Nothing is printed in each of these cases.
// 123  switches printing off: 37 prints nothing from then on.
// 124  switches high-quality printing off: each page is drawn into a 96-dpi bitmap that is then
//      stretched onto the printer's device context.
// 125  switches printer selection off: the name given by 35 is ignored and the default printer is
//      used. (An empty name from 35 also means the default printer.)
// 126  switches device-context printing off: nothing is drawn on a printer device context; the
//      pages are written as PostScript (standard fonts Helvetica, Times, Courier, Symbol) and sent
//      raw to the printer through the spooler (OpenPrinter / StartDocPrinter / WritePrinter). The
//      printer must take PostScript. Takes precedence over 124.
// None of 123 to 126 can be switched on again in the same window.
//
// ---------------------------------------------------------------------------------------------
// Message log
// ---------------------------------------------------------------------------------------------
// Every WM_VIEWER_COMMAND / WM_VIEWER_STRCOMMAND a stand-in window receives, in order, together
// with life-cycle events (window created and destroyed, library unloaded) and the failures that
// its window procedures caught (an exception that ended the handling of a message: the message,
// its wParam, and the exception's description). The log in memory keeps the last 4,096 entries;
// when earlier ones were dropped, the first entry read (index 0) is an LVX_STANDIN_DROPPED entry
// whose `code` says how many (at most 2,147,483,647), followed by the kept entries, oldest first.
// When the environment variable LUMIVEX_STANDIN_LOG names a file, each entry is also appended to
// it as one line: "<kind> <message> <code> <argument> <text>"  (kind: msg, create, destroy,
// fault, detach); the file keeps every entry.
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

// Negative results of codes 101 and 102.
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
  LVX_STANDIN_DROPPED = 3,    // entries dropped before the first kept one (their count in `code`)
  LVX_STANDIN_FAULT = 4,      // a window procedure caught an exception while handling `message`
};

struct LvxStandinEntry {
  std::int32_t kind;        // an LvxStandinEntryKind
  std::uint32_t message;    // WM_VIEWER_COMMAND or WM_VIEWER_STRCOMMAND (0 for events; for a
                            // fault, the window message that was being handled)
  std::int32_t code;        // wParam: the command code
  std::int32_t argument;    // lParam as a number (for string commands: the address)
  std::int32_t hasText;     // 1 when `text` holds the string of a string command, or a fault's
                            // description
  char text[512];           // the string, cut to 511 characters, NUL-terminated
  std::int32_t textLength;  // the string's full length before cutting
};

// Child window ids of the viewer window.
enum LvxStandinPartId : std::int32_t {
  LVX_STANDIN_VIEW_PANEL = 1001,
  LVX_STANDIN_NAVIGATION_PANEL = 1002,
  LVX_STANDIN_PROPERTY_PANEL = 1003,
  LVX_STANDIN_VERTICAL_BAR = 1004,
  LVX_STANDIN_HORIZONTAL_BAR = 1005,
  LVX_STANDIN_PAGE_AREA = 1006,
  LVX_STANDIN_PAGE_LIST = 1101,
  LVX_STANDIN_PAGE_LABEL = 1102,
  LVX_STANDIN_PROPERTY_TEXT = 1103,
  LVX_STANDIN_FIRST_ZOOM_BUTTON = 1111,
};

// Zoom modes of LvxStandinViewState::zoomMode.
enum LvxStandinZoomMode : std::int32_t {
  LVX_STANDIN_ZOOM_FIXED = 0,
  LVX_STANDIN_ZOOM_PAGE_WIDTH = 1,
  LVX_STANDIN_ZOOM_WHOLE_PAGE = 2,
  LVX_STANDIN_ZOOM_TWO_PAGES = 3,
};

struct LvxStandinViewState {
  std::int32_t viewOptions;  // the last code-50 bit set, -1 before any
  std::int32_t pageCount;    // pages shown (0: no document)
  std::int32_t currentPage;  // 0-based, -1 without document
  std::int32_t zoomMode;     // an LvxStandinZoomMode
  double zoomPercent;        // the factor in effect
  std::int32_t columns;      // 1, or 2 for two pages side by side
  std::int32_t scrollX;      // view position in layout pixels
  std::int32_t scrollY;
  std::int32_t layoutWidth;  // size of the laid-out pages, in pixels
  std::int32_t layoutHeight;
  std::int32_t areaWidth;  // size of the page area
  std::int32_t areaHeight;
  std::int32_t searchOptions;  // the code-253 bits in force
  std::int32_t foundPage;      // page of the text found last, -1 when none
  std::int32_t foundOffset;    // its place in the page text
  std::int32_t markCount;      // occurrences marked by code 257
  char markText[512];          // the marked text (white space collapsed), empty when none
};

// Print routes of LvxStandinPrintState::lastRoute.
enum LvxStandinPrintRoute : std::int32_t {
  LVX_STANDIN_PRINT_NONE = 0,
  LVX_STANDIN_PRINT_VECTOR = 1,      // drawn on the printer's device context
  LVX_STANDIN_PRINT_RASTER = 2,      // through a low-resolution bitmap (124)
  LVX_STANDIN_PRINT_POSTSCRIPT = 3,  // PostScript through the spooler (126)
};

struct LvxStandinPrintState {
  std::int32_t printingEnabled;   // 0 after 123
  std::int32_t highQuality;       // 0 after 124
  std::int32_t printerSelection;  // 0 after 125
  std::int32_t deviceContext;     // 0 after 126
  char printerName[256];          // the name from 35 (cut to 255 characters)
  std::int32_t requestOpen;       // 1 between 36 and 37
  std::int32_t range;             // the argument of 31 in the open request
  std::int32_t jobs;              // print jobs handed to a printer so far
  std::int32_t lastResult;        // the answer of the last 37 (0 before any)
  std::int32_t lastFirstPage;     // pages it printed (1-based; 0 when none)
  std::int32_t lastLastPage;
  std::int32_t lastDpi;    // resolution they were drawn at
  std::int32_t lastRoute;  // an LvxStandinPrintRoute
  char lastPrinter[256];   // the printer it used or tried
};

extern "C" {
// Number of entries readable: those kept since the library was loaded or the log was cleared,
// and one LVX_STANDIN_DROPPED entry first when earlier ones were dropped.
LVX_STANDIN_API std::int32_t LvxStandinLogCount();
// Copies entry `index` (0-based) to `entry`; answers 0 when there is no such entry.
LVX_STANDIN_API std::int32_t LvxStandinLogEntry(std::int32_t index, LvxStandinEntry* entry);
LVX_STANDIN_API void LvxStandinLogClear();

// The functions below answer 0 (or -1) for anything that is not a live stand-in viewer window.
// The view options (code 50 bit set) last applied by the window, -1 before any.
LVX_STANDIN_API std::int32_t LvxStandinViewOptions(void* window);
// Copies the window's view state; answers 1, or 0 when `window` is not a viewer window.
LVX_STANDIN_API std::int32_t LvxStandinGetViewState(void* window, LvxStandinViewState* state);
// Copies the window's print settings and the outcome of its last print request.
LVX_STANDIN_API std::int32_t LvxStandinGetPrintState(void* window, LvxStandinPrintState* state);
// Sheet `page` (0-based) in the page area's client coordinates as scrolled now:
// box = {left, top, right, bottom}. Answers 0 when there is no such page.
LVX_STANDIN_API std::int32_t LvxStandinPageBox(void* window, std::int32_t page,
                                               std::int32_t box[4]);
// Number of highlighted places on page `page` (marks and the text found last), -1 for no page.
LVX_STANDIN_API std::int32_t LvxStandinPageHighlights(void* window, std::int32_t page);
}

#endif
