#include "document_search.h"

#include <vector>

namespace lvx::standin {

const PageText& PageTextCache::Get(const ShownDocument& document, int page) {
  if (const PageText* found = pages_.Find(page)) {
    return *found;
  }
  const std::vector<pdf::TextRun> runs = document.Runs(page);
  PageText text = BuildPageText(runs);
  const std::size_t bytes = sizeof(PageText) + text.text.capacity() +
                            (text.run.capacity() + text.offset.capacity()) * sizeof(int);
  return pages_.Put(page, std::move(text), bytes);
}

int DocumentSearch::FindNext(const ShownDocument& document, PageTextCache& pages,
                             std::string_view pattern) {
  const std::string normal = NormalizePattern(pattern);
  const int count = document.PageCount();
  if (normal.empty() || count <= 0) {
    found_.reset();
    return -1;
  }
  if ((options_ & kFindBackwards) != 0) {
    const int start = found_ ? found_->page : count - 1;
    for (int page = start; page >= 0; --page) {
      const PageText& text = pages.Get(document, page);
      const std::size_t before =
          found_ && page == found_->page ? found_->match.begin : text.text.size();
      if (const auto match = FindBefore(text.text, normal, options_, before)) {
        found_ = FoundText{page, *match};
        return page;
      }
    }
  } else {
    const int start = found_ ? found_->page : 0;
    for (int page = start; page < count; ++page) {
      const PageText& text = pages.Get(document, page);
      const std::size_t from = found_ && page == found_->page ? found_->match.end : 0;
      if (const auto match = FindFrom(text.text, normal, options_, from)) {
        found_ = FoundText{page, *match};
        return page;
      }
    }
  }
  found_.reset();
  return -1;
}

std::int32_t CountOccurrences(const ShownDocument& document, PageTextCache& pages,
                              std::string_view pattern, std::int32_t options) {
  const std::string normal = NormalizePattern(pattern);
  std::int32_t total = 0;
  if (normal.empty()) {
    return 0;
  }
  for (int page = 0; page < document.PageCount(); ++page) {
    total +=
        static_cast<std::int32_t>(FindAll(pages.Get(document, page).text, normal, options).size());
  }
  return total;
}

std::int32_t DocumentSearch::CountAll(const ShownDocument& document, PageTextCache& pages,
                                      std::string_view pattern) const {
  return CountOccurrences(document, pages, pattern, options_);
}

}  // namespace lvx::standin
