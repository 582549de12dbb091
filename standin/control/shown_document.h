// What the viewer window shows and prints: the pages of the document that the document model
// holds (one file, or several appended ones), and the facts about its files.
#ifndef LUMIVEX_STANDIN_SHOWN_DOCUMENT_H
#define LUMIVEX_STANDIN_SHOWN_DOCUMENT_H

#include <memory>
#include <string>
#include <vector>

#include "lvxpdf/document.h"

namespace lvx::standin {

struct ShownFile {
  std::string path;  // as the host named it, Windows-1252
  int pageCount = 0;
  pdf::DocumentInfo info;  // every text in Windows-1252
};

// Pages are numbered from 0 across all files. Text is Windows-1252, the protocol's code page.
class ShownDocument {
 public:
  ShownDocument() = default;
  virtual ~ShownDocument() = default;
  ShownDocument(const ShownDocument&) = delete;
  ShownDocument& operator=(const ShownDocument&) = delete;
  ShownDocument(ShownDocument&&) = delete;
  ShownDocument& operator=(ShownDocument&&) = delete;

  [[nodiscard]] virtual int PageCount() const = 0;
  [[nodiscard]] virtual pdf::PageGeometry Geometry(int page) const = 0;
  [[nodiscard]] virtual std::vector<pdf::TextRun> Runs(int page) const = 0;
  // Everything the page draws (paths, images, shadings, text); null where only the text runs
  // are known, which are then drawn alone.
  [[nodiscard]] virtual std::shared_ptr<const pdf::DisplayList> Drawing(int /*page*/) const {
    return nullptr;
  }
  [[nodiscard]] virtual std::vector<ShownFile> Files() const = 0;
};

}  // namespace lvx::standin

#endif
