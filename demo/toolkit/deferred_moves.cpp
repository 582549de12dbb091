#include "deferred_moves.h"

#include <cstdlib>
#include <vector>

namespace lvx::toolkit {
namespace {

struct Move {
  HWND window;
  RECT rect;  // left, top, width, height
  bool done;  // applied, or left out, in the batch being applied now
};

constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE;

struct DeferredState {
  std::int32_t count = 0;
  std::int32_t counted = 0;  // moves of the open batch: gathered, or skipped for want of a window
  std::vector<Move> batch;
};

DeferredState& State() noexcept {
  static DeferredState state;
  return state;
}

void ApplyNow(const Move& move) noexcept {
  SetWindowPos(move.window, nullptr, move.rect.left, move.rect.top, move.rect.right,
               move.rect.bottom, kMoveFlags);
}

// Applies the gathered moves together, one DeferWindowPos batch per parent window (a batch must
// not mix parents). Windows destroyed since they were gathered are left out. Allocates nothing,
// so that it works when memory is short.
void ApplyBatch() noexcept {
  DeferredState& state = State();
  std::vector<Move> batch;
  batch.swap(state.batch);
  state.counted = 0;
  for (Move& move : batch) {
    move.done = IsWindow(move.window) == FALSE;
  }
  for (Move& first : batch) {
    if (first.done) {
      continue;
    }
    const HWND parent = GetParent(first.window);
    const auto sameParent = [parent](const Move& move) {
      return !move.done && GetParent(move.window) == parent;
    };
    int group = 0;
    for (const Move& move : batch) {
      group += sameParent(move) ? 1 : 0;
    }
    HDWP positions = BeginDeferWindowPos(group);
    for (const Move& move : batch) {
      if (positions != nullptr && sameParent(move)) {
        positions = DeferWindowPos(positions, move.window, nullptr, move.rect.left, move.rect.top,
                                   move.rect.right, move.rect.bottom, kMoveFlags);
      }
    }
    const bool together = positions != nullptr && EndDeferWindowPos(positions) != FALSE;
    for (Move& move : batch) {
      if (sameParent(move)) {
        if (!together) {
          // Out of resources for the batch: the moves are still made, one by one.
          ApplyNow(move);
        }
        move.done = true;
      }
    }
  }
}

}  // namespace

std::int32_t DeferredMoveCount() noexcept { return State().count; }

void SetDeferredMoveCount(std::int32_t count) noexcept {
  ApplyBatch();
  State().count = count;
}

std::int32_t PendingMoveCount() noexcept { return State().counted; }

void MoveWindowDeferred(HWND window, int x, int y, int width, int height) noexcept {
  DeferredState& state = State();
  const Move move{window, RECT{x, y, width, height}, false};
  if (state.count == 0) {
    if (window != nullptr) {
      ApplyNow(move);
    }
    return;
  }
  // Every move counts toward the batch, whether it is gathered, made at once or skipped, so that
  // a batch of N always ends with its N-th move.
  ++state.counted;
  if (window != nullptr) {
    try {
      state.batch.push_back(move);
    } catch (...) {
      // No memory to gather it: the moves gathered before it are made first, then this one.
      const std::int32_t counted = state.counted;
      ApplyBatch();
      state.counted = counted;
      ApplyNow(move);
    }
  }
  const std::int64_t size = std::llabs(static_cast<std::int64_t>(state.count));
  if (state.counted >= size) {
    ApplyBatch();
    if (state.count > 0) {
      state.count = 0;
    }
  }
}

}  // namespace lvx::toolkit
