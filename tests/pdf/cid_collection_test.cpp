// CID-keyed fonts without a ToUnicode map: the CIDs of Adobe's character collections read as
// Unicode through the collections' tables; a ToUnicode map still comes first.
#include <gtest/gtest.h>

#include <string>

#include "cid_collections.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

std::string CidFont(const std::string& registry, const std::string& ordering,
                    const std::string& extra = "") {
  return "<< /Type /Font /Subtype /Type0 /BaseFont /MingLiU /Encoding /Identity-H " + extra +
         " /DescendantFonts [<< /Type /Font /Subtype /CIDFontType0 /BaseFont /MingLiU"
         " /CIDSystemInfo << /Registry (" +
         registry + ") /Ordering (" + ordering + ") /Supplement 0 >> /DW 1000 >>] >>";
}

std::string TextOf(const std::string& font, const std::string& codes) {
  const auto document =
      test::Open(test::PageWithFonts({font}, "BT /F1 10 Tf 72 700 Td <" + codes + "> Tj ET"));
  return document ? document->PageText(0) : "<no document>";
}

TEST(CidCollectionTest, EachCollectionMapsItsCids) {
  // CID 34 is "A" in all four; then one ideograph or syllable of each.
  EXPECT_EQ(TextOf(CidFont("Adobe", "CNS1"), "0022151A"), "A\xE8\x88\x8A\r\n");    // 舊
  EXPECT_EQ(TextOf(CidFont("Adobe", "GB1"), "0022130A"), "A\xE8\xA3\x92\r\n");     // 裒
  EXPECT_EQ(TextOf(CidFont("Adobe", "Japan1"), "0022034B"), "A\xE3\x81\x82\r\n");  // あ
  EXPECT_EQ(TextOf(CidFont("Adobe", "Korea1"), "0022043E"), "A\xEA\xB0\x80\r\n");  // 가
  // The code page of the viewer protocol keeps what it can.
  EXPECT_EQ(ToWindows1252("A\xE8\x88\x8A\r\n"), "A?\r\n");
}

TEST(CidCollectionTest, OtherCollectionsAndToUnicodeMapsAreNotOverruled) {
  EXPECT_EQ(TextOf(CidFont("Adobe", "Identity"), "0022151A"), "");
  EXPECT_EQ(TextOf(CidFont("Other", "CNS1"), "0022151A"), "");
  // A ToUnicode map answers for the codes it has; the collection for the rest.
  test::PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " +
          CidFont("Adobe", "CNS1", "/ToUnicode 5 0 R") + " >> >> /Contents 4 0 R >>");
  pdf.AddStream("", "BT /F1 10 Tf 72 700 Td <0022151A> Tj ET");
  pdf.AddStream("",
                "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange"
                " 1 beginbfchar <0022> <0042> endbfchar endcmap");
  const auto document = test::Open(pdf.Build(catalog));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "B\xE8\x88\x8A\r\n");
}

TEST(CidCollectionTest, TextOutsideTheBasicPlaneAndUnmappedCids) {
  const CidCollection* japan = FindCidCollection("Adobe", "Japan1");
  ASSERT_NE(japan, nullptr);
  EXPECT_EQ(CidText(*japan, 7641), U"\U00028CDD");
  EXPECT_EQ(CidText(*japan, 0), U"");  // .notdef
  EXPECT_EQ(CidText(*japan, 0xFFFFFFFF), U"");
  EXPECT_EQ(FindCidCollection("Adobe", "KR"), nullptr);
}

}  // namespace
}  // namespace lvx::pdf
