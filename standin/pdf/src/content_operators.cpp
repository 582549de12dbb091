#include "content_operators.h"

#include <unordered_map>

namespace lvx::pdf {
namespace {

const std::unordered_map<std::string_view, Op>& Operators() {
  static const std::unordered_map<std::string_view, Op> table = {
      {"q", Op::kSave},
      {"Q", Op::kRestore},
      {"cm", Op::kTransform},
      {"m", Op::kMove},
      {"l", Op::kLine},
      {"c", Op::kCurve},
      {"v", Op::kCurveV},
      {"y", Op::kCurveY},
      {"h", Op::kClosePath},
      {"re", Op::kRectangle},
      {"f", Op::kFill},
      {"F", Op::kFill},
      {"f*", Op::kFillEvenOdd},
      {"S", Op::kStroke},
      {"s", Op::kCloseStroke},
      {"B", Op::kFillStroke},
      {"B*", Op::kFillStrokeEvenOdd},
      {"b", Op::kCloseFillStroke},
      {"b*", Op::kCloseFillStrokeEvenOdd},
      {"n", Op::kEndPath},
      {"W", Op::kClip},
      {"W*", Op::kClipEvenOdd},
      {"w", Op::kLineWidth},
      {"J", Op::kLineCap},
      {"j", Op::kLineJoin},
      {"M", Op::kMiterLimit},
      {"d", Op::kDash},
      {"gs", Op::kExtGState},
      {"g", Op::kGray},
      {"G", Op::kStrokeGray},
      {"rg", Op::kRgb},
      {"RG", Op::kStrokeRgb},
      {"k", Op::kCmyk},
      {"K", Op::kStrokeCmyk},
      {"cs", Op::kFillSpace},
      {"CS", Op::kStrokeSpace},
      {"sc", Op::kFillColour},
      {"scn", Op::kFillColour},
      {"SC", Op::kStrokeColour},
      {"SCN", Op::kStrokeColour},
      {"Do", Op::kXObject},
      {"BI", Op::kInlineImage},
      {"sh", Op::kShade},
      {"BT", Op::kBeginText},
      {"ET", Op::kEndText},
      {"Tf", Op::kFont},
      {"Tc", Op::kCharSpacing},
      {"Tw", Op::kWordSpacing},
      {"Tz", Op::kHorizontalScale},
      {"TL", Op::kLeading},
      {"Ts", Op::kRise},
      {"Tr", Op::kRenderMode},
      {"Td", Op::kMoveText},
      {"TD", Op::kMoveTextLeading},
      {"Tm", Op::kTextMatrix},
      {"T*", Op::kNextLine},
      {"Tj", Op::kShow},
      {"TJ", Op::kShowArray},
      {"'", Op::kNextLineShow},
      {"\"", Op::kNextLineShowSpaced},
  };
  return table;
}

}  // namespace

std::optional<Op> OperatorNamed(std::string_view name) {
  const auto& table = Operators();
  if (const auto found = table.find(name); found != table.end()) {
    return found->second;
  }
  return std::nullopt;
}

}  // namespace lvx::pdf
