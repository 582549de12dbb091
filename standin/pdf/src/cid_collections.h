// The Unicode text of CIDs in Adobe's character collections for Chinese (CNS1, GB1), Japanese
// (Japan1) and Korean (Korea1): what a CID-keyed font without a ToUnicode map shows.
#ifndef LVXPDF_CID_COLLECTIONS_H
#define LVXPDF_CID_COLLECTIONS_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lvx::pdf {

struct CidSequence {
  std::uint32_t cid;
  std::uint32_t offset;  // into the shared pool of code points
  std::uint32_t length;
};

struct CidCollection {
  const char* ordering;
  std::span<const std::uint16_t> units;    // by CID: a BMP character, 0 when unmapped
  std::span<const CidSequence> sequences;  // sorted by CID: text that one unit cannot hold
};

// The collection of a CIDSystemInfo's Registry and Ordering; null for any other.
const CidCollection* FindCidCollection(std::string_view registry, std::string_view ordering);

// The text of `cid` in `collection`; empty when the collection does not map it.
std::u32string CidText(const CidCollection& collection, std::uint32_t cid);

}  // namespace lvx::pdf

#endif
