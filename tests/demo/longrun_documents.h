// The documents a long run of ostrada opens and appends: every PDF file below the folders it is
// given (the real-world corpus holds real documents and damaged, encrypted and very long ones),
// and a few written here, so that a run without the corpus meets the same kinds: a plain
// multi-page document, a damaged one, a file that is no PDF, one that needs a password and one
// encrypted with the empty password.
#ifndef LUMIVEX_TESTS_DEMO_LONGRUN_DOCUMENTS_H
#define LUMIVEX_TESTS_DEMO_LONGRUN_DOCUMENTS_H

#include <string>
#include <vector>

namespace lvx::test {

struct LongRunDocuments {
  std::string first;               // a plain document: opened first, and again at the end
  std::vector<std::string> all;    // every document, `first` included (Windows paths)
  std::vector<std::string> notes;  // folders that were not there, and the like
};

// Writes the documents of its own into `scratch` (a folder that exists) and gathers the PDF files
// below each of `folders`, in name order.
LongRunDocuments GatherDocuments(const std::vector<std::string>& folders,
                                 const std::string& scratch);

// A Unix path (/x/y) as Wine sees it (Z:\x\y); any other path as it is.
std::string WindowsPath(const std::string& path);

}  // namespace lvx::test

#endif
