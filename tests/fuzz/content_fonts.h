// The fonts both content-stream targets run against, so that text shown in either meets the same
// kinds: a simple font with its own widths, a standard font without widths and a CID font of a
// character collection. Each target adds its own Type 3 font after them.
#ifndef LVX_TESTS_FUZZ_CONTENT_FONTS_H
#define LVX_TESTS_FUZZ_CONTENT_FONTS_H

#include <string>
#include <string_view>

#include "pdf_builder.h"

namespace lvx::pdf::test {

// Adds the three fonts as the next three objects (/F1, /F2 and /F3 of the targets' resources).
// `simpleFontExtra` goes into the simple font's dictionary (a ToUnicode entry, say).
inline void AddContentFonts(PdfBuilder& pdf, std::string_view simpleFontExtra = {}) {
  pdf.Add(
      "<< /Type /Font /Subtype /Type1 /BaseFont /X /Encoding /WinAnsiEncoding /FirstChar 32"
      " /LastChar 40 /Widths [250 300 400 500 500 800 700 200 300] " +
      std::string(simpleFontExtra) + " >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>");
  pdf.Add(
      "<< /Type /Font /Subtype /Type0 /BaseFont /MingLiU /Encoding /Identity-H /DescendantFonts"
      " [<< /Type /Font /Subtype /CIDFontType0 /CIDSystemInfo << /Registry (Adobe) /Ordering"
      " (CNS1) /Supplement 0 >> /W [1 [500 600] 16 32 400] >>] >>");
}

}  // namespace lvx::pdf::test

#endif
