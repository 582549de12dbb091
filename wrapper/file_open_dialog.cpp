#include "file_open_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "ansi_file_name.h"
#include "error_message.h"

namespace lvx {
namespace {

constexpr const wchar_t* kTitle = L"Select File";

// The filter "Adobe PDF | *.pdf": one description and one pattern separated by the bar, both
// kept as they stand, spaces included. In the dialog's filter string the bar becomes the NUL
// between the two parts, so the description is "Adobe PDF " and the pattern " *.pdf"; the
// dialog's pattern matching skips the pattern's leading space, so PDF files are still listed.
constexpr wchar_t kFilter[] = L"Adobe PDF \0 *.pdf\0";  // the literal adds the closing second NUL

}  // namespace

// The wide dialog shows and returns every name whatever the code page; the chosen path then goes
// to the viewer as it can open it (ansi_file_name.h).
FileDialogOutcome AskForPdfFile(HWND owner, std::span<char> name) noexcept {
  if (name.empty()) {
    return {};
  }
  std::fill(name.begin(), name.end(), '\0');  // the name field starts empty
  try {
    std::wstring wide(name.size(), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = wide.data();
    dialog.nMaxFile = static_cast<DWORD>(wide.size());
    dialog.lpstrTitle = kTitle;
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_LONGNAMES;
    if (GetOpenFileNameW(&dialog) == FALSE) {
      return {false, static_cast<std::uint32_t>(CommDlgExtendedError())};
    }
    wide.resize(wide.find(L'\0'));
    const std::optional<std::string> ansi = AnsiFileName(wide);
    if (!ansi) {
      return {false, 0, true};
    }
    if (ansi->size() >= name.size()) {
      return {false, FNERR_BUFFERTOOSMALL};  // a path of double-byte characters may not fit
    }
    std::copy(ansi->begin(), ansi->end(), name.begin());
    return {true, 0};
  } catch (const std::bad_alloc&) {
    return {false, CDERR_MEMALLOCFAILURE};
  }
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
