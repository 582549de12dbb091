#include "model_document.h"

#include <utility>

namespace lvx::standin {

void ModelDocument::Loaded(std::string path) { files_ = {{std::move(path), 0}}; }

void ModelDocument::Appended(std::string path, int pagesBefore) {
  files_.push_back({std::move(path), pagesBefore});
}

pdf::PageGeometry ModelDocument::Geometry(int page) const {
  const DocumentModel::ShownPage shown = model_.Page(page);
  return shown.document != nullptr ? shown.document->Geometry(shown.index) : pdf::PageGeometry{};
}

std::vector<pdf::TextRun> ModelDocument::Runs(int page) const {
  const DocumentModel::ShownPage shown = model_.Page(page);
  if (shown.document == nullptr) {
    return {};
  }
  std::vector<pdf::TextRun> runs = shown.document->PageRuns(shown.index);
  for (pdf::TextRun& run : runs) {
    run.text = pdf::ToWindows1252(run.text);
  }
  return runs;
}

std::shared_ptr<const pdf::DisplayList> ModelDocument::Drawing(int page) const {
  const DocumentModel::ShownPage shown = model_.Page(page);
  if (shown.document == nullptr) {
    return nullptr;
  }
  return std::make_shared<const pdf::DisplayList>(shown.document->PageDrawing(shown.index));
}

std::vector<ShownFile> ModelDocument::Files() const {
  std::vector<ShownFile> files;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    const int first = files_[i].firstPage;
    const int end = i + 1 < files_.size() ? files_[i + 1].firstPage : model_.PageCount();
    ShownFile file{files_[i].path, end - first, {}};
    if (const DocumentModel::ShownPage shown = model_.Page(first); shown.document != nullptr) {
      file.info = shown.document->Info();
      for (std::string* text : {&file.info.title, &file.info.author, &file.info.subject,
                                &file.info.keywords, &file.info.creator, &file.info.producer}) {
        *text = pdf::ToWindows1252(*text);
      }
    }
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace lvx::standin
