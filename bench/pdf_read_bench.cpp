// Reading speed of the stand-in's PDF reader against poppler's pdftotext, measured in the same
// run on the same files: the three largest files of a corpus (by its manifest), each opened and
// read whole (page count and every page's text). Prints seconds and the ratio ours / pdftotext.
//   pdf_read_bench CORPUS_DIR [RUNS]     (CORPUS_DIR holds manifest.tsv; pdftotext on PATH)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lvxpdf/document.h"

namespace {

struct File {
  std::string path;
  long long bytes = 0;
};

std::vector<File> LargestFiles(const std::string& corpus, std::size_t count) {
  std::ifstream manifest(corpus + "/manifest.tsv");
  std::string line;
  std::getline(manifest, line);  // header: file, source, path_or_recipe, pkg_version, bytes, ...
  std::vector<File> files;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::vector<std::string> columns;
    for (std::string column; std::getline(fields, column, '\t');) {
      columns.push_back(column);
    }
    if (columns.size() > 4) {
      files.push_back({corpus + "/" + columns[0], std::atoll(columns[4].c_str())});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const File& a, const File& b) { return a.bytes > b.bytes; });
  files.resize(std::min(count, files.size()));
  return files;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Best of `runs`: the least disturbed by the other work on a shared machine.
double TimeOurs(const std::string& path, int runs, int& pages, std::size_t& bytes) {
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
    const auto document = lvx::pdf::Document::OpenFile(path, error);
    pages = document ? document->PageCount() : -1;
    bytes = 0;
    for (int page = 0; page < pages; ++page) {
      bytes += document->PageText(page).size();
    }
    best = std::min(best, Seconds(start));
  }
  return best;
}

double TimePdftotext(const std::string& path, int runs) {
  double best = 1e300;
  const std::string command = "pdftotext -raw '" + path + "' /dev/null 2>/dev/null";
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      return -1;
    }
    best = std::min(best, Seconds(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: pdf_read_bench CORPUS_DIR [RUNS]\n", stderr);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::vector<File> files = LargestFiles(argv[1], 3);
  if (files.empty()) {
    std::fprintf(stderr, "pdf_read_bench: no manifest.tsv in %s\n", argv[1]);
    return 1;
  }
  std::printf("%-48s %10s %6s %12s %10s %12s %7s\n", "file (best of runs)", "bytes", "pages",
              "text bytes", "ours s", "pdftotext s", "ratio");
  double oursTotal = 0;
  double theirsTotal = 0;
  for (const File& file : files) {
    int pages = 0;
    std::size_t textBytes = 0;
    const double ours = TimeOurs(file.path, runs, pages, textBytes);
    const double theirs = TimePdftotext(file.path, runs);
    oursTotal += ours;
    theirsTotal += theirs;
    const std::string name = file.path.substr(file.path.find_last_of('/') + 1);
    std::printf("%-48s %10lld %6d %12zu %10.3f %12.3f %7.2f\n", name.substr(0, 48).c_str(),
                file.bytes, pages, textBytes, ours, theirs, theirs > 0 ? ours / theirs : 0.0);
  }
  std::printf("%-48s %10s %6s %12s %10.3f %12.3f %7.2f\n", "total", "", "", "", oursTotal,
              theirsTotal, theirsTotal > 0 ? oursTotal / theirsTotal : 0.0);
  return 0;
}
