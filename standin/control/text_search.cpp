#include "text_search.h"

#include <algorithm>
#include <cmath>

namespace lvx::standin {
namespace {

bool IsSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == 0xA0;
}

// Lower case in Windows-1252.
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') {
    return static_cast<unsigned char>(c + ('a' - 'A'));
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
    return static_cast<unsigned char>(c + 0x20);
  }
  switch (c) {
    case 0x8A:  // S with caron
    case 0x8C:  // OE
    case 0x8E:  // Z with caron
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Y with diaeresis
      return 0xFF;
    default:
      return c;
  }
}

// Letters and digits of Windows-1252.
bool IsWordCharacter(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
    return true;
  }
  switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

bool MatchesAt(std::string_view text, std::string_view pattern, std::int32_t options,
               std::size_t at) {
  if (at + pattern.size() > text.size()) {
    return false;
  }
  const bool matchCase = (options & kFindMatchCase) != 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto t = static_cast<unsigned char>(text[at + i]);
    const auto p = static_cast<unsigned char>(pattern[i]);
    if (matchCase ? t != p : Fold(t) != Fold(p)) {
      return false;
    }
  }
  if ((options & kFindWholeWords) != 0) {
    const std::size_t end = at + pattern.size();
    if (at > 0 && IsWordCharacter(static_cast<unsigned char>(text[at - 1]))) {
      return false;
    }
    if (end < text.size() && IsWordCharacter(static_cast<unsigned char>(text[end]))) {
      return false;
    }
  }
  return true;
}

// Whether the next run continues the previous one's word (no gap between them on one line).
bool Continues(const pdf::TextRun& previous, const pdf::TextRun& next) {
  const double size = std::max({std::fabs(previous.fontSize), std::fabs(next.fontSize), 1.0});
  if (std::fabs(next.y - previous.y) > 0.3 * size || previous.width <= 0) {
    return false;
  }
  const double gap = next.x - (previous.x + previous.width);
  return gap > -0.5 * size && gap < 0.2 * size;
}

}  // namespace

PageText BuildPageText(std::span<const pdf::TextRun> runs) {
  PageText page;
  bool pendingSpace = false;
  const pdf::TextRun* previous = nullptr;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const pdf::TextRun& run = runs[r];
    if (run.text.empty()) {
      continue;
    }
    if (previous != nullptr && !Continues(*previous, run)) {
      pendingSpace = true;
    }
    previous = &run;
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      const auto c = static_cast<unsigned char>(run.text[i]);
      if (IsSpace(c)) {
        pendingSpace = true;
        continue;
      }
      if (pendingSpace && !page.text.empty()) {
        page.text.push_back(' ');
        page.run.push_back(-1);
        page.offset.push_back(0);
      }
      pendingSpace = false;
      page.text.push_back(static_cast<char>(c));
      page.run.push_back(static_cast<int>(r));
      page.offset.push_back(static_cast<int>(i));
    }
  }
  return page;
}

std::string NormalizePattern(std::string_view pattern) {
  std::string normal;
  bool space = false;
  for (const char c : pattern) {
    if (IsSpace(static_cast<unsigned char>(c))) {
      space = true;
      continue;
    }
    if (space) {
      normal.push_back(' ');
      space = false;
    }
    normal.push_back(c);
  }
  if (space) {
    normal.push_back(' ');
  }
  return normal;
}

std::vector<TextMatch> FindAll(std::string_view text, std::string_view pattern,
                               std::int32_t options) {
  std::vector<TextMatch> matches;
  std::size_t from = 0;
  while (const auto match = FindFrom(text, pattern, options, from)) {
    matches.push_back(*match);
    from = match->end;
  }
  return matches;
}

std::optional<TextMatch> FindFrom(std::string_view text, std::string_view pattern,
                                  std::int32_t options, std::size_t from) {
  if (pattern.empty() || pattern.size() > text.size()) {
    return std::nullopt;
  }
  for (std::size_t at = from; at + pattern.size() <= text.size(); ++at) {
    if (MatchesAt(text, pattern, options, at)) {
      return TextMatch{at, at + pattern.size()};
    }
  }
  return std::nullopt;
}

std::optional<TextMatch> FindBefore(std::string_view text, std::string_view pattern,
                                    std::int32_t options, std::size_t before) {
  if (pattern.empty() || pattern.size() > std::min(before, text.size())) {
    return std::nullopt;
  }
  for (std::size_t at = std::min(before, text.size()) - pattern.size() + 1; at-- > 0;) {
    if (MatchesAt(text, pattern, options, at)) {
      return TextMatch{at, at + pattern.size()};
    }
  }
  return std::nullopt;
}

std::vector<RunSpan> SpansOf(const PageText& page, TextMatch match) {
  std::vector<RunSpan> spans;
  const std::size_t end = std::min(match.end, page.text.size());
  for (std::size_t i = match.begin; i < end; ++i) {
    const int run = page.run[i];
    if (run < 0) {
      continue;
    }
    const auto offset = static_cast<std::size_t>(page.offset[i]);
    if (!spans.empty() && spans.back().run == run && spans.back().end <= offset) {
      spans.back().end = offset + 1;
    } else {
      spans.push_back({run, offset, offset + 1});
    }
  }
  return spans;
}

}  // namespace lvx::standin
