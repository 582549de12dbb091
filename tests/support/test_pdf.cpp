#include "test_pdf.h"

#include <cstdio>
#include <fstream>
#include <map>

#include "pdf_builder.h"

namespace lvx::test {
namespace {

std::string Literal(const std::string& text) {
  std::string literal = "(";
  for (const char c : text) {
    if (c == '(' || c == ')' || c == '\\') {
      literal += '\\';
    }
    literal += c;
  }
  return literal + ")";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

std::string BuildPdf(const TestDocument& document) {
  pdf::test::PdfBuilder pdf;
  const int catalog = pdf.Reserve();
  const int tree = pdf.Reserve();
  const int info =
      pdf.Add("<< /Title " + Literal(document.title) + " /Author " + Literal(document.author) +
              " /Producer " + Literal(document.producer) + " >>");
  std::map<std::string, int> fonts;
  std::string fontResources;
  for (const TestPage& page : document.pages) {
    for (const TestLine& line : page.lines) {
      if (fonts.emplace(line.font, 0).second) {
        const int font = pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /" + line.font +
                                 " /Encoding /WinAnsiEncoding >>");
        fonts[line.font] = font;
        fontResources += "/F" + std::to_string(font) + " " + std::to_string(font) + " 0 R ";
      }
    }
  }
  std::string kids;
  for (const TestPage& page : document.pages) {
    std::string content;
    for (const TestLine& line : page.lines) {
      content += "BT /F" + std::to_string(fonts[line.font]) + " " + Number(line.size) + " Tf " +
                 Number(line.x) + " " + Number(line.y) + " Td " + Literal(line.text) + " Tj ET\n";
    }
    const int contents = pdf.AddStream("", content);
    const int number =
        pdf.Add("<< /Type /Page /Parent " + std::to_string(tree) + " 0 R /MediaBox [0 0 " +
                Number(page.width) + " " + Number(page.height) + "] /Rotate " +
                std::to_string(page.rotation) + " /Resources << /Font << " + fontResources +
                ">> >> /Contents " + std::to_string(contents) + " 0 R >>");
    kids += std::to_string(number) + " 0 R ";
  }
  pdf.Set(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                    std::to_string(document.pages.size()) + " >>");
  pdf.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
  return pdf.Build(catalog, pdf::test::XrefForm::kTable, "/Info " + std::to_string(info) + " 0 R");
}

bool WritePdf(const std::string& path, const TestDocument& document) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::string bytes = BuildPdf(document);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

TestDocument NumberedPages(int pages, int linesPerPage) {
  static const char* const kWords[] = {"apple", "birch", "cedar", "delta", "ember",
                                       "fjord", "grove", "heron", "inlet", "juniper"};
  TestDocument document;
  document.title = "Numbered pages";
  document.author = "Test Author";
  for (int p = 1; p <= pages; ++p) {
    TestPage page;
    for (int l = 1; l <= linesPerPage; ++l) {
      page.lines.push_back({72, 720.0 - 20 * l, 12,
                            "Page " + std::to_string(p) + " line " + std::to_string(l) + " " +
                                kWords[(p + l) % 10]});
    }
    document.pages.push_back(page);
  }
  return document;
}

}  // namespace lvx::test
