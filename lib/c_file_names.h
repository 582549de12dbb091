// File names of any script for the viewer, which takes 8-bit (ANSI code page) names only.
#ifndef LUMIVEX_LIB_C_FILE_NAMES_H
#define LUMIVEX_LIB_C_FILE_NAMES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lvx {

// Shown when a name can reach the viewer in no form.
inline constexpr const char* kNoAnsiFileName =
    "The file name has characters the system's code page cannot write, and its volume gives the "
    "file no short name: the viewer cannot open it.";

inline constexpr const char* kInvalidUtf8FileName = "The file name is not valid UTF-8.";

// A UTF-16 file name as the viewer can open it: the name itself when the ANSI code page writes
// every character of it, otherwise the file's short (8.3) name, which is plain ASCII. Nothing when
// the file has no short name (a volume that keeps none, or no such file). Throws std::bad_alloc.
std::optional<std::string> AnsiFileName(std::wstring_view name);

// UTF-8 as UTF-16; nothing for invalid UTF-8. Throws std::bad_alloc.
std::optional<std::wstring> WideFromUtf8(std::string_view text);

// The characters of a C interface text of `length` units (-1: up to the NUL): up to the first
// NUL, trailing spaces removed.
std::wstring_view WideText(const wchar_t* data, std::int32_t length) noexcept;
std::string_view NarrowText(const char* data, std::int32_t length) noexcept;

}  // namespace lvx

#endif
