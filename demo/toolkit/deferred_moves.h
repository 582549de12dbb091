// The toolkit-wide deferred-move count: control moves can be gathered and applied together, with
// BeginDeferWindowPos / DeferWindowPos / EndDeferWindowPos, so that a window whose controls are
// all rearranged repaints once. One setting for the whole toolkit, used on the UI thread only.
//   count N > 0: the next N moves are gathered and applied together; the count is then 0.
//   count N < 0: moves are gathered in standing batches of |N| for as long as the count stays.
//   count 0:     every move is applied at once.
// Writing the count first applies any batch still open.
#ifndef LUMIVEX_DEMO_TOOLKIT_DEFERRED_MOVES_H
#define LUMIVEX_DEMO_TOOLKIT_DEFERRED_MOVES_H

#include <windows.h>

#include <cstdint>

namespace lvx::toolkit {

std::int32_t DeferredMoveCount() noexcept;
void SetDeferredMoveCount(std::int32_t count) noexcept;

// Moves and sizes `window` (pixels, in its parent's client coordinates), now or in the open
// batch, as the count says. A null window (a control that has none) moves nothing but counts as
// one move of the batch, as does a move that is made at once for want of memory to gather it.
void MoveWindowDeferred(HWND window, int x, int y, int width, int height) noexcept;

// Number of moves the open batch has counted so far.
std::int32_t PendingMoveCount() noexcept;

}  // namespace lvx::toolkit

#endif
