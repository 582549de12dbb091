#include "window_definition.h"

#include <cstring>
#include <span>
#include <string>

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

// Reads a DIALOGEX template front to back; every read is checked against its end.
class TemplateReader {
 public:
  explicit TemplateReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  template <typename Value>
  std::optional<Value> Read() {
    Value value{};
    if (at_ + sizeof value > bytes_.size()) {
      return std::nullopt;
    }
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  bool Skip(std::size_t count) {
    at_ += count;
    return at_ <= bytes_.size();
  }
  // A name or an ordinal (0xFFFF and a number), or nothing (a single 0).
  bool SkipNameOrOrdinal() {
    const auto first = Read<std::uint16_t>();
    if (!first) {
      return false;
    }
    if (*first == 0xFFFF) {
      return Skip(2);
    }
    return *first == 0 || SkipString();
  }
  bool SkipString() { return ReadString().has_value(); }
  std::optional<std::wstring> ReadString() {
    std::wstring text;
    for (;;) {
      const auto unit = Read<std::uint16_t>();
      if (!unit) {
        return std::nullopt;
      }
      if (*unit == 0) {
        return text;
      }
      text.push_back(static_cast<wchar_t>(*unit));
    }
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

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

std::optional<LOGFONTW> WindowDefinition::FontAt(int dpi) const {
  TemplateReader reader(dialog_);
  // DIALOGEX header: version, signature, help id, extended style, style, item count, x, y, cx, cy.
  const auto version = reader.Read<std::uint16_t>();
  const auto signature = reader.Read<std::uint16_t>();
  if (version != 1 || signature != 0xFFFF || !reader.Skip(8)) {
    return std::nullopt;
  }
  const auto style = reader.Read<std::uint32_t>();
  if (!style || (*style & DS_SETFONT) == 0 || !reader.Skip(10) || !reader.SkipNameOrOrdinal() ||
      !reader.SkipNameOrOrdinal() || !reader.SkipString()) {
    return std::nullopt;
  }
  const auto points = reader.Read<std::uint16_t>();
  const auto weight = reader.Read<std::uint16_t>();
  const auto italic = reader.Read<std::uint8_t>();
  const auto charset = reader.Read<std::uint8_t>();
  const auto face = reader.ReadString();
  if (!points || !weight || !italic || !charset || !face || face->size() >= LF_FACESIZE) {
    return std::nullopt;
  }
  LOGFONTW font{};
  font.lfHeight = -MulDiv(*points, dpi, 72);
  font.lfWeight = *weight;
  font.lfItalic = *italic;
  font.lfCharSet = *charset;
  face->copy(font.lfFaceName, face->size());
  return font;
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
