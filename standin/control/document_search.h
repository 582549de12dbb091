// The viewer's search over the shown document: the option bits (code 253), the position that
// "find next" goes on from (code 254 puts it back at the start), finding (255), counting (256)
// and the marked text (257). Pure code over a ShownDocument.
#ifndef LUMIVEX_STANDIN_DOCUMENT_SEARCH_H
#define LUMIVEX_STANDIN_DOCUMENT_SEARCH_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lvxpdf/byte_budget_cache.h"

#include "shown_document.h"
#include "text_search.h"

namespace lvx::standin {

// Each page's searchable text, built when first needed and kept, within a budget of bytes, until
// the document changes: searching a long document does not keep every page's text.
class PageTextCache {
 public:
  static constexpr std::size_t kBudgetBytes = std::size_t{8} << 20;

  // The page's text; the reference holds until the next call.
  const PageText& Get(const ShownDocument& document, int page);
  void Clear() { pages_.Clear(); }
  [[nodiscard]] std::size_t Bytes() const { return pages_.Bytes(); }

 private:
  pdf::ByteBudgetCache<int, PageText> pages_{kBudgetBytes};
};

struct FoundText {
  int page = 0;
  TextMatch match;
};

class DocumentSearch {
 public:
  // Replaces the option bits (only kFindMatchCase, kFindWholeWords and kFindBackwards count).
  void SetOptions(std::int32_t options) { options_ = options; }
  [[nodiscard]] std::int32_t Options() const { return options_; }

  // Back to the document's start: the next forward search begins on the first page, the next
  // backward one on the last page's end.
  void Reset() { found_.reset(); }

  // Finds the occurrence after (or, backwards, before) the last one found. Answers its page,
  // or -1 when there is none up to the document's end (or start); the position then goes back to
  // the start, so that the next search begins again from there.
  int FindNext(const ShownDocument& document, PageTextCache& pages, std::string_view pattern);
  // Every occurrence in the document.
  std::int32_t CountAll(const ShownDocument& document, PageTextCache& pages,
                        std::string_view pattern) const;

  [[nodiscard]] const std::optional<FoundText>& LastFound() const { return found_; }

 private:
  std::int32_t options_ = 0;
  std::optional<FoundText> found_;
};

// Every occurrence of `pattern` in the document, with the given option bits.
std::int32_t CountOccurrences(const ShownDocument& document, PageTextCache& pages,
                              std::string_view pattern, std::int32_t options);

// The text marked on screen (code 257): every occurrence, with the search options in force when
// it was set. An empty text marks nothing.
struct MarkedText {
  std::string pattern;  // normalised
  std::int32_t options = 0;
  std::int32_t count = 0;  // occurrences in the whole document
};

}  // namespace lvx::standin

#endif
