#include "deferred_moves.h"

#include <cstdlib>
#include <vector>

namespace lvx::toolkit {
namespace {

struct Move {
  HWND window;
  RECT rect;  // left, top, width, height
};

constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE;

struct DeferredState {
  std::int32_t count = 0;
  std::vector<Move> batch;
};

DeferredState& State() noexcept {
  static DeferredState state;
  return state;
}

void ApplyNow(const Move& move) {
  SetWindowPos(move.window, nullptr, move.rect.left, move.rect.top, move.rect.right,
               move.rect.bottom, kMoveFlags);
}

// Applies the gathered moves together, one DeferWindowPos batch per parent window (a batch must
// not mix parents). Windows destroyed since they were gathered are left out.
void ApplyBatch() noexcept {
  std::vector<Move> batch;
  batch.swap(State().batch);
  std::vector<bool> done(batch.size(), false);
  for (std::size_t first = 0; first < batch.size(); ++first) {
    if (done[first]) {
      continue;
    }
    const HWND parent = GetParent(batch[first].window);
    std::vector<const Move*> group;
    for (std::size_t i = first; i < batch.size(); ++i) {
      if (!done[i] && GetParent(batch[i].window) == parent) {
        done[i] = true;
        if (IsWindow(batch[i].window) != FALSE) {
          group.push_back(&batch[i]);
        }
      }
    }
    HDWP positions = BeginDeferWindowPos(static_cast<int>(group.size()));
    for (const Move* move : group) {
      if (positions != nullptr) {
        positions = DeferWindowPos(positions, move->window, nullptr, move->rect.left,
                                   move->rect.top, move->rect.right, move->rect.bottom, kMoveFlags);
      }
    }
    if (positions != nullptr) {
      EndDeferWindowPos(positions);
    } else {
      // Out of resources for the batch: the moves are still made, one by one.
      for (const Move* move : group) {
        ApplyNow(*move);
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

std::int32_t PendingMoveCount() noexcept { return static_cast<std::int32_t>(State().batch.size()); }

void MoveWindowDeferred(HWND window, int x, int y, int width, int height) noexcept {
  DeferredState& state = State();
  const Move move{window, RECT{x, y, width, height}};
  if (state.count == 0) {
    ApplyNow(move);
    return;
  }
  try {
    state.batch.push_back(move);
  } catch (...) {
    ApplyNow(move);
    return;
  }
  const std::int64_t size = std::llabs(static_cast<std::int64_t>(state.count));
  if (static_cast<std::int64_t>(state.batch.size()) >= size) {
    ApplyBatch();
    if (state.count > 0) {
      state.count = 0;
    }
  }
}

}  // namespace lvx::toolkit
