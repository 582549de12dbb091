// The stand-in viewer's document commands: 100 clear, 101 load, 102 append, 201 page count,
// 260 measure a page's text, 261 write the measured text (see standin_api.h for the results).
#ifndef LUMIVEX_STANDIN_DOCUMENT_COMMANDS_H
#define LUMIVEX_STANDIN_DOCUMENT_COMMANDS_H

#include <windows.h>

#include <cstdint>

#include "document_model.h"

namespace lvx::standin {

struct DocumentCommandResult {
  bool handled = false;          // the message carried one of the document commands
  bool documentChanged = false;  // the shown pages changed: the window repaints
  LRESULT result = 0;
};

DocumentCommandResult HandleDocumentCommand(DocumentModel& model, UINT message, std::int32_t code,
                                            LPARAM lParam);

}  // namespace lvx::standin

#endif
