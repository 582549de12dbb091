#include "object_footprint.h"

#include "parser.h"

namespace lvx::pdf {
namespace {

// Heap bookkeeping of one allocation (shared control block, allocator header).
constexpr std::size_t kAllocation = 32;

std::size_t TextBytes(const std::string& text) {
  return text.capacity() > 15 ? text.capacity() + kAllocation : 0;
}

std::size_t DictBytes(const Dict& dict, int depth);

std::size_t Bytes(const Object& object, int depth) {
  if (depth > kMaxObjectDepth) {
    return 0;
  }
  if (object.IsName()) {
    return TextBytes(object.AsName());
  }
  if (object.IsString()) {
    return TextBytes(object.AsString());
  }
  if (object.IsArray()) {
    std::size_t bytes = kAllocation + object.AsArray().capacity() * sizeof(Object);
    for (const Object& item : object.AsArray()) {
      bytes += Bytes(item, depth + 1);
    }
    return bytes;
  }
  if (object.IsStream()) {
    return kAllocation + sizeof(Stream) + DictBytes(object.AsDict(), depth + 1);
  }
  if (object.IsDict()) {
    return kAllocation + sizeof(Dict) + DictBytes(object.AsDict(), depth + 1);
  }
  return 0;
}

std::size_t DictBytes(const Dict& dict, int depth) {
  std::size_t bytes = dict.entries.capacity() * sizeof(dict.entries[0]);
  for (const auto& [key, value] : dict.entries) {
    bytes += TextBytes(key) + Bytes(value, depth);
  }
  return bytes;
}

}  // namespace

std::size_t Footprint(const Object& object) { return sizeof(Object) + Bytes(object, 0); }

}  // namespace lvx::pdf
