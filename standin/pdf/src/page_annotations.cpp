#include "page_annotations.h"

#include <algorithm>
#include <cmath>

#include "file.h"
#include "object_numbers.h"

namespace lvx::pdf {
namespace {

constexpr std::int64_t kHiddenAnnotation = 2;
constexpr std::int64_t kNoViewAnnotation = 32;

// The normal appearance of an annotation (of its current state, where it has several).
Object NormalAppearance(PdfFile& file, const Dict& annotation) {
  const Object appearances = file.Get(annotation, "AP");
  Object normal = appearances.AsDict().Get("N");
  if (const Object resolved = file.Resolve(normal); !resolved.IsStream() && resolved.IsDict()) {
    const Object state = file.Get(annotation, "AS");
    normal = resolved.AsDict().Get(state.AsName());
  }
  return normal;
}

}  // namespace

void RunAnnotations(PdfFile& file, const Dict& page, const Object& resources, const Matrix& base,
                    ContentInterpreter& interpreter) {
  const Object annots = file.Get(page, "Annots");
  for (const Object& item : annots.AsArray()) {
    const Object annot = file.Resolve(item);
    const Dict& dict = annot.AsDict();
    const std::int64_t flags = file.Get(dict, "F").AsInt(0);
    if ((flags & (kHiddenAnnotation | kNoViewAnnotation)) != 0 ||
        file.Get(dict, "Subtype").IsName("Popup")) {
      continue;
    }
    const Object normal = NormalAppearance(file, dict);
    const Object appearance = file.Resolve(normal);
    const Stream* stream = appearance.AsStream();
    const std::vector<double> r = Numbers(file, dict, "Rect");
    const std::vector<double> box = Numbers(file, stream ? stream->dict : Dict{}, "BBox");
    if (stream == nullptr || r.size() != 4 || box.size() != 4) {
      continue;
    }
    // The appearance's box, through its matrix, is fitted into the annotation's rectangle.
    const Matrix matrix = MatrixEntry(file, stream->dict);
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    for (const std::size_t xi : {0U, 2U}) {
      for (const std::size_t yi : {1U, 3U}) {
        minX = std::min(minX, matrix.X(box[xi], box[yi]));
        maxX = std::max(maxX, matrix.X(box[xi], box[yi]));
        minY = std::min(minY, matrix.Y(box[xi], box[yi]));
        maxY = std::max(maxY, matrix.Y(box[xi], box[yi]));
      }
    }
    const double left = std::min(r[0], r[2]);
    const double bottom = std::min(r[1], r[3]);
    const double sx = maxX > minX ? std::fabs(r[2] - r[0]) / (maxX - minX) : 1;
    const double sy = maxY > minY ? std::fabs(r[3] - r[1]) / (maxY - minY) : 1;
    const Matrix fit{sx, 0, 0, sy, left - minX * sx, bottom - minY * sy};
    interpreter.Reset(base);
    // RunForm applies the form's own matrix first, then `fit`, then the page's base.
    interpreter.RunForm(normal, *stream, resources, fit, 0);
  }
}

}  // namespace lvx::pdf
