// Portable pieces of the text operations (no Windows API): the whole-document length total and
// the assembly of page texts into one bounded result.
#ifndef LUMIVEX_WRAPPER_TEXT_ASSEMBLY_H
#define LUMIVEX_WRAPPER_TEXT_ASSEMBLY_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace lvx {

// Sum of the page text lengths the viewer reports. A negative length is the viewer's error, not
// text: such a page adds nothing. A sum beyond the signed 32-bit range stays at the largest
// value instead of wrapping round to a small or negative total that would pass for a text that
// fits a field.
class PageLengthTotal {
 public:
  void Add(std::int32_t pageLength) noexcept;
  [[nodiscard]] std::int32_t Value() const noexcept { return total_; }

 private:
  std::int32_t total_ = 0;
};

// Text the viewer wrote into a page buffer: up to its first NUL, never past the buffer's end.
std::string_view WrittenText(std::span<const char> buffer) noexcept;

// Collects page texts one after the other into a caller's buffer, keeping at most
// buffer.size() - 1 characters and a NUL after them; what would go beyond is cut off. Each
// append costs time in proportion to the text appended, so a whole document assembles in time
// linear in its size.
class TextAssembler {
 public:
  explicit TextAssembler(std::span<char> buffer) noexcept;
  void Append(std::string_view text) noexcept;
  [[nodiscard]] std::string_view Text() const noexcept { return {buffer_.data(), used_}; }

 private:
  std::span<char> buffer_;
  std::size_t used_ = 0;
};

}  // namespace lvx

#endif
