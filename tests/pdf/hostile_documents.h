// One-page documents built to harm a reader that trusts them: sizes that wrap in 32-bit
// arithmetic, and work or memory out of proportion to the file. The reader's tests check what
// each draws, the fuzzers start from them, and bench_worst_pages measures their time and memory.
#ifndef LVX_TESTS_HOSTILE_DOCUMENTS_H
#define LVX_TESTS_HOSTILE_DOCUMENTS_H

#include <string>
#include <string_view>
#include <vector>

namespace lvx::pdf::test {

struct HostileDocument {
  std::string name;
  std::string file;
};

// Every one of them; each page is 200 x 100 points (OnePage).
std::vector<HostileDocument> HostileDocuments();
// The one of that name (empty when there is none).
std::string Hostile(std::string_view name);

}  // namespace lvx::pdf::test

#endif
