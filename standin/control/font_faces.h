// Which installed GDI font draws a PDF font family: the family itself when it is installed,
// otherwise the first installed face of its kind (sans serif, serif, monospaced, symbol).
#ifndef LUMIVEX_STANDIN_FONT_FACES_H
#define LUMIVEX_STANDIN_FONT_FACES_H

#include <string>
#include <string_view>

namespace lvx::standin {

std::string GdiFaceFor(std::string_view pdfFamily);

}  // namespace lvx::standin

#endif
