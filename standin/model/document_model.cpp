#include "document_model.h"

#include <limits>
#include <new>

#include "standin_api.h"

namespace lvx::standin {
namespace {

std::int32_t ResultOf(pdf::OpenError error) {
  switch (error) {
    case pdf::OpenError::kFileNotFound:
      return LVX_STANDIN_LOAD_FILE_MISSING;
    case pdf::OpenError::kNotPdf:
      return LVX_STANDIN_LOAD_NOT_PDF;
    case pdf::OpenError::kPasswordRequired:
      return LVX_STANDIN_LOAD_PASSWORD;
    case pdf::OpenError::kUnsupported:
      return LVX_STANDIN_LOAD_UNSUPPORTED;
    case pdf::OpenError::kTooLarge:
      return LVX_STANDIN_LOAD_TOO_LARGE;
    case pdf::OpenError::kDamaged:
    case pdf::OpenError::kNone:
      break;
  }
  return LVX_STANDIN_LOAD_DAMAGED;
}

// Opens the file into `document`: answers 0, or a negative LvxStandinLoadResult.
std::int32_t Open(const std::string& path, std::shared_ptr<const pdf::Document>& document) {
  if (path.empty()) {
    return LVX_STANDIN_LOAD_FILE_MISSING;
  }
  try {
    pdf::OpenError error = pdf::OpenError::kNone;
    document = pdf::Document::OpenFile(path, error);
    return document ? 0 : ResultOf(error);
  } catch (const std::bad_alloc&) {
    return LVX_STANDIN_LOAD_TOO_LARGE;
  }
}

}  // namespace

std::int32_t DocumentModel::Load(const std::string& path) {
  std::shared_ptr<const pdf::Document> document;
  if (const std::int32_t failed = Open(path, document); failed < 0) {
    return failed;
  }
  try {
    std::vector<ShownPage> pages;
    pages.reserve(static_cast<std::size_t>(document->PageCount()));
    for (int i = 0; i < document->PageCount(); ++i) {
      pages.push_back({document.get(), i});
    }
    std::vector<std::shared_ptr<const pdf::Document>> documents{document};
    // Nothing below throws: the shown document changes all at once.
    documents_.swap(documents);
    pages_.swap(pages);
    measured_.clear();
  } catch (const std::bad_alloc&) {
    return LVX_STANDIN_LOAD_TOO_LARGE;
  }
  return PageCount();
}

std::int32_t DocumentModel::Append(const std::string& path) {
  std::shared_ptr<const pdf::Document> document;
  if (const std::int32_t failed = Open(path, document); failed < 0) {
    return failed;
  }
  const std::int64_t total = static_cast<std::int64_t>(pages_.size()) + document->PageCount();
  if (total > std::numeric_limits<std::int32_t>::max()) {
    return LVX_STANDIN_LOAD_TOO_LARGE;
  }
  try {
    std::vector<ShownPage> pages = pages_;
    for (int i = 0; i < document->PageCount(); ++i) {
      pages.push_back({document.get(), i});
    }
    documents_.reserve(documents_.size() + 1);
    documents_.push_back(document);  // cannot throw after the reserve
    pages_.swap(pages);
    measured_.clear();
  } catch (const std::bad_alloc&) {
    return LVX_STANDIN_LOAD_TOO_LARGE;
  }
  return PageCount();
}

void DocumentModel::Clear() {
  pages_.clear();
  documents_.clear();
  measured_.clear();
}

DocumentModel::ShownPage DocumentModel::Page(std::int32_t index) const {
  if (index < 0 || index >= PageCount()) {
    return {};
  }
  return pages_[static_cast<std::size_t>(index)];
}

std::int32_t DocumentModel::MeasurePage(std::int32_t index) {
  measured_.clear();
  const ShownPage page = Page(index);
  if (page.document == nullptr) {
    return 0;
  }
  try {
    measured_ = pdf::ToWindows1252(page.document->PageText(page.index));
  } catch (const std::bad_alloc&) {
    measured_.clear();
  }
  // A text longer than the protocol's 32-bit length is cut (no real page comes near it).
  if (measured_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1)) {
    measured_.resize(static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1));
  }
  return static_cast<std::int32_t>(measured_.size());
}

}  // namespace lvx::standin
