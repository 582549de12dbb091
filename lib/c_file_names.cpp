#include "c_file_names.h"

#include <windows.h>

#include <climits>

namespace lvx {
namespace {

template <typename Char>
std::basic_string_view<Char> Trimmed(const Char* data, std::int32_t length) noexcept {
  if (data == nullptr) {
    return {};
  }
  std::basic_string_view<Char> text =
      length < 0 ? std::basic_string_view<Char>(data)
                 : std::basic_string_view<Char>(data, static_cast<std::size_t>(length));
  text = text.substr(0, text.find(Char{0}));
  const std::size_t last = text.find_last_not_of(Char{' '});
  return last == std::basic_string_view<Char>::npos ? std::basic_string_view<Char>{}
                                                    : text.substr(0, last + 1);
}

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

std::wstring_view WideText(const wchar_t* data, std::int32_t length) noexcept {
  return Trimmed(data, length);
}

std::string_view NarrowText(const char* data, std::int32_t length) noexcept {
  return Trimmed(data, length);
}

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

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
  if (text.empty()) {
    return std::wstring();
  }
  if (text.size() > INT_MAX) {
    return std::nullopt;
  }
  const int bytes = static_cast<int>(text.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, nullptr, 0);
  if (units <= 0) {
    return std::nullopt;
  }
  std::wstring result(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, result.data(), units);
  return result;
}

}  // namespace lvx
