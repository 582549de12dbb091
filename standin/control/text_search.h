// Finding text on pages: the searchable text of a page (built from its text runs, so that every
// character found can be traced back to the run that draws it) and matching with the search
// options. Text is Windows-1252. Pure code, no Windows API.
#ifndef LUMIVEX_STANDIN_TEXT_SEARCH_H
#define LUMIVEX_STANDIN_TEXT_SEARCH_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lvxpdf/document.h"

namespace lvx::standin {

// Search option bits (code 253). Bits not listed here are ignored.
inline constexpr std::int32_t kFindMatchCase = 1;   // upper and lower case differ
inline constexpr std::int32_t kFindWholeWords = 2;  // a match has no letter or digit on either side
inline constexpr std::int32_t kFindBackwards = 4;   // code 255 goes towards the document's start

// A page's text as the search sees it: the runs in content order, one space where the runs leave
// a gap or change line, every stretch of white space collapsed to one space, none at either end.
struct PageText {
  std::string text;
  std::vector<int> run;     // per character of `text`: index of its run, -1 for a gap's space
  std::vector<int> offset;  // per character: byte index in that run's text
};
PageText BuildPageText(std::span<const pdf::TextRun> runs);

// The search text as it is matched: white space collapsed like the page text's.
std::string NormalizePattern(std::string_view pattern);

struct TextMatch {
  std::size_t begin = 0;
  std::size_t end = 0;
  friend bool operator==(const TextMatch&, const TextMatch&) = default;
};

// Every match, from the start, without overlaps. An empty pattern matches nothing.
std::vector<TextMatch> FindAll(std::string_view text, std::string_view pattern,
                               std::int32_t options);
// The first match that begins at or after `from`.
std::optional<TextMatch> FindFrom(std::string_view text, std::string_view pattern,
                                  std::int32_t options, std::size_t from);
// The last match that ends at or before `before`.
std::optional<TextMatch> FindBefore(std::string_view text, std::string_view pattern,
                                    std::int32_t options, std::size_t before);

// The part of one run that a match covers: bytes [begin, end) of run `run`'s text.
struct RunSpan {
  int run = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
  friend bool operator==(const RunSpan&, const RunSpan&) = default;
};
std::vector<RunSpan> SpansOf(const PageText& page, TextMatch match);

}  // namespace lvx::standin

#endif
