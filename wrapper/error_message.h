// Failures the user must see, shown by the wrapper itself.
#ifndef LUMIVEX_WRAPPER_ERROR_MESSAGE_H
#define LUMIVEX_WRAPPER_ERROR_MESSAGE_H

#include <cstdint>

namespace lvx {

inline constexpr const char* kBufferTooSmall = "Buffer too small.";
inline constexpr const char* kOutOfMemory = "Not enough memory.";

// A modal message box with `text`, the caption "Error", no icon and an OK button, owned by the
// top-level window that holds the viewer window `viewer` (by the thread's active window when there
// is no viewer window). Returns when the user has closed it.
void ShowErrorMessage(std::int32_t viewer, const char* text) noexcept;

}  // namespace lvx

#endif
