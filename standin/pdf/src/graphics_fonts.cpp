#include "graphics_fonts.h"

#include "file.h"
#include "font_program.h"
#include "graphics_sfnt.h"

namespace lvx::pdf {
namespace {

constexpr std::int64_t kFixedPitchFlag = 1;
constexpr std::int64_t kSerifFlag = 2;

// Each code's glyph in a simple font's program: through a symbolic (3,0) map with the codes
// as they are or moved to the private area, a Unicode (3,1) map with the codes' text, or the
// Macintosh (1,0) map; a program without maps takes the codes as glyph indices.
std::vector<std::int32_t> SimpleGlyphs(const SfntFont& program, const Font& font) {
  std::vector<std::int32_t> glyphs(256, -1);
  const bool anyMap = program.HasCmap(3, 0) || program.HasCmap(3, 1) || program.HasCmap(1, 0);
  std::vector<Glyph> decoded;
  for (std::uint32_t code = 0; code < 256; ++code) {
    std::int32_t glyph = -1;
    if (program.HasCmap(3, 0)) {
      for (const std::uint32_t base : {0U, 0xF000U, 0xF100U, 0xF200U}) {
        glyph = program.Lookup(3, 0, base + code);
        if (glyph > 0) {
          break;
        }
      }
    }
    if (glyph <= 0 && program.HasCmap(3, 1)) {
      font.Decode(std::string(1, static_cast<char>(code)), decoded);
      if (!decoded.empty() && decoded.front().text.size() == 1) {
        glyph = program.Lookup(3, 1, decoded.front().text.front());
      }
    }
    if (glyph <= 0 && program.HasCmap(1, 0)) {
      glyph = program.Lookup(1, 0, code);
    }
    if (!anyMap) {
      glyph = static_cast<std::int32_t>(code);
    }
    glyphs[code] = glyph > 0 && glyph < program.GlyphCount() ? glyph : -1;
  }
  return glyphs;
}

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

// The program for the painter, and each code's glyph in it. Composite fonts are taken with the
// Identity encodings only, where codes are CIDs.
void LoadProgram(PdfFile& file, const Dict& dict, const std::vector<std::uint8_t>& bytes,
                 DrawingFont& font, DrawFont& draw) {
  const std::optional<SfntFont> program = SfntFont::Parse(bytes);
  if (!program) {
    return;
  }
  if (font.composite) {
    const Object encoding = file.Get(dict, "Encoding");
    if (!encoding.IsName("Identity-H") && !encoding.IsName("Identity-V")) {
      return;
    }
    const Object descendants = file.Get(dict, "DescendantFonts");
    const Object descendant =
        descendants.AsArray().empty() ? Object{} : file.Resolve(descendants.AsArray().front());
    auto glyphs = CidToGidMap(file, descendant.AsDict());
    if (!glyphs) {
      return;
    }
    font.cidToGid = std::move(*glyphs);
  } else {
    font.codeToGid = SimpleGlyphs(*program, *font.font);
  }
  draw.programFamily = ProgramFamily(bytes);
  draw.program = program->Renamed(draw.programFamily);
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
  return cache_.Get(file, font, [this, &file](const Object& reference, const Dict& dict) {
    return Load(file, reference, dict);
  });
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
  } else if (const std::vector<std::uint8_t> bytes = LoadableProgram(file, descriptor.AsDict());
             !bytes.empty()) {
    LoadProgram(file, dict, bytes, *font, *draw);
  }
  font->draw = std::move(draw);
  return font;
}

}  // namespace lvx::pdf
