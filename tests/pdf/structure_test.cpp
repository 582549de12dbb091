// File structure: each cross-reference form, incremental updates, recovery of damaged files,
// and the bad inputs that must end in a clear error rather than a crash or a hang.
#include <gtest/gtest.h>

#include <string>

#include "file.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

using test::Open;
using test::PdfBuilder;
using test::SimpleDocument;
using test::XrefForm;

const std::vector<std::string> kThreePages = {"BT /F1 12 Tf 72 720 Td (First page) Tj ET",
                                              "BT /F1 12 Tf 72 720 Td (Second page) Tj ET",
                                              "BT /F1 12 Tf 72 720 Td (Third page) Tj ET"};

std::string StreamBody(const std::string& data) {
  return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

class XrefFormTest : public ::testing::TestWithParam<XrefForm> {};

TEST_P(XrefFormTest, EveryFormGivesThePagesAndTheirText) {
  const auto document = Open(SimpleDocument(kThreePages, GetParam()));
  ASSERT_TRUE(document);
  ASSERT_EQ(document->PageCount(), 3);
  EXPECT_EQ(document->PageText(0), "First page\r\n");
  EXPECT_EQ(document->PageText(2), "Third page\r\n");
  EXPECT_EQ(document->PageText(3), "");
  EXPECT_EQ(document->PageText(-1), "");
}

INSTANTIATE_TEST_SUITE_P(Forms, XrefFormTest,
                         ::testing::Values(XrefForm::kTable, XrefForm::kStream,
                                           XrefForm::kObjectStreams, XrefForm::kNone));

// A hybrid file: a classic table for older readers, and /XRefStm naming the stream that lists the
// objects packed in object streams. The file must open from its cross-reference data, without
// the recovery scan.
TEST(StructureTest, HybridFileFollowsXRefStm) {
  std::string file = SimpleDocument(kThreePages, XrefForm::kObjectStreams);
  const std::size_t end = file.rfind("startxref");
  const std::size_t xrefStream = std::stoul(file.substr(end + 9));
  file.resize(end);
  const std::size_t table = file.size();
  file += "xref\n0 1\n0000000000 65535 f \ntrailer\n<< /Size 1 /Root 1 0 R /XRefStm " +
          std::to_string(xrefStream) + " >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
  OpenError error = OpenError::kNone;
  const auto pdf = PdfFile::Open(FileBytes(test::ToBytes(file)), error);
  ASSERT_TRUE(pdf);
  EXPECT_TRUE(pdf->Get(pdf->Trailer(), "Root").IsDict());
  EXPECT_FALSE(pdf->Recovered());
  const auto document = Open(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(2), "Third page\r\n");
}

TEST(StructureTest, IncrementalUpdateReplacesAndAddsObjects) {
  const std::string base = SimpleDocument({"BT /F1 12 Tf 72 720 Td (Old text) Tj ET"});
  // Objects: 1 catalog, 2 pages, 3 font, 4 content, 5 page. The update rewrites the content and
  // adds a second page.
  const std::string updated = test::AppendUpdate(
      base,
      {{4, StreamBody("BT /F1 12 Tf 72 720 Td (New text) Tj ET")},
       {6, StreamBody("BT /F1 12 Tf 72 720 Td (Added page) Tj ET")},
       {7,
        "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 3 0 R >> >> /Contents 6 0 R >>"},
       {2, "<< /Type /Pages /Kids [5 0 R 7 0 R] /Count 2 >>"}},
      8, 1);
  const auto document = Open(updated);
  ASSERT_TRUE(document);
  ASSERT_EQ(document->PageCount(), 2);
  EXPECT_EQ(document->PageText(0), "New text\r\n");
  EXPECT_EQ(document->PageText(1), "Added page\r\n");
}

TEST(StructureTest, PrevLoopEndsTheChain) {
  std::string file = SimpleDocument(kThreePages);
  // Point the trailer's Prev at its own table.
  const std::size_t xref = file.rfind("xref\n0 ");
  const std::size_t trailer = file.rfind("trailer\n<<");
  file.insert(trailer + 10, " /Prev " + std::to_string(xref));
  const auto document = Open(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 3);
}

TEST(StructureTest, WrongOffsetsAreRecoveredFromTheObjects) {
  std::string file = SimpleDocument(kThreePages);
  file.insert(file.find('\n') + 1, "% forty bytes of comment shift every offset\n");
  const auto document = Open(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 3);
  EXPECT_EQ(document->PageText(1), "Second page\r\n");
}

TEST(StructureTest, MissingTableAndStartxrefPastTheEndAreRecovered) {
  std::string file = SimpleDocument(kThreePages);
  const std::string noTable = file.substr(0, file.rfind("xref\n0 "));
  auto document = Open(noTable);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 3);

  const std::size_t start = file.rfind("startxref");
  document = Open(file.substr(0, start) + "startxref\n99999999\n%%EOF\n");
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "First page\r\n");
}

TEST(StructureTest, WrongAndIndirectLengthsAreTolerated) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>");
  const std::string resources = "/Resources << /Font << /F1 9 0 R >> >>";
  pdf.Add("<< /Type /Page /Parent 2 0 R " + resources + " /Contents 6 0 R >>");
  pdf.Add("<< /Type /Page /Parent 2 0 R " + resources + " /Contents 7 0 R >>");
  pdf.Add("<< /Type /Page /Parent 2 0 R " + resources + " /Contents 8 0 R >>");
  const std::string text = "BT /F1 12 Tf 72 720 Td (Length) Tj ET";
  pdf.Add("<< /Length 10 0 R >>\nstream\n" + text + "\nendstream");  // indirect
  pdf.Add("<< /Length 5 >>\nstream\n" + text + "\nendstream");       // too short
  pdf.Add("<< /Length 7 0 R >>\nstream\n" + text + "\nendstream");   // refers to itself
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  pdf.Add(std::to_string(text.size()));
  const auto document = Open(pdf.Build(catalog));
  ASSERT_TRUE(document);
  for (int page = 0; page < 3; ++page) {
    EXPECT_EQ(document->PageText(page), "Length\r\n") << "page " << page;
  }
}

TEST(StructureTest, PageTreeInheritsAttributesAndSurvivesCycles) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add(
      "<< /Type /Pages /Kids [3 0 R 2 0 R] /Count 3 /MediaBox [0 0 300 400] /Rotate 90"
      " /Resources << /Font << /F1 6 0 R >> >> >>");
  pdf.Add("<< /Type /Pages /Parent 2 0 R /Kids [4 0 R 5 0 R 3 0 R 99 0 R] /Count 2 >>");
  pdf.Add("<< /Type /Page /Parent 3 0 R /Contents 7 0 R >>");
  pdf.Add("<< /Type /Page /Parent 3 0 R /MediaBox [0 0 612 792] /Rotate -90 >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>");
  pdf.AddStream("", "BT /F1 10 Tf 20 20 Td (Inherited) Tj ET");
  const auto document = Open(pdf.Build(catalog));
  ASSERT_TRUE(document);
  ASSERT_EQ(document->PageCount(), 2);
  EXPECT_EQ(document->Geometry(0).width, 300);
  EXPECT_EQ(document->Geometry(0).height, 400);
  EXPECT_EQ(document->Geometry(0).rotation, 90);
  EXPECT_EQ(document->Geometry(1).width, 612);
  EXPECT_EQ(document->Geometry(1).rotation, 270);
  EXPECT_EQ(document->PageText(0), "Inherited\r\n");
}

TEST(StructureTest, PagesListedTwiceCountTwiceAndLeavesWithContentArePages) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  // Page 3 twice; node 7 twice (its page counts once: a shared subtree is read once); a leaf
  // whose Type is wrong but which has content; a stray font in Kids.
  pdf.Add(
      "<< /Type /Pages /Kids [3 0 R 3 0 R 4 0 R 7 0 R 7 0 R 6 0 R] /Count 6"
      " /MediaBox [0 0 200 200] /Resources << /Font << /F1 << /Type /Font /Subtype /Type1"
      " /BaseFont /Courier >> >> >> >>");
  pdf.Add("<< /Type /Page /Contents 5 0 R >>");
  pdf.Add("<< /Type /Pgae /Contents 8 0 R >>");
  pdf.AddStream("", "BT /F1 10 Tf 20 20 Td (Twice) Tj ET");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  pdf.Add("<< /Type /Pages /Kids [9 0 R] /Count 1 >>");
  pdf.AddStream("", "BT /F1 10 Tf 20 20 Td (Mistyped) Tj ET");
  pdf.Add("<< /Type /Page >>");
  const auto document = Open(pdf.Build(catalog));
  ASSERT_TRUE(document);
  ASSERT_EQ(document->PageCount(), 4);
  EXPECT_EQ(document->PageText(0), "Twice\r\n");
  EXPECT_EQ(document->PageText(1), "Twice\r\n");
  EXPECT_EQ(document->PageText(2), "Mistyped\r\n");
  EXPECT_EQ(document->PageText(3), "");
}

TEST(StructureTest, HeaderLateOrMissingIsReadWhenTheObjectsAreThere) {
  const std::string file = SimpleDocument(kThreePages);
  const std::string late = std::string(2000, '#') + "\n" + file;  // past the first 1,024 bytes
  std::string missing = file;
  missing.replace(0, 5, "%XYZ-");
  for (const std::string& variant : {late, missing}) {
    OpenError error = OpenError::kNone;
    const auto document = Open(variant, &error);
    ASSERT_TRUE(document) << static_cast<int>(error);
    ASSERT_EQ(document->PageCount(), 3);
    EXPECT_EQ(document->PageText(2), "Third page\r\n");
  }
  // Objects without a catalog are not a PDF.
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(Open("1 0 obj << /Type /Font >> endobj trailer << /Size 2 >>", &error));
  EXPECT_EQ(error, OpenError::kNotPdf);
}

TEST(StructureTest, FiltersAndTheirParametersGivenByReference) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add(
      "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 200 200]"
      " /Resources << /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Courier >> >> >>"
      " >>");
  pdf.Add("<< /Type /Page /Contents 5 0 R >>");
  pdf.Add("<< /Type /Page /Contents 6 0 R >>");
  const std::string text = "BT /F1 10 Tf 20 20 Td (By reference) Tj ET";
  // A filter name that is a reference; a filter list whose member is one, with parameters
  // whose predictor value is one too (predictor 10 with one column: each byte its own row).
  pdf.AddStream("/Filter 7 0 R", test::Deflate(text));
  std::string rows;
  for (const char c : text) {
    rows += std::string(1, '\0') + c;
  }
  pdf.AddStream("/Filter [7 0 R] /DecodeParms [8 0 R]", test::Deflate(rows));
  pdf.Add("/FlateDecode");
  pdf.Add("<< /Predictor 9 0 R /Columns 1 >>");
  pdf.Add("10");
  const auto document = Open(pdf.Build(catalog));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "By reference\r\n");
  EXPECT_EQ(document->PageText(1), "By reference\r\n");
}

TEST(StructureTest, AbsurdlyDeepPageTreeIsCutOff) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  const int depth = 2000;
  for (int i = 0; i < depth; ++i) {
    const int self = 2 + i;
    pdf.Add("<< /Type /Pages /Kids [" + std::to_string(self + 1) + " 0 R] /Count 1 >>");
  }
  pdf.Add("<< /Type /Page /MediaBox [0 0 10 10] >>");
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(Open(pdf.Build(catalog), &error));
  EXPECT_EQ(error, OpenError::kDamaged);
}

TEST(StructureTest, DocumentInformationInEveryTextEncoding) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add("<< /Type /Page /MediaBox [0 0 10 10] >>");
  // UTF-16BE with a byte-order mark, PDFDocEncoding (0x92 is the trade mark sign) and UTF-8.
  pdf.Add(R"(<< /Title <FEFF00C9007400E9> /Author (Ann\222) )"
          R"(/Producer (\357\273\277caf\303\251) >>)");
  const auto document = Open(pdf.Build(catalog, XrefForm::kTable, "/Info 4 0 R"));
  ASSERT_TRUE(document);
  const DocumentInfo info = document->Info();
  EXPECT_EQ(info.title, "\xC3\x89t\xC3\xA9");
  EXPECT_EQ(info.author, "Ann\xE2\x84\xA2");
  EXPECT_EQ(info.producer, "caf\xC3\xA9");
  EXPECT_EQ(info.version, "1.7");
  EXPECT_FALSE(info.encrypted);
}

TEST(BadInputTest, ClearErrorsForWhatCannotBeRead) {
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(Open("", &error));
  EXPECT_EQ(error, OpenError::kNotPdf);
  EXPECT_FALSE(Open("GIF89a not a pdf at all", &error));
  EXPECT_EQ(error, OpenError::kNotPdf);
  EXPECT_FALSE(Open("%PDF-1.4\n% header only\n", &error));
  EXPECT_EQ(error, OpenError::kDamaged);
  EXPECT_FALSE(Document::OpenFile("/nonexistent/folder/file.pdf", error));
  EXPECT_EQ(error, OpenError::kFileNotFound);
  EXPECT_FALSE(Document::OpenFile("/", error));
  EXPECT_EQ(error, OpenError::kFileNotFound);
}

TEST(BadInputTest, EveryTruncationOpensOrFailsCleanly) {
  const std::string file = SimpleDocument(kThreePages, XrefForm::kObjectStreams);
  for (std::size_t length = 0; length <= file.size(); length += 7) {
    OpenError error = OpenError::kNone;
    const auto document = Open(file.substr(0, length), &error);
    if (document) {
      for (int page = 0; page < document->PageCount(); ++page) {
        (void)document->PageText(page);
      }
    } else {
      EXPECT_NE(error, OpenError::kNone) << "length " << length;
    }
  }
}

TEST(BadInputTest, AbsurdCountsSizesAndReferenceLoops) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 99999999999 >>");
  // The page's contents refer to a chain of references that loops; its resources to itself.
  pdf.Add("<< /Type /Page /MediaBox [0 0 10 10] /Contents 4 0 R /Resources 3 0 R >>");
  pdf.Add("5 0 R");
  pdf.Add("4 0 R");
  std::string file = pdf.Build(catalog);
  // An xref subsection that claims billions of entries.
  const std::size_t xref = file.rfind("xref\n0 ");
  file.replace(xref, 7, "xref\n0 4000000000 ");
  const auto document = Open(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 1);
  EXPECT_EQ(document->PageText(0), "");
}

TEST(BadInputTest, SubsectionsNumberedAtTheEdgeOf64BitsAreDamage) {
  std::string file = SimpleDocument(kThreePages);
  const std::size_t xref = file.rfind("xref\n0 ");
  file.insert(file.find('\n', xref + 5) + 1,
              "9223372036854775807 2\n0000000009 00000 n \n0000000009 00000 n \n");
  const auto document = Open(file);  // the table is damaged: the objects are found by scanning
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 3);
}

TEST(BadInputTest, HugeObjectNumbersAndStreamLengthsStayBounded) {
  const std::string file =
      "%PDF-1.4\n4294967295 0 obj << /Length 99999999999999 >>\nstream\nabc\nendstream endobj\n"
      "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
      "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
      "3 0 obj << /Type /Page /MediaBox [0 0 1e308 -1e308] /Contents 4294967295 0 R >> endobj\n"
      "trailer << /Root 1 0 R /Size 99999999999 >>\n%%EOF\n";
  const auto document = Open(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageCount(), 1);
  EXPECT_EQ(document->PageText(0), "");
}

// Recovery scans the whole file: inputs built to make each step rescan the rest of the file must
// still finish at once (a quadratic scan of these takes minutes and meets the test's timeout).
TEST(BadInputTest, RecoveryStaysLinearOnStreamsWithoutEndAndNestedTrailers) {
  std::string streams = "%PDF-1.4\n";
  for (int i = 1; i <= 40000; ++i) {
    streams += std::to_string(i) + " 0 obj << /Type /Page >> stream\nxx\n";
  }
  OpenError error = OpenError::kNone;
  const auto document = Open(streams, &error);
  EXPECT_FALSE(document);
  EXPECT_EQ(error, OpenError::kDamaged);
  // A stream without an end hides nothing: the objects after its start are still found.
  const std::string cut =
      test::SimpleDocument({"BT /F1 12 Tf 72 720 Td (Kept) Tj ET"}, XrefForm::kNone);
  const std::size_t fontObject = cut.find("3 0 obj");
  ASSERT_NE(fontObject, std::string::npos);
  const auto recovered =
      Open(cut.substr(0, fontObject) + "9 0 obj << >> stream\nbroken\n" + cut.substr(fontObject));
  ASSERT_TRUE(recovered);
  EXPECT_EQ(recovered->PageText(0), "Kept\r\n");

  // Every "trailer" but the first stands inside the first one's string.
  std::string trailers = "%PDF-1.4\ntrailer << /A (";
  for (int i = 0; i < 100000; ++i) {
    trailers += "trailer << /B (";
  }
  EXPECT_FALSE(Open(trailers, &error));
  EXPECT_EQ(error, OpenError::kDamaged);
}

// Work that repeats per reference must be done once: a form drawn thousands of times and an object
// stream that thousands of missing objects point into are each decoded once (both are
// decompression bombs here, so decoding them per use would run for minutes).
TEST(BadInputTest, RepeatedFormsAndObjectStreamsAreDecodedOnce) {
  const std::string bomb = test::Deflate(std::string(32 << 20, ' '));
  std::string draws;
  for (int i = 0; i < 3000; ++i) {
    draws += "/X Do ";
  }
  PdfBuilder forms;
  const int catalog = forms.Add("<< /Type /Catalog /Pages 2 0 R >>");
  forms.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  forms.Add(
      "<< /Type /Page /MediaBox [0 0 10 10] /Resources << /XObject << /X 4 0 R >> >> /Contents 5 0 "
      "R >>");
  forms.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Filter /FlateDecode", bomb);
  forms.AddStream("", draws);
  const auto drawn = Open(forms.Build(catalog));
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->PageText(0), "");

  // Objects 3 to 2002 are said to live in object stream 2, which holds none of them.
  std::string file = "%PDF-1.5\n";
  std::string kids;
  for (int num = 3; num < 2003; ++num) {
    kids += std::to_string(num) + " 0 R ";
  }
  const std::size_t catalogAt = file.size();
  file += "1 0 obj << /Type /Catalog /Pages 2003 0 R >> endobj\n";
  const std::size_t streamAt = file.size();
  file += "2 0 obj << /Type /ObjStm /N 0 /First 0 /Filter /FlateDecode /Length " +
          std::to_string(bomb.size()) + " >>\nstream\n" + bomb + "\nendstream endobj\n";
  const std::size_t pagesAt = file.size();
  file += "2003 0 obj << /Type /Pages /Kids [" + kids + "] /Count 2000 >> endobj\n";
  std::string rows;
  const auto row = [&rows](int type, std::size_t field, int index) {
    rows.push_back(static_cast<char>(type));
    for (int shift = 24; shift >= 0; shift -= 8) {
      rows.push_back(static_cast<char>(field >> shift));
    }
    rows.push_back(static_cast<char>(index >> 8));
    rows.push_back(static_cast<char>(index));
  };
  row(0, 0, 0);
  row(1, catalogAt, 0);
  row(1, streamAt, 0);
  for (int num = 3; num < 2003; ++num) {
    row(2, 2, num);
  }
  row(1, pagesAt, 0);
  const std::size_t xrefAt = file.size();
  row(1, xrefAt, 0);
  file += "2004 0 obj << /Type /XRef /Size 2005 /W [1 4 2] /Root 1 0 R /Length " +
          std::to_string(rows.size()) + " >>\nstream\n" + rows + "\nendstream endobj\nstartxref\n" +
          std::to_string(xrefAt) + "\n%%EOF\n";
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(Open(file, &error));
  EXPECT_EQ(error, OpenError::kDamaged);
}

}  // namespace
}  // namespace lvx::pdf
