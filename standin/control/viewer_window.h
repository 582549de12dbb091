// The stand-in viewer window class "Tarnvik_LUMIVEX_01".
#ifndef LUMIVEX_STANDIN_VIEWER_WINDOW_H
#define LUMIVEX_STANDIN_VIEWER_WINDOW_H

#include <windows.h>

namespace lvx::standin {

// Registers the class as application-global, owned by `module`. Answers false on failure.
bool RegisterViewerClass(HINSTANCE module);
void UnregisterViewerClass(HINSTANCE module);

// This library's module: the owner of the window classes of the viewer's parts.
HINSTANCE StandinModule();

}  // namespace lvx::standin

#endif
