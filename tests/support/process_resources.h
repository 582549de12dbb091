// What a process holds: GDI objects, USER objects and memory, for leak checks of the test process
// itself or of a program it drives.
#ifndef LUMIVEX_TESTS_PROCESS_RESOURCES_H
#define LUMIVEX_TESTS_PROCESS_RESOURCES_H

#include <windows.h>

#include <cstddef>
#include <string>

namespace lvx::test {

struct ProcessResources {
  long gdiObjects = 0;
  long userObjects = 0;
  std::size_t heapBytes = 0;     // bytes in use on all of the process's heaps (this process only)
  std::size_t privateBytes = 0;  // committed private memory (VirtualQueryEx)
  std::string gdiSource;         // how the GDI figure was taken
  std::string userSource;        // how the USER figure was taken
  std::string details;           // GDI objects by type and windows by class, for failure reports
};

// GetGuiResources gives both object counts. Where it is not implemented (Wine answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED) the GDI figure is the number of live entries of the process's GDI
// handle table (PEB GdiSharedHandleTable, in Wine's layout) and the USER figure the number of
// windows the process owns (top-level and children): the USER objects a viewer creates.
ProcessResources MeasureResources();

// Wine creates a few GDI objects the first time a window is drawn inactive and active again (it
// keeps them for the process's life); other test programs on the same display take the
// activation now and then. Going through that once with `window` before counting keeps it out of
// the figures.
void WarmUpActivationDrawing(HWND window);

// The same for another process (a handle with query and read rights; the same architecture as
// this one): GDI and USER objects and private memory, without the heap figure.
ProcessResources MeasureResources(HANDLE process);

}  // namespace lvx::test

#endif
