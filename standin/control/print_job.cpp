#include "print_job.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "drawing_painter.h"
#include "gdi_objects.h"
#include "image_painter.h"
#include "page_layout.h"
#include "page_painter.h"
#include "postscript_writer.h"
#include "print_range.h"

namespace lvx::standin {
namespace {

// Resolution of the pages when high-quality printing is off.
constexpr int kLowResolutionDpi = 96;

std::string DefaultPrinter() {
  DWORD size = 0;
  GetDefaultPrinterA(nullptr, &size);
  if (size == 0) {
    return {};
  }
  std::vector<char> name(size + 1, '\0');
  if (GetDefaultPrinterA(name.data(), &size) == FALSE) {
    return {};
  }
  return name.data();
}

// The document's name in the print queue: the first file's name without its extension. (CUPS
// takes a job whose name ends in ".pdf" for a PDF file, whatever the printer driver sent, and its
// PDF filter then fails on the PostScript and prints a blank page.)
std::string JobName(const ShownDocument& document) {
  const std::vector<ShownFile> files = document.Files();
  if (files.empty() || files.front().path.empty()) {
    return "Document";
  }
  const std::string& path = files.front().path;
  const std::size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return name;
}

// The page at its own size (scaled down when it is larger than the paper), centred on the paper.
SheetPlacement PlaceOnPaper(const pdf::PageGeometry& geometry, int paperWidth, int paperHeight,
                            int dpi) {
  const SheetSize shown = ShownSize(geometry);
  double pixelsPerPoint = dpi / 72.0;
  const double fit = std::min(paperWidth / (shown.width * pixelsPerPoint),
                              paperHeight / (shown.height * pixelsPerPoint));
  if (fit < 1) {
    pixelsPerPoint *= fit;
  }
  SheetPlacement placement{0, 0, pixelsPerPoint, geometry};
  const RECT sheet = SheetRect(placement);
  placement.left = std::max(0, (paperWidth - static_cast<int>(sheet.right)) / 2);
  placement.top = std::max(0, (paperHeight - static_cast<int>(sheet.bottom)) / 2);
  return placement;
}

// A document on a printer's device context from StartDoc on: aborted (AbortDoc) unless it was
// ended, so that a job that fails half-way, an exception included, never stays open.
class PrintDocument {
 public:
  PrintDocument(HDC dc, const DOCINFOA& info) : dc_(dc), open_(StartDocA(dc, &info) > 0) {}
  ~PrintDocument() {
    if (open_) {
      AbortDoc(dc_);
    }
  }
  PrintDocument(const PrintDocument&) = delete;
  PrintDocument& operator=(const PrintDocument&) = delete;
  PrintDocument(PrintDocument&&) = delete;
  PrintDocument& operator=(PrintDocument&&) = delete;

  [[nodiscard]] bool Started() const { return open_; }
  // EndDoc; answers whether the printer took the document.
  bool End() {
    open_ = false;
    return EndDoc(dc_) > 0;
  }

 private:
  HDC dc_;
  bool open_;
};

// Draws the page into a bitmap at low resolution and stretches the bitmap onto the printer.
bool PrintRaster(HDC printer, const SheetPlacement& onPaper, int dpi,
                 const std::vector<pdf::TextRun>& runs, FontCache& fonts,
                 const pdf::DisplayList* drawing, DrawingResources& resources) {
  SheetPlacement inBitmap{0, 0, onPaper.pixelsPerPoint * kLowResolutionDpi / dpi, onPaper.geometry};
  const RECT box = SheetRect(inBitmap);
  const BITMAPINFO info = TopDownDib(box.right, box.bottom, 32);
  void* bits = nullptr;
  const OwnedDc memory(CreateCompatibleDC(printer));
  const GdiObject<HBITMAP> bitmap(
      CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) {
    return false;
  }
  {
    const Selection selected(memory.Get(), bitmap.Get());
    PaintSheet(memory.Get(), inBitmap, runs, fonts, {}, false, drawing, &resources);
    GdiFlush();
  }
  const RECT target = SheetRect(onPaper);
  return StretchDIBits(printer, target.left, target.top, target.right - target.left,
                       target.bottom - target.top, 0, 0, box.right, box.bottom, bits, &info,
                       DIB_RGB_COLORS, SRCCOPY) > 0;
}

std::int32_t PrintOnDeviceContext(const ShownDocument& document, PageRange pages, bool highQuality,
                                  PrintReport& report, std::int32_t& jobs) {
  const OwnedDc printer(CreateDCA("WINSPOOL", report.printer.c_str(), nullptr, nullptr));
  if (!printer) {
    return kPrintNoPrinter;
  }
  const HDC dc = printer.Get();
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const int paperWidth = GetDeviceCaps(dc, HORZRES);
  const int paperHeight = GetDeviceCaps(dc, VERTRES);
  if (dpi <= 0 || paperWidth <= 0 || paperHeight <= 0) {
    return kPrintNoPrinter;
  }
  report.dpi = highQuality ? dpi : std::min(dpi, kLowResolutionDpi);
  report.route = highQuality ? PrintRoute::kVector : PrintRoute::kRaster;

  const std::string name = JobName(document);
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = name.c_str();
  PrintDocument job(dc, info);
  if (!job.Started()) {
    return kPrintFailed;
  }
  ++jobs;
  FontCache fonts;
  DrawingResources resources;
  for (int page = pages.first; page <= pages.last; ++page) {
    const std::vector<pdf::TextRun> runs = document.Runs(page - 1);
    const std::shared_ptr<const pdf::DisplayList> drawing = document.Drawing(page - 1);
    const SheetPlacement placement =
        PlaceOnPaper(document.Geometry(page - 1), paperWidth, paperHeight, dpi);
    bool drawn = StartPage(dc) > 0;
    if (drawn) {
      if (highQuality) {
        PaintSheet(dc, placement, runs, fonts, {}, false, drawing.get(), &resources);
      } else {
        drawn = PrintRaster(dc, placement, dpi, runs, fonts, drawing.get(), resources);
      }
    }
    if (!drawn || EndPage(dc) <= 0) {
      return kPrintFailed;  // the document is aborted
    }
  }
  if (!job.End()) {
    return kPrintFailed;
  }
  return pages.last - pages.first + 1;
}

// An open printer of the spooler (ClosePrinter).
class SpoolerPrinter {
 public:
  explicit SpoolerPrinter(std::string name) {
    if (OpenPrinterA(name.data(), &handle_, nullptr) == FALSE) {
      handle_ = nullptr;
    }
  }
  ~SpoolerPrinter() {
    if (handle_ != nullptr) {
      ClosePrinter(handle_);
    }
  }
  SpoolerPrinter(const SpoolerPrinter&) = delete;
  SpoolerPrinter& operator=(const SpoolerPrinter&) = delete;
  SpoolerPrinter(SpoolerPrinter&&) = delete;
  SpoolerPrinter& operator=(SpoolerPrinter&&) = delete;

  [[nodiscard]] HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

std::int32_t PrintPostScript(const ShownDocument& document, PageRange pages, PrintReport& report,
                             std::int32_t& jobs) {
  const SpoolerPrinter printer(report.printer);
  if (printer.Get() == nullptr) {
    return kPrintNoPrinter;
  }
  report.route = PrintRoute::kPostScript;
  report.dpi = 72;
  std::string name = JobName(document);
  std::string datatype = "RAW";
  std::string program = PostScriptFor(document, pages, name);
  DOC_INFO_1A info{};
  info.pDocName = name.data();
  info.pDatatype = datatype.data();
  if (StartDocPrinterA(printer.Get(), 1, reinterpret_cast<BYTE*>(&info)) == 0) {
    return kPrintFailed;
  }
  ++jobs;
  DWORD written = 0;
  const bool sent = StartPagePrinter(printer.Get()) != FALSE &&
                    WritePrinter(printer.Get(), program.data(), static_cast<DWORD>(program.size()),
                                 &written) != FALSE &&
                    written == program.size() && EndPagePrinter(printer.Get()) != FALSE;
  if (EndDocPrinter(printer.Get()) == FALSE || !sent) {
    return kPrintFailed;
  }
  return pages.last - pages.first + 1;
}

}  // namespace

std::int32_t PrintRequestedPages(PrintSettings& settings, const ShownDocument* document) {
  const bool started = std::exchange(settings.started, false);
  const std::int32_t range = std::exchange(settings.range, 0);
  PrintReport report;
  const auto finish = [&settings, &report](std::int32_t result) {
    report.result = result;
    if (result <= 0) {
      report.firstPage = report.lastPage = 0;
    }
    settings.last = report;
    return result;
  };
  if (!started) {
    return finish(kPrintNotStarted);
  }
  if (!settings.enabled) {
    return finish(kPrintSwitchedOff);
  }
  if (document == nullptr || document->PageCount() <= 0) {
    return finish(kPrintNoDocument);
  }
  const std::optional<PageRange> pages = ResolvePageRange(range, document->PageCount());
  if (!pages) {
    return finish(kPrintBadRange);
  }
  report.firstPage = pages->first;
  report.lastPage = pages->last;
  report.printer = settings.selectPrinter && !settings.printerName.empty() ? settings.printerName
                                                                           : DefaultPrinter();
  if (report.printer.empty()) {
    return finish(kPrintNoPrinter);
  }
  if (!settings.deviceContext) {
    return finish(PrintPostScript(*document, *pages, report, settings.jobs));
  }
  return finish(
      PrintOnDeviceContext(*document, *pages, settings.highQuality, report, settings.jobs));
}

}  // namespace lvx::standin
