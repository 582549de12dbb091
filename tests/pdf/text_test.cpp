// Page text: the text operators and positioning, spaces for gaps, line breaks, font encodings,
// ToUnicode CMaps, composite fonts, form XObjects, inline images, and the Windows-1252 mapping.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

using test::PdfBuilder;

// One page with font /F1 made of `font` (a dictionary's text), and the given content; `extra`
// objects are added first (numbered from 5 on).
std::string PageWithFont(const std::string& font, const std::string& content,
                         const std::vector<std::string>& extra = {},
                         const std::string& resources = "") {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> " +
      resources + " >> /Contents " + std::to_string(5 + extra.size()) + " 0 R >>");
  pdf.Add(font);
  test::AddObjects(pdf, extra);
  pdf.AddStream("", content);
  return pdf.Build(catalog);
}

std::string TextOf(const std::string& file) {
  const auto document = test::Open(file);
  return document ? document->PageText(0) : "<no document>";
}

const std::string kHelvetica =
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding"
    " /FirstChar 32 /LastChar 126 /Widths [" +
    [] {
      std::string widths;
      for (int c = 32; c <= 126; ++c) {
        widths += "500 ";
      }
      return widths;
    }() +
    "] >>";

TEST(TextOperatorsTest, ShowingAndPositioning) {
  const std::string content =
      "BT /F1 10 Tf 72 700 Td (Hello) Tj ( world) Tj 0 -12 Td [(Sec) -20 (ond)] TJ"
      " 14 TL T* (Third) ' 2 0 (Fourth) \" 1 0 0 1 72 600 Tm (Fifth) Tj"
      " 0 -12 TD (Sixth) Tj T* (Seventh) Tj ET";
  EXPECT_EQ(TextOf(PageWithFont(kHelvetica, content)),
            "Hello world\r\nSecond\r\nThird\r\nFourth\r\nFifth\r\nSixth\r\nSeventh\r\n");
}

TEST(TextOperatorsTest, GapsBecomeSpacesAndKerningDoesNot) {
  // Widths are 500/1000: each glyph advances 5 points at size 10.
  const std::string content =
      "BT /F1 10 Tf 100 700 Td [(ab) -50 (cd) -400 (ef)] TJ"  // small kern, then a word gap
      " 50 0 Td (gh) Tj ET";                                  // Td past the end of "ef"
  EXPECT_EQ(TextOf(PageWithFont(kHelvetica, content)), "abcd ef gh\r\n");
  // Word spacing applies to the space character; character spacing to every glyph. Writers that
  // justify lines put word gaps into the character spacing of a glyph pair: wide spacing
  // separates, narrow spacing does not.
  const std::string spaced =
      "BT /F1 10 Tf 100 700 Td 3 Tc (a b) Tj 3.4 Tc (no) Tj 0.5 Tc (de) Tj ET";
  EXPECT_EQ(TextOf(PageWithFont(kHelvetica, spaced)), "a b n o de\r\n");
}

TEST(TextOperatorsTest, Type3FontsMeasureGapsInTheirOwnUnits) {
  // Glyph space of 100 units to the em, flipped, with glyphs named by their characters.
  const std::string font =
      "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 -0.01 0 0] /FontBBox [0 -20 60 80]"
      " /FirstChar 40 /LastChar 98 /Widths [50 50 0 0 50 0 50" +
      [] {
        std::string w;
        for (int i = 47; i <= 98; ++i) {
          w += " 50";
        }
        return w;
      }() +
      "] /Encoding << /Differences [40 /#28 /#29 44 /, 46 /. 97 /a /b] >> /CharProcs << >> >>";
  // 50 units at size 20 are 10 points: "(a)" and "b." are 15 points apart.
  EXPECT_EQ(TextOf(PageWithFont(font, "BT /F1 20 Tf 100 700 Td (\\(a\\)) Tj 45 0 Td (b.,) Tj ET")),
            "(a) b.,\r\n");
}

TEST(TextOperatorsTest, MatricesScaleAndTransformPositions) {
  // The same line drawn through cm and a scaled text matrix stays one line; a rotated line and
  // text off the page are handled.
  const std::string content =
      "q 2 0 0 2 0 0 cm BT /F1 5 Tf 50 350 Td (Scaled) Tj ( line) Tj ET Q"
      " BT /F1 10 Tf 0 1 -1 0 300 300 Tm (Up) Tj ET"
      " BT /F1 10 Tf 5000 5000 Td (Offpage) Tj ET";
  EXPECT_EQ(TextOf(PageWithFont(kHelvetica, content)), "Scaled line\r\nUp\r\n");
}

TEST(TextOperatorsTest, ContentArraysFormOneStream) {
  // The page's content split into three streams at token boundaries, one of them compressed.
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >>"
      " /Contents [5 0 R 6 0 R 7 0 R] >>");
  pdf.Add(kHelvetica);
  pdf.AddStream("", "BT /F1 10 Tf 72 700 Td");
  pdf.AddStream("/Filter /FlateDecode", test::Deflate("(Split) Tj"));
  pdf.AddStream("", "( content) Tj ET");
  EXPECT_EQ(TextOf(pdf.Build(catalog)), "Split content\r\n");
}

TEST(TextOperatorsTest, FormXObjectsAndInlineImages) {
  const std::string form =
      "stream:/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Matrix [1 0 0 1 0 -100]"
      " /Resources << /XObject << /Self 5 0 R >> /Font << /F1 4 0 R >> >>|"
      "BT /F1 10 Tf 72 700 Td (In form) Tj ET /Self Do";
  const std::string content = std::string("BT /F1 10 Tf 72 700 Td (Before) Tj ET") +
                              " BI /W 2 /H 2 /BPC 8 /CS /G ID \x01(EI)\xFF" + std::string(1, '\0') +
                              " EI /X1 Do BT /F1 10 Tf 72 500 Td (After) Tj ET";
  EXPECT_EQ(TextOf(PageWithFont(kHelvetica, content, {form}, "/XObject << /X1 5 0 R >>")),
            "Before\r\nIn form\r\nAfter\r\n");
}

// Annotations' appearances (form fields among them) give text after the page's own, in the
// state the annotation is in; hidden ones give none.
TEST(TextOperatorsTest, AnnotationAppearancesFollowThePagesText) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R"
      " >> >> /Contents 5 0 R /Annots [6 0 R 7 0 R 8 0 R] >>");
  pdf.Add(kHelvetica);
  pdf.AddStream("", "BT /F1 10 Tf 72 700 Td (Page text) Tj ET");
  pdf.Add("<< /Type /Annot /Subtype /Widget /Rect [72 100 272 120] /AP << /N 9 0 R >> >>");
  pdf.Add("<< /Type /Annot /Subtype /Text /F 2 /Rect [72 80 272 90] /AP << /N 10 0 R >> >>");
  pdf.Add(
      "<< /Type /Annot /Subtype /Widget /Rect [72 50 272 70] /AS /On"
      " /AP << /N << /On 11 0 R /Off 12 0 R >> >> >>");
  const std::string form =
      "/Type /XObject /Subtype /Form /BBox [0 0 200 20] /Resources << /Font << /F1 4 0 R >> >>";
  for (const char* text : {"Field value", "Hidden", "Checked", "Unchecked"}) {
    pdf.AddStream(form, std::string("BT /F1 10 Tf 2 5 Td (") + text + ") Tj ET");
  }
  EXPECT_EQ(TextOf(pdf.Build(catalog)), "Page text\r\nField value\r\nChecked\r\n");
}

// Text and drawing read content through one interpreter: a form that leaves saves open, and an
// inline image whose samples hold " EI ", leave both where the page's own operators put them.
TEST(TextOperatorsTest, TextAndDrawingReadFormsAndInlineImagesAlike) {
  const std::string form = "stream:/Type /XObject /Subtype /Form /BBox [0 0 612 792]|" + [] {
    std::string saves;
    for (int i = 0; i < 300; ++i) {
      saves += "q ";
    }
    return saves;
  }();
  const std::string content =
      "q 2 0 0 2 0 0 cm /X1 Do Q BI /W 8 /H 1 /BPC 8 /CS /G ID a EI (xy EI"
      " BT /F1 10 Tf 72 700 Td (After) Tj ET";
  const auto document =
      test::Open(PageWithFont(kHelvetica, content, {form}, "/XObject << /X1 5 0 R >>"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->PageText(0), "After\r\n");
  const std::vector<TextRun> runs = document->PageRuns(0);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_DOUBLE_EQ(runs[0].x, 72);
  EXPECT_DOUBLE_EQ(runs[0].y, 700);
  const DisplayList drawing = document->PageDrawing(0);
  ASSERT_FALSE(drawing.commands.empty());
  const auto* text = std::get_if<TextCommand>(&drawing.commands.back());
  ASSERT_NE(text, nullptr);
  EXPECT_DOUBLE_EQ(text->glyphs.front().origin.x, runs[0].x);
  EXPECT_DOUBLE_EQ(text->glyphs.front().origin.y, runs[0].y);
}

TEST(EncodingTest, BaseEncodingsAndDifferences) {
  const std::string standard = "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>";
  EXPECT_EQ(TextOf(PageWithFont(standard, "BT /F1 10 Tf 72 700 Td (\\252quoted\\272 \\261) Tj ET")),
            "\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93\r\n");
  const std::string win =
      "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>";
  EXPECT_EQ(TextOf(PageWithFont(win, "BT /F1 10 Tf 72 700 Td (caf\\351 \\200 \\226) Tj ET")),
            "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x93\r\n");
  const std::string mac =
      "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /MacRomanEncoding >>";
  EXPECT_EQ(TextOf(PageWithFont(mac, "BT /F1 10 Tf 72 700 Td (caf\\216 \\245) Tj ET")),
            "caf\xC3\xA9 \xE2\x80\xA2\r\n");
  const std::string differences =
      "<< /Type /Font /Subtype /Type1 /BaseFont /X /Encoding << /BaseEncoding /WinAnsiEncoding"
      " /Differences [65 /fi /uni00E9 /u1F600 /f_f_l 70 /Omega /alpha.sc /nosuchglyph] >> >>";
  EXPECT_EQ(TextOf(PageWithFont(differences, "BT /F1 10 Tf 72 700 Td (ABCDFGHI) Tj ET")),
            "\xEF\xAC\x81\xC3\xA9\xF0\x9F\x98\x80"
            "ffl\xCE\xA9\xCE\xB1I\r\n");
}

TEST(EncodingTest, ToUnicodeCharsRangesAndArrays) {
  const std::string cmap =
      "stream:|/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
      "1 begincodespacerange <00> <FF> endcodespacerange\n"
      "2 beginbfchar <01> <0048> <02> <D83DDE00> endbfchar\n"
      "2 beginbfrange <10> <12> <0061> <20> <21> [<0058> <00660069>] endbfrange\n"
      "endcmap CMapName currentdict /CMap defineresource pop end end";
  const std::string font = "<< /Type /Font /Subtype /Type1 /BaseFont /X /ToUnicode 5 0 R >>";
  EXPECT_EQ(TextOf(PageWithFont(font, "BT /F1 10 Tf 72 700 Td <0110111202202141> Tj ET", {cmap})),
            "Habc\xF0\x9F\x98\x80XfiA\r\n");
}

TEST(EncodingTest, CompositeFontIdentityHWithWidths) {
  const std::string cmap =
      "stream:|begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
      "1 beginbfrange <0003> <0005> <0041> endbfrange 1 beginbfchar <0010> <4E2D> endbfchar "
      "endcmap";
  const std::string descendant =
      "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+Noto-Bold /DW 1000"
      " /W [3 [500 500] 5 5 250] /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
      "/Supplement 0 >> >>";
  const std::string font =
      "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Noto-Bold /Encoding /Identity-H"
      " /DescendantFonts [6 0 R] /ToUnicode 5 0 R >>";
  const auto document = test::Open(
      PageWithFont(font, "BT /F1 10 Tf 72 700 Td <000300040010> Tj ET", {cmap, descendant}));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "AB\xE4\xB8\xAD\r\n");
  const std::vector<TextRun> runs = document->PageRuns(0);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].fontFamily, "Noto");
  EXPECT_TRUE(runs[0].bold);
  EXPECT_DOUBLE_EQ(runs[0].x, 72);
  EXPECT_DOUBLE_EQ(runs[0].y, 700);
  EXPECT_DOUBLE_EQ(runs[0].fontSize, 10);
  EXPECT_DOUBLE_EQ(runs[0].width, 5 + 5 + 10);
}

TEST(EncodingTest, UnicodeEncodedCompositeFontWithoutToUnicode) {
  const std::string descendant = "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /MSung >>";
  const std::string font =
      "<< /Type /Font /Subtype /Type0 /BaseFont /MSung /Encoding /UniCNS-UCS2-H /DescendantFonts "
      "[5 0 R] >>";
  EXPECT_EQ(TextOf(PageWithFont(font, "BT /F1 10 Tf 72 700 Td <4E2D6587> Tj ET", {descendant})),
            "\xE4\xB8\xAD\xE6\x96\x87\r\n");
}

// Adobe's predefined CJK encodings: byte codes of one and two bytes to CIDs, and the CIDs' text
// by the collection, which the CMap names when the font does not (as the Korean one here).
TEST(EncodingTest, PredefinedCjkEncodingsWithoutToUnicode) {
  const auto font = [](const std::string& encoding, const std::string& ordering) {
    const std::string info = ordering.empty() ? ""
                                              : " /CIDSystemInfo << /Registry (Adobe) /Ordering (" +
                                                    ordering + ") /Supplement 2 >>";
    return "<< /Type /Font /Subtype /Type0 /BaseFont /CJK /Encoding /" + encoding +
           " /DescendantFonts [<< /Type /Font /Subtype /CIDFontType0 /BaseFont /CJK" + info +
           " >>] >>";
  };
  const std::pair<std::string, std::string> cases[] = {
      {font("90ms-RKSJ-H", "Japan1"), "A\x93\xFA\x96\x7B"},  // Shift-JIS
      {font("EUC-H", "Japan1"), "\xC6\xFC\xCB\xDC"},
      {font("GBK-EUC-H", "GB1"), "\xD6\xD0\xCE\xC4"},
      {font("KSC-EUC-H", ""), "\xC7\xD1\xB1\xB9"}};
  const std::string expected[] = {"A\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC",
                                  "\xE4\xB8\xAD\xE6\x96\x87", "\xED\x95\x9C\xEA\xB5\xAD"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(TextOf(PageWithFont(cases[i].first,
                                  "BT /F1 10 Tf 72 700 Td (" + cases[i].second + ") Tj ET")),
              expected[i] + "\r\n")
        << cases[i].first;
  }
}

// Numbers at the edge of 64 bits in a font's code and CID tables are ignored: the glyphs keep
// their base encoding and default widths.
TEST(EncodingTest, ExtremeCodesAndCidsInFontTables) {
  const std::string simple =
      "<< /Type /Font /Subtype /Type1 /BaseFont /X /FirstChar 9223372036854775807 /Widths [1 2]"
      " /Encoding << /Differences [9223372036854775807 /a /b -9223372036854775808 /c] >> >>";
  EXPECT_EQ(TextOf(PageWithFont(simple, "BT /F1 10 Tf 72 700 Td (AB) Tj ET")), "AB\r\n");
  const std::string descendant =
      "<< /Type /Font /Subtype /CIDFontType2 /W [9223372036854775807 [500 600]"
      " 9223372036854775806 9223372036854775807 300 -5 [1]] >>";
  const std::string composite =
      "<< /Type /Font /Subtype /Type0 /Encoding /Identity-H /DescendantFonts [5 0 R] >>";
  EXPECT_EQ(
      TextOf(PageWithFont(composite, "BT /F1 10 Tf 72 700 Td <00410042> Tj ET", {descendant})), "");
}

TEST(RunsTest, RunsSplitAtGapsAndCarryFontStyle) {
  std::string widths;
  for (int i = 0; i < 95; ++i) {
    widths += "500 ";
  }
  const std::string font =
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-BoldOblique /FirstChar 32 /LastChar 126 "
      "/Widths [" +
      widths + "] >>";
  const auto document =
      test::Open(PageWithFont(font, "BT /F1 10 Tf 100 700 Td (one two) Tj 0 -20 Td (three) Tj ET"));
  ASSERT_TRUE(document);
  const std::vector<TextRun> runs = document->PageRuns(0);
  ASSERT_EQ(runs.size(), 2U);
  EXPECT_EQ(runs[0].text, "one two");
  EXPECT_EQ(runs[0].fontFamily, "Helvetica");
  EXPECT_TRUE(runs[0].bold);
  EXPECT_TRUE(runs[0].italic);
  EXPECT_DOUBLE_EQ(runs[0].width, 35);
  EXPECT_EQ(runs[1].text, "three");
  EXPECT_DOUBLE_EQ(runs[1].y, 680);
}

TEST(Windows1252Test, MapsTheCodePageAndReplacesTheRest) {
  EXPECT_EQ(ToWindows1252("plain ASCII\r\n"), "plain ASCII\r\n");
  EXPECT_EQ(ToWindows1252("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC5\xB8"),
            "caf\xE9 \x80 \x93q\x94 \x9F");
  EXPECT_EQ(ToWindows1252("\xEF\xAC\x81sh \xEF\xAC\x82y a\xC2\xA0"
                          "b"),
            "fish fly a b");
  EXPECT_EQ(ToWindows1252("\xE4\xB8\xAD \xF0\x9F\x98\x80 \xCE\xA9"), "? ? ?");
  EXPECT_EQ(ToWindows1252("bad \xFF\xC3 end"), "bad ?? end");
  EXPECT_EQ(ToWindows1252(std::string("nul\0inside", 10)), "nulinside");
}

}  // namespace
}  // namespace lvx::pdf
