#include "released_viewers.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace lvx {
namespace {

// Objects may live on more than one user-interface thread of a process.
struct Registry {
  std::mutex lock;
  std::vector<ReleasedViewer> released;
};

Registry& TheRegistry() noexcept {
  static Registry registry;
  return registry;
}

}  // namespace

bool MarkReleased(const ReleasedViewer& viewer) noexcept {
  Registry& registry = TheRegistry();
  const std::scoped_lock hold(registry.lock);
  auto& released = registry.released;
  const auto found = std::find_if(released.begin(), released.end(), [&](const ReleasedViewer& r) {
    return r.object == viewer.object;
  });
  if (found != released.end()) {
    if (found->window == viewer.window && found->library == viewer.library) {
      return false;
    }
    *found = viewer;
    return true;
  }
  try {
    released.push_back(viewer);
  } catch (...) {
    // No memory for the record: the release goes ahead unrecorded.
  }
  return true;
}

void ForgetReleased(const void* object) noexcept {
  Registry& registry = TheRegistry();
  const std::scoped_lock hold(registry.lock);
  std::erase_if(registry.released, [&](const ReleasedViewer& r) { return r.object == object; });
}

}  // namespace lvx
