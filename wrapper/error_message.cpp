#include "error_message.h"

#include <windows.h>

#include "viewer_channel.h"

namespace lvx {

void ShowErrorMessage(std::int32_t viewer, const char* text) noexcept {
  MessageBoxA(OwnerFor(viewer), text, "Error", MB_OK);
}

}  // namespace lvx
