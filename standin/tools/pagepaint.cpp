// pagepaint: draws pages of a PDF file into PNG pictures with the stand-in viewer's own painter
// (GDI), as the viewer shows them on a white sheet.
//   pagepaint FILE PAGE DPI OUT.png          one page (numbered from 1)
//   pagepaint FILE FIRST-LAST DPI PREFIX     pages FIRST to LAST into PREFIX-<page>.png
// Exit status: 0 done, 1 a page could not be drawn or written, 2 wrong arguments or the file
// does not open.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawing_painter.h"
#include "gdi_objects.h"
#include "lvxpdf/document.h"
#include "page_layout.h"
#include "page_painter.h"
#include "png_writer.h"

namespace {

using lvx::standin::DrawingResources;
using lvx::standin::GdiObject;
using lvx::standin::OwnedDc;
using lvx::standin::Selection;
using lvx::standin::SheetPlacement;

bool DrawPage(const lvx::pdf::Document& document, int page, double dpi, const std::string& out,
              DrawingResources& resources) {
  SheetPlacement placement{0, 0, dpi / 72.0, document.Geometry(page)};
  const RECT box = lvx::standin::SheetRect(placement);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = box.right;
  info.bmiHeader.biHeight = -box.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const OwnedDc memory(CreateCompatibleDC(nullptr));
  const GdiObject<HBITMAP> bitmap(
      CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) {
    return false;
  }
  {
    const lvx::pdf::DisplayList drawing = document.PageDrawing(page);
    const Selection selected(memory.Get(), bitmap.Get());
    lvx::standin::PaintSheet(memory.Get(), placement, {}, resources.fonts, {}, false, &drawing,
                             &resources);
    GdiFlush();
  }
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  const auto count = static_cast<std::size_t>(box.right) * static_cast<std::size_t>(box.bottom);
  std::vector<std::uint8_t> rgb(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    rgb[i * 3] = pixels[i * 4 + 2];
    rgb[i * 3 + 1] = pixels[i * 4 + 1];
    rgb[i * 3 + 2] = pixels[i * 4];
  }
  return lvx::standin::WritePng(out, box.right, box.bottom, rgb);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: pagepaint FILE PAGE|FIRST-LAST DPI OUT.png|PREFIX\n");
    return 2;
  }
  const std::string pages = argv[2];
  const std::size_t dash = pages.find('-');
  const int first = std::atoi(pages.c_str());
  const int last = dash == std::string::npos ? first : std::atoi(pages.c_str() + dash + 1);
  const double dpi = std::atof(argv[3]);
  if (first < 1 || last < first || dpi < 1 || dpi > 1200) {
    std::fprintf(stderr, "pagepaint: bad page or resolution\n");
    return 2;
  }
  lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
  const auto document = lvx::pdf::Document::OpenFile(argv[1], error);
  if (!document) {
    std::fprintf(stderr, "pagepaint: %s: %s\n", argv[1], lvx::pdf::Describe(error));
    return 2;
  }
  DrawingResources resources;
  int status = 0;
  for (int page = first; page <= last && page <= document->PageCount(); ++page) {
    const std::string out = dash == std::string::npos
                                ? std::string(argv[4])
                                : std::string(argv[4]) + "-" + std::to_string(page) + ".png";
    if (!DrawPage(*document, page - 1, dpi, out, resources)) {
      std::fprintf(stderr, "pagepaint: page %d could not be drawn into %s\n", page, out.c_str());
      status = 1;
    }
  }
  return status;
}
