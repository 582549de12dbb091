// The stand-in's PDF reader against both peers, `pdftotext -raw` and `mutool draw -F txt`, on
// the largest files of a corpus (by its manifest): per file the best time of RUNS whole-document
// reads and the peak resident memory of each (every read is a process of its own), and the
// ratios of ours to the faster and to the leaner peer. A last column reads the file twice in one
// process and gives the peak after the second reading against the peak after the first: memory
// that stays flat shows 1.00.
//   pdf_read_bench CORPUS_DIR [RUNS [COUNT]]    (CORPUS_DIR holds manifest.tsv; peers on PATH)
//   pdf_read_bench --read FILE [TIMES]          (the child that reads; prints peaks in KB)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The process's peak resident memory so far, in KB (VmHWM).
long PeakKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return -1;
}

// Reads the whole document `times` times (opened anew each time) and prints the peak after each.
int ReadChild(const std::string& path, int times) {
  for (int time = 0; time < times; ++time) {
    lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
    const auto document = lvx::pdf::Document::OpenFile(path, error);
    if (!document) {
      return 1;
    }
    std::size_t bytes = 0;
    for (int page = 0; page < document->PageCount(); ++page) {
      bytes += document->PageText(page).size();
    }
    std::printf("%ld %zu\n", PeakKb(), bytes);
  }
  return 0;
}

struct Measure {
  double seconds = -1;  // best of the runs; negative when the program failed
  long peakKb = -1;     // least of the runs' peaks
};

// Runs `argv` with its output thrown away (or into `out` when given); its time and peak memory.
Measure Run(const std::vector<std::string>& args, int runs, const char* out = "/dev/null") {
  Measure best;
  for (int run = 0; run < runs; ++run) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) {
      argv.push_back(
          const_cast<char*>(arg.c_str()));  // NOLINT(cppcoreguidelines-pro-type-const-cast)
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      return {};
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      return {};
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best.seconds = best.seconds < 0 ? seconds : std::min(best.seconds, seconds);
    best.peakKb = best.peakKb < 0 ? usage.ru_maxrss : std::min<long>(best.peakKb, usage.ru_maxrss);
  }
  return best;
}

std::string Cell(const Measure& m) {
  char text[32];
  if (m.seconds < 0) {
    return "failed";
  }
  std::snprintf(text, sizeof text, "%.2f / %.0f", m.seconds,
                static_cast<double>(m.peakKb) / 1024.0);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--read") {
    return ReadChild(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 1);
  }
  if (argc < 2) {
    std::fputs("usage: pdf_read_bench CORPUS_DIR [RUNS [COUNT]]\n", stderr);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::size_t count =
      argc > 3 ? static_cast<std::size_t>(std::max(1, std::atoi(argv[3]))) : 6;
  const std::vector<File> files = LargestFiles(argv[1], count);
  if (files.empty()) {
    std::fprintf(stderr, "pdf_read_bench: no manifest.tsv in %s\n", argv[1]);
    return 1;
  }
  const std::string self = "/proc/self/exe";
  std::string exe(4096, '\0');
  const auto length = readlink(self.c_str(), exe.data(), exe.size());
  exe.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  std::printf("best of %d runs; seconds / peak MB; ratios: ours to the faster and to the leaner\n",
              runs);
  std::printf("%-40s %6s %13s %13s %13s %7s %7s %7s\n", "file", "pages", "ours", "pdftotext",
              "mutool", "time", "memory", "twice");
  double worstTime = 0;
  double worstMemory = 0;
  for (const File& file : files) {
    const Measure ours = Run({exe, "--read", file.path}, runs);
    const Measure poppler = Run({"pdftotext", "-raw", file.path, "/dev/null"}, runs);
    const Measure mupdf = Run({"mutool", "draw", "-F", "txt", "-o", "/dev/null", file.path}, runs);
    // Reading twice in one process: the peaks after the first and the second reading.
    const std::string peaks = "/tmp/pdf_read_bench_twice.txt";
    Run({exe, "--read", file.path, "2"}, 1, peaks.c_str());
    long first = 0;
    long second = 0;
    if (std::FILE* in = std::fopen(peaks.c_str(), "r")) {
      std::size_t bytes = 0;
      if (std::fscanf(in, "%ld %zu %ld", &first, &bytes, &second) != 3) {
        first = second = 0;
      }
      std::fclose(in);
      std::remove(peaks.c_str());
    }
    lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
    const auto document = lvx::pdf::Document::OpenFile(file.path, error);
    const int pages = document ? document->PageCount() : -1;
    double fastest = 0;
    long leanest = 0;
    for (const Measure& peer : {poppler, mupdf}) {
      if (peer.seconds >= 0) {
        fastest = fastest > 0 ? std::min(fastest, peer.seconds) : peer.seconds;
        leanest = leanest > 0 ? std::min(leanest, peer.peakKb) : peer.peakKb;
      }
    }
    const double timeRatio = fastest > 0 && ours.seconds >= 0 ? ours.seconds / fastest : -1;
    const double memoryRatio = leanest > 0 && ours.peakKb >= 0
                                   ? static_cast<double>(ours.peakKb) / static_cast<double>(leanest)
                                   : -1;
    worstTime = std::max(worstTime, timeRatio);
    worstMemory = std::max(worstMemory, memoryRatio);
    const std::string name = file.path.substr(file.path.find_last_of('/') + 1);
    std::printf("%-40s %6d %13s %13s %13s %7.2f %7.2f %7.2f\n", name.substr(0, 40).c_str(), pages,
                Cell(ours).c_str(), Cell(poppler).c_str(), Cell(mupdf).c_str(), timeRatio,
                memoryRatio,
                first > 0 ? static_cast<double>(second) / static_cast<double>(first) : -1.0);
  }
  std::printf("largest ratios: time %.2f, memory %.2f\n", worstTime, worstMemory);
  return 0;
}
