// The reader on the worst pages known: each hostile document (tests/pdf/hostile_documents.h)
// drawn and its text extracted, every one in a process of its own, against an ordinary page of
// text drawn the same way in the same run. Prints per page the time of the drawing and of the
// text, the peak resident memory of the process, whether the page was cut short, and the ratios
// to the ordinary page; the last line names the slowest page and the largest peak.
//   worst_pages_bench [RUNS]        best of RUNS (default 3)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hostile_documents.h"
#include "lvxpdf/document.h"
#include "pdf_builder.h"

namespace {

struct Figures {
  double drawSeconds = 0;
  double textSeconds = 0;
  double peakMb = 0;
  bool truncated = false;
};

// Draws and reads page 1 in a child process; the child writes its times through a pipe.
bool Measure(const std::string& file, Figures& figures) {
  int channel[2];
  if (pipe(channel) != 0) {
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
    const auto document =
        lvx::pdf::Document::OpenBytes(std::vector<std::uint8_t>(file.begin(), file.end()), error);
    if (!document) {
      _exit(2);
    }
    const auto started = std::chrono::steady_clock::now();
    const lvx::pdf::DisplayList list = document->PageDrawing(0);
    const auto drawn = std::chrono::steady_clock::now();
    static_cast<void>(document->PageText(0));
    const auto read = std::chrono::steady_clock::now();
    double out[3] = {std::chrono::duration<double>(drawn - started).count(),
                     std::chrono::duration<double>(read - drawn).count(),
                     list.truncated ? 1.0 : 0.0};
    const bool written = write(channel[1], out, sizeof out) == static_cast<ssize_t>(sizeof out);
    _exit(written ? 0 : 3);
  }
  close(channel[1]);
  double in[3] = {};
  const bool received =
      pid > 0 && read(channel[0], in, sizeof in) == static_cast<ssize_t>(sizeof in);
  close(channel[0]);
  int status = 0;
  rusage usage{};
  if (pid <= 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0 || !received) {
    return false;
  }
  figures = {in[0], in[1], static_cast<double>(usage.ru_maxrss) / 1024, in[2] != 0};
  return true;
}

bool Best(const std::string& file, int runs, Figures& best) {
  for (int run = 0; run < runs; ++run) {
    Figures figures;
    if (!Measure(file, figures)) {
      return false;
    }
    if (run == 0 ||
        figures.drawSeconds + figures.textSeconds < best.drawSeconds + best.textSeconds) {
      best = figures;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::string lines;
  for (int i = 0; i < 60; ++i) {
    lines += "BT /F1 10 Tf 72 " + std::to_string(760 - 12 * i) +
             " Td (An ordinary line of text on an ordinary page, to compare with.) Tj ET\n";
  }
  Figures baseline;
  if (!Best(lvx::pdf::test::SimpleDocument({lines}), runs, baseline)) {
    std::fprintf(stderr, "worst_pages_bench: the ordinary page failed\n");
    return 1;
  }
  std::printf("%-28s %9s %9s %9s %5s %11s %9s\n", "page", "draw_s", "text_s", "peak_MB", "cut",
              "time_ratio", "mem_ratio");
  const double baseTime = baseline.drawSeconds + baseline.textSeconds;
  std::printf("%-28s %9.4f %9.4f %9.1f %5s %11s %9s\n", "ordinary-text-page", baseline.drawSeconds,
              baseline.textSeconds, baseline.peakMb, baseline.truncated ? "yes" : "no", "1.0",
              "1.00");
  std::string slowest;
  std::string largest;
  double slowestTime = 0;
  double largestPeak = 0;
  int failed = 0;
  for (const auto& [name, file] : lvx::pdf::test::HostileDocuments()) {
    Figures figures;
    if (!Best(file, runs, figures)) {
      std::printf("%-28s failed (the process did not end normally)\n", name.c_str());
      ++failed;
      continue;
    }
    const double time = figures.drawSeconds + figures.textSeconds;
    std::printf("%-28s %9.4f %9.4f %9.1f %5s %11.1f %9.2f\n", name.c_str(), figures.drawSeconds,
                figures.textSeconds, figures.peakMb, figures.truncated ? "yes" : "no",
                time / baseTime, figures.peakMb / baseline.peakMb);
    if (time > slowestTime) {
      slowestTime = time;
      slowest = name;
    }
    if (figures.peakMb > largestPeak) {
      largestPeak = figures.peakMb;
      largest = name;
    }
  }
  std::printf("slowest: %s, %.2f s; largest peak: %s, %.1f MB\n", slowest.c_str(), slowestTime,
              largest.c_str(), largestPeak);
  return failed == 0 ? 0 : 1;
}
