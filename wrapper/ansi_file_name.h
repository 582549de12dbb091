// File names of any script for the viewer, which takes 8-bit (ANSI code page) names only.
#ifndef LUMIVEX_WRAPPER_ANSI_FILE_NAME_H
#define LUMIVEX_WRAPPER_ANSI_FILE_NAME_H

#include <optional>
#include <string>
#include <string_view>

namespace lvx {

// Shown when a name can reach the viewer in no form.
inline constexpr const char* kNoAnsiFileName =
    "The file name has characters the system's code page cannot write, and its volume gives the "
    "file no short name: the viewer cannot open it.";

// A UTF-16 file name as the viewer can open it: the name itself when the ANSI code page writes
// every character of it, otherwise the file's short (8.3) name, which is plain ASCII. Nothing when
// the file has no short name (a volume that keeps none, or no such file). Throws std::bad_alloc.
std::optional<std::string> AnsiFileName(std::wstring_view name);

}  // namespace lvx

#endif
