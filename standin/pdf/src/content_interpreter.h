// Interprets content streams (a page's, its forms', its Type 3 glyph procedures' and annotation
// appearances') for one sink: text extraction or drawing (content_sink.h). It owns everything the
// two have in common: the operator loop and its operands, the graphics-state stack with the saves
// it had to drop, text state and matrices and the stepping from glyph to glyph, the recursion
// into forms and glyph procedures (each saving and restoring every per-stream state: the current
// path and a pending clip included), inline images, and one budget of work.
//
// Damaged content never stops the page: an operator whose operands are missing or of the wrong
// type is skipped, an unknown resource is left out. Past the limits of page_limits.h the rest is
// not interpreted and Truncated() says so.
#ifndef LVXPDF_CONTENT_INTERPRETER_H
#define LVXPDF_CONTENT_INTERPRETER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "content_operators.h"
#include "content_sink.h"
#include "content_state.h"
#include "font_cache.h"
#include "graphics_fonts.h"
#include "lexer.h"
#include "object.h"
#include "path_builder.h"
#include "work_budget.h"

namespace lvx::pdf {

class PdfFile;

// The parts of a page's /Contents (a stream or an array of them) joined into one stream, split at
// token boundaries, within kPageContentBytes.
std::vector<std::uint8_t> JoinContents(PdfFile& file, const Object& contents);

class ContentInterpreter {
 public:
  // `drawingFonts` may be null when the sink does not draw.
  ContentInterpreter(PdfFile& file, FontCache& fonts, DrawingFontCache* drawingFonts,
                     ContentSink& sink, WorkBudget& budget);

  // Starts again from a fresh graphics state whose user space is `base` (clips in effect are
  // ended first).
  void Reset(const Matrix& base);
  void Run(std::span<const std::uint8_t> content, const Object& resources, int depth = 0);
  // Runs a form XObject with `extra` between its own matrix and the current transformation.
  void RunForm(const Object& reference, const Stream& stream, const Object& resources,
               const Matrix& extra, int depth);
  [[nodiscard]] bool Truncated() const {
    return truncated_ || path_.Truncated() || budget_.Exhausted() || sink_.Full();
  }

 private:
  // Everything one content stream has of its own, put aside while a form or glyph runs.
  struct Frame {
    GState state;
    std::size_t stackSize = 0;
    std::size_t streamBase = 0;
    std::size_t droppedSaves = 0;
    Matrix textMatrix;
    Matrix lineMatrix;
    PathBuilder path;
    std::optional<FillRule> pendingClip;
    std::vector<Object> operands;
  };

  void Dispatch(Op op, const Object& resources, int depth, Lexer& lexer);

  // Operands (content_interpreter.cpp).
  [[nodiscard]] bool Numbers(std::size_t count) const;
  [[nodiscard]] double Number(std::size_t fromEnd) const {  // 1: the last operand
    return operands_[operands_.size() - fromEnd].AsNumber(0);
  }
  [[nodiscard]] Matrix MatrixOperands() const {
    return {Number(6), Number(5), Number(4), Number(3), Number(2), Number(1)};
  }
  // The last operand when it is a name.
  [[nodiscard]] const std::string* NameOperand() const;

  // State and recursion (content_interpreter.cpp).
  void Save();
  void Restore();
  void RestoreTo(GState saved, std::size_t stackSize);
  Frame Enter();
  void Leave(Frame frame);
  void XObject(const Object& resources, int depth);
  void InlineImage(Lexer& lexer, const Object& resources);

  // Paths, colour and the rest of the graphics state (content_graphics.cpp).
  [[nodiscard]] Point ToPage(double x, double y) const {
    return {state_.ctm.X(x, y), state_.ctm.Y(x, y)};
  }
  void PathOperator(Op op);
  void UsePath(PathUse use, bool close);
  void GraphicsOperator(Op op, const Object& resources);
  void SetDeviceColour(Paint& paint, ColourSpace::Family family);
  void SetSpace(Paint& paint, const Object& resources);
  void SetColour(Paint& paint, const Object& resources);
  void SetDash();
  void ApplyExtGState(const Object& resources);
  void Shade(const Object& resources);

  // Text (content_text_state.cpp).
  void TextOperator(Op op, const Object& resources, int depth);
  void SetFont(const Object& font);
  void MoveLine(double tx, double ty) {
    lineMatrix_ = Matrix::Translate(tx, ty) * lineMatrix_;
    textMatrix_ = lineMatrix_;
  }
  void Show(const std::string& bytes, const Object& resources, int depth);
  void RunGlyph(const DrawingFont& font, std::uint32_t code, const Matrix& glyphToPage,
                const Object& resources, int depth);

  PdfFile& file_;
  FontCache& fonts_;
  DrawingFontCache* drawingFonts_;
  ContentSink& sink_;
  WorkBudget& budget_;
  const bool draws_;
  GState state_;
  std::vector<GState> stack_;
  std::size_t streamBase_ = 0;  // the states below this were saved by the streams around this one
  std::size_t droppedSaves_ = 0;
  std::vector<Object> operands_;
  PathBuilder path_;
  std::optional<FillRule> pendingClip_;
  Matrix textMatrix_;
  Matrix lineMatrix_;
  std::vector<std::uint32_t> activeForms_;
  std::unordered_map<std::uint32_t, std::shared_ptr<const std::vector<std::uint8_t>>> forms_;
  std::uint64_t formBytes_ = 0;
  std::vector<Glyph> glyphs_;
  std::vector<ShownGlyph> shown_;
  bool truncated_ = false;
};

}  // namespace lvx::pdf

#endif
