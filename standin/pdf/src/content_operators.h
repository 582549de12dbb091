// The operators of content streams, by name: the one table that text extraction and drawing
// both read content through.
#ifndef LVXPDF_CONTENT_OPERATORS_H
#define LVXPDF_CONTENT_OPERATORS_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace lvx::pdf {

// In groups, which the interpreter dispatches by range: state, path construction and painting
// (kMove to kClipEvenOdd), the rest of the graphics state, objects, then text (from kBeginText).
enum class Op : std::uint8_t {
  kSave,
  kRestore,
  kTransform,
  kMove,
  kLine,
  kCurve,
  kCurveV,
  kCurveY,
  kClosePath,
  kRectangle,
  kFill,
  kFillEvenOdd,
  kStroke,
  kCloseStroke,
  kFillStroke,
  kFillStrokeEvenOdd,
  kCloseFillStroke,
  kCloseFillStrokeEvenOdd,
  kEndPath,
  kClip,
  kClipEvenOdd,
  kLineWidth,
  kLineCap,
  kLineJoin,
  kMiterLimit,
  kDash,
  kExtGState,
  kGray,
  kStrokeGray,
  kRgb,
  kStrokeRgb,
  kCmyk,
  kStrokeCmyk,
  kFillSpace,
  kStrokeSpace,
  kFillColour,
  kStrokeColour,
  kXObject,
  kInlineImage,
  kShade,
  kBeginText,
  kEndText,
  kFont,
  kCharSpacing,
  kWordSpacing,
  kHorizontalScale,
  kLeading,
  kRise,
  kRenderMode,
  kMoveText,
  kMoveTextLeading,
  kTextMatrix,
  kNextLine,
  kShow,
  kShowArray,
  kNextLineShow,
  kNextLineShowSpaced,
};

// The operator named `name`; nothing for names that are no operator (or that this reader does
// not act on: marked content, compatibility sections, Type 3 metrics).
std::optional<Op> OperatorNamed(std::string_view name);

}  // namespace lvx::pdf

#endif
