// An allocator the tests control: while an AllocationLimit is alive, every allocation through the
// global operator new of at least `bytes` bytes fails with std::bad_alloc, as it would when the
// memory cannot be had. It makes the out-of-memory paths testable in 32-bit and 64-bit programs
// alike (a 64-bit process gets a 2 GiB buffer that a 32-bit one cannot).
#ifndef LUMIVEX_TESTS_SUPPORT_ALLOCATION_LIMIT_H
#define LUMIVEX_TESTS_SUPPORT_ALLOCATION_LIMIT_H

#include <cstddef>

namespace lvx::test {

class AllocationLimit {
 public:
  explicit AllocationLimit(std::size_t bytes) noexcept;
  ~AllocationLimit();
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
  AllocationLimit(AllocationLimit&&) = delete;
  AllocationLimit& operator=(AllocationLimit&&) = delete;

  // Allocations refused so far under this limit.
  [[nodiscard]] std::size_t Refused() const noexcept;

 private:
  std::size_t previous_;
  std::size_t refusedBefore_;
};

}  // namespace lvx::test

#endif
