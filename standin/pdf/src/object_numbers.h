// Arrays of numbers read from a file's objects (a function's Domain, an image's Decode, a
// shading's Coords ...), each element resolved. An array with anything but numbers in it reads
// as empty, so that callers fall back to their defaults.
#ifndef LVXPDF_OBJECT_NUMBERS_H
#define LVXPDF_OBJECT_NUMBERS_H

#include <string_view>
#include <vector>

#include "matrix.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

std::vector<double> NumberArray(PdfFile& file, const Object& array);
std::vector<double> Numbers(PdfFile& file, const Dict& dict, std::string_view key);
// A dictionary's /Matrix (forms, patterns, shadings); the identity when it is missing or is not
// six finite numbers.
Matrix MatrixEntry(PdfFile& file, const Dict& dict);

}  // namespace lvx::pdf

#endif
