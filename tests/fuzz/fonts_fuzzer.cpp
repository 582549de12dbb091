// libFuzzer target for embedded Type 1 and CFF programs read with FreeType: the first byte
// chooses the kind (Type 1, bare CFF, OpenType CFF), the rest is the program. The program is
// opened under the engine's memory cap; glyph names, the built-in encoding, the character map,
// the first glyphs' outlines (and some CIDs' of a CID-keyed program) are read, within a page's
// work budget.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "glyph_program.h"
#include "page_limits.h"
#include "work_budget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using lvx::pdf::ProgramKind;
  if (size < 2) {
    return 0;
  }
  constexpr ProgramKind kKinds[] = {ProgramKind::kType1, ProgramKind::kCff,
                                    ProgramKind::kOpenTypeCff};
  const ProgramKind kind = kKinds[data[0] % 3];
  lvx::pdf::WorkBudget budget(lvx::pdf::kPageWorkUnits);
  const lvx::pdf::WorkBudget::Scope scope(budget);
  auto program = lvx::pdf::GlyphProgram::Open(
      lvx::pdf::FontEngine::Make(), std::vector<std::uint8_t>(data + 1, data + size), kind);
  if (!program) {
    return 0;
  }
  const std::int32_t glyphs = program->GlyphCount();
  for (std::int32_t glyph = 0; glyph < glyphs && glyph < 64; ++glyph) {
    (void)program->GlyphNamed(program->GlyphName(glyph));
    (void)program->Outline(glyph);
  }
  for (const std::uint32_t code : {0U, 32U, 65U, 97U, 200U, 255U}) {
    (void)program->BuiltInGlyph(static_cast<std::uint8_t>(code));
    (void)program->CharacterGlyph(code);
  }
  if (program->CidKeyed()) {
    for (const std::int32_t cid : {1, 100, 1000, 65535}) {
      (void)program->Outline(cid);
    }
  }
  (void)program->Outline(glyphs - 1);
  return 0;
}
