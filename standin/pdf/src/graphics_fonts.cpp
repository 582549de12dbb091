#include "graphics_fonts.h"

#include "file.h"

namespace lvx::pdf {
namespace {

constexpr std::int64_t kFixedPitchFlag = 1;
constexpr std::int64_t kSerifFlag = 2;

void ReadType3(PdfFile& file, const Dict& dict, DrawingFont& font) {
  font.type3 = true;
  const Array& m = file.Get(dict, "FontMatrix").AsArray();
  if (m.size() == 6) {
    font.fontMatrix = {file.Resolve(m[0]).AsNumber(0.001), file.Resolve(m[1]).AsNumber(0),
                       file.Resolve(m[2]).AsNumber(0),     file.Resolve(m[3]).AsNumber(0.001),
                       file.Resolve(m[4]).AsNumber(0),     file.Resolve(m[5]).AsNumber(0)};
  }
  font.charProcs = file.Get(dict, "CharProcs");
  font.resources = file.Get(dict, "Resources");
  const Object encoding = file.Get(dict, "Encoding");
  std::int64_t code = 0;
  for (const Object& item : file.Get(encoding.AsDict(), "Differences").AsArray()) {
    const Object value = file.Resolve(item);
    if (value.IsNumber()) {
      code = value.AsInt(0);
    } else if (value.IsName()) {
      if (code >= 0 && code < 256) {
        font.glyphNames[static_cast<std::size_t>(code)] = value.AsName();
      }
      ++code;
    }
  }
}

}  // namespace

std::int32_t DrawingFont::GlyphIdOf(std::uint32_t code) const {
  if (composite) {
    if (!draw || draw->program.empty()) {
      return -1;
    }
    if (cidToGid.empty()) {
      return static_cast<std::int32_t>(code);
    }
    return code < cidToGid.size() ? cidToGid[code] : -1;
  }
  return code < codeToGid.size() ? codeToGid[code] : -1;
}

std::shared_ptr<const DrawingFont> DrawingFontCache::Get(PdfFile& file, const Object& font) {
  if (font.IsRef()) {
    const std::uint32_t num = font.AsRef().num;
    if (const auto found = byObject_.find(num); found != byObject_.end()) {
      return found->second;
    }
    const Object dict = file.Resolve(font);
    auto loaded = dict.IsDict() ? Load(file, font, dict.AsDict()) : nullptr;
    byObject_[num] = loaded;
    return loaded;
  }
  if (!font.IsDict()) {
    return nullptr;
  }
  auto& entry = direct_[&font.AsDict()];
  if (!entry.second) {
    entry = {font, Load(file, font, font.AsDict())};
  }
  return entry.second;
}

std::shared_ptr<const DrawingFont> DrawingFontCache::Load(PdfFile& file, const Object& reference,
                                                          const Dict& dict) {
  auto font = std::make_shared<DrawingFont>();
  font->font = fonts_.Get(file, reference);
  if (!font->font) {
    return nullptr;
  }
  auto draw = std::make_shared<DrawFont>();
  draw->family = font->font->Family();
  draw->bold = font->font->Bold();
  draw->italic = font->font->Italic();
  Object descriptor = file.Get(dict, "FontDescriptor");
  font->composite = dict.Get("Subtype").IsName("Type0");
  if (font->composite) {
    const Object descendants = file.Get(dict, "DescendantFonts");
    if (!descendants.AsArray().empty()) {
      const Object descendant = file.Resolve(descendants.AsArray().front());
      descriptor = file.Get(descendant.AsDict(), "FontDescriptor");
    }
  }
  const std::int64_t flags = file.Get(descriptor.AsDict(), "Flags").AsInt(0);
  draw->fixedPitch = (flags & kFixedPitchFlag) != 0;
  draw->serif = (flags & kSerifFlag) != 0;
  if (dict.Get("Subtype").IsName("Type3")) {
    ReadType3(file, dict, *font);
  }
  font->draw = std::move(draw);
  return font;
}

}  // namespace lvx::pdf
