// Opening and appending PDF files: LOADFILE and APPENDFILE. Both hand the viewer a path, named by
// the caller or chosen in the file-open dialog, and answer the viewer's result unchanged.
#include <array>

#include "ansi_file_name.h"
#include "error_message.h"
#include "file_open_dialog.h"
#include "lumivexctl/lumivexcontrol.h"
#include "text_field.h"
#include "viewer_channel.h"

namespace {

std::int32_t SendDocumentFile(std::int32_t window, lvx::ViewerCommand command,
                              LvxOptionalText fileName) noexcept {
  std::array<char, lvx::kNameBufferSize> name{};
  if (fileName.omitted != 0) {
    const lvx::FileDialogOutcome outcome = lvx::AskForPdfFile(lvx::OwnerFor(window), name);
    if (!outcome.chosen) {
      // Cancelled or failed, the viewer hears nothing; a failure is not a cancel, so its reason
      // is shown.
      if (outcome.noAnsiName) {
        lvx::ShowErrorMessage(window, lvx::kNoAnsiFileName);
      } else if (outcome.error != 0) {
        lvx::ReportFileDialogFailure(window, outcome.error, name.size());
      }
      return 0;
    }
  } else {
    // The name is not tested: an all-blank name goes to the viewer as an empty string.
    lvx::CopyCut(lvx::TrimmedText(fileName.text), name);
  }
  return lvx::SendString(window, command, name.data());
}

}  // namespace

std::int32_t LUMIVEXCONTROL::LOADFILE(LvxOptionalText FILENAME) {
  return SendDocumentFile(HWINDOW, lvx::VCMD_LOADFILE, FILENAME);
}

std::int32_t LUMIVEXCONTROL::APPENDFILE(LvxOptionalText FILENAME) {
  return SendDocumentFile(HWINDOW, lvx::VCMD_APPENDFILE, FILENAME);
}
