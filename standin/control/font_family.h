// Matching PDF font family names: compared in lower case, and told apart by the words they
// contain ("courier", "times", "sans", ...). Shared by the screen's GDI faces and the printed
// PostScript fonts.
#ifndef LUMIVEX_STANDIN_FONT_FAMILY_H
#define LUMIVEX_STANDIN_FONT_FAMILY_H

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lvx::standin {

// The family name in lower case (ASCII letters; other bytes unchanged).
inline std::string LowerFamily(std::string_view family) {
  std::string lower(family);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Whether a lower-case family name contains any of the words.
inline bool Mentions(std::string_view lowerFamily, std::initializer_list<const char*> words) {
  return std::any_of(words.begin(), words.end(), [&](const char* word) {
    return lowerFamily.find(word) != std::string_view::npos;
  });
}

}  // namespace lvx::standin

#endif
