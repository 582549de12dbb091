// Small PDF documents written by the tests themselves (with the reader's test PdfBuilder): pages of
// chosen sizes and rotations with lines of text in the standard fonts, and document information.
#ifndef LUMIVEX_TESTS_TEST_PDF_H
#define LUMIVEX_TESTS_TEST_PDF_H

#include <string>
#include <vector>

namespace lvx::test {

struct TestLine {
  double x = 72;
  double y = 720;
  double size = 12;
  std::string text;                // Windows-1252 (WinAnsiEncoding)
  std::string font = "Helvetica";  // one of the standard 14 fonts
};

struct TestPage {
  double width = 612;
  double height = 792;
  int rotation = 0;
  std::vector<TestLine> lines;
};

struct TestDocument {
  std::vector<TestPage> pages;
  std::string title;
  std::string author;
  std::string producer = "lumivex tests";
};

// The file's bytes.
std::string BuildPdf(const TestDocument& document);
// Writes the file; answers false when it cannot be written.
bool WritePdf(const std::string& path, const TestDocument& document);

// Pages of `lines` lines each, every line "Page N line M <word>" in 12-point Helvetica.
TestDocument NumberedPages(int pages, int linesPerPage = 5);

}  // namespace lvx::test

#endif
