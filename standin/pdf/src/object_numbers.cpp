#include "object_numbers.h"

#include <cmath>

#include "file.h"

namespace lvx::pdf {

std::vector<double> NumberArray(PdfFile& file, const Object& array) {
  std::vector<double> values;
  const Object resolved = file.Resolve(array);
  for (const Object& item : resolved.AsArray()) {
    const Object value = file.Resolve(item);
    if (!value.IsNumber() || !std::isfinite(value.AsNumber(0))) {
      return {};
    }
    values.push_back(value.AsNumber(0));
  }
  return values;
}

std::vector<double> Numbers(PdfFile& file, const Dict& dict, std::string_view key) {
  return NumberArray(file, dict.Get(key));
}

Matrix MatrixEntry(PdfFile& file, const Dict& dict) {
  const std::vector<double> m = Numbers(file, dict, "Matrix");
  if (m.size() != 6) {
    return {};
  }
  return {m[0], m[1], m[2], m[3], m[4], m[5]};
}

}  // namespace lvx::pdf
