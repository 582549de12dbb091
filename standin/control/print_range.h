// The pages a print request covers (code 31's argument against the document's page count).
#ifndef LUMIVEX_STANDIN_PRINT_RANGE_H
#define LUMIVEX_STANDIN_PRINT_RANGE_H

#include <cstdint>
#include <optional>

namespace lvx::standin {

struct PageRange {
  int first = 1;  // 1-based, inclusive
  int last = 1;
  friend bool operator==(const PageRange&, const PageRange&) = default;
};

// 0 means every page. Otherwise the low 16 bits are the first page and the high 16 bits the last
// (both 1-based, unsigned): a first page of 0 means page 1, a last page of 0 means the document's
// end, a last page past the end means the end. Nothing (no page to print) when the document is
// empty, the first page lies past the end, or the first page comes after the last.
std::optional<PageRange> ResolvePageRange(std::int32_t range, int pageCount);

}  // namespace lvx::standin

#endif
