// The page tree: its leaves in order, with the attributes pages inherit (Resources, MediaBox,
// CropBox, Rotate). Cycles and absurd depth are cut off; unreadable nodes are skipped.
#ifndef LVXPDF_PAGE_TREE_H
#define LVXPDF_PAGE_TREE_H

#include <vector>

#include "object.h"
#include "text_assembly.h"

namespace lvx::pdf {

class PdfFile;

inline constexpr int kMaxPageTreeDepth = 256;

struct PageInfo {
  Object page;                   // the page dictionary, or the reference to it
  Object resources;              // own or inherited (null when `resourcesInPage`)
  bool resourcesInPage = false;  // the page dictionary's own /Resources, written into it
  PageBox mediaBox;
  PageBox cropBox;
  int rotation = 0;  // 0, 90, 180 or 270
};

std::vector<PageInfo> ReadPageTree(PdfFile& file, const Object& root);

}  // namespace lvx::pdf

#endif
