// How much memory a page's display list holds: the measure by which the drawing cache keeps
// within its share of the stand-in's memory budget (memory_budget.h).
#ifndef LUMIVEX_STANDIN_DISPLAY_LIST_BYTES_H
#define LUMIVEX_STANDIN_DISPLAY_LIST_BYTES_H

#include <cstddef>

#include "lvxpdf/display_list.h"

namespace lvx::standin {

// The bytes the list holds: its commands, their paths, colours and glyphs, and each image's
// pixels and each embedded font program once however many commands share them. An estimate
// from above of the allocations (each vector counted at its capacity), without the allocator's
// own overhead.
std::size_t DisplayListBytes(const pdf::DisplayList& list);

}  // namespace lvx::standin

#endif
