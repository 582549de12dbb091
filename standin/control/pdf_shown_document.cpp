#include "pdf_shown_document.h"

#include <algorithm>

namespace lvx::standin {

void PdfShownDocument::Append(std::string path, std::unique_ptr<pdf::Document> document) {
  if (document == nullptr) {
    return;
  }
  const int pages = std::max(document->PageCount(), 0);
  files_.push_back({std::move(path), std::move(document), pageCount_});
  pageCount_ += pages;
}

void PdfShownDocument::Clear() {
  files_.clear();
  pageCount_ = 0;
}

std::pair<const PdfShownDocument::File*, int> PdfShownDocument::Locate(int page) const {
  if (page < 0 || page >= pageCount_) {
    return {nullptr, 0};
  }
  // The last file whose first page is at or before `page`.
  const auto after = std::upper_bound(files_.begin(), files_.end(), page,
                                      [](int p, const File& file) { return p < file.firstPage; });
  const File& file = *std::prev(after);
  return {&file, page - file.firstPage};
}

pdf::PageGeometry PdfShownDocument::Geometry(int page) const {
  const auto [file, local] = Locate(page);
  return file != nullptr ? file->document->Geometry(local) : pdf::PageGeometry{};
}

std::vector<pdf::TextRun> PdfShownDocument::Runs(int page) const {
  const auto [file, local] = Locate(page);
  if (file == nullptr) {
    return {};
  }
  std::vector<pdf::TextRun> runs = file->document->PageRuns(local);
  for (pdf::TextRun& run : runs) {
    run.text = pdf::ToWindows1252(run.text);
  }
  return runs;
}

std::vector<ShownFile> PdfShownDocument::Files() const {
  std::vector<ShownFile> files;
  files.reserve(files_.size());
  for (const File& file : files_) {
    pdf::DocumentInfo info = file.document->Info();
    for (std::string* text : {&info.title, &info.author, &info.subject, &info.keywords,
                              &info.creator, &info.producer}) {
      *text = pdf::ToWindows1252(*text);
    }
    files.push_back({file.path, file.document->PageCount(), std::move(info)});
  }
  return files;
}

}  // namespace lvx::standin
