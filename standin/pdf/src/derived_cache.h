// Values the drawing makes from objects of a file (colour spaces, functions, shadings), kept by
// kind and object, within a budget of bytes. A page that selects one colour space thousands of
// times, or a function tree that names the same functions over and over, then reads each object
// once: the work follows the file's size, not what its references multiply to.
#ifndef LVXPDF_DERIVED_CACHE_H
#define LVXPDF_DERIVED_CACHE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "lvxpdf/byte_budget_cache.h"
#include "object.h"

namespace lvx::pdf {

class DerivedCache {
 public:
  static constexpr std::size_t kBudgetBytes = std::size_t{8} << 20;

  enum class Kind : std::uint8_t { kColourSpace = 1, kFunction = 2, kShading = 3 };

  // The value made for `ref` as `kind`, when it is held. A held null means the object could not
  // be made into one (it is not read again).
  template <typename T>
  [[nodiscard]] std::optional<std::shared_ptr<const T>> Find(Kind kind, Ref ref) {
    const std::shared_ptr<const void>* found = values_.Find(Key(kind, ref));
    if (found == nullptr) {
      return std::nullopt;
    }
    return std::static_pointer_cast<const T>(*found);
  }

  template <typename T>
  void Put(Kind kind, Ref ref, const std::shared_ptr<const T>& value, std::size_t bytes) {
    values_.Put(Key(kind, ref), std::static_pointer_cast<const void>(value), bytes);
  }

  void Clear() { values_.Clear(); }
  [[nodiscard]] std::size_t Bytes() const { return values_.Bytes(); }

 private:
  static std::uint64_t Key(Kind kind, Ref ref) {
    return (std::uint64_t{static_cast<std::uint8_t>(kind)} << 56U) |
           (std::uint64_t{ref.gen & 0xFFFFU} << 32U) | ref.num;
  }

  ByteBudgetCache<std::uint64_t, std::shared_ptr<const void>> values_{kBudgetBytes};
};

}  // namespace lvx::pdf

#endif
