#include "graphics_fonts.h"

#include "encodings.h"
#include "file.h"
#include "font_program.h"
#include "graphics_sfnt.h"
#include "work_budget.h"

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
  font.glyphNames = DifferenceNames(file, file.Get(dict, "Encoding"));
}

// Each code's glyph in a simple font's Type 1 or CFF program: the name /Differences gives it,
// else (when the font names no base encoding) the program's own encoding, else the glyph whose
// name stands for the code's character in the base encoding.
std::vector<std::shared_ptr<const Path>> SimpleOutlines(PdfFile& file, const Dict& dict,
                                                        const GlyphProgram& program,
                                                        const Font& font) {
  const Object encoding = file.Get(dict, "Encoding");
  const std::array<std::string, 256> names = DifferenceNames(file, encoding);
  const std::string& base =
      encoding.IsName() ? encoding.AsName() : encoding.AsDict().Get("BaseEncoding").AsName();
  const bool namedBase = BaseEncodingNamed(base) != BaseEncoding::kNone;
  std::vector<std::shared_ptr<const Path>> outlines(256);
  std::unordered_map<std::int32_t, std::shared_ptr<const Path>> byGlyph;
  std::vector<Glyph> decoded;
  for (std::uint32_t code = 0; code < 256; ++code) {
    std::int32_t glyph = program.GlyphNamed(names[code]);
    if (glyph < 0 && !namedBase) {
      glyph = program.BuiltInGlyph(static_cast<std::uint8_t>(code));
    }
    if (glyph < 0) {
      font.Decode(std::string(1, static_cast<char>(code)), decoded);
      if (!decoded.empty() && decoded.front().text.size() == 1) {
        glyph = program.CharacterGlyph(decoded.front().text.front());
      }
    }
    if (glyph < 0) {
      continue;
    }
    const auto [found, added] = byGlyph.try_emplace(glyph);
    if (added) {
      found->second = program.Outline(glyph);
    }
    outlines[code] = found->second;
  }
  return outlines;
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

// A composite font's outlines taken so far are dropped beyond this many bytes.
constexpr std::size_t kCompositeOutlineBytes = std::size_t{1} << 20;

std::shared_ptr<const Path> DrawingFont::OutlineOf(std::uint32_t code) const {
  if (!composite) {
    return code < codeOutlines.size() ? codeOutlines[code] : nullptr;
  }
  if (!outlineProgram) {
    return nullptr;
  }
  // A CID-keyed program takes the CID (its charset gives the glyph); in a name-keyed one the
  // CIDs are the glyph indices.
  const std::uint32_t cid = font->CidOf(code);
  if (cid >= static_cast<std::uint32_t>(kMaxProgramGlyphs)) {
    return nullptr;
  }
  const auto glyph = static_cast<std::int32_t>(cid);
  if (const auto found = glyphOutlines_.find(glyph); found != glyphOutlines_.end()) {
    return found->second;
  }
  std::shared_ptr<const Path> outline = outlineProgram->Outline(glyph);
  const std::size_t bytes = outline ? PathFootprint(*outline) : 0;
  if (glyphOutlineBytes_ + bytes > kCompositeOutlineBytes) {
    glyphOutlines_.clear();  // outlines on display lists stay with them
    glyphOutlineBytes_ = 0;
  }
  glyphOutlineBytes_ += bytes;
  glyphOutlines_.emplace(glyph, outline);
  return outline;
}

std::size_t DrawingFont::Footprint() const {
  std::size_t bytes = sizeof(DrawingFont) + codeOutlines.capacity() * sizeof(codeOutlines[0]) +
                      cidToGid.capacity() * sizeof(std::uint16_t) +
                      codeToGid.capacity() * sizeof(std::int32_t);
  if (draw) {
    bytes += sizeof(DrawFont) + draw->program.capacity();
  }
  const Path* previous = nullptr;
  for (const std::shared_ptr<const Path>& outline : codeOutlines) {
    // Codes of one glyph share its outline, and such codes are usually neighbours.
    if (outline && outline.get() != previous) {
      bytes += PathFootprint(*outline);
      previous = outline.get();
    }
  }
  if (outlineProgram) {
    // The program's bytes, and room for the outlines it will give.
    bytes += outlineProgram->ProgramBytes() + kCompositeOutlineBytes;
  }
  return bytes;
}

std::shared_ptr<const DrawingFont> DrawingFontCache::Get(PdfFile& file, const Object& font) {
  const std::uintptr_t key = FontKey(font);
  if (key == 0) {
    return nullptr;
  }
  if (const Entry* found = cache_.Find(key)) {
    return found->second;
  }
  const Object dict = font.IsRef() ? file.Resolve(font) : font;
  std::shared_ptr<const DrawingFont> loaded =
      dict.IsDict() ? Load(file, font, dict.AsDict()) : nullptr;
  // A font loaded when the page's work ran out may lack outlines: it serves this page only.
  if (const WorkBudget* budget = WorkBudget::Current(); budget != nullptr && budget->Exhausted()) {
    return loaded;
  }
  const std::size_t bytes = loaded ? loaded->Footprint() : sizeof(Entry);
  // A direct dictionary stays alive with its entry, so that its address names no other.
  cache_.Put(key, Entry{font.IsRef() ? Object() : dict, loaded}, bytes);
  return loaded;
}

void DrawingFontCache::LoadOutlines(PdfFile& file, const Dict& dict, OutlineProgramBytes bytes,
                                    DrawingFont& font, DrawFont& draw) {
  if (!engine_) {
    engine_ = FontEngine::Make();
  }
  std::shared_ptr<GlyphProgram> program =
      GlyphProgram::Open(engine_, std::move(bytes.bytes), bytes.kind);
  if (!program) {
    return;
  }
  draw.outlines = true;
  if (!font.composite) {
    font.codeOutlines = SimpleOutlines(file, dict, *program, *font.font);
    return;  // the program closes: its outlines are all taken
  }
  font.outlineProgram = std::move(program);
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
  } else {
    if (std::optional<OutlineProgramBytes> program = OutlineProgram(file, descriptor.AsDict());
        program && !program->bytes.empty()) {
      LoadOutlines(file, dict, std::move(*program), *font, *draw);
    }
    // A program FreeType does not take may still be one the platform loads.
    if (const std::vector<std::uint8_t> bytes = draw->outlines
                                                    ? std::vector<std::uint8_t>()
                                                    : LoadableProgram(file, descriptor.AsDict());
        !bytes.empty()) {
      LoadProgram(file, dict, bytes, *font, *draw);
    }
  }
  font->draw = std::move(draw);
  return font;
}

}  // namespace lvx::pdf
