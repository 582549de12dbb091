#include "glyph_program.h"

#include FT_CID_H
#include FT_MODULE_H
#include FT_OUTLINE_H

#include <utility>

#include "checked_size.h"
#include "encodings.h"
#include "page_limits.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

// The outline being turned into a path: FreeType's points in the program's units, scaled to em
// units. Each contour starts with a move; the path closes it before the next.
struct OutlineBuilder {
  Path path;
  double scale = 0.001;
  bool open = false;
  bool tooLong = false;

  void Add(PathVerb verb, std::initializer_list<const FT_Vector*> points) {
    if (path.points.size() + points.size() > kMaxGlyphPoints) {
      tooLong = true;
      return;
    }
    path.verbs.push_back(verb);
    for (const FT_Vector* p : points) {
      path.points.push_back({static_cast<double>(p->x) * scale, static_cast<double>(p->y) * scale});
    }
  }
  void Close() {
    if (open) {
      path.verbs.push_back(PathVerb::kClose);
      open = false;
    }
  }
};

OutlineBuilder& Builder(void* user) { return *static_cast<OutlineBuilder*>(user); }

int MoveTo(const FT_Vector* to, void* user) {
  OutlineBuilder& b = Builder(user);
  b.Close();
  b.Add(PathVerb::kMove, {to});
  b.open = true;
  return b.tooLong ? 1 : 0;
}

int LineTo(const FT_Vector* to, void* user) {
  OutlineBuilder& b = Builder(user);
  b.Add(PathVerb::kLine, {to});
  return b.tooLong ? 1 : 0;
}

// A quadratic segment as the cubic that draws the same curve.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  OutlineBuilder& b = Builder(user);
  if (b.path.points.empty()) {
    return 1;
  }
  const Point from = b.path.points.back();
  const Point c{static_cast<double>(control->x) * b.scale,
                static_cast<double>(control->y) * b.scale};
  const Point end{static_cast<double>(to->x) * b.scale, static_cast<double>(to->y) * b.scale};
  if (b.path.points.size() + 3 > kMaxGlyphPoints) {
    b.tooLong = true;
    return 1;
  }
  b.path.verbs.push_back(PathVerb::kCurve);
  b.path.points.push_back({from.x + (c.x - from.x) * 2 / 3, from.y + (c.y - from.y) * 2 / 3});
  b.path.points.push_back({end.x + (c.x - end.x) * 2 / 3, end.y + (c.y - end.y) * 2 / 3});
  b.path.points.push_back(end);
  return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  OutlineBuilder& b = Builder(user);
  b.Add(PathVerb::kCurve, {control1, control2, to});
  return b.tooLong ? 1 : 0;
}

const char* DriverOf(ProgramKind kind) { return kind == ProgramKind::kType1 ? "type1" : "cff"; }

}  // namespace

std::size_t PathFootprint(const Path& path) {
  return sizeof(Path) + path.points.capacity() * sizeof(Point) +
         path.verbs.capacity() * sizeof(PathVerb);
}

std::unique_ptr<GlyphProgram> GlyphProgram::Open(std::shared_ptr<FontEngine> engine,
                                                 std::vector<std::uint8_t> bytes,
                                                 ProgramKind kind) {
  if (!engine || bytes.empty() || bytes.size() > kLargestLimit) {
    return nullptr;
  }
  auto program = std::make_unique<GlyphProgram>(Key());
  program->engine_ = std::move(engine);
  program->bytes_ = std::move(bytes);
  FT_Open_Args args{};
  // Only the driver of the program's kind reads it: no other of FreeType's formats is tried on
  // the file's bytes.
  args.flags = FT_OPEN_MEMORY | FT_OPEN_DRIVER;
  args.memory_base = program->bytes_.data();
  args.memory_size = static_cast<FT_Long>(program->bytes_.size());
  args.driver = FT_Get_Module(program->engine_->Library(), DriverOf(kind));
  if (args.driver == nullptr) {
    return nullptr;
  }
  FT_Face face = nullptr;
  if (FT_Open_Face(program->engine_->Library(), &args, 0, &face) != 0 || face == nullptr) {
    return nullptr;
  }
  program->face_.reset(face);
  if (face->num_glyphs <= 0 || face->num_glyphs > kMaxProgramGlyphs || !FT_IS_SCALABLE(face) ||
      face->units_per_EM == 0) {
    return nullptr;
  }
  FT_Bool keyed = 0;
  program->cidKeyed_ = FT_Get_CID_Is_Internally_CID_Keyed(face, &keyed) == 0 && keyed != 0;
  return program;
}

std::int32_t GlyphProgram::GlyphCount() const {
  return static_cast<std::int32_t>(face_->num_glyphs);
}

std::int32_t GlyphProgram::GlyphNamed(std::string_view name) const {
  if (name.empty() || !FT_HAS_GLYPH_NAMES(face_.get())) {
    return -1;
  }
  const std::string terminated(name);
  const FT_UInt glyph = FT_Get_Name_Index(face_.get(), terminated.c_str());
  // Index 0 is also the answer for "no such name": it counts only when it is that glyph's name.
  if (glyph == 0 && GlyphName(0) != terminated) {
    return -1;
  }
  return static_cast<std::int32_t>(glyph);
}

std::string GlyphProgram::GlyphName(std::int32_t glyph) const {
  if (glyph < 0 || glyph >= GlyphCount() || !FT_HAS_GLYPH_NAMES(face_.get())) {
    return {};
  }
  std::array<char, 128> name{};
  if (FT_Get_Glyph_Name(face_.get(), static_cast<FT_UInt>(glyph), name.data(),
                        static_cast<FT_UInt>(name.size())) != 0) {
    return {};
  }
  return name.data();
}

std::int32_t GlyphProgram::BuiltInGlyph(std::uint8_t code) const {
  // The program's own encoding is the charmap FreeType makes of it, in this order of preference.
  for (const FT_Encoding wanted : {FT_ENCODING_ADOBE_CUSTOM, FT_ENCODING_ADOBE_STANDARD,
                                   FT_ENCODING_ADOBE_EXPERT, FT_ENCODING_ADOBE_LATIN_1}) {
    if (FT_Select_Charmap(face_.get(), wanted) == 0) {
      const FT_UInt glyph = FT_Get_Char_Index(face_.get(), code);
      return glyph > 0 ? static_cast<std::int32_t>(glyph) : -1;
    }
  }
  return -1;
}

std::int32_t GlyphProgram::CharacterGlyph(char32_t character) const {
  if (FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) != 0) {
    return -1;
  }
  const FT_UInt glyph = FT_Get_Char_Index(face_.get(), character);
  return glyph > 0 ? static_cast<std::int32_t>(glyph) : -1;
}

std::shared_ptr<const Path> GlyphProgram::Outline(std::int32_t glyph) const {
  const std::int64_t end = cidKeyed_ ? kMaxProgramGlyphs : GlyphCount();
  if (glyph < 0 || glyph >= end || !SpendWork(kOperatorCost)) {
    return nullptr;
  }
  FT_Face face = face_.get();
  if (FT_Load_Glyph(face, static_cast<FT_UInt>(glyph),
                    FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return nullptr;
  }
  const FT_Outline& outline = face->glyph->outline;
  if (!SpendWork(static_cast<std::uint64_t>(outline.n_points))) {
    return nullptr;
  }
  OutlineBuilder builder;
  builder.scale = 1.0 / face->units_per_EM;
  FT_Outline_Funcs funcs{};
  funcs.move_to = &MoveTo;
  funcs.line_to = &LineTo;
  funcs.conic_to = &ConicTo;
  funcs.cubic_to = &CubicTo;
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &builder) != 0 || builder.tooLong) {
    return nullptr;
  }
  builder.Close();
  builder.path.points.shrink_to_fit();
  builder.path.verbs.shrink_to_fit();
  return std::make_shared<const Path>(std::move(builder.path));
}

std::optional<std::array<std::string, 256>> BuiltInEncodingNames(std::vector<std::uint8_t> bytes,
                                                                 ProgramKind kind) {
  const std::unique_ptr<GlyphProgram> program =
      GlyphProgram::Open(FontEngine::Make(), std::move(bytes), kind);
  if (!program) {
    return std::nullopt;
  }
  std::array<std::string, 256> names;
  for (std::size_t code = 0; code < names.size(); ++code) {
    names[code] = program->GlyphName(program->BuiltInGlyph(static_cast<std::uint8_t>(code)));
  }
  return names;
}

std::vector<char32_t> GlyphNameCharacters(std::vector<std::uint8_t> bytes, ProgramKind kind) {
  const std::unique_ptr<GlyphProgram> program =
      GlyphProgram::Open(FontEngine::Make(), std::move(bytes), kind);
  std::vector<char32_t> characters;
  if (!program || program->CidKeyed() ||
      !SpendWork(static_cast<std::uint64_t>(program->GlyphCount()))) {
    return characters;
  }
  characters.resize(static_cast<std::size_t>(program->GlyphCount()), 0);
  for (std::int32_t glyph = 1; glyph < program->GlyphCount(); ++glyph) {
    const std::u32string text = GlyphNameToUnicode(program->GlyphName(glyph));
    if (text.size() == 1) {
      characters[static_cast<std::size_t>(glyph)] = text.front();
    }
  }
  return characters;
}

}  // namespace lvx::pdf
