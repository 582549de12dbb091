// The file-open dialog in which the user picks the PDF file to open or append.
#ifndef LUMIVEX_WRAPPER_FILE_OPEN_DIALOG_H
#define LUMIVEX_WRAPPER_FILE_OPEN_DIALOG_H

#include <windows.h>

#include <span>

namespace lvx {

// Shows the modal dialog "Select File" owned by `owner` (may be null), listing "Adobe PDF "
// files (pattern " *.pdf"); the chosen file and its folder must exist, and the process's current
// directory is the same afterwards. The name field starts empty. On OK the chosen path is in
// `name`, NUL-terminated (at most name.size() - 1 characters), and true is answered; false when
// the user cancelled or the dialog failed (for example a path longer than the buffer).
bool AskForPdfFile(HWND owner, std::span<char> name) noexcept;

}  // namespace lvx

#endif
