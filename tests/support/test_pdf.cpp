#include "test_pdf.h"

#include <cstdio>
#include <fstream>
#include <map>

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
  // Object numbers: 1 catalog, 2 page tree, 3 info, then one per font, then page + content pairs.
  std::map<std::string, int> fonts;
  for (const TestPage& page : document.pages) {
    for (const TestLine& line : page.lines) {
      fonts.emplace(line.font, 0);
    }
  }
  int next = 4;
  for (auto& [name, number] : fonts) {
    number = next++;
  }
  const int firstPage = next;
  std::vector<std::string> objects(static_cast<std::size_t>(firstPage + 2 * document.pages.size()));
  objects[1] = "<< /Type /Catalog /Pages 2 0 R >>";
  std::string kids;
  for (std::size_t i = 0; i < document.pages.size(); ++i) {
    kids += std::to_string(firstPage + 2 * i) + " 0 R ";
  }
  objects[2] = "<< /Type /Pages /Kids [" + kids + "] /Count " +
               std::to_string(document.pages.size()) + " >>";
  objects[3] = "<< /Title " + Literal(document.title) + " /Author " + Literal(document.author) +
               " /Producer " + Literal(document.producer) + " >>";
  std::string fontResources;
  for (const auto& [name, number] : fonts) {
    objects[static_cast<std::size_t>(number)] =
        "<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " /Encoding /WinAnsiEncoding >>";
    fontResources += "/F" + std::to_string(number) + " " + std::to_string(number) + " 0 R ";
  }
  for (std::size_t i = 0; i < document.pages.size(); ++i) {
    const TestPage& page = document.pages[i];
    const auto pageNumber = static_cast<std::size_t>(firstPage) + 2 * i;
    std::string content;
    for (const TestLine& line : page.lines) {
      content += "BT /F" + std::to_string(fonts[line.font]) + " " + Number(line.size) + " Tf " +
                 Number(line.x) + " " + Number(line.y) + " Td " + Literal(line.text) + " Tj ET\n";
    }
    objects[pageNumber] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(page.width) +
                          " " + Number(page.height) + "] /Rotate " + std::to_string(page.rotation) +
                          " /Resources << /Font << " + fontResources + ">> >> /Contents " +
                          std::to_string(pageNumber + 1) + " 0 R >>";
    objects[pageNumber + 1] =
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream";
  }

  std::string file = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets(objects.size(), 0);
  for (std::size_t n = 1; n < objects.size(); ++n) {
    offsets[n] = file.size();
    file += std::to_string(n) + " 0 obj\n" + objects[n] + "\nendobj\n";
  }
  const std::size_t xref = file.size();
  file += "xref\n0 " + std::to_string(objects.size()) + "\n0000000000 65535 f \n";
  for (std::size_t n = 1; n < objects.size(); ++n) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[n]);
    file += entry;
  }
  file += "trailer\n<< /Size " + std::to_string(objects.size()) +
          " /Root 1 0 R /Info 3 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return file;
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
