// The content interpreter's path and graphics-state operators: path construction and painting,
// clipping, line style, colours and colour spaces, ExtGState and shadings.
#include <algorithm>
#include <cmath>

#include "content_interpreter.h"
#include "file.h"
#include "graphics_shading.h"

namespace lvx::pdf {
namespace {

constexpr std::size_t kMaxDashes = 64;

}  // namespace

void ContentInterpreter::PathOperator(Op op) {
  switch (op) {
    case Op::kMove:
      if (Numbers(2)) {
        path_.Move(ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kLine:
      if (Numbers(2)) {
        path_.Line(ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurve:
      if (Numbers(6)) {
        path_.Curve(ToPage(Number(6), Number(5)), ToPage(Number(4), Number(3)),
                    ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurveV:
      if (Point current; Numbers(4) && path_.Current(current)) {
        path_.Curve(current, ToPage(Number(4), Number(3)), ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurveY:
      if (Numbers(4)) {
        const Point end = ToPage(Number(2), Number(1));
        path_.Curve(ToPage(Number(4), Number(3)), end, end);
      }
      break;
    case Op::kClosePath:
      path_.Close();
      break;
    case Op::kRectangle:
      if (Numbers(4)) {
        const double x = Number(4);
        const double y = Number(3);
        const double w = Number(2);
        const double h = Number(1);
        path_.Move(ToPage(x, y));
        path_.Line(ToPage(x + w, y));
        path_.Line(ToPage(x + w, y + h));
        path_.Line(ToPage(x, y + h));
        path_.Close();
      }
      break;
    case Op::kFill:
      UsePath({.fill = true}, false);
      break;
    case Op::kFillEvenOdd:
      UsePath({.fill = true, .fillRule = FillRule::kEvenOdd}, false);
      break;
    case Op::kStroke:
      UsePath({.stroke = true}, false);
      break;
    case Op::kCloseStroke:
      UsePath({.stroke = true}, true);
      break;
    case Op::kFillStroke:
      UsePath({.fill = true, .stroke = true}, false);
      break;
    case Op::kFillStrokeEvenOdd:
      UsePath({.fill = true, .fillRule = FillRule::kEvenOdd, .stroke = true}, false);
      break;
    case Op::kCloseFillStroke:
      UsePath({.fill = true, .stroke = true}, true);
      break;
    case Op::kCloseFillStrokeEvenOdd:
      UsePath({.fill = true, .fillRule = FillRule::kEvenOdd, .stroke = true}, true);
      break;
    case Op::kEndPath:
      UsePath({}, false);
      break;
    case Op::kClip:
      pendingClip_ = FillRule::kNonZero;
      break;
    case Op::kClipEvenOdd:
      pendingClip_ = FillRule::kEvenOdd;
      break;
    default:
      break;
  }
}

void ContentInterpreter::UsePath(PathUse use, bool close) {
  if (close) {
    path_.Close();
  }
  if (pendingClip_) {
    use.clip = true;
    use.clipRule = *pendingClip_;
    pendingClip_.reset();
  }
  // An empty clipping path hides everything after it, so it is still a clip.
  if ((!path_.Empty() || use.clip) && sink_.UsePath(path_.Take(), use, state_)) {
    ++state_.clips;
  }
  path_.Take();
}

void ContentInterpreter::GraphicsOperator(Op op, const Object& resources) {
  switch (op) {
    case Op::kLineWidth:
      if (Numbers(1)) {
        state_.style.width = std::fabs(Number(1));
      }
      break;
    case Op::kLineCap:
      if (Numbers(1)) {
        state_.style.cap =
            static_cast<LineCap>(std::clamp<std::int64_t>(operands_.back().AsInt(0), 0, 2));
      }
      break;
    case Op::kLineJoin:
      if (Numbers(1)) {
        state_.style.join =
            static_cast<LineJoin>(std::clamp<std::int64_t>(operands_.back().AsInt(0), 0, 2));
      }
      break;
    case Op::kMiterLimit:
      if (Numbers(1)) {
        state_.style.miterLimit = std::max(1.0, Number(1));
      }
      break;
    case Op::kDash:
      SetDash();
      break;
    case Op::kExtGState:
      ApplyExtGState(resources);
      break;
    case Op::kGray:
      SetDeviceColour(state_.fill, ColourSpace::Family::kGray);
      break;
    case Op::kStrokeGray:
      SetDeviceColour(state_.stroke, ColourSpace::Family::kGray);
      break;
    case Op::kRgb:
      SetDeviceColour(state_.fill, ColourSpace::Family::kRgb);
      break;
    case Op::kStrokeRgb:
      SetDeviceColour(state_.stroke, ColourSpace::Family::kRgb);
      break;
    case Op::kCmyk:
      SetDeviceColour(state_.fill, ColourSpace::Family::kCmyk);
      break;
    case Op::kStrokeCmyk:
      SetDeviceColour(state_.stroke, ColourSpace::Family::kCmyk);
      break;
    case Op::kFillSpace:
      SetSpace(state_.fill, resources);
      break;
    case Op::kStrokeSpace:
      SetSpace(state_.stroke, resources);
      break;
    case Op::kFillColour:
      SetColour(state_.fill, resources);
      break;
    case Op::kStrokeColour:
      SetColour(state_.stroke, resources);
      break;
    case Op::kShade:
      Shade(resources);
      break;
    default:
      break;
  }
}

void ContentInterpreter::SetDash() {
  const std::size_t n = operands_.size();
  if (n < 2 || !operands_[n - 2].IsArray() || !Numbers(1)) {
    return;
  }
  std::vector<double> dash;
  double total = 0;
  for (const Object& item : operands_[n - 2].AsArray()) {
    const double v = item.AsNumber(-1);
    if (!item.IsNumber() || v < 0 || !std::isfinite(v) || dash.size() >= kMaxDashes) {
      return;
    }
    dash.push_back(v);
    total += v;
  }
  state_.style.dash = total > 0 ? std::move(dash) : std::vector<double>{};
  state_.style.dashPhase = Number(1);
}

void ContentInterpreter::SetDeviceColour(Paint& paint, ColourSpace::Family family) {
  const std::size_t count = family == ColourSpace::Family::kCmyk  ? 4
                            : family == ColourSpace::Family::kRgb ? 3
                                                                  : 1;
  if (!Numbers(count)) {
    return;
  }
  double values[4] = {};
  for (std::size_t i = 0; i < count; ++i) {
    values[i] = Number(count - i);
  }
  paint.space = ColourSpace::Device(family);
  paint.rgb = paint.space->ToRgb(std::span<const double>(values, count));
  paint.pattern = Object{};
}

void ContentInterpreter::SetSpace(Paint& paint, const Object& resources) {
  if (NameOperand() == nullptr) {
    return;
  }
  paint.space = ColourSpace::Load(file_, operands_.back(), resources);
  paint.pattern = Object{};
  paint.rgb = paint.space->Kind() == ColourSpace::Family::kPattern
                  ? Rgb{128, 128, 128}
                  : paint.space->ToRgb(paint.space->Initial());
}

void ContentInterpreter::SetColour(Paint& paint, const Object& resources) {
  std::vector<double> values;
  for (const Object& operand : operands_) {
    if (operand.IsNumber()) {
      values.push_back(operand.AsNumber(0));
    }
  }
  if (paint.space->Kind() != ColourSpace::Family::kPattern) {
    if (values.size() >= paint.space->Components()) {
      paint.rgb = paint.space->ToRgb(values);
    }
    return;
  }
  const std::string* name = NameOperand();
  if (name == nullptr) {
    return;
  }
  const Object patterns = file_.Get(resources.AsDict(), "Pattern");
  paint.pattern = patterns.AsDict().Get(*name);
  const Object pattern = file_.Resolve(paint.pattern);
  if (const ColourSpace* base = paint.space->Base(); base != nullptr && !values.empty()) {
    paint.rgb = base->ToRgb(values);
  } else if (file_.Get(pattern.AsDict(), "PatternType").AsInt(0) == 2) {
    // A shading pattern's flat stand-in, where one is needed.
    if (const auto read = ReadShading(file_, pattern.AsDict().Get("Shading"), Matrix{})) {
      paint.rgb = AverageColour(*read);
    }
  } else {
    paint.rgb = {128, 128, 128};
  }
}

void ContentInterpreter::ApplyExtGState(const Object& resources) {
  const std::string* name = NameOperand();
  if (name == nullptr) {
    return;
  }
  const Object states = file_.Get(resources.AsDict(), "ExtGState");
  const Object gs = file_.Get(states.AsDict(), *name);
  for (const auto& [key, raw] : gs.AsDict().entries) {
    const Object value = file_.Resolve(raw);
    if (key == "LW" && value.IsNumber()) {
      state_.style.width = std::fabs(value.AsNumber(1));
    } else if (key == "LC" && value.IsNumber()) {
      state_.style.cap = static_cast<LineCap>(std::clamp<std::int64_t>(value.AsInt(0), 0, 2));
    } else if (key == "LJ" && value.IsNumber()) {
      state_.style.join = static_cast<LineJoin>(std::clamp<std::int64_t>(value.AsInt(0), 0, 2));
    } else if (key == "ML" && value.IsNumber()) {
      state_.style.miterLimit = std::max(1.0, value.AsNumber(10));
    } else if (key == "CA" && value.IsNumber()) {
      state_.stroke.alpha = std::clamp(value.AsNumber(1), 0.0, 1.0);
    } else if (key == "ca" && value.IsNumber()) {
      state_.fill.alpha = std::clamp(value.AsNumber(1), 0.0, 1.0);
    } else if (key == "Font" && value.AsArray().size() == 2) {
      const Array& pair = value.AsArray();
      SetFont(pair[0]);
      state_.text.size = file_.Resolve(pair[1]).AsNumber(0);
    }
  }
}

void ContentInterpreter::Shade(const Object& resources) {
  const std::string* name = NameOperand();
  if (name == nullptr) {
    return;
  }
  const Object shadings = file_.Get(resources.AsDict(), "Shading");
  sink_.Shade(shadings.AsDict().Get(*name), state_);
}

}  // namespace lvx::pdf
