// Ownership of global memory blocks (HGLOBAL), as the common dialogs hand out printer settings.
#ifndef LUMIVEX_WRAPPER_GLOBAL_MEMORY_H
#define LUMIVEX_WRAPPER_GLOBAL_MEMORY_H

#include <windows.h>

#include <cstddef>
#include <span>

namespace lvx {

// Owns one global memory block and frees it when it goes.
class GlobalMemory {
 public:
  GlobalMemory() noexcept = default;
  explicit GlobalMemory(HGLOBAL block) noexcept : block_(block) {}
  ~GlobalMemory() { Reset(nullptr); }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  GlobalMemory(GlobalMemory&& other) noexcept : block_(other.Release()) {}
  GlobalMemory& operator=(GlobalMemory&& other) noexcept {
    Reset(other.Release());
    return *this;
  }

  [[nodiscard]] HGLOBAL Get() const noexcept { return block_; }
  // Gives up ownership without freeing (to lend the block to an API that may replace it).
  HGLOBAL Release() noexcept {
    const HGLOBAL block = block_;
    block_ = nullptr;
    return block;
  }
  // Frees the owned block (unless it is `block` itself) and owns `block` instead.
  void Reset(HGLOBAL block) noexcept {
    if (block_ != nullptr && block_ != block) {
      GlobalFree(block_);
    }
    block_ = block;
  }

 private:
  HGLOBAL block_ = nullptr;
};

// A global memory block locked for reading while this object lives; empty when the block is
// null or cannot be locked.
class GlobalView {
 public:
  explicit GlobalView(HGLOBAL block) noexcept
      : block_(block), data_(block != nullptr ? GlobalLock(block) : nullptr) {}
  ~GlobalView() {
    if (data_ != nullptr) {
      GlobalUnlock(block_);
    }
  }
  GlobalView(const GlobalView&) = delete;
  GlobalView& operator=(const GlobalView&) = delete;
  GlobalView(GlobalView&&) = delete;
  GlobalView& operator=(GlobalView&&) = delete;

  [[nodiscard]] std::span<const std::byte> Bytes() const noexcept {
    if (data_ == nullptr) {
      return {};
    }
    return {static_cast<const std::byte*>(data_), GlobalSize(block_)};
  }

 private:
  HGLOBAL block_;
  void* data_;
};

}  // namespace lvx

#endif
