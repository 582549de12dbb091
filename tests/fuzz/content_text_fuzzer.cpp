// libFuzzer target for the content-stream text interpreter: the input is a page's content stream,
// run against fixed resources (a simple font with a ToUnicode map, a standard font without
// widths, a CID font of a character collection, a Type 3 font and a form XObject) and assembled
// into text and runs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "content_fonts.h"
#include "page_text.h"
#include "file.h"
#include "pdf_builder.h"
#include "text_assembly.h"

namespace {

std::string Resources() {
  lvx::pdf::test::PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R"
      " /F2 5 0 R /F3 6 0 R /F4 7 0 R >> /XObject << /X1 8 0 R >> >> >>");
  lvx::pdf::test::AddContentFonts(pdf, "/ToUnicode 9 0 R");
  pdf.Add(
      "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 -0.01 0 0] /FontBBox [0 -20 60 80]"
      " /FirstChar 97 /LastChar 98 /Widths [50 60] /Encoding << /Differences [97 /a /b] >>"
      " /CharProcs << >> >>");
  pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Matrix [0 1 -1 0 10 10]",
                "BT /F1 9 Tf 0 0 Td (In a form) Tj ET");
  pdf.AddStream("",
                "begincmap 1 begincodespacerange <00> <FF> endcodespacerange 1 beginbfrange <41>"
                " <5A> <0061> endbfrange endcmap");
  return pdf.Build(catalog);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One file and one font cache for every run, as for the pages of one document.
  static const auto file = [] {
    const std::string document = Resources();
    lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
    return lvx::pdf::PdfFile::Open(
        lvx::pdf::FileBytes(std::vector<std::uint8_t>(document.begin(), document.end())), error);
  }();
  static lvx::pdf::FontCache fonts;
  static const lvx::pdf::Object resources = [] {
    const lvx::pdf::Object pages = file->Get(file->Get(file->Trailer(), "Root").AsDict(), "Pages");
    const lvx::pdf::Array& kids = file->Get(pages.AsDict(), "Kids").AsArray();
    return kids.empty() ? lvx::pdf::Object() : file->Resolve(kids[0]).AsDict().Get("Resources");
  }();
  lvx::pdf::TextAssembler assembler({}, true);
  lvx::pdf::ExtractContentText(*file, fonts, std::span(data, size), resources, assembler);
  (void)assembler.Text();
  (void)assembler.Runs();
  return 0;
}
