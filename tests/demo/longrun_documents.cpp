#include "longrun_documents.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <utility>

#include "encrypted_document.h"
#include "test_pdf.h"

namespace lvx::test {
namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool EndsWithPdf(const std::string& name) {
  if (name.size() < 4) {
    return false;
  }
  std::string end = name.substr(name.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  return end == ".pdf";
}

// Every PDF file below `folder` (which ends with a backslash).
void Collect(const std::string& folder, std::vector<std::string>& found) {
  WIN32_FIND_DATAA entry{};
  const HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") {
      continue;
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      Collect(folder + name + "\\", found);
    } else if (EndsWithPdf(name)) {
      found.push_back(folder + name);
    }
  } while (FindNextFileA(search, &entry) != FALSE);
  FindClose(search);
}

}  // namespace

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path.front() != '/') {
    return path;
  }
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

LongRunDocuments GatherDocuments(const std::vector<std::string>& folders,
                                 const std::string& scratch) {
  using pdf::test::EncryptedDocument;
  using pdf::test::Encryption;
  LongRunDocuments documents;
  const std::string plain = BuildPdf(NumberedPages(12, 20));
  const std::vector<std::pair<std::string, std::string>> own = {
      {"plain.pdf", plain},
      {"damaged.pdf", plain.substr(0, plain.size() / 3)},
      {"no-pdf.pdf", "This is a letter, not a PDF document.\n"},
      {"password.pdf", EncryptedDocument(Encryption::kAes128, "secret", "owner",
                                         "Only with the password", "Locked")},
      {"empty-password.pdf",
       EncryptedDocument(Encryption::kRc4Bits128, "", "owner", "Opens without asking", "Open")},
  };
  for (const auto& [name, bytes] : own) {
    const std::string path = scratch + name;
    if (WriteFile(path, bytes)) {
      documents.all.push_back(path);
    } else {
      documents.notes.push_back("could not write " + path);
    }
  }
  documents.first = scratch + "plain.pdf";
  for (const std::string& given : folders) {
    std::string folder = WindowsPath(given);
    if (!folder.empty() && folder.back() != '\\') {
      folder += '\\';
    }
    std::vector<std::string> found;
    Collect(folder, found);
    if (found.empty()) {
      documents.notes.push_back("no PDF files in " + folder);
    }
    std::sort(found.begin(), found.end());
    documents.all.insert(documents.all.end(), found.begin(), found.end());
  }
  return documents;
}

}  // namespace lvx::test
