// The content interpreter's text operators: text state, the text and line matrices, showing
// strings glyph by glyph (each glyph's place for the sink, the advance to the next), and Type 3
// glyph procedures, which run like small forms.
#include <algorithm>
#include <cmath>

#include "content_interpreter.h"
#include "file.h"
#include "page_limits.h"

namespace lvx::pdf {

void ContentInterpreter::TextOperator(Op op, const Object& resources, int depth) {
  const std::size_t n = operands_.size();
  TextParams& t = state_.text;
  switch (op) {
    case Op::kBeginText:
      textMatrix_ = Matrix{};
      lineMatrix_ = Matrix{};
      break;
    case Op::kFont:
      if (n >= 2 && operands_[n - 2].IsName() && Numbers(1)) {
        t.size = Number(1);
        const Object fonts = file_.Get(resources.AsDict(), "Font");
        SetFont(fonts.AsDict().Get(operands_[n - 2].AsName()));
      }
      break;
    case Op::kCharSpacing:
      if (Numbers(1)) {
        t.charSpacing = Number(1);
      }
      break;
    case Op::kWordSpacing:
      if (Numbers(1)) {
        t.wordSpacing = Number(1);
      }
      break;
    case Op::kHorizontalScale:
      if (Numbers(1)) {
        t.horizontalScale = Number(1) / 100.0;
      }
      break;
    case Op::kLeading:
      if (Numbers(1)) {
        t.leading = Number(1);
      }
      break;
    case Op::kRise:
      if (Numbers(1)) {
        t.rise = Number(1);
      }
      break;
    case Op::kRenderMode:
      if (Numbers(1)) {
        t.mode = static_cast<int>(std::clamp<std::int64_t>(operands_.back().AsInt(0), 0, 7));
      }
      break;
    case Op::kMoveText:
      if (Numbers(2)) {
        MoveLine(Number(2), Number(1));
      }
      break;
    case Op::kMoveTextLeading:
      if (Numbers(2)) {
        t.leading = -Number(1);
        MoveLine(Number(2), Number(1));
      }
      break;
    case Op::kTextMatrix:
      if (Numbers(6)) {
        lineMatrix_ = MatrixOperands();
        textMatrix_ = lineMatrix_;
      }
      break;
    case Op::kNextLine:
      MoveLine(0, -t.leading);
      break;
    case Op::kShow:
      if (n >= 1 && operands_[n - 1].IsString()) {
        Show(operands_[n - 1].AsString(), resources, depth);
      }
      break;
    case Op::kShowArray:
      if (n >= 1 && operands_[n - 1].IsArray()) {
        const Array items = operands_[n - 1].AsArray();
        for (const Object& item : items) {
          if (item.IsString()) {
            Show(item.AsString(), resources, depth);
          } else if (item.IsNumber()) {
            // Thousandths of the font size, against the writing direction.
            const double tx =
                -item.AsNumber(0) / 1000.0 * state_.text.size * state_.text.horizontalScale;
            textMatrix_ = Matrix::Translate(tx, 0) * textMatrix_;
          }
        }
      }
      break;
    case Op::kNextLineShow:
      MoveLine(0, -t.leading);
      if (n >= 1 && operands_[n - 1].IsString()) {
        Show(operands_[n - 1].AsString(), resources, depth);
      }
      break;
    case Op::kNextLineShowSpaced:
      if (n >= 3 && operands_[n - 1].IsString() && operands_[n - 2].IsNumber() &&
          operands_[n - 3].IsNumber()) {
        t.wordSpacing = Number(3);
        t.charSpacing = Number(2);
        MoveLine(0, -t.leading);
        Show(operands_[n - 1].AsString(), resources, depth);
      }
      break;
    default:
      break;
  }
}

void ContentInterpreter::SetFont(const Object& font) {
  TextParams& t = state_.text;
  t.font = nullptr;
  t.drawing = nullptr;
  if (font.IsNull()) {
    return;
  }
  if (draws_) {
    t.drawing = drawingFonts_->Get(file_, font);
    t.font = t.drawing ? t.drawing->font : nullptr;
  } else {
    t.font = fonts_.Get(file_, font);
  }
}

void ContentInterpreter::Show(const std::string& bytes, const Object& resources, int depth) {
  if (!state_.text.font) {
    return;
  }
  state_.text.font->Decode(bytes, glyphs_);
  // Type 3 glyphs run content of their own, which may show text and reuse these buffers.
  const bool type3 = draws_ && state_.text.drawing && state_.text.drawing->type3;
  const std::vector<Glyph> glyphs = type3 ? glyphs_ : std::vector<Glyph>{};
  const std::vector<Glyph>& shownGlyphs = type3 ? glyphs : glyphs_;
  const std::shared_ptr<const DrawingFont> drawing = state_.text.drawing;
  shown_.clear();
  for (const Glyph& glyph : shownGlyphs) {
    if (!budget_.Spend(kOperatorCost)) {
      break;
    }
    const TextParams& t = state_.text;
    const Matrix m = textMatrix_ * state_.ctm;
    const Matrix render = Matrix{t.size * t.horizontalScale, 0, 0, t.size, 0, t.rise} * m;
    const double advance =
        (glyph.width * t.size + t.charSpacing + (glyph.wordSpace ? t.wordSpacing : 0)) *
        t.horizontalScale;
    if (!type3) {
      shown_.push_back({&glyph, m, render});
    } else if (t.mode != 3 && t.mode != 7 && Finite(render)) {
      RunGlyph(*drawing, glyph.code, drawing->fontMatrix * render, resources, depth);
    }
    textMatrix_ = Matrix::Translate(advance, 0) * textMatrix_;
  }
  if (!shown_.empty()) {
    sink_.Glyphs(state_, shown_);
  }
}

void ContentInterpreter::RunGlyph(const DrawingFont& font, std::uint32_t code,
                                  const Matrix& glyphToPage, const Object& resources, int depth) {
  if (code >= font.glyphNames.size() || font.glyphNames[code].empty()) {
    return;
  }
  if (depth >= kMaxDrawingDepth) {
    truncated_ = true;
    return;
  }
  const Object proc = file_.Resolve(font.charProcs.AsDict().Get(font.glyphNames[code]));
  const Stream* stream = proc.AsStream();
  if (stream == nullptr) {
    return;
  }
  // A glyph procedure runs like a form: the glyph's matrix, the font's resources (else the
  // page's), and every state of the stream that showed it restored afterwards.
  const std::vector<std::uint8_t> data = file_.Decode(*stream);
  Frame frame = Enter();
  state_.ctm = glyphToPage;
  Run(data, font.resources.IsDict() ? font.resources : resources, depth + 1);
  Leave(std::move(frame));
}

}  // namespace lvx::pdf
