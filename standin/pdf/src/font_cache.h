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

// A font resource's key in a document's font caches: its object number for a font that is an
// object of its own (odd keys), its dictionary's address for one written in place (the caller
// keeps the object alive with its entry); 0 for anything else.
std::uintptr_t FontKey(const Object& font);

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
