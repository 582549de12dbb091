// The page tree: its leaves in order, with the attributes pages inherit (Resources, MediaBox,
// CropBox, Rotate). Cycles and absurd depth are cut off; unreadable nodes are skipped; a page
// listed twice counts twice.
#ifndef LVXPDF_PAGE_TREE_H
#define LVXPDF_PAGE_TREE_H

#include <cstddef>
#include <vector>

#include "object.h"
#include "text_assembly.h"

namespace lvx::pdf {

class PdfFile;

inline constexpr int kMaxPageTreeDepth = 256;
// The most pages a document has; the rest are left out. With entries of at most 160 bytes the
// list holds at most 10 MiB (page_limits.h).
inline constexpr std::size_t kMaxPages = std::size_t{1} << 16;

struct PageInfo {
  Object page;                   // the page dictionary, or the reference to it
  Object resources;              // own or inherited (null when `resourcesInPage`)
  bool resourcesInPage = false;  // the page dictionary's own /Resources, written into it
  PageBox mediaBox;
  PageBox cropBox;
  int rotation = 0;  // 0, 90, 180 or 270
};

static_assert(sizeof(PageInfo) <= 160, "the page list's share of the memory budget");

std::vector<PageInfo> ReadPageTree(PdfFile& file, const Object& root);

}  // namespace lvx::pdf

#endif
