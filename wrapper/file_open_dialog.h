// The file-open dialog in which the user picks the PDF file to open or append.
#ifndef LUMIVEX_WRAPPER_FILE_OPEN_DIALOG_H
#define LUMIVEX_WRAPPER_FILE_OPEN_DIALOG_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace lvx {

// How the dialog ended.
struct FileDialogOutcome {
  bool chosen = false;      // a file was chosen: its path is in the name buffer
  std::uint32_t error = 0;  // otherwise the dialog's failure (CommDlgExtendedError); 0: cancelled
  bool noAnsiName = false;  // a file was chosen, but its name reaches the viewer in no form
};

// Shows the modal dialog "Select File" owned by `owner` (may be null), listing "Adobe PDF "
// files (pattern " *.pdf"); the chosen file and its folder must exist, and the process's current
// directory is the same afterwards. The name field starts empty. The dialog takes names in any
// script; on OK the chosen path is in `name` in the ANSI code page, or as the file's short name
// where the code page cannot write it, NUL-terminated (at most name.size() - 1 characters);
// otherwise `name` is empty and the outcome tells a cancel from a failure (for example a path
// longer than the buffer) or from a name the viewer cannot be given.
FileDialogOutcome AskForPdfFile(HWND owner, std::span<char> name) noexcept;

// Shows why the dialog failed with `error` (not 0) in the error box, for a name buffer of
// `nameSize` bytes: the file was not opened.
void ReportFileDialogFailure(std::int32_t viewer, std::uint32_t error,
                             std::size_t nameSize) noexcept;

}  // namespace lvx

#endif
