// Which objects KILL has already released. The object's fields are the published binary layout
// and cannot grow a flag, so the wrapper keeps this record apart from the objects, by address.
// A second KILL of an object with no INIT in between must not destroy whatever window now carries
// the old handle value, nor release a library reference the object no longer holds.
#ifndef LUMIVEX_WRAPPER_RELEASED_VIEWERS_H
#define LUMIVEX_WRAPPER_RELEASED_VIEWERS_H

#include <cstdint>

#include "lumivexctl/lvx_types.h"

namespace lvx {

// The object and the two handle values its KILL released.
struct ReleasedViewer {
  const void* object = nullptr;
  std::int32_t window = 0;
  LvxAddressValue library = 0;
};

// Records that KILL is releasing `viewer`, and answers false when it had already released the
// same object with the same handle values (then nothing is to be released again). An object
// freed without its destructor (a client that makes objects from the field list) can leave its
// address to a new one: the handle values tell the two apart. When the record cannot grow (no
// memory) the release goes ahead unrecorded, as it did before records were kept.
[[nodiscard]] bool MarkReleased(const ReleasedViewer& viewer) noexcept;

// Forgets `object`: INIT starts it again, or it is being destroyed.
void ForgetReleased(const void* object) noexcept;

}  // namespace lvx

#endif
