#include "object.h"

#include <cmath>

namespace lvx::pdf {
namespace {

const std::string& EmptyString() {
  static const std::string empty;
  return empty;
}

}  // namespace

const Object& NullObject() {
  static const Object null;
  return null;
}

std::int64_t Object::AsInt(std::int64_t fallback) const {
  if (const auto* value = std::get_if<std::int64_t>(&value_)) {
    return *value;
  }
  if (const auto* value = std::get_if<double>(&value_)) {
    // Outside this range the conversion would be undefined.
    if (std::isfinite(*value) && std::fabs(*value) < 9.0e18) {
      return static_cast<std::int64_t>(*value);
    }
  }
  return fallback;
}

double Object::AsNumber(double fallback) const {
  if (const auto* value = std::get_if<std::int64_t>(&value_)) {
    return static_cast<double>(*value);
  }
  if (const auto* value = std::get_if<double>(&value_)) {
    return std::isfinite(*value) ? *value : fallback;
  }
  return fallback;
}

const std::string& Object::AsName() const {
  const auto* value = std::get_if<Name>(&value_);
  return value != nullptr ? value->value : EmptyString();
}

const std::string& Object::AsString() const {
  const auto* value = std::get_if<String>(&value_);
  return value != nullptr ? value->bytes : EmptyString();
}

const Array& Object::AsArray() const {
  static const Array empty;
  const auto* value = std::get_if<std::shared_ptr<const Array>>(&value_);
  return value != nullptr && *value ? **value : empty;
}

const Dict& Object::AsDict() const {
  static const Dict empty;
  if (const auto* value = std::get_if<std::shared_ptr<const Dict>>(&value_); value && *value) {
    return **value;
  }
  if (const auto* value = std::get_if<std::shared_ptr<const Stream>>(&value_); value && *value) {
    return (*value)->dict;
  }
  return empty;
}

const Stream* Object::AsStream() const {
  const auto* value = std::get_if<std::shared_ptr<const Stream>>(&value_);
  return value != nullptr ? value->get() : nullptr;
}

const Object& Dict::Get(std::string_view key) const {
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->first == key) {
      return it->second;
    }
  }
  return NullObject();
}

bool Dict::Has(std::string_view key) const { return !Get(key).IsNull(); }

}  // namespace lvx::pdf
