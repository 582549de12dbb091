#include "file_open_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "error_message.h"

namespace lvx {
namespace {

constexpr const char* kTitle = "Select File";

// The filter "Adobe PDF | *.pdf": one description and one pattern separated by the bar, both
// kept as they stand, spaces included. In the dialog's filter string the bar becomes the NUL
// between the two parts, so the description is "Adobe PDF " and the pattern " *.pdf"; the
// dialog's pattern matching skips the pattern's leading space, so PDF files are still listed.
constexpr char kFilter[] = "Adobe PDF \0 *.pdf\0";  // the literal adds the closing second NUL

}  // namespace

FileDialogOutcome AskForPdfFile(HWND owner, std::span<char> name) noexcept {
  if (name.empty()) {
    return {};
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
    return {false, static_cast<std::uint32_t>(CommDlgExtendedError())};
  }
  name[name.size() - 1] = '\0';
  return {true, 0};
}

void ReportFileDialogFailure(std::int32_t viewer, std::uint32_t error,
                             std::size_t nameSize) noexcept {
  std::array<char, 128> text{};
  switch (error) {
    case FNERR_BUFFERTOOSMALL:
      std::snprintf(text.data(), text.size(),
                    "The file was not opened: its path is longer than %u characters.",
                    static_cast<unsigned>(nameSize - 1));
      break;
    case FNERR_INVALIDFILENAME:
      std::snprintf(text.data(), text.size(), "The file was not opened: its name is not valid.");
      break;
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
      std::snprintf(text.data(), text.size(), "The file was not opened: %s", kOutOfMemory);
      break;
    default:
      std::snprintf(text.data(), text.size(),
                    "The file was not opened: the file dialog failed (error 0x%04X).",
                    static_cast<unsigned>(error));
      break;
  }
  ShowErrorMessage(viewer, text.data());
}

}  // namespace lvx
