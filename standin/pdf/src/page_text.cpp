#include "page_text.h"

#include <cmath>

#include "content_interpreter.h"
#include "content_sink.h"
#include "file.h"
#include "page_annotations.h"
#include "page_limits.h"

namespace lvx::pdf {
namespace {

// Places each glyph for the assembler: its origin and end along the baseline, its size, and the
// text space it was shown in (for word and line breaks in rotated or condensed text).
class TextSink final : public ContentSink {
 public:
  explicit TextSink(TextAssembler& assembler) : assembler_(assembler) {}

  [[nodiscard]] bool Draws() const override { return false; }

  void Glyphs(const GState& state, std::span<const ShownGlyph> glyphs) override {
    const TextParams& t = state.text;
    for (const ShownGlyph& shown : glyphs) {
      const Matrix& m = shown.text;
      PlacedGlyph placed;
      placed.text = shown.glyph->text;
      placed.x = shown.render.e;
      placed.y = shown.render.f;
      const double length = std::hypot(m.a, m.b);
      placed.dirX = length > 0 ? m.a / length : 1;
      placed.dirY = length > 0 ? m.b / length : 0;
      // The glyph's own extent, without character spacing: writers that justify with Tc leave
      // their word gaps there.
      const double extent = shown.glyph->width * t.size * t.horizontalScale;
      placed.endX = placed.x + extent * m.a;
      placed.endY = placed.y + extent * m.b;
      placed.size = std::hypot(shown.render.c, shown.render.d) * t.font->EmScale();
      placed.textA = m.a;
      placed.textB = m.b;
      placed.textC = m.c;
      placed.textD = m.d;
      placed.advance = extent;
      placed.emHeight = std::fabs(t.size) * t.font->EmScale();
      placed.emWidth = placed.emHeight * std::fabs(t.horizontalScale);
      placed.font = t.font.get();
      if (std::isfinite(placed.x) && std::isfinite(placed.y) && std::isfinite(placed.endX) &&
          std::isfinite(placed.endY) && std::isfinite(placed.size)) {
        assembler_.Add(placed);
      }
    }
  }

 private:
  TextAssembler& assembler_;
};

}  // namespace

void ExtractText(PdfFile& file, FontCache& fonts, const Dict& page, const Object& resources,
                 TextAssembler& sink) {
  TextSink text(sink);
  WorkBudget budget(kPageWorkUnits);
  const WorkBudget::Scope scope(budget);
  ContentInterpreter interpreter(file, fonts, nullptr, text, budget);
  const Object applying = file.Resolve(resources);
  interpreter.Run(JoinContents(file, page.Get("Contents")), applying, 0);
  RunAnnotations(file, page, applying, Matrix{}, interpreter);
}

void ExtractContentText(PdfFile& file, FontCache& fonts, std::span<const std::uint8_t> content,
                        const Object& resources, TextAssembler& sink) {
  TextSink text(sink);
  WorkBudget budget(kPageWorkUnits);
  const WorkBudget::Scope scope(budget);
  ContentInterpreter interpreter(file, fonts, nullptr, text, budget);
  interpreter.Run(content, file.Resolve(resources), 0);
}

}  // namespace lvx::pdf
