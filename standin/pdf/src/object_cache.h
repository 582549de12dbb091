// Values made once per object of a file (fonts, say): by object number for references, by
// dictionary for objects written in place (the object is kept with its entry, so that the
// dictionary's address stays its key).
#ifndef LVXPDF_OBJECT_CACHE_H
#define LVXPDF_OBJECT_CACHE_H

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

#include "file.h"
#include "object.h"

namespace lvx::pdf {

template <typename T>
class ObjectCache {
 public:
  // The value of `object` (a reference or a dictionary), made by `make(reference, dictionary)`
  // the first time; null for anything else.
  template <typename Make>
  std::shared_ptr<const T> Get(PdfFile& file, const Object& object, Make make) {
    if (object.IsRef()) {
      const std::uint32_t num = object.AsRef().num;
      if (const auto found = byObject_.find(num); found != byObject_.end()) {
        return found->second;
      }
      const Object dict = file.Resolve(object);
      std::shared_ptr<const T> made = dict.IsDict() ? make(object, dict.AsDict()) : nullptr;
      byObject_[num] = made;
      return made;
    }
    if (!object.IsDict()) {
      return nullptr;
    }
    auto& entry = direct_[&object.AsDict()];
    if (!entry.second) {
      entry = {object, make(object, object.AsDict())};
    }
    return entry.second;
  }

 private:
  std::unordered_map<std::uint32_t, std::shared_ptr<const T>> byObject_;
  std::unordered_map<const Dict*, std::pair<Object, std::shared_ptr<const T>>> direct_;
};

}  // namespace lvx::pdf

#endif
