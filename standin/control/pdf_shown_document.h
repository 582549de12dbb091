// The shown document made of PDF files read by the stand-in's reader: one file, or several
// appended one after the other, their pages numbered on from one file to the next. Text comes out
// in Windows-1252.
#ifndef LUMIVEX_STANDIN_PDF_SHOWN_DOCUMENT_H
#define LUMIVEX_STANDIN_PDF_SHOWN_DOCUMENT_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lvxpdf/document.h"
#include "shown_document.h"

namespace lvx::standin {

class PdfShownDocument final : public ShownDocument {
 public:
  // Adds a file's pages after those already there.
  void Append(std::string path, std::unique_ptr<pdf::Document> document);
  void Clear();

  int PageCount() const override { return pageCount_; }
  pdf::PageGeometry Geometry(int page) const override;
  std::vector<pdf::TextRun> Runs(int page) const override;
  std::vector<ShownFile> Files() const override;

 private:
  struct File {
    std::string path;
    std::unique_ptr<pdf::Document> document;
    int firstPage = 0;
  };
  // The file holding document page `page` and the page's number within it; null when none.
  std::pair<const File*, int> Locate(int page) const;

  std::vector<File> files_;
  int pageCount_ = 0;
};

}  // namespace lvx::standin

#endif
