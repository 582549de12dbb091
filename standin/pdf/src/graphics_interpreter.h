// Interprets a page's content streams, form XObjects, Type 3 glyphs and annotation appearances
// into a display list (lvxpdf/display_list.h): paths, clipping, colour, images, shadings and
// text in content order.
//
// Damaged content never stops the page: an operator whose operands are missing or of the wrong
// type is skipped, an unknown colour space reads as grey, an image that cannot be decoded is left
// out. Stated limits bound the work: kMaxDrawingDepth nested forms and glyph procedures,
// kMaxSavedStates saved graphics states, kMaxPathPoints points in one path, kMaxCommands
// commands and kDrawingWorkBudget operators per page; past them the rest is not drawn and the
// list says it was truncated.
#ifndef LVXPDF_GRAPHICS_INTERPRETER_H
#define LVXPDF_GRAPHICS_INTERPRETER_H

#include <cstddef>
#include <cstdint>

#include "graphics_fonts.h"
#include "lvxpdf/display_list.h"
#include "page_tree.h"

namespace lvx::pdf {

class PdfFile;

inline constexpr int kMaxDrawingDepth = 12;
inline constexpr std::size_t kMaxSavedStates = 256;
inline constexpr std::size_t kMaxPathPoints = std::size_t{1} << 20;
inline constexpr std::size_t kMaxCommands = std::size_t{1} << 18;
inline constexpr std::uint64_t kDrawingWorkBudget = 20'000'000;
// Bytes of decoded image data kept for one page.
inline constexpr std::size_t kMaxImageBytes = std::size_t{384} << 20;

// `fonts` keeps the document's fonts from page to page.
DisplayList DrawPage(PdfFile& file, DrawingFontCache& fonts, const PageInfo& page);

}  // namespace lvx::pdf

#endif
