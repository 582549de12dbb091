#include "guarded_field.h"

namespace lvx::test {

GuardedField::GuardedField(const std::string& contents)
    : length_(contents.size()),
      storage_(std::string(kGuard, kGuardByte) + contents + std::string(kGuard, kGuardByte)) {}

GuardedField::GuardedField(std::size_t length, char fill)
    : GuardedField(std::string(length, fill)) {}

LvxText GuardedField::Text() const {
  return {storage_.data() + kGuard, static_cast<std::int32_t>(length_)};
}

LvxTextField GuardedField::Field() {
  return {storage_.data() + kGuard, static_cast<std::int32_t>(length_)};
}

std::string GuardedField::Contents() const { return storage_.substr(kGuard, length_); }

bool GuardedField::GuardsIntact() const {
  return storage_.compare(0, kGuard, std::string(kGuard, kGuardByte)) == 0 &&
         storage_.compare(kGuard + length_, kGuard, std::string(kGuard, kGuardByte)) == 0 &&
         storage_.size() == length_ + 2 * kGuard;
}

}  // namespace lvx::test
