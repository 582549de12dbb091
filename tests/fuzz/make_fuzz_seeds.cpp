// Writes the fuzz target's seed corpus: small files of every structure the reader knows (each
// cross-reference form, an incremental update, every encryption revision, fonts with encodings,
// ToUnicode CMaps and a composite font, forms and inline images), made by the tests' builder.
//   make_fuzz_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "encrypted_document.h"
#include "pdf_builder.h"

namespace {

using lvx::pdf::test::Encryption;
using lvx::pdf::test::PdfBuilder;
using lvx::pdf::test::XrefForm;

std::string FontsDocument() {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 612 792] >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 4 0 R /F2 5 0 R /F3 6 0 R >>"
      " /XObject << /X1 9 0 R >> >> /Contents 10 0 R >>");
  pdf.Add(
      "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Bold /Encoding << /BaseEncoding"
      " /MacRomanEncoding /Differences [65 /fi /uni00E9 /f_f] >> /FirstChar 32 /LastChar 40"
      " /Widths [250 300 400 500 500 800 700 200 300] >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /X /ToUnicode 7 0 R >>");
  pdf.Add(
      "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Noto /Encoding /Identity-H"
      " /DescendantFonts [8 0 R] /ToUnicode 7 0 R >>");
  pdf.AddStream("",
                "/CIDInit /ProcSet findresource begin begincmap 1 begincodespacerange <0000>"
                " <FFFF> endcodespacerange 2 beginbfchar <0001> <0048> <0002> <D83DDE00>"
                " endbfchar 1 beginbfrange <0010> <0020> <0061> endbfrange endcmap end");
  pdf.Add(
      "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Noto /DW 1000 /W [1 [500 600] 16 32 400] "
      ">>");
  pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Matrix [1 0 0 1 10 10]",
                "BT /F1 9 Tf 0 0 Td (In a form) Tj ET");
  pdf.AddStream("",
                "q 1 0 0 1 5 5 cm BT /F1 12 Tf 72 700 Td (AB C) Tj [(D) -300 (E)] TJ T* (F) '"
                " 1 2 (G) \" /F2 10 Tf <0102> Tj /F3 8 Tf 0 -20 Td <000100100011> Tj ET Q"
                " /X1 Do BI /W 1 /H 1 /BPC 8 /CS /G ID x EI");
  return pdf.Build(catalog, XrefForm::kTable, "/Info << /Title <FEFF0041> /Author (B) >>");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_fuzz_seeds FOLDER\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const std::vector<std::string> pages = {"BT /F1 12 Tf 72 720 Td (First page) Tj ET",
                                          "BT /F1 12 Tf 72 720 Td [(Sec) -250 (ond)] TJ ET"};
  std::vector<std::pair<std::string, std::string>> seeds = {
      {"table.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kTable)},
      {"xref-stream.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kStream)},
      {"object-streams.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kObjectStreams)},
      {"no-xref.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kNone)},
      {"fonts.pdf", FontsDocument()},
  };
  seeds.emplace_back(
      "update.pdf", lvx::pdf::test::AppendUpdate(
                        seeds[0].second, {{2, "<< /Type /Pages /Kids [5 0 R] /Count 1 >>"}}, 8, 1));
  const std::pair<Encryption, const char*> encryptions[] = {{Encryption::kRc4Bits40, "rc4-40"},
                                                            {Encryption::kRc4Bits128, "rc4-128"},
                                                            {Encryption::kAes128, "aes-128"},
                                                            {Encryption::kAes256R5, "aes-256-r5"},
                                                            {Encryption::kAes256R6, "aes-256-r6"}};
  for (const auto& [encryption, name] : encryptions) {
    seeds.emplace_back(std::string(name) + ".pdf",
                       lvx::pdf::test::EncryptedDocument(encryption, "", "owner", "Secret", "T"));
  }
  for (const auto& [name, bytes] : seeds) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::printf("%zu seeds written to %s\n", seeds.size(), folder.string().c_str());
  return 0;
}
