// CMaps: the code space that splits a string into character codes, the character-to-Unicode
// mappings of ToUnicode CMaps (bfchar, bfrange) and the code-to-CID mappings of embedded encoding
// CMaps (cidchar, cidrange). Ranges are kept as ranges: a huge range costs no memory.
#ifndef LVXPDF_CMAP_H
#define LVXPDF_CMAP_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lvx::pdf {

class CMap {
 public:
  static CMap Parse(std::span<const std::uint8_t> data);

  bool HasCodespace() const { return !codespaces_.empty(); }
  // The length in bytes of the code starting at `pos` of `bytes` (at least 1, at most what is
  // left), by the code space ranges; `fallback` when no range is known.
  std::size_t CodeLength(std::string_view bytes, std::size_t pos, std::size_t fallback) const;
  // The Unicode text (UTF-32) of a code; empty when unmapped.
  std::u32string Lookup(std::uint32_t code) const;
  std::optional<std::uint32_t> Cid(std::uint32_t code) const;
  bool Empty() const { return chars_.empty() && ranges_.empty(); }

  // Building a code-to-CID map from tables: code space ranges of `length` bytes (the bounds'
  // bytes big-endian in the low bytes of the values), then CID ranges, where a range added later
  // is found before an earlier one that starts at the same code; then SortCidRanges().
  void AddCodespace(std::size_t length, std::uint32_t low, std::uint32_t high);
  void AddCidRange(std::uint32_t low, std::uint32_t high, std::uint32_t cid);
  void SortCidRanges();
  // An estimate of the heap bytes the map holds.
  std::size_t Footprint() const;

 private:
  struct Codespace {
    std::uint8_t length;
    std::uint8_t low[4];
    std::uint8_t high[4];
  };
  struct Range {
    std::uint32_t low;
    std::uint32_t high;
    std::u32string base;                 // incremented by (code - low) in its last character
    std::vector<std::u32string> values;  // the array form: one value per code
  };
  struct CidRange {
    std::uint32_t low;
    std::uint32_t high;
    std::uint32_t cid;
  };

  std::vector<Codespace> codespaces_;
  std::unordered_map<std::uint32_t, std::u32string> chars_;
  std::vector<Range> ranges_;  // sorted by `low` after parsing
  std::unordered_map<std::uint32_t, std::uint32_t> cidChars_;
  std::vector<CidRange> cidRanges_;
};

// UTF-16BE bytes (with surrogate pairs) to UTF-32; unpaired surrogates are dropped.
std::u32string Utf16BeToUtf32(std::string_view bytes);

}  // namespace lvx::pdf

#endif
