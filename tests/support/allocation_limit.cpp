// The replaceable global allocation functions of the test programs that link this file, with a
// size limit the tests set (allocation_limit.h). Without a limit they behave as the standard ones.
#include "allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::size_t> limit{std::numeric_limits<std::size_t>::max()};
std::atomic<std::size_t> refused{0};

void* Allocate(std::size_t bytes) {
  if (bytes >= limit.load()) {
    refused.fetch_add(1);
    throw std::bad_alloc();
  }
  // malloc(0) may answer null; operator new must answer a unique pointer.
  void* memory = std::malloc(bytes == 0 ? 1 : bytes);  // NOLINT(cppcoreguidelines-no-malloc)
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

}  // namespace

namespace lvx::test {

AllocationLimit::AllocationLimit(std::size_t bytes) noexcept
    : previous_(limit.exchange(bytes)), refusedBefore_(refused.load()) {}

AllocationLimit::~AllocationLimit() { limit.store(previous_); }

std::size_t AllocationLimit::Refused() const noexcept { return refused.load() - refusedBefore_; }

}  // namespace lvx::test

// NOLINTBEGIN(cppcoreguidelines-no-malloc, misc-new-delete-overloads)
void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t /*bytes*/) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t /*bytes*/) noexcept { std::free(memory); }
// NOLINTEND(cppcoreguidelines-no-malloc, misc-new-delete-overloads)
