// A page's display list as PostScript, for printing without a device context: paths filled,
// stroked and clipped as the list says, images (JPEG data through the DCTDecode filter, masks
// through imagemask), shadings as their average colour. Text is left to the text runs, which
// the PostScript writer draws after. Pure code, no Windows API.
#ifndef LUMIVEX_STANDIN_POSTSCRIPT_DRAWING_H
#define LUMIVEX_STANDIN_POSTSCRIPT_DRAWING_H

#include <string>

#include "lvxpdf/display_list.h"

namespace lvx::standin {

// Operators in page space (points, origin at the MediaBox's lower left), clips balanced.
std::string PostScriptDrawing(const pdf::DisplayList& list);

}  // namespace lvx::standin

#endif
