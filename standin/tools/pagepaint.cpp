// pagepaint: draws pages of a PDF file into PNG pictures with the stand-in viewer's own painter
// (GDI), as the viewer shows them on a white sheet.
//   pagepaint FILE PAGE DPI OUT.png          one page (numbered from 1)
//   pagepaint FILE FIRST-LAST DPI PREFIX     pages FIRST to LAST into PREFIX-<page>.png
//   pagepaint FILE P1,P2,... DPI PREFIX      the pages listed, likewise
// Exit status (the program always ends by itself with one of these):
//   0  every page drawn and written
//   1  a page could not be drawn or written (no such page, no memory for its picture, the file
//      could not be written); the other pages are drawn all the same
//   2  wrong arguments, or the file does not open
//   4  out of memory outside the drawing of a page
//   6  any other failure (an exception the program did not expect; its description is printed)
// (3 and 5 are left out: Wine ends a program that aborts with 3, one that faults with 5.)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <sstream>
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
  const BITMAPINFO info = lvx::standin::TopDownDib(box.right, box.bottom, 32);
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

constexpr int kOutOfMemory = 4;
constexpr int kFailed = 6;

int Run(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: pagepaint FILE PAGE|FIRST-LAST|P1,P2,... DPI OUT.png|PREFIX\n");
    return 2;
  }
  // The pages: one, a range, or a list; each numbered from 1.
  const std::string given = argv[2];
  std::vector<int> pages;
  const std::size_t dash = given.find('-');
  if (dash != std::string::npos) {
    const int first = std::atoi(given.c_str());
    const int last = std::atoi(given.c_str() + dash + 1);
    for (int page = first; page >= 1 && page <= last && pages.size() < 100000; ++page) {
      pages.push_back(page);
    }
  } else {
    std::stringstream list(given);
    std::string item;
    while (std::getline(list, item, ',')) {
      pages.push_back(std::atoi(item.c_str()));
    }
  }
  const bool many = dash != std::string::npos || given.find(',') != std::string::npos;
  const double dpi = std::atof(argv[3]);
  if (pages.empty() || *std::min_element(pages.begin(), pages.end()) < 1 || dpi < 1 || dpi > 1200) {
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
  for (const int page : pages) {
    if (page > document->PageCount()) {
      std::fprintf(stderr, "pagepaint: the document has no page %d\n", page);
      status = 1;
      continue;
    }
    const std::string out =
        many ? std::string(argv[4]) + "-" + std::to_string(page) + ".png" : std::string(argv[4]);
    bool drawn = false;
    try {
      drawn = DrawPage(*document, page - 1, dpi, out, resources);
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "pagepaint: page %d: not enough memory\n", page);
    }
    if (!drawn) {
      std::fprintf(stderr, "pagepaint: page %d could not be drawn into %s\n", page, out.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "pagepaint: not enough memory\n");
    return kOutOfMemory;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "pagepaint: failed: %s\n", failure.what());
    return kFailed;
  } catch (...) {
    std::fprintf(stderr, "pagepaint: failed\n");
    return kFailed;
  }
}
