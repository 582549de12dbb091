#include "predefined_cmaps.h"

#include <cstdint>
#include <vector>

namespace lvx::pdf {
namespace {

struct PredefinedCodespace {
  std::uint8_t length;
  std::uint32_t low;
  std::uint32_t high;
};
struct PredefinedCidRange {
  std::uint32_t low;
  std::uint32_t high;
  std::uint32_t cid;
};
struct PredefinedCMapEntry {
  const char* name;
  const char* ordering;
  int parent;  // the CMap it uses, by index; -1 for none
  int firstSpace;
  int spaces;
  int firstRange;
  int ranges;
};

#include "predefined_cmaps.inc"

// CMaps use others at most a few levels deep; a longer chain is damage in the tables.
constexpr int kMaxUsedDepth = 8;

}  // namespace

std::optional<PredefinedCMap> FindPredefinedCMap(std::string_view name) {
  int found = -1;
  for (int i = 0; i < static_cast<int>(std::size(kPredefinedCMaps)); ++i) {
    if (name == kPredefinedCMaps[i].name) {
      found = i;
      break;
    }
  }
  if (found < 0) {
    return std::nullopt;
  }
  // The used CMaps first, so that the named one's own ranges come after theirs.
  std::vector<int> chain;
  for (int at = found; at >= 0 && chain.size() < kMaxUsedDepth; at = kPredefinedCMaps[at].parent) {
    chain.insert(chain.begin(), at);
  }
  PredefinedCMap out;
  out.ordering = kPredefinedCMaps[found].ordering;
  for (const int at : chain) {
    const PredefinedCMapEntry& entry = kPredefinedCMaps[at];
    for (int i = 0; i < entry.spaces; ++i) {
      const PredefinedCodespace& space = kPredefinedCodespaces[entry.firstSpace + i];
      out.map.AddCodespace(space.length, space.low, space.high);
    }
    for (int i = 0; i < entry.ranges; ++i) {
      const PredefinedCidRange& range = kPredefinedCidRanges[entry.firstRange + i];
      out.map.AddCidRange(range.low, range.high, range.cid);
    }
  }
  out.map.SortCidRanges();
  return out;
}

}  // namespace lvx::pdf
