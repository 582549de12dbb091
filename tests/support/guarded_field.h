// A caller's fixed-length text field between guard bytes: tests pass it to an operation (as text
// by value or as a field by reference) and then check that nothing outside it was touched. The
// guards are '#', neither space nor NUL, so an operation that reads past a text's length sends
// them along and the difference shows.
#ifndef LUMIVEX_TESTS_GUARDED_FIELD_H
#define LUMIVEX_TESTS_GUARDED_FIELD_H

#include <cstddef>
#include <string>

#include "lumivexctl/lvx_types.h"

namespace lvx::test {

class GuardedField {
 public:
  // A field holding exactly `contents` (its length is the field's length).
  explicit GuardedField(const std::string& contents);
  // A field of `length` bytes filled with `fill`.
  GuardedField(std::size_t length, char fill);

  [[nodiscard]] LvxText Text() const;  // by value
  LvxTextField Field();                // by reference
  [[nodiscard]] std::string Contents() const;
  [[nodiscard]] bool GuardsIntact() const;

 private:
  static constexpr std::size_t kGuard = 16;
  static constexpr char kGuardByte = '#';
  std::size_t length_;
  std::string storage_;
};

}  // namespace lvx::test

#endif
