// What printing makes of a request: the pages a code-31 range covers, and the PostScript written
// when printing goes without a device context. Also the facts the properties show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_facts.h"
#include "postscript_writer.h"
#include "print_range.h"

namespace lvx::standin {
namespace {

TEST(PrintRangeTest, LowHalfIsTheFirstPageHighHalfTheLast) {
  EXPECT_EQ(ResolvePageRange(0, 10), (PageRange{1, 10}));
  EXPECT_EQ(ResolvePageRange(2 + 5 * 65536, 10), (PageRange{2, 5}));
  EXPECT_EQ(ResolvePageRange(3, 10), (PageRange{3, 10})) << "no last page: to the end";
  EXPECT_EQ(ResolvePageRange(7 * 65536, 10), (PageRange{1, 7})) << "no first page: from 1";
  EXPECT_EQ(ResolvePageRange(4 + 99 * 65536, 10), (PageRange{4, 10})) << "cut at the end";
  EXPECT_EQ(ResolvePageRange(10 + 10 * 65536, 10), (PageRange{10, 10}));
}

TEST(PrintRangeTest, RangesWithoutAPageOfTheDocumentPrintNothing) {
  EXPECT_FALSE(ResolvePageRange(11, 10));
  EXPECT_FALSE(ResolvePageRange(6 + 5 * 65536, 10));
  EXPECT_FALSE(ResolvePageRange(0, 0));
  EXPECT_FALSE(ResolvePageRange(-1, 10)) << "65535 to 65535";
  EXPECT_FALSE(ResolvePageRange(1, -3));
}

class TwoFiles final : public ShownDocument {
 public:
  [[nodiscard]] int PageCount() const override { return 3; }
  [[nodiscard]] pdf::PageGeometry Geometry(int page) const override {
    return page == 1 ? pdf::PageGeometry{595, 842, 90} : pdf::PageGeometry{612, 792, 0};
  }
  [[nodiscard]] std::vector<pdf::TextRun> Runs(int page) const override {
    pdf::TextRun plain;
    plain.x = 72;
    plain.y = 700;
    plain.fontSize = 12;
    plain.width = 100;
    plain.fontFamily = "Helvetica";
    plain.text = "Page " + std::to_string(page + 1) + " (a\\b) caf\xE9";
    pdf::TextRun bold = plain;
    bold.fontFamily = "TimesNewRoman";
    bold.bold = true;
    bold.text = "Bold";
    pdf::TextRun symbol = plain;
    symbol.fontFamily = "Symbol";
    symbol.text = "a";
    return {plain, bold, symbol};
  }
  [[nodiscard]] std::vector<ShownFile> Files() const override {
    ShownFile first{"C:\\docs\\report.pdf", 2, {}};
    first.info.title = "Quarterly report";
    first.info.version = "1.6";
    return {first, ShownFile{"D:/more/annex.pdf", 1, {}}};
  }
};

TEST(PostScriptTest, OnlyTheRequestedPagesAtTheirOwnSizeAndTurn) {
  const std::string ps = PostScriptFor(TwoFiles(), PageRange{2, 3}, "report");
  EXPECT_EQ(ps.rfind("%!PS-Adobe-3.0\n", 0), 0U);
  EXPECT_NE(ps.find("%%Pages: 2\n"), std::string::npos);
  EXPECT_NE(ps.find("%%Page: 1 1\n<< /PageSize [842.00 595.00] >> setpagedevice"),
            std::string::npos)
      << "page 2 is turned: its sides swap";
  EXPECT_NE(ps.find("[0 -1 1 0 0 595.00] concat"), std::string::npos);
  EXPECT_NE(ps.find("%%Page: 2 2\n<< /PageSize [612.00 792.00] >>"), std::string::npos);
  EXPECT_EQ(ps.find("(Page 1 "), std::string::npos) << "page 1 is outside the range";
  EXPECT_NE(ps.find("(Page 2 \\(a\\\\b\\) caf\\351) 100.00 12.00 /Helvetica-Latin1 72.00 700.00 R"),
            std::string::npos);
  EXPECT_NE(ps.find("/Times-Bold-Latin1 /Times-Bold LvxReencode"), std::string::npos);
  EXPECT_NE(ps.find("/Symbol 72.00"), std::string::npos) << "Symbol keeps its own encoding";
  EXPECT_EQ(ps.find("/Symbol-Latin1"), std::string::npos);
  EXPECT_EQ(ps.substr(ps.size() - 6), "%%EOF\n");
}

TEST(PostScriptTest, FamiliesMapToTheStandardFonts) {
  EXPECT_EQ(StandardFontFor("Arial", false, false), "Helvetica");
  EXPECT_EQ(StandardFontFor("Helvetica", true, true), "Helvetica-BoldOblique");
  EXPECT_EQ(StandardFontFor("TimesNewRoman", false, true), "Times-Italic");
  EXPECT_EQ(StandardFontFor("DejaVuSerif", false, false), "Times-Roman");
  EXPECT_EQ(StandardFontFor("DejaVuSansMono", true, false), "Courier-Bold");
  EXPECT_EQ(StandardFontFor("NimbusSans", false, false), "Helvetica");
  EXPECT_EQ(PostScriptString("\x01)"), "(\\001\\))");
}

TEST(DocumentFactsTest, FactsOfTheFirstFileWithTheAppendedOnesAndThePageSize) {
  const TwoFiles document;
  const std::string facts = DescribeDocument(&document, 1);
  EXPECT_EQ(facts,
            "File: report.pdf\r\n"
            "Appended: annex.pdf (1 page)\r\n"
            "Folder: C:\\docs\\\r\n"
            "Pages: 3\r\n"
            "Title: Quarterly report\r\n"
            "Author: -\r\n"
            "Producer: -\r\n"
            "PDF version: 1.6\r\n"
            "Page size: 842 x 595 pt (297 x 210 mm), page 2");
  EXPECT_EQ(DescribeDocument(nullptr, 0), "No document");
  EXPECT_NE(DescribeDocument(&document, 99).find("page 3"), std::string::npos);
  EXPECT_EQ(DescribePageSize({595.28, 841.89, 0}), "595.3 x 841.9 pt (210 x 297 mm)");
}

}  // namespace
}  // namespace lvx::standin
