// A page's annotations: the normal appearance of each visible one, run as a form fitted into the
// annotation's rectangle, after the page's own content. The drawing and the text both take them.
#ifndef LVXPDF_PAGE_ANNOTATIONS_H
#define LVXPDF_PAGE_ANNOTATIONS_H

#include "content_interpreter.h"
#include "matrix.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// `resources` are the page's (resolved); `base` maps page space to the consumer's space.
void RunAnnotations(PdfFile& file, const Dict& page, const Object& resources, const Matrix& base,
                    ContentInterpreter& interpreter);

}  // namespace lvx::pdf

#endif
