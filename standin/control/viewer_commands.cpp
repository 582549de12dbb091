#include "viewer_commands.h"

#include <string>

#include "document_commands.h"
#include "document_facts.h"
#include "info_boxes.h"
#include "page_view.h"
#include "panels.h"
#include "viewer_protocol.h"

namespace lvx::standin {
namespace {

void Repaint(const ViewerState& state) {
  if (state.parts.pageArea != nullptr) {
    InvalidateRect(state.parts.pageArea, nullptr, FALSE);
  }
}

LRESULT HandleNumberCommand(ViewerState& state, std::int32_t code, std::int32_t argument) {
  PrintSettings& printing = state.printing;
  switch (code) {
    case VCMD_PROPERTIES.code: {
      const std::string facts = DescribeDocument(state.document, state.currentPage);
      ShowPropertiesBox(state.window, facts);
      return 0;
    }
    case VCMD_ABOUT.code:
      ShowAboutBox(state.window);
      return 0;
    case VCMD_PRINTSTART.code:
      printing.started = true;
      printing.range = 0;
      return 0;
    case VCMD_PRINTPAGES.code:
      printing.range = argument;
      return 0;
    case VCMD_PRINTFINISH.code:
      return PrintRequestedPages(printing, state.document);
    case VCMD_DISABLEPRINT.code:
      printing.enabled = false;
      return 0;
    case VCMD_DISABLEHQPRINT.code:
      printing.highQuality = false;
      return 0;
    case VCMD_DISABLESELECTPRINTER.code:
      printing.selectPrinter = false;
      return 0;
    case VCMD_DISABLEDCPRINT.code:
      printing.deviceContext = false;
      return 0;
    case VCMD_VIEWOPTIONS.code:
      ApplyViewOptions(state, argument);
      return 0;
    case VCMD_FINDOPTION.code:
      state.search.SetOptions(argument);
      return 0;
    case VCMD_FINDPRESET.code:
      state.search.Reset();
      Repaint(state);
      return 0;
    default:
      ApplyZoom(state, code);  // other codes change nothing
      return 0;
  }
}

LRESULT HandleStringCommand(ViewerState& state, std::int32_t code, const char* text) {
  switch (code) {
    case VCMD_SETPRINTER.code:
      state.printing.printerName = text;
      return 0;
    case VCMD_FIND1.code: {
      if (state.document == nullptr) {
        return -1;
      }
      const int page = state.search.FindNext(*state.document, state.pageTexts, text);
      if (page >= 0) {
        RevealFound(state);
      }
      Repaint(state);
      return page;
    }
    case VCMD_FIND2.code:
      return state.document == nullptr
                 ? 0
                 : state.search.CountAll(*state.document, state.pageTexts, text);
    case VCMD_MARKTEXT.code:
      state.marks.pattern = NormalizePattern(text);
      state.marks.options = state.search.Options();
      state.marks.count = state.document == nullptr || state.marks.pattern.empty()
                              ? 0
                              : state.search.CountAll(*state.document, state.pageTexts, text);
      Repaint(state);
      return state.marks.count;
    default:
      return 0;
  }
}

// Brings the view up to date after a document command changed the model: a load or a clear shows
// the model afresh, an append adds pages behind those shown. A failed load or append (a negative
// result) left the model as it was.
void ShowModelChange(ViewerState& state, std::int32_t code, LPARAM argument, LRESULT result,
                     int pagesBefore) {
  const char* path = reinterpret_cast<const char*>(argument);
  if (code == VCMD_CLEAR.code) {
    state.modelPages.Cleared();
  } else if (result < 0 || path == nullptr) {
    return;
  } else if (code == VCMD_LOADFILE.code) {
    state.modelPages.Loaded(path);
  } else if (code == VCMD_APPENDFILE.code) {
    state.modelPages.Appended(path, pagesBefore);
    AddPages(state);
    return;
  }
  ShowDocument(state, state.model.PageCount() > 0 ? &state.modelPages : nullptr);
}

}  // namespace

void ApplyViewOptions(ViewerState& state, std::int32_t options) {
  state.viewOptions = options;
  PlaceParts(state);
  RefreshLayout(state);
}

LRESULT HandleViewerCommand(ViewerState& state, UINT message, std::int32_t code, LPARAM argument) {
  const int pagesBefore = state.model.PageCount();
  const DocumentCommandResult done = HandleDocumentCommand(state.model, message, code, argument);
  if (done.handled) {
    if (done.documentChanged) {
      ShowModelChange(state, code, argument, done.result, pagesBefore);
    }
    return done.result;
  }
  if (message == WM_VIEWER_STRCOMMAND) {
    const char* text = reinterpret_cast<const char*>(argument);
    return HandleStringCommand(state, code, text != nullptr ? text : "");
  }
  return HandleNumberCommand(state, code, static_cast<std::int32_t>(argument));
}

}  // namespace lvx::standin
