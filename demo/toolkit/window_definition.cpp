#include "window_definition.h"

#include <cstring>
#include <span>

namespace lvx::toolkit {
namespace {

std::span<const std::uint8_t> ResourceBytes(HINSTANCE module, const char* name, const char* type) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) {
    return {};
  }
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    return {};
  }
  return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

}  // namespace

WindowDefinition::WindowDefinition(HINSTANCE module, const char* name) : module_(module) {
  const auto dialog = ResourceBytes(module, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
  dialog_.assign(dialog.begin(), dialog.end());
  const auto actions = ResourceBytes(module, name, kActionsResourceType);
  for (std::size_t at = 0; at + 4 <= actions.size(); at += 4) {
    std::uint16_t field = 0;
    std::uint16_t action = 0;
    std::memcpy(&field, actions.data() + at, 2);
    std::memcpy(&action, actions.data() + at + 2, 2);
    actions_[field] = action;
  }
}

const DLGTEMPLATE* WindowDefinition::Template() const noexcept {
  return dialog_.empty() ? nullptr : reinterpret_cast<const DLGTEMPLATE*>(dialog_.data());
}

std::int32_t WindowDefinition::StandardAction(std::int32_t field) const {
  const auto found = actions_.find(field);
  return found == actions_.end() ? 0 : found->second;
}

void WindowDefinition::Release() noexcept {
  dialog_.clear();
  dialog_.shrink_to_fit();
  actions_.clear();
}

}  // namespace lvx::toolkit
