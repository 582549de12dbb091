// The boundary of the operations that can meet an exception. Nothing may unwind out of an
// operation: the caller may be a host without a C++ runtime, and with the runtime linked in
// statically an exception cannot cross into another module at all. INIT, GETTEXTLENGTH and GETTEXT
// call overridable operations and GETTEXT allocates its buffers; each runs its work through one of
// these guards. The other operations, and the host's services, cannot throw.
#ifndef LUMIVEX_WRAPPER_OPERATION_GUARD_H
#define LUMIVEX_WRAPPER_OPERATION_GUARD_H

#include <cstdint>
#include <utility>

namespace lvx {

// Deals with the exception being handled (call it only inside a catch block): an allocation that
// failed shows the "Not enough memory." box, owned as the error boxes are (see
// ShowErrorMessage); any other exception ends the operation quietly.
void ReportCaughtException(std::int32_t viewer) noexcept;

// Runs `work`, an operation's body. `viewer` is the object's HWINDOW, read when a box is shown.
template <typename Work>
void RunGuarded(const std::int32_t& viewer, Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
  } catch (...) {
    ReportCaughtException(viewer);
  }
}

// As RunGuarded, for an operation with a result: 0 when the work was ended by an exception.
template <typename Work>
std::int32_t AnswerGuarded(const std::int32_t& viewer, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    ReportCaughtException(viewer);
    return 0;
  }
}

}  // namespace lvx

#endif
