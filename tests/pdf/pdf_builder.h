// Builds small PDF files for the reader's tests: objects in order, then a classic cross-reference
// table or a cross-reference stream (optionally with the objects packed into an object stream),
// with incremental updates and deliberate damage left to the tests.
#ifndef LVX_TESTS_PDF_BUILDER_H
#define LVX_TESTS_PDF_BUILDER_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lvxpdf/document.h"
#include "object.h"

namespace lvx::pdf::test {

enum class XrefForm {
  kTable,          // "xref" table and "trailer"
  kStream,         // a cross-reference stream, Flate with the PNG Up predictor
  kObjectStreams,  // a cross-reference stream; dictionaries and other non-streams packed in an
                   // ObjStm
  kNone,           // no cross-reference data at all (recovery must find the objects)
};

class PdfBuilder {
 public:
  // Adds an object (its text between "obj" and "endobj"); answers its number.
  int Add(std::string body);
  // Adds a stream; `dict` holds the entries without << >> and without /Length.
  int AddStream(std::string_view dict, std::string_view data);
  // Reserves a number to fill later with Set or SetStream.
  int Reserve();
  void Set(int num, std::string body);
  void SetStream(int num, std::string_view dict, std::string_view data);

  // The file. `trailer` holds extra trailer entries; /Size and /Root (the catalog) are written.
  [[nodiscard]] std::string Build(int root, XrefForm form = XrefForm::kTable,
                                  std::string_view trailer = "") const;

 private:
  struct Entry {
    std::string body;
    bool stream = false;
  };
  std::map<int, Entry> objects_;
  int next_ = 1;
};

// An incremental update appended to `base`: the given objects, a new table whose Prev is the
// base's last startxref, and a trailer with `trailer` entries.
std::string AppendUpdate(const std::string& base, const std::map<int, std::string>& objects,
                         int size, int root, std::string_view trailer = "");

// A document of one page per content stream, each with font /F1 (Helvetica, WinAnsiEncoding) in
// its resources and a 612 x 792 MediaBox.
std::string SimpleDocument(const std::vector<std::string>& contents,
                           XrefForm form = XrefForm::kTable);

// Adds `objects` in order: "stream:<dict>|<data>" entries as streams, the others as they are.
void AddObjects(PdfBuilder& pdf, const std::vector<std::string>& objects);

// `text` `times` over.
std::string Repeat(const std::string& text, int times);

// A 200 x 100 page (MediaBox from 10 20, so page space is shifted) whose resources are
// `resources` and content `content`; `objects` are added from number 5 on ("stream:" entries are
// streams: "stream:<dict>|<data>").
std::string OnePage(const std::string& content, const std::string& resources = "",
                    const std::vector<std::string>& objects = {},
                    const std::string& pageExtra = "");

// A one-page document (612 x 792) whose resources name the given font dictionaries /F1, /F2, ...
// (written directly into the resources), with `content` as its content stream.
std::string PageWithFonts(const std::vector<std::string>& fonts, std::string_view content);

std::string Deflate(std::string_view data);
// The dictionary written in `text` ("<< ... >>").
Dict ParseDict(const std::string& text);
std::vector<std::uint8_t> ToBytes(std::string_view text);
std::string Hex(std::string_view bytes);  // "<...>" hex string of the bytes

// Opens a built file; `error` receives the reason when it does not open.
std::unique_ptr<Document> Open(const std::string& file, OpenError* error = nullptr);

}  // namespace lvx::pdf::test

#endif
