#include "document_commands.h"

#include <cstring>
#include <exception>
#include <string>

#include "standin_api.h"
#include "viewer_protocol.h"

namespace lvx::standin {
namespace {

bool Is(UINT message, std::int32_t code, const ViewerCommand& command) {
  return message == command.message && code == command.code;
}

std::string PathOf(LPARAM lParam) {
  const char* text = reinterpret_cast<const char*>(lParam);
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

DocumentCommandResult HandleDocumentCommand(DocumentModel& model, UINT message, std::int32_t code,
                                            LPARAM lParam) {
  DocumentCommandResult out;
  // Nothing may escape into the window procedure: a C++ exception cannot cross into the caller.
  try {
    if (Is(message, code, VCMD_CLEAR)) {
      model.Clear();
      out = {true, true, 0};
    } else if (Is(message, code, VCMD_LOADFILE)) {
      out = {true, true, model.Load(PathOf(lParam))};
    } else if (Is(message, code, VCMD_APPENDFILE)) {
      out = {true, true, model.Append(PathOf(lParam))};
    } else if (Is(message, code, VCMD_PAGECOUNT)) {
      out = {true, false, model.PageCount()};
    } else if (Is(message, code, VCMD_PAGETEXTLENGTH)) {
      out = {true, false, model.MeasurePage(static_cast<std::int32_t>(lParam))};
    } else if (Is(message, code, VCMD_PAGETEXT)) {
      // The sender's buffer has room for the measured length and the NUL.
      if (auto* buffer = reinterpret_cast<char*>(lParam); buffer != nullptr) {
        const std::string& text = model.MeasuredText();
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
      }
      out = {true, false, 0};
    }
  } catch (const std::exception&) {
    out.handled = true;
    out.result =
        code == VCMD_LOADFILE.code || code == VCMD_APPENDFILE.code ? LVX_STANDIN_LOAD_TOO_LARGE : 0;
  }
  return out;
}

}  // namespace lvx::standin
