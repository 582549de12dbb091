// Texts of the C interface: file names in UTF-16 or UTF-8, given with a length or NUL-terminated.
#ifndef LUMIVEX_LIB_C_FILE_NAMES_H
#define LUMIVEX_LIB_C_FILE_NAMES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lvx {

inline constexpr const char* kInvalidUtf8FileName = "The file name is not valid UTF-8.";

// UTF-8 as UTF-16; nothing for invalid UTF-8. Throws std::bad_alloc.
std::optional<std::wstring> WideFromUtf8(std::string_view text);

// The characters of a C interface text of `length` units (-1: up to the NUL): up to the first
// NUL, trailing spaces removed.
std::wstring_view WideText(const wchar_t* data, std::int32_t length) noexcept;
std::string_view NarrowText(const char* data, std::int32_t length) noexcept;

}  // namespace lvx

#endif
