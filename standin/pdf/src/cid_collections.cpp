#include "cid_collections.h"

#include <algorithm>

namespace lvx::pdf {
namespace {

#include "cid_to_unicode.inc"

}  // namespace

const CidCollection* FindCidCollection(std::string_view registry, std::string_view ordering) {
  if (registry != "Adobe") {
    return nullptr;
  }
  for (const CidCollection& collection : kCidCollections) {
    if (ordering == collection.ordering) {
      return &collection;
    }
  }
  return nullptr;
}

std::u32string CidText(const CidCollection& collection, std::uint32_t cid) {
  if (cid < collection.units.size() && collection.units[cid] != 0) {
    return {collection.units[cid]};
  }
  const auto found =
      std::lower_bound(collection.sequences.begin(), collection.sequences.end(), cid,
                       [](const CidSequence& entry, std::uint32_t key) { return entry.cid < key; });
  if (found == collection.sequences.end() || found->cid != cid || found->length == 0) {
    return {};
  }
  const std::span<const char32_t> pool(kCidSequencePool);
  if (found->offset + found->length > pool.size()) {
    return {};
  }
  const auto text = pool.subspan(found->offset, found->length);
  return {text.begin(), text.end()};
}

}  // namespace lvx::pdf
