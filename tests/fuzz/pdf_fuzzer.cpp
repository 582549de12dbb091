// libFuzzer target: any bytes through the reader's whole public surface (open, pages, geometry,
// text, runs, the drawing's display list, information, the code page conversion). Crashes,
// sanitizer reports, hangs and runaway memory are findings.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lvxpdf/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
  const auto document =
      lvx::pdf::Document::OpenBytes(std::vector<std::uint8_t>(data, data + size), error);
  if (!document) {
    return 0;
  }
  (void)document->Info();
  const int pages = document->PageCount();
  for (int page = 0; page < pages && page < 8; ++page) {
    (void)document->Geometry(page);
    (void)lvx::pdf::ToWindows1252(document->PageText(page));
    (void)document->PageRuns(page);
    (void)document->PageDrawing(page);
  }
  return 0;
}
