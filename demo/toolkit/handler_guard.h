// Runs one event handler of a program so that running out of memory ends that handler only: the
// user is told "Not enough memory." and the event loop goes on with the next event.
#ifndef LUMIVEX_DEMO_TOOLKIT_HANDLER_GUARD_H
#define LUMIVEX_DEMO_TOOLKIT_HANDLER_GUARD_H

#include <windows.h>

#include <new>
#include <utility>

#include "message_box.h"

namespace lvx::toolkit {

// Calls `handler`; an allocation failure inside it is shown in a box owned by `owner`.
template <typename Handler>
void RunHandler(HWND owner, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(owner);
  }
}

}  // namespace lvx::toolkit

#endif
