// The drawing cache: the display lists of the last pages drawn, within kDrawingCacheBytes.
#include <algorithm>

#include "display_list_bytes.h"
#include "drawing_painter.h"
#include "memory_budget.h"

namespace lvx::standin {

std::shared_ptr<const pdf::DisplayList> DrawingCache::Get(const ShownDocument& document, int page) {
  const auto found = std::find_if(pages_.begin(), pages_.end(),
                                  [page](const Entry& entry) { return entry.page == page; });
  if (found != pages_.end()) {
    pages_.splice(pages_.begin(), pages_, found);
    return pages_.front().drawing;
  }
  std::shared_ptr<const pdf::DisplayList> drawing = document.Drawing(page);
  const std::size_t bytes = sizeof(Entry) + (drawing ? DisplayListBytes(*drawing) : 0);
  if (bytes > kDrawingCacheBytes) {
    return drawing;
  }
  while (!pages_.empty() && (pages_.size() >= kPages || bytes_ + bytes > kDrawingCacheBytes)) {
    bytes_ -= pages_.back().bytes;
    pages_.pop_back();
  }
  pages_.push_front({page, drawing, bytes});
  bytes_ += bytes;
  return drawing;
}

}  // namespace lvx::standin
