// Text handling shared by all operations: the space-padded text of the interface on one side, the
// NUL-terminated strings of the viewer protocol on the other. Needs no Windows API.
#ifndef LUMIVEX_WRAPPER_TEXT_FIELD_H
#define LUMIVEX_WRAPPER_TEXT_FIELD_H

#include <cstddef>
#include <span>
#include <string_view>

#include "lumivexctl/lvx_types.h"

namespace lvx {

// `text` without its trailing spaces.
std::string_view TrimTrailingSpaces(std::string_view text) noexcept;

// The characters of a text parameter: at most `length` of them, up to the first NUL, trailing
// spaces removed. Null data or a negative length give empty text.
std::string_view TrimmedText(LvxText text) noexcept;

// Copies `text` into `buffer` followed by a NUL, cutting what does not fit before the last byte.
// Answers the number of characters copied. An empty buffer receives nothing.
std::size_t CopyCut(std::string_view text, std::span<char> buffer) noexcept;

// Writes `text` with its trailing spaces removed into the field, cut at the field's capacity, and
// fills the rest of the field with spaces. Writes nothing outside the field.
void AssignPadded(LvxTextField field, std::string_view text) noexcept;

// The field's bytes as a span (empty for a null field or a capacity below 1).
std::span<char> FieldBytes(LvxTextField field) noexcept;

}  // namespace lvx

#endif
