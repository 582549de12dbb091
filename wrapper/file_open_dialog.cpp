#include "file_open_dialog.h"

#include <commdlg.h>

#include <algorithm>

namespace lvx {
namespace {

constexpr const char* kTitle = "Select File";

// The filter "Adobe PDF | *.pdf": one description and one pattern separated by the bar, both
// kept as they stand, spaces included. In the dialog's filter string the bar becomes the NUL
// between the two parts, so the description is "Adobe PDF " and the pattern " *.pdf"; the
// dialog's pattern matching skips the pattern's leading space, so PDF files are still listed.
constexpr char kFilter[] = "Adobe PDF \0 *.pdf\0";  // the literal adds the closing second NUL

}  // namespace

bool AskForPdfFile(HWND owner, std::span<char> name) noexcept {
  if (name.empty()) {
    return false;
  }
  std::fill(name.begin(), name.end(), '\0');  // the name field starts empty
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrTitle = kTitle;
  dialog.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_LONGNAMES;
  if (GetOpenFileNameA(&dialog) == FALSE) {
    name[0] = '\0';
    return false;
  }
  name[name.size() - 1] = '\0';
  return true;
}

}  // namespace lvx
