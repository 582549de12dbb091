#include "display_list_bytes.h"

#include <string>
#include <unordered_set>
#include <variant>
#include <vector>

namespace lvx::standin {
namespace {

template <typename T>
std::size_t VectorBytes(const std::vector<T>& items) {
  return items.capacity() * sizeof(T);
}

// The heap bytes of a string: none while it fits the string object itself.
std::size_t StringBytes(const std::string& text) {
  return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

std::size_t PathBytes(const pdf::Path& path) {
  return VectorBytes(path.verbs) + VectorBytes(path.points);
}

class Counter {
 public:
  std::size_t operator()(const pdf::FillCommand& fill) const { return PathBytes(fill.path); }
  std::size_t operator()(const pdf::StrokeCommand& stroke) const {
    return PathBytes(stroke.path) + VectorBytes(stroke.style.dash);
  }
  std::size_t operator()(const pdf::ClipCommand& clip) const { return PathBytes(clip.path); }
  std::size_t operator()(const pdf::RestoreClip& /*restore*/) const { return 0; }
  std::size_t operator()(const pdf::ShadingCommand& shading) const {
    return VectorBytes(shading.ramp) + PathBytes(shading.area);
  }
  std::size_t operator()(const pdf::ImageCommand& image) {
    const pdf::ImagePixels* pixels = image.pixels.get();
    if (pixels == nullptr || !seen_.insert(pixels).second) {
      return 0;
    }
    return sizeof(pdf::ImagePixels) + pixels->Bytes();
  }
  std::size_t operator()(const pdf::TextCommand& text) {
    std::size_t bytes = VectorBytes(text.glyphs);
    for (const pdf::TextCommand::Glyph& glyph : text.glyphs) {
      bytes += StringBytes(glyph.text);
      if (glyph.outline && seen_.insert(glyph.outline.get()).second) {
        bytes += sizeof(pdf::Path) + PathBytes(*glyph.outline);
      }
    }
    const pdf::DrawFont* font = text.font.get();
    if (font != nullptr && seen_.insert(font).second) {
      bytes += sizeof(pdf::DrawFont) + VectorBytes(font->program) + StringBytes(font->family) +
               StringBytes(font->programFamily);
    }
    return bytes;
  }

 private:
  std::unordered_set<const void*> seen_;  // images, fonts and outlines counted already
};

}  // namespace

std::size_t DisplayListBytes(const pdf::DisplayList& list) {
  std::size_t bytes = sizeof(pdf::DisplayList) + VectorBytes(list.commands);
  Counter counter;
  for (const pdf::DrawCommand& command : list.commands) {
    bytes += std::visit(counter, command);
  }
  return bytes;
}

}  // namespace lvx::standin
