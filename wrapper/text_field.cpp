#include "text_field.h"

#include <algorithm>
#include <cstring>

namespace lvx {

std::string_view TrimTrailingSpaces(std::string_view text) noexcept {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string_view TrimmedText(LvxText text) noexcept {
  if (text.data == nullptr || text.length <= 0) {
    return {};
  }
  const auto length = static_cast<std::size_t>(text.length);
  const void* nul = std::memchr(text.data, '\0', length);
  const std::size_t used =
      nul == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(nul) - text.data);
  return TrimTrailingSpaces(std::string_view(text.data, used));
}

std::size_t CopyCut(std::string_view text, std::span<char> buffer) noexcept {
  if (buffer.empty()) {
    return 0;
  }
  const std::size_t count = std::min(text.size(), buffer.size() - 1);
  std::copy_n(text.data(), count, buffer.data());
  buffer[count] = '\0';
  return count;
}

std::span<char> FieldBytes(LvxTextField field) noexcept {
  if (field.data == nullptr || field.capacity <= 0) {
    return {};
  }
  return {field.data, static_cast<std::size_t>(field.capacity)};
}

void AssignPadded(LvxTextField field, std::string_view text) noexcept {
  const std::span<char> bytes = FieldBytes(field);
  const std::string_view trimmed = TrimTrailingSpaces(text);
  const std::size_t count = std::min(trimmed.size(), bytes.size());
  std::memmove(bytes.data(), trimmed.data(), count);  // the text may lie inside the field
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(count), bytes.end(), ' ');
}

}  // namespace lvx
