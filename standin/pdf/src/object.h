// The PDF object model: null, booleans, numbers, strings, names, arrays, dictionaries, indirect
// references and streams. Objects are small values; arrays, dictionaries and streams are shared
// immutable parts, so copying an object is cheap.
#ifndef LVXPDF_OBJECT_H
#define LVXPDF_OBJECT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lvx::pdf {

struct Ref {
  std::uint32_t num = 0;
  std::uint32_t gen = 0;
  friend bool operator==(const Ref&, const Ref&) = default;
};

struct Name {
  std::string value;
};
struct String {
  std::string bytes;
};

class Object;
using Array = std::vector<Object>;
struct Dict;
struct Stream;

class Object {
 public:
  Object() = default;
  Object(bool value) : value_(value) {}               // NOLINT(google-explicit-constructor)
  Object(std::int64_t value) : value_(value) {}       // NOLINT(google-explicit-constructor)
  Object(double value) : value_(value) {}             // NOLINT(google-explicit-constructor)
  Object(Name value) : value_(std::move(value)) {}    // NOLINT(google-explicit-constructor)
  Object(String value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Object(Ref value) : value_(value) {}                // NOLINT(google-explicit-constructor)
  Object(std::shared_ptr<const Array> value)          // NOLINT(google-explicit-constructor)
      : value_(std::move(value)) {}
  Object(std::shared_ptr<const Dict> value)  // NOLINT(google-explicit-constructor)
      : value_(std::move(value)) {}
  Object(std::shared_ptr<const Stream> value)  // NOLINT(google-explicit-constructor)
      : value_(std::move(value)) {}

  [[nodiscard]] bool IsNull() const { return value_.index() == 0; }
  [[nodiscard]] bool IsBool() const { return std::holds_alternative<bool>(value_); }
  [[nodiscard]] bool IsInt() const { return std::holds_alternative<std::int64_t>(value_); }
  [[nodiscard]] bool IsNumber() const { return IsInt() || std::holds_alternative<double>(value_); }
  [[nodiscard]] bool IsName() const { return std::holds_alternative<Name>(value_); }
  [[nodiscard]] bool IsName(std::string_view name) const { return IsName() && AsName() == name; }
  [[nodiscard]] bool IsString() const { return std::holds_alternative<String>(value_); }
  [[nodiscard]] bool IsArray() const {
    return std::holds_alternative<std::shared_ptr<const Array>>(value_);
  }
  [[nodiscard]] bool IsDict() const {
    return std::holds_alternative<std::shared_ptr<const Dict>>(value_);
  }
  [[nodiscard]] bool IsStream() const {
    return std::holds_alternative<std::shared_ptr<const Stream>>(value_);
  }
  [[nodiscard]] bool IsRef() const { return std::holds_alternative<Ref>(value_); }

  [[nodiscard]] bool AsBool(bool fallback = false) const {
    return IsBool() ? std::get<bool>(value_) : fallback;
  }
  // Integers; reals are truncated toward zero within the 64-bit range.
  [[nodiscard]] std::int64_t AsInt(std::int64_t fallback = 0) const;
  [[nodiscard]] double AsNumber(double fallback = 0) const;
  [[nodiscard]] const std::string& AsName() const;    // "" when not a name
  [[nodiscard]] const std::string& AsString() const;  // "" when not a string
  [[nodiscard]] Ref AsRef() const { return IsRef() ? std::get<Ref>(value_) : Ref{}; }
  [[nodiscard]] const Array& AsArray() const;    // empty when not an array
  [[nodiscard]] const Dict& AsDict() const;      // a stream's dictionary, or empty
  [[nodiscard]] const Stream* AsStream() const;  // null when not a stream

 private:
  std::variant<std::monostate, bool, std::int64_t, double, Name, String, Ref,
               std::shared_ptr<const Array>, std::shared_ptr<const Dict>,
               std::shared_ptr<const Stream>>
      value_;
};

struct Dict {
  std::vector<std::pair<std::string, Object>> entries;

  // The value of `key` (the last one when a key repeats), or null.
  [[nodiscard]] const Object& Get(std::string_view key) const;
  [[nodiscard]] bool Has(std::string_view key) const;
};

// A stream: its dictionary and where its encoded data lies in the file's bytes.
struct Stream {
  Dict dict;
  std::size_t offset = 0;
  std::size_t length = 0;
  Ref ref;  // the object it was read from (for decryption), {0, 0} when unknown
};

// Shared empty values for accessors that answer by reference.
const Object& NullObject();

inline std::shared_ptr<const Array> MakeArray(Array array) {
  return std::make_shared<const Array>(std::move(array));
}
inline std::shared_ptr<const Dict> MakeDict(Dict dict) {
  return std::make_shared<const Dict>(std::move(dict));
}

}  // namespace lvx::pdf

#endif
