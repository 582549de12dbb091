#include "message_box.h"

#include <algorithm>

namespace lvx::toolkit {

std::string MessageText(std::string_view text) {
  std::string shown(text);
  std::replace(shown.begin(), shown.end(), '|', '\n');
  return shown;
}

void ShowMessage(HWND owner, std::string_view text, std::string_view caption) {
  const std::string shown = MessageText(text);
  const std::string title(caption);
  MessageBoxA(owner, shown.c_str(), title.c_str(), MB_OK);
}

void ShowOutOfMemory(HWND owner) noexcept {
  MessageBoxA(owner, "Not enough memory.", "Error", MB_OK);
}

void Beep() noexcept { MessageBeep(0xFFFFFFFF); }

}  // namespace lvx::toolkit
