// The reader's public face: opening, the page list, page text and runs, document information.
#include "lvxpdf/document.h"

#include <exception>
#include <memory>
#include <new>

#include "file.h"
#include "file_bytes.h"
#include "page_drawing.h"
#include "page_text.h"
#include "page_tree.h"
#include "text_assembly.h"
#include "text_string.h"

namespace lvx::pdf {
namespace {

class PdfDocument final : public Document {
 public:
  PdfDocument(std::unique_ptr<PdfFile> file, std::vector<PageInfo> pages)
      : file_(std::move(file)), pages_(std::move(pages)) {}

  int PageCount() const override { return static_cast<int>(pages_.size()); }

  PageGeometry Geometry(int page) const override {
    if (page < 0 || page >= PageCount()) {
      return {};
    }
    const PageInfo& info = pages_[static_cast<std::size_t>(page)];
    return {info.mediaBox.right - info.mediaBox.left, info.mediaBox.top - info.mediaBox.bottom,
            info.rotation};
  }

  std::string PageText(int page) const override { return Assemble(page, false).Text(); }

  std::vector<TextRun> PageRuns(int page) const override {
    std::vector<TextRun> runs = Assemble(page, true).Runs();
    // Page space with the origin at the MediaBox's lower left corner.
    if (page >= 0 && page < PageCount()) {
      const PageBox& box = pages_[static_cast<std::size_t>(page)].mediaBox;
      for (TextRun& run : runs) {
        run.x -= box.left;
        run.y -= box.bottom;
      }
    }
    return runs;
  }

  DisplayList PageDrawing(int page) const override {
    if (page < 0 || page >= PageCount()) {
      return {};
    }
    try {
      return DrawPage(*file_, drawingFonts_, pages_[static_cast<std::size_t>(page)]);
    } catch (const std::bad_alloc&) {
      DisplayList empty;
      empty.truncated = true;
      return empty;
    }
  }

  DocumentInfo Info() const override {
    DocumentInfo info;
    const Object dict = file_->Get(file_->Trailer(), "Info");
    const Dict& entries = dict.AsDict();
    const auto text = [&](const char* key) {
      return TextStringToUtf8(file_->Get(entries, key).AsString());
    };
    info.title = text("Title");
    info.author = text("Author");
    info.subject = text("Subject");
    info.keywords = text("Keywords");
    info.creator = text("Creator");
    info.producer = text("Producer");
    info.version = file_->Version();
    info.encrypted = file_->Encrypted();
    return info;
  }

 private:
  TextAssembler Assemble(int page, bool keepRuns) const {
    if (page < 0 || page >= PageCount()) {
      return TextAssembler({}, keepRuns);
    }
    const PageInfo& info = pages_[static_cast<std::size_t>(page)];
    TextAssembler assembler(info.cropBox, keepRuns);
    try {
      const Object page = file_->Resolve(info.page);
      const Object& resources =
          info.resourcesInPage ? page.AsDict().Get("Resources") : info.resources;
      ExtractText(*file_, fonts_, page.AsDict(), resources, assembler);
    } catch (const std::bad_alloc&) {
      // What was assembled before memory ran out is still the page's text.
    }
    // The next page reads what it needs again: the file's pages need not stay in memory.
    file_->ReleaseFileMemory(false);
    return assembler;
  }

  std::unique_ptr<PdfFile> file_;
  std::vector<PageInfo> pages_;
  mutable FontCache fonts_;
  mutable DrawingFontCache drawingFonts_{fonts_};
};

std::vector<PageInfo> Pages(PdfFile& file) {
  const Object catalog = file.Get(file.Trailer(), "Root");
  if (!catalog.IsDict()) {
    return {};
  }
  return ReadPageTree(file, catalog.AsDict().Get("Pages"));
}

}  // namespace

const char* Describe(OpenError error) {
  switch (error) {
    case OpenError::kNone:
      return "no error";
    case OpenError::kFileNotFound:
      return "the file is missing or cannot be read";
    case OpenError::kNotPdf:
      return "the file is not a PDF document";
    case OpenError::kDamaged:
      return "the PDF document is damaged beyond recovery";
    case OpenError::kPasswordRequired:
      return "the PDF document is protected by a password";
    case OpenError::kUnsupported:
      return "the PDF document uses an unsupported encryption";
    case OpenError::kTooLarge:
      return "the file is too large";
  }
  return "unknown error";
}

namespace {

std::unique_ptr<Document> OpenFileBytes(FileBytes bytes, OpenError& error) {
  try {
    std::unique_ptr<PdfFile> file = PdfFile::Open(std::move(bytes), error);
    if (!file) {
      return nullptr;
    }
    std::vector<PageInfo> pages = Pages(*file);
    if (pages.empty() && file->Recover()) {
      pages = Pages(*file);
    }
    if (pages.empty()) {
      error = OpenError::kDamaged;
      return nullptr;
    }
    error = OpenError::kNone;
    file->ReleaseFileMemory(true);
    return std::make_unique<PdfDocument>(std::move(file), std::move(pages));
  } catch (const std::bad_alloc&) {
    error = OpenError::kTooLarge;
    return nullptr;
  }
}

}  // namespace

std::unique_ptr<Document> Document::OpenBytes(std::vector<std::uint8_t> bytes, OpenError& error) {
  return OpenFileBytes(FileBytes(std::move(bytes)), error);
}

std::unique_ptr<Document> Document::OpenFile(const std::string& path, OpenError& error) {
  FileBytes bytes = FileBytes::Open(path, error);
  if (error != OpenError::kNone) {
    return nullptr;
  }
  return OpenFileBytes(std::move(bytes), error);
}

}  // namespace lvx::pdf
