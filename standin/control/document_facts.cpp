#include "document_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "page_layout.h"

namespace lvx::standin {
namespace {

std::string Number(double value) {
  char text[32];
  const double rounded = std::round(value * 10) / 10;
  if (rounded == std::floor(rounded)) {
    std::snprintf(text, sizeof text, "%.0f", rounded);
  } else {
    std::snprintf(text, sizeof text, "%.1f", rounded);
  }
  return text;
}

// The last part of a path (after the last '\\' or '/').
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void AddLine(std::string& text, const char* label, const std::string& value) {
  if (!text.empty()) {
    text += "\r\n";
  }
  text += label;
  text += ": ";
  text += value.empty() ? "-" : value;
}

}  // namespace

std::string DescribePageSize(const pdf::PageGeometry& geometry) {
  const SheetSize shown = ShownSize(geometry);
  constexpr double kMillimetresPerPoint = 25.4 / 72;
  return Number(shown.width) + " x " + Number(shown.height) + " pt (" +
         Number(std::round(shown.width * kMillimetresPerPoint)) + " x " +
         Number(std::round(shown.height * kMillimetresPerPoint)) + " mm)";
}

std::string DescribeDocument(const ShownDocument* document, int current) {
  const std::vector<ShownFile> files =
      document != nullptr ? document->Files() : std::vector<ShownFile>{};
  const int pages = document != nullptr ? document->PageCount() : 0;
  if (files.empty() || pages <= 0) {
    return "No document";
  }
  std::string text;
  const ShownFile& first = files.front();
  AddLine(text, "File", BaseName(first.path));
  for (std::size_t i = 1; i < files.size(); ++i) {
    const int count = files[i].pageCount;
    AddLine(text, "Appended",
            BaseName(files[i].path) + " (" + std::to_string(count) +
                (count == 1 ? " page)" : " pages)"));
  }
  AddLine(text, "Folder", first.path.substr(0, first.path.size() - BaseName(first.path).size()));
  AddLine(text, "Pages", std::to_string(pages));
  AddLine(text, "Title", first.info.title);
  AddLine(text, "Author", first.info.author);
  AddLine(text, "Producer", first.info.producer);
  AddLine(text, "PDF version", first.info.version);
  const int page = std::clamp(current, 0, pages - 1);
  AddLine(text, "Page size",
          DescribePageSize(document->Geometry(page)) + ", page " + std::to_string(page + 1));
  return text;
}

}  // namespace lvx::standin
