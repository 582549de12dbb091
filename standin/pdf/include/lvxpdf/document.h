// The PDF reader's public face: open a file, count its pages, get each page's size, text and
// positioned text runs, and the document information. Portable C++ (no Windows API).
//
// This header is the contract between the reader and the stand-in viewer window; the reader's
// internals (lexer, objects, cross-reference, filters, security, page tree, content text,
// encodings) live behind it.
#ifndef LVXPDF_DOCUMENT_H
#define LVXPDF_DOCUMENT_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lvxpdf/display_list.h"

namespace lvx::pdf {

// Why a document could not be opened.
enum class OpenError : std::int32_t {
  kNone = 0,
  kFileNotFound = 1,      // missing, or not readable (permissions, a folder)
  kNotPdf = 2,            // no PDF header / not a PDF at all
  kDamaged = 3,           // a PDF, but nothing usable could be recovered (no page tree)
  kPasswordRequired = 4,  // encrypted and the empty user password does not open it
  kUnsupported = 5,       // an encryption handler or revision the reader does not know
  kTooLarge = 6,          // larger than the reader loads (kMaxFileSize)
};

// Files are read into memory whole; larger ones are refused.
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t{512} << 20;

// A short English description of the error, for messages and the command-line tool.
const char* Describe(OpenError error);

struct PageGeometry {
  double width = 612;   // MediaBox width in points (before rotation)
  double height = 792;  // MediaBox height in points
  int rotation = 0;     // 0, 90, 180 or 270, clockwise
};

// One run of text as the content stream shows it, in page space (points, origin bottom-left of
// the MediaBox, y up). `text` is UTF-8.
struct TextRun {
  double x = 0;  // start of the baseline
  double y = 0;
  double fontSize = 0;     // effective size: font size times the text matrix's vertical scale
  double width = 0;        // advance of the whole run in page space (0 when unknown)
  std::string fontFamily;  // base font name without subset tag and style, e.g. "Helvetica"
  bool bold = false;
  bool italic = false;
  std::string text;
};

struct DocumentInfo {
  std::string title, author, subject, keywords, creator, producer;  // UTF-8, empty when absent
  std::string version;                                              // "1.4", ...
  bool encrypted = false;
};

class Document {
 public:
  // Opens a file or a buffer. On failure answers null and sets `error`.
  static std::unique_ptr<Document> OpenFile(const std::string& path, OpenError& error);
  static std::unique_ptr<Document> OpenBytes(std::vector<std::uint8_t> bytes, OpenError& error);

  virtual ~Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  Document(Document&&) = delete;
  Document& operator=(Document&&) = delete;

  [[nodiscard]] virtual int PageCount() const = 0;
  [[nodiscard]] virtual PageGeometry Geometry(int page) const = 0;  // page 0-based
  // The page's text in content-stream order, UTF-8; every line ends with "\r\n", so that pages
  // run together stay apart. An out-of-range page or a page that cannot be read gives "".
  [[nodiscard]] virtual std::string PageText(int page) const = 0;
  [[nodiscard]] virtual std::vector<TextRun> PageRuns(int page) const = 0;
  // Everything the page draws, in content order (display_list.h); empty for an out-of-range
  // page. Memory running out leaves what was interpreted before.
  [[nodiscard]] virtual DisplayList PageDrawing(int page) const = 0;
  [[nodiscard]] virtual DocumentInfo Info() const = 0;

 protected:
  Document() = default;
};

// UTF-8 to Windows-1252, the 8-bit code page of the viewer protocol. Characters the code page
// lacks become '?'; common typographic forms (ligatures, non-breaking space) map to their plain
// equivalents.
std::string ToWindows1252(std::string_view utf8);

}  // namespace lvx::pdf

#endif
