// The stand-in viewer's shown document: the pages of one or more opened PDF files, in order, and
// the page text last measured. Portable (no Windows API); the viewer window owns one and the
// document commands act on it.
#ifndef LUMIVEX_STANDIN_DOCUMENT_MODEL_H
#define LUMIVEX_STANDIN_DOCUMENT_MODEL_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lvxpdf/document.h"

namespace lvx::standin {

class DocumentModel {
 public:
  struct ShownPage {
    const pdf::Document* document = nullptr;  // null outside the shown document
    int index = 0;                            // the page's index within its document
  };

  // Replaces the shown document with the file's pages (code 101). Answers the number of pages
  // now shown or a negative LvxStandinLoadResult; on failure nothing changes.
  std::int32_t Load(const std::string& path);
  // Adds the file's pages after the shown ones (code 102); results as Load.
  std::int32_t Append(const std::string& path);
  // Shows nothing (code 100).
  void Clear();

  [[nodiscard]] std::int32_t PageCount() const { return static_cast<std::int32_t>(pages_.size()); }
  [[nodiscard]] ShownPage Page(std::int32_t index) const;

  // Measures page `index` (0-based, code 260): answers its text's length in Windows-1252
  // characters and remembers the text; 0 (and an empty text) outside the document.
  std::int32_t MeasurePage(std::int32_t index);
  // The remembered text (code 261 writes it with a NUL).
  [[nodiscard]] const std::string& MeasuredText() const { return measured_; }

 private:
  std::vector<std::shared_ptr<const pdf::Document>> documents_;
  std::vector<ShownPage> pages_;
  std::string measured_;
};

}  // namespace lvx::standin

#endif
