#include "operation_guard.h"

#include <new>
#include <stdexcept>

#include "error_message.h"

namespace lvx {

void ReportCaughtException(std::int32_t viewer) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    ShowErrorMessage(viewer, kOutOfMemory);
  } catch (const std::length_error&) {  // a buffer larger than any allocation can be
    ShowErrorMessage(viewer, kOutOfMemory);
  } catch (...) {
    // Not the wrapper's own failure (an overridden operation threw): the operation ends.
  }
}

}  // namespace lvx
