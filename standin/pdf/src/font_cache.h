// The fonts of one document, loaded once per font object and kept within a budget of bytes: a
// document of thousands of fonts holds only the recently used ones.
#ifndef LVXPDF_FONT_CACHE_H
#define LVXPDF_FONT_CACHE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "font.h"
#include "lvxpdf/byte_budget_cache.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

class FontCache {
 public:
  static constexpr std::size_t kBudgetBytes = std::size_t{4} << 20;

  std::shared_ptr<const Font> Get(PdfFile& file, const Object& font);
  [[nodiscard]] std::size_t Bytes() const { return fonts_.Bytes(); }

 private:
  // Keyed by object number for fonts that are objects of their own (odd keys), and by their
  // dictionary's address for fonts written directly into resources (kept alive with the entry).
  using Entry = std::pair<Object, std::shared_ptr<const Font>>;
  ByteBudgetCache<std::uintptr_t, Entry> fonts_{kBudgetBytes};
};

}  // namespace lvx::pdf

#endif
