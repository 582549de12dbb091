// ostrada: a demonstration of the PDF viewer in a window of its own, "VIEW PDF", whose menu
// drives every operation of the viewer wrapper.
#include <windows.h>

#include <exception>

#include "main_window.h"
#include "session.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  try {
    const lvx::toolkit::Session session(instance);
    ostrada::MAINWINDOW();
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "ostrada", MB_OK | MB_ICONERROR);
    return 1;
  }
  return 0;
}
