// MAINWINDOW: the procedure that runs ostrada's one window from start to end.
#ifndef LUMIVEX_DEMO_MAIN_WINDOW_H
#define LUMIVEX_DEMO_MAIN_WINDOW_H

namespace ostrada {

// Name of the main window's definition in the program's resources.
inline constexpr const char* kMainWindowDefinition = "MAINWINDOW";

// Sets up the viewer, opens the "VIEW PDF" window, starts the viewer over the host region, runs
// the event loop with the menu commands, and on close tears the viewer down and closes the
// window. Returns when the window has been closed.
void MAINWINDOW();  // NOLINT(readability-identifier-naming)

}  // namespace ostrada

#endif
