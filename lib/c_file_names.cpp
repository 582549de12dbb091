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

}  // namespace

std::wstring_view WideText(const wchar_t* data, std::int32_t length) noexcept {
  return Trimmed(data, length);
}

std::string_view NarrowText(const char* data, std::int32_t length) noexcept {
  return Trimmed(data, length);
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
