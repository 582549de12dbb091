#include "text_assembly.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lvx {

void PageLengthTotal::Add(std::int32_t pageLength) noexcept {
  if (pageLength <= 0) {
    return;
  }
  constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
  total_ = pageLength > kLargest - total_ ? kLargest : total_ + pageLength;
}

std::string_view WrittenText(std::span<const char> buffer) noexcept {
  if (buffer.empty()) {
    return {};
  }
  const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
  const std::size_t length =
      nul == nullptr ? buffer.size()
                     : static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data());
  return {buffer.data(), length};
}

TextAssembler::TextAssembler(std::span<char> buffer) noexcept : buffer_(buffer) {
  if (!buffer_.empty()) {
    buffer_[0] = '\0';
  }
}

void TextAssembler::Append(std::string_view text) noexcept {
  if (buffer_.empty()) {
    return;
  }
  const std::size_t room = buffer_.size() - 1 - used_;
  const std::size_t count = std::min(text.size(), room);
  if (count == 0) {
    return;
  }
  std::memcpy(buffer_.data() + used_, text.data(), count);
  used_ += count;
  buffer_[used_] = '\0';
}

}  // namespace lvx
