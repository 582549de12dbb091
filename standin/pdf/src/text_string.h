// PDF text strings (document information): UTF-16BE with a byte-order mark, UTF-8 with one, or
// PDFDocEncoding.
#ifndef LVXPDF_TEXT_STRING_H
#define LVXPDF_TEXT_STRING_H

#include <string>
#include <string_view>

namespace lvx::pdf {

std::string TextStringToUtf8(std::string_view bytes);

}  // namespace lvx::pdf

#endif
