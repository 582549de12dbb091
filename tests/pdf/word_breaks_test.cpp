// Word breaks: the gaps between glyphs measured with the fonts' real widths (the standard fonts'
// own when a font gives none) in the text space of the line's own direction, whatever its
// rotation or scaling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

std::string Standard(const std::string& name, const std::string& extra = "") {
  return "<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " " + extra + " >>";
}

std::string TextOf(const std::vector<std::string>& fonts, const std::string& content) {
  const auto document = test::Open(test::PageWithFonts(fonts, content));
  return document ? document->PageText(0) : "<no document>";
}

std::vector<TextRun> RunsOf(const std::vector<std::string>& fonts, const std::string& content) {
  const auto document = test::Open(test::PageWithFonts(fonts, content));
  return document ? document->PageRuns(0) : std::vector<TextRun>{};
}

TEST(WordBreaksTest, StandardFontsWithoutWidthsMeasureWithTheirOwn) {
  // Times-Roman: "seventeen" is 39.43 points at size 10, "DOT" 16.44 at size 8. A word placed
  // 2.5 points after the first is a new word; the period placed at the end of "DOT" is not.
  // (An average width of half an em makes "seventeen" 3.4 points longer and "DOT" 4 points.)
  const std::string content =
      "BT /F1 10 Tf 100 700 Td (seventeen) Tj 41.93 0 Td /F1 8 Tf (DOT) Tj"
      " 16.44 0 Td /F1 10 Tf (.) Tj 5 0 Td /F2 10 Tf (Courier,) Tj ET";
  EXPECT_EQ(TextOf({Standard("Times-Roman"), Standard("Courier")}, content),
            "seventeen DOT. Courier,\r\n");
}

TEST(WordBreaksTest, CommonStandInsAndSymbolicFontsTakeTheStandardWidths) {
  // Arial,Bold measures as Helvetica-Bold (W 944, i 278, d 611, t 333, h 611), CourierNew as
  // Courier, and Symbol through its own codes (a is alpha, 631).
  const std::vector<std::string> fonts = {Standard("Arial,Bold"), Standard("CourierNew"),
                                          Standard("Symbol"), Standard("ZapfDingbats")};
  const std::vector<TextRun> runs =
      RunsOf(fonts,
             "BT /F1 10 Tf 100 700 Td (Width) Tj ET BT /F2 10 Tf 100 600 Td (Mono) Tj ET"
             " BT /F3 10 Tf 100 500 Td (a) Tj ET BT /F4 10 Tf 100 400 Td (\\042) Tj ET");
  ASSERT_EQ(runs.size(), 4U);
  EXPECT_NEAR(runs[0].width, 27.77, 1e-9);
  EXPECT_NEAR(runs[1].width, 24.0, 1e-9);
  EXPECT_NEAR(runs[2].width, 6.31, 1e-9);
  EXPECT_NEAR(runs[3].width, 9.61, 1e-9);  // a2, code 042 of the dingbats
  // A font with widths of its own keeps them.
  const std::vector<TextRun> own =
      RunsOf({Standard("Times-Roman", "/FirstChar 65 /LastChar 65 /Widths [100]")},
             "BT /F1 10 Tf 100 700 Td (AA) Tj ET");
  ASSERT_EQ(own.size(), 1U);
  EXPECT_NEAR(own[0].width, 2.0, 1e-9);
}

TEST(WordBreaksTest, RotatedLinesBreakAlongTheirOwnBaseline) {
  // Helvetica: "phas" is 21.68 points at size 10, "e" 5.56. The same line in five directions:
  // "e" placed at the end of "phas" continues the word, "style" 3 points after "e" starts a new
  // one. (Half an em a glyph would leave a gap of 1.68 points inside the word.)
  const std::string line = "(phas) Tj 21.68 0 Td (e) Tj 8.56 0 Td (style) Tj ET";
  for (const std::string matrix :
       {"1 0 0 1 100 700", "0 1 -1 0 300 100", "0 -1 1 0 300 700", "-1 0 0 -1 500 400",
        "0.7071068 0.7071068 -0.7071068 0.7071068 100 100"}) {
    SCOPED_TRACE(matrix);
    EXPECT_EQ(TextOf({Standard("Helvetica")}, "BT /F1 10 Tf " + matrix + " Tm " += line),
              "phase style\r\n");
  }
}

TEST(WordBreaksTest, CondensedAndEnlargedTextMeasuresGapsInTextSpace) {
  // Courier glyphs advance 6 units at size 10. A gap of 2 units (a fifth of the em) separates
  // words, one unit (a tenth) does not, however the line is squeezed or stretched on the page.
  const std::string line = "BT /F1 10 Tf 20 200 Td (ab) Tj 14 0 Td (cd) Tj 13 0 Td (ef) Tj ET";
  for (const std::string scale : {"1 0 0 1", "0.3 0 0 1", "1 0 0 0.3", "3 0 0 3", "0.2 0 0.1 1"}) {
    SCOPED_TRACE(scale);
    EXPECT_EQ(TextOf({Standard("Courier")}, ("q " + scale + " 0 0 cm " += line) += " Q"),
              "ab cdef\r\n");
  }
  // Horizontal scaling condenses the advances and the gaps alike.
  EXPECT_EQ(TextOf({Standard("Courier")},
                   "BT /F1 10 Tf 50 Tz 100 700 Td (ab) Tj 7 0 Td (cd) Tj 6.5 0 Td (ef) Tj ET"),
            "ab cdef\r\n");
}

}  // namespace
}  // namespace lvx::pdf
