// FreeType, the reader's font engine for Type 1 and CFF programs: one library per owner (a
// document's drawing fonts, or one font's text), never shared between threads. Every byte
// FreeType allocates goes through the library's own allocator, which refuses to hold more than
// the cap it was made with, so that a hostile program cannot take more of the host's memory.
#ifndef LVXPDF_FONT_ENGINE_H
#define LVXPDF_FONT_ENGINE_H

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYSTEM_H

#include <cstddef>
#include <memory>

namespace lvx::pdf {

// What one library may hold at once: its faces, their tables and a glyph being loaded.
inline constexpr std::size_t kFontEngineBytes = std::size_t{4} << 20;

class FontEngine {
 public:
  // Null when FreeType cannot start (its own allocations are refused or fail).
  static std::shared_ptr<FontEngine> Make(std::size_t cap = kFontEngineBytes);
  // Made by Make only (the key is private to the class).
  class Key {
    friend class FontEngine;
    Key() = default;
  };
  FontEngine(Key /*key*/, std::size_t cap);
  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;
  FontEngine(FontEngine&&) = delete;
  FontEngine& operator=(FontEngine&&) = delete;

  [[nodiscard]] FT_Library Library() const { return library_; }
  // The bytes FreeType holds now, and the most it has held.
  [[nodiscard]] std::size_t Used() const { return used_; }
  [[nodiscard]] std::size_t Peak() const { return peak_; }
  [[nodiscard]] std::size_t Cap() const { return cap_; }

 private:
  static void* Allocate(FT_Memory memory, long size);
  static void Free(FT_Memory memory, void* block);
  static void* Reallocate(FT_Memory memory, long oldSize, long newSize, void* block);

  std::size_t cap_;
  std::size_t used_ = 0;
  std::size_t peak_ = 0;
  FT_MemoryRec_ memory_{};
  FT_Library library_ = nullptr;
};

}  // namespace lvx::pdf

#endif
