#include "font_cache.h"

#include "file.h"

namespace lvx::pdf {

std::uintptr_t FontKey(const Object& font) {
  if (font.IsRef()) {
    return (static_cast<std::uintptr_t>(font.AsRef().num) << 1U) | 1U;
  }
  if (font.IsDict()) {
    // Dictionaries are aligned: their addresses are even.
    return reinterpret_cast<std::uintptr_t>(&font.AsDict());
  }
  return 0;
}

std::shared_ptr<const Font> FontCache::Get(PdfFile& file, const Object& font) {
  const std::uintptr_t key = FontKey(font);
  if (key == 0) {
    return nullptr;
  }
  Object dict = font.IsDict() ? font : Object();
  if (const Entry* found = fonts_.Find(key)) {
    return found->second;
  }
  if (font.IsRef()) {
    dict = file.Resolve(font);
  }
  std::shared_ptr<const Font> loaded = dict.IsDict() ? Font::Load(file, dict.AsDict()) : nullptr;
  const std::size_t bytes = loaded ? loaded->Footprint() : sizeof(Entry);
  // A direct dictionary stays alive with its entry, so that its address names no other.
  fonts_.Put(key, Entry{font.IsRef() ? Object() : dict, loaded}, bytes);
  return loaded;
}

}  // namespace lvx::pdf
