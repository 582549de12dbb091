#include "page_drawing.h"

#include "content_interpreter.h"
#include "drawing_sink.h"
#include "file.h"
#include "page_annotations.h"
#include "page_limits.h"

namespace lvx::pdf {
DisplayList DrawPage(PdfFile& file, DrawingFontCache& fonts, const PageInfo& page) {
  DisplayList list;
  list.width = page.mediaBox.right - page.mediaBox.left;
  list.height = page.mediaBox.top - page.mediaBox.bottom;
  // The page tree keeps a page by reference, and its own resources in the page dictionary: the
  // drawing works on the dictionary itself with the resources that apply.
  PageInfo resolved = page;
  resolved.page = file.Resolve(page.page);
  if (page.resourcesInPage) {
    resolved.resources = file.Get(resolved.page.AsDict(), "Resources");
    resolved.resourcesInPage = false;
  }
  const Matrix base = Matrix::Translate(-page.mediaBox.left, -page.mediaBox.bottom);
  DrawingSink sink(file, list);
  WorkBudget budget(kPageWorkUnits);
  const WorkBudget::Scope scope(budget);
  ContentInterpreter interpreter(file, fonts.Fonts(), &fonts, sink, budget);
  interpreter.Reset(base);
  const std::vector<std::uint8_t> content =
      JoinContents(file, resolved.page.AsDict().Get("Contents"));
  interpreter.Run(content, file.Resolve(resolved.resources), 0);
  RunAnnotations(file, resolved.page.AsDict(), file.Resolve(resolved.resources), base, interpreter);
  interpreter.Reset(base);
  list.truncated = list.truncated || interpreter.Truncated();
  return list;
}

}  // namespace lvx::pdf
