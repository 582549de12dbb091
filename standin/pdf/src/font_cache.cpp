#include "font_cache.h"

#include "file.h"

namespace lvx::pdf {

std::shared_ptr<const Font> FontCache::Get(PdfFile& file, const Object& font) {
  std::uintptr_t key = 0;
  Object dict;
  if (font.IsRef()) {
    key = (static_cast<std::uintptr_t>(font.AsRef().num) << 1U) | 1U;
  } else if (font.IsDict()) {
    // Dictionaries are aligned: their addresses are even.
    key = reinterpret_cast<std::uintptr_t>(&font.AsDict());
    dict = font;
  } else {
    return nullptr;
  }
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
