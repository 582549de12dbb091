#include "ansi_file_name.h"

#include <windows.h>

#include <climits>

namespace lvx {
namespace {

// `name` in the ANSI code page when every character has its own code there (no best-fit
// substitutes, no default character). A system whose ANSI code page is UTF-8 writes every name.
std::optional<std::string> InCodePage(std::wstring_view name) {
  if (name.empty()) {
    return std::string();
  }
  if (name.size() > INT_MAX / 4) {
    return std::nullopt;
  }
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int units = static_cast<int>(name.size());
  BOOL lost = FALSE;
  BOOL* const lostFlag = utf8 ? nullptr : &lost;  // the UTF-8 code page takes no default character
  const int bytes =
      WideCharToMultiByte(CP_ACP, flags, name.data(), units, nullptr, 0, nullptr, lostFlag);
  if (bytes <= 0 || lost != FALSE) {
    return std::nullopt;
  }
  std::string result(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, name.data(), units, result.data(), bytes, nullptr, lostFlag);
  if (lost != FALSE) {
    return std::nullopt;
  }
  return result;
}

}  // namespace

std::optional<std::string> AnsiFileName(std::wstring_view name) {
  if (std::optional<std::string> plain = InCodePage(name)) {
    return plain;
  }
  const std::wstring path(name);
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) {
    return std::nullopt;
  }
  std::wstring shortName(needed, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), shortName.data(), needed);
  if (written == 0 || written >= needed) {
    return std::nullopt;
  }
  shortName.resize(written);
  // A volume without short names gives the long name back, which the code page cannot write.
  return InCodePage(shortName);
}

}  // namespace lvx
