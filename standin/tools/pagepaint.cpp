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
#include <memory>
#include <new>
#include <span>
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

// A 32-bit top-down DIB selected into a memory DC, kept from page to page while the size stays
// the same: a new picture for every page would cost a fresh allocation of megabytes each time.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), memory_(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = lvx::standin::TopDownDib(width, height, 32);
    bitmap_ = GdiObject<HBITMAP>(
        CreateDIBSection(memory_.Get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
  }
  [[nodiscard]] bool Fits(int width, int height) const {
    return width == width_ && height == height_;
  }
  [[nodiscard]] bool Ready() const { return memory_ && bitmap_ && bits_ != nullptr; }
  [[nodiscard]] HDC Dc() const { return memory_.Get(); }
  [[nodiscard]] HBITMAP Bitmap() const { return bitmap_.Get(); }
  [[nodiscard]] std::span<const std::uint32_t> Pixels() const {
    return {static_cast<const std::uint32_t*>(bits_),
            static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)};
  }

 private:
  int width_;
  int height_;
  OwnedDc memory_;
  GdiObject<HBITMAP> bitmap_;
  void* bits_ = nullptr;
};

bool DrawPage(const lvx::pdf::Document& document, int page, double dpi, const std::string& out,
              DrawingResources& resources, std::unique_ptr<Canvas>& canvas) {
  SheetPlacement placement{0, 0, dpi / 72.0, document.Geometry(page)};
  const RECT box = lvx::standin::SheetRect(placement);
  if (!canvas || !canvas->Fits(box.right, box.bottom)) {
    canvas.reset();  // the old picture goes before the new one is made
    canvas = std::make_unique<Canvas>(box.right, box.bottom);
  }
  if (!canvas->Ready()) {
    canvas.reset();
    return false;
  }
  {
    const lvx::pdf::DisplayList drawing = document.PageDrawing(page);
    const Selection selected(canvas->Dc(), canvas->Bitmap());
    lvx::standin::PaintSheet(canvas->Dc(), placement, {}, resources.fonts, {}, false, &drawing,
                             &resources);
    GdiFlush();
  }
  return lvx::standin::WritePng(out, box.right, box.bottom, canvas->Pixels());
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
  std::unique_ptr<Canvas> canvas;
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
      drawn = DrawPage(*document, page - 1, dpi, out, resources, canvas);
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
