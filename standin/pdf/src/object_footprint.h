// An estimate of the heap bytes an object holds (its strings, names, arrays, dictionaries and
// what they hold), for caches that keep objects within a budget of bytes.
#ifndef LVXPDF_OBJECT_FOOTPRINT_H
#define LVXPDF_OBJECT_FOOTPRINT_H

#include <cstddef>

#include "object.h"

namespace lvx::pdf {

std::size_t Footprint(const Object& object);

}  // namespace lvx::pdf

#endif
