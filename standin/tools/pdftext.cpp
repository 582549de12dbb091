// pdftext: the stand-in viewer's PDF reader on the command line. Prints a file's page count, one
// page's text or every page's text (each page followed by a form feed), in UTF-8 or in the
// Windows-1252 code page the viewer hands out.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "lvxpdf/document.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 2;
constexpr int kPageError = 3;
constexpr int kOpenErrorBase = 10;  // exit code 10 + the OpenError value

int Usage() {
  std::fputs(
      "usage: pdftext [--count | --page N | --info] [--cp1252] FILE\n"
      "  (no option)  every page's text, each page followed by a form feed\n"
      "  --count      the number of pages\n"
      "  --page N     the text of page N (1-based)\n"
      "  --info       the document information\n"
      "  --cp1252     write Windows-1252 instead of UTF-8\n"
      "exit status: 0 done, 2 usage, 3 no such page, 10 + cause when the file cannot be read\n"
      "  (11 missing or unreadable, 12 not a PDF, 13 damaged beyond recovery,\n"
      "   14 password required, 15 unsupported encryption, 16 too large)\n",
      stderr);
  return kUsageError;
}

void Write(std::string_view text, bool cp1252) {
  const std::string out = cp1252 ? lvx::pdf::ToWindows1252(text) : std::string(text);
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The text carries its own CR LF line ends: no translation on the way out.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  enum class Mode { kAll, kCount, kPage, kInfo } mode = Mode::kAll;
  bool cp1252 = false;
  long page = 0;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--count") {
      mode = Mode::kCount;
    } else if (arg == "--info") {
      mode = Mode::kInfo;
    } else if (arg == "--cp1252") {
      cp1252 = true;
    } else if (arg == "--page" && i + 1 < argc) {
      mode = Mode::kPage;
      char* end = nullptr;
      page = std::strtol(argv[++i], &end, 10);
      if (end == argv[i] || *end != '\0') {
        return Usage();
      }
    } else if (arg.starts_with("-") || path != nullptr) {
      return Usage();
    } else {
      path = argv[i];
    }
  }
  if (path == nullptr) {
    return Usage();
  }
  lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
  const auto document = lvx::pdf::Document::OpenFile(path, error);
  if (!document) {
    std::fprintf(stderr, "pdftext: %s: %s\n", path, lvx::pdf::Describe(error));
    return kOpenErrorBase + static_cast<int>(error);
  }
  switch (mode) {
    case Mode::kCount:
      std::printf("%d\n", document->PageCount());
      break;
    case Mode::kPage:
      if (page < 1 || page > document->PageCount()) {
        std::fprintf(stderr, "pdftext: %s: no page %ld (the document has %d)\n", path, page,
                     document->PageCount());
        return kPageError;
      }
      Write(document->PageText(static_cast<int>(page - 1)), cp1252);
      break;
    case Mode::kInfo: {
      const lvx::pdf::DocumentInfo info = document->Info();
      const std::string text = "Title: " + info.title + "\nAuthor: " + info.author +
                               "\nSubject: " + info.subject + "\nKeywords: " + info.keywords +
                               "\nCreator: " + info.creator + "\nProducer: " + info.producer +
                               "\nVersion: " + info.version +
                               "\nEncrypted: " + (info.encrypted ? "yes" : "no") +
                               "\nPages: " + std::to_string(document->PageCount()) + "\n";
      Write(text, cp1252);
      break;
    }
    case Mode::kAll:
      for (int i = 0; i < document->PageCount(); ++i) {
        Write(document->PageText(i), cp1252);
        std::fputc('\f', stdout);
      }
      break;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
