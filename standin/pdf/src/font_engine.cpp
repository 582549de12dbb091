#include "font_engine.h"

#include FT_MODULE_H

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace lvx::pdf {
namespace {

// Each block starts with its size, so that Free can count it back (FreeType's free callback is
// not told the size). The header keeps the block aligned for any type.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t BlockSize(void* block) {
  std::size_t size = 0;
  std::memcpy(&size, static_cast<char*>(block) - kHeader, sizeof size);
  return size;
}

}  // namespace

std::shared_ptr<FontEngine> FontEngine::Make(std::size_t cap) {
  // The engine never moves: FreeType keeps the address of its memory record.
  auto engine = std::make_shared<FontEngine>(Key(), cap);
  if (engine->library_ == nullptr) {
    return nullptr;
  }
  return engine;
}

FontEngine::FontEngine(Key /*key*/, std::size_t cap) : cap_(cap) {
  memory_.user = this;
  memory_.alloc = &FontEngine::Allocate;
  memory_.free = &FontEngine::Free;
  memory_.realloc = &FontEngine::Reallocate;
  if (FT_New_Library(&memory_, &library_) != 0) {
    library_ = nullptr;
    return;
  }
  FT_Add_Default_Modules(library_);
}

FontEngine::~FontEngine() {
  if (library_ != nullptr) {
    FT_Done_Library(library_);
  }
}

void* FontEngine::Allocate(FT_Memory memory, long size) {
  auto& engine = *static_cast<FontEngine*>(memory->user);
  if (size <= 0) {
    return nullptr;
  }
  const auto bytes = static_cast<std::size_t>(size);
  if (bytes > engine.cap_ - engine.used_) {
    return nullptr;  // FreeType reports FT_Err_Out_Of_Memory and gives the font up
  }
  // FreeType's allocator interface hands out untyped blocks.
  void* block = std::malloc(bytes + kHeader);  // NOLINT(cppcoreguidelines-no-malloc)
  if (block == nullptr) {
    return nullptr;
  }
  std::memcpy(block, &bytes, sizeof bytes);
  engine.used_ += bytes;
  engine.peak_ = std::max(engine.peak_, engine.used_);
  return static_cast<char*>(block) + kHeader;
}

void FontEngine::Free(FT_Memory memory, void* block) {
  if (block == nullptr) {
    return;
  }
  auto& engine = *static_cast<FontEngine*>(memory->user);
  engine.used_ -= BlockSize(block);
  std::free(static_cast<char*>(block) - kHeader);  // NOLINT(cppcoreguidelines-no-malloc)
}

void* FontEngine::Reallocate(FT_Memory memory, long /*oldSize*/, long newSize, void* block) {
  if (block == nullptr) {
    return Allocate(memory, newSize);
  }
  auto& engine = *static_cast<FontEngine*>(memory->user);
  const std::size_t old = BlockSize(block);
  if (newSize <= 0) {
    return nullptr;
  }
  const auto bytes = static_cast<std::size_t>(newSize);
  if (bytes > old && bytes - old > engine.cap_ - engine.used_) {
    return nullptr;  // the old block stays valid, as realloc's contract says
  }
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc)
  void* moved = std::realloc(static_cast<char*>(block) - kHeader, bytes + kHeader);
  if (moved == nullptr) {
    return nullptr;
  }
  std::memcpy(moved, &bytes, sizeof bytes);
  engine.used_ = engine.used_ - old + bytes;
  engine.peak_ = std::max(engine.peak_, engine.used_);
  return static_cast<char*>(moved) + kHeader;
}

}  // namespace lvx::pdf
