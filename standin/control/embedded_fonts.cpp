#include "embedded_fonts.h"

#include <utility>

#include "memory_budget.h"

namespace lvx::standin {
namespace {

// Whether GDI gives a font of exactly this face name.
bool Answers(const std::string& face) {
  LOGFONTA description{};
  description.lfHeight = -20;
  description.lfCharSet = DEFAULT_CHARSET;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  const GdiObject<HFONT> font(CreateFontIndirectA(&description));
  const OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!font || !dc) {
    return false;
  }
  const Selection selected(dc.Get(), font.Get());
  char name[LF_FACESIZE] = {};
  GetTextFaceA(dc.Get(), LF_FACESIZE, name);
  return face == name;
}

}  // namespace

HFONT EmbeddedFonts::Font(const std::shared_ptr<const pdf::DrawFont>& font, int pixelHeight,
                          int escapement) {
  if (!font || font->program.empty() || font->programFamily.empty() ||
      font->programFamily.size() >= LF_FACESIZE) {
    return nullptr;
  }
  auto found = programs_.find(font.get());
  if (found == programs_.end()) {
    const std::size_t bytes = font->program.size();
    if (programs_.size() >= kPrograms || bytes_ + bytes > kEmbeddedFontBytes) {
      Clear();
    }
    Program program;
    program.font = font;
    if (bytes <= kEmbeddedFontBytes) {
      DWORD count = 0;
      // GDI copies the font data; the parameter is writable only by its declaration.
      program.resource = FontResource(
          // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast)
          AddFontMemResourceEx(const_cast<std::uint8_t*>(font->program.data()),
                               static_cast<DWORD>(bytes), nullptr, &count));
      if (count == 0 || !Answers(font->programFamily)) {
        // Not loaded, or GDI took the data but offers no face of that name: a stand-in face
        // would draw the glyph indices as other glyphs.
        program.resource.Reset();
      }
    }
    const bool loaded = static_cast<bool>(program.resource);
    found = programs_.emplace(font.get(), std::move(program)).first;
    bytes_ += loaded ? bytes : 0;
  }
  Program& program = found->second;
  if (!program.resource) {
    return nullptr;
  }
  const std::pair<int, int> key{pixelHeight, escapement};
  if (const auto made = program.fonts.find(key); made != program.fonts.end()) {
    return made->second.Get();
  }
  if (program.fonts.size() >= kFontsPerProgram) {
    program.fonts.clear();  // none stays selected between text commands
  }
  LOGFONTA description{};
  description.lfHeight = -pixelHeight;
  description.lfEscapement = escapement;
  description.lfOrientation = escapement;
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  description.lfQuality = ANTIALIASED_QUALITY;
  font->programFamily.copy(description.lfFaceName, LF_FACESIZE - 1);
  auto [entry, added] =
      program.fonts.emplace(key, GdiObject<HFONT>(CreateFontIndirectA(&description)));
  return entry->second.Get();
}

void EmbeddedFonts::Clear() {
  programs_.clear();
  bytes_ = 0;
}

}  // namespace lvx::standin
