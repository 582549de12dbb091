// Adobe's predefined CMaps of the CJK character collections that map byte codes to CIDs
// (90ms-RKSJ-H, EUC-H, GBK-EUC-H, B5pc-H, KSC-EUC-H and the others), built from tables that are
// generated at build time from poppler-data's CMaps.
#ifndef LVXPDF_PREDEFINED_CMAPS_H
#define LVXPDF_PREDEFINED_CMAPS_H

#include <optional>
#include <string_view>

#include "cmap.h"

namespace lvx::pdf {

struct PredefinedCMap {
  CMap map;                   // code space and code-to-CID ranges, those of used CMaps included
  std::string_view ordering;  // its collection: "CNS1", "GB1", "Japan1" or "Korea1"
};

// The predefined CMap of that name; nullopt when it is not one of them.
std::optional<PredefinedCMap> FindPredefinedCMap(std::string_view name);

}  // namespace lvx::pdf

#endif
