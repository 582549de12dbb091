// The document model's pages as the view sees them: geometry, text runs in Windows-1252, and the
// files they came from (the model keeps documents, the view also wants their names).
#ifndef LUMIVEX_STANDIN_MODEL_DOCUMENT_H
#define LUMIVEX_STANDIN_MODEL_DOCUMENT_H

#include <string>
#include <vector>

#include "document_model.h"
#include "shown_document.h"

namespace lvx::standin {

class ModelDocument final : public ShownDocument {
 public:
  explicit ModelDocument(const DocumentModel& model) : model_(model) {}

  // After a successful load (code 101): the model shows this file alone.
  void Loaded(std::string path);
  // After a successful append (code 102): the file's pages follow those shown before.
  void Appended(std::string path, int pagesBefore);
  void Cleared() { files_.clear(); }

  [[nodiscard]] int PageCount() const override { return model_.PageCount(); }
  [[nodiscard]] pdf::PageGeometry Geometry(int page) const override;
  [[nodiscard]] std::vector<pdf::TextRun> Runs(int page) const override;
  [[nodiscard]] std::shared_ptr<const pdf::DisplayList> Drawing(int page) const override;
  [[nodiscard]] std::vector<ShownFile> Files() const override;

 private:
  struct File {
    std::string path;
    int firstPage = 0;
  };
  const DocumentModel& model_;
  std::vector<File> files_;
};

}  // namespace lvx::standin

#endif
