#include "graphics_interpreter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "file.h"
#include "graphics_colour.h"
#include "graphics_fonts.h"
#include "graphics_image.h"
#include "graphics_shading.h"
#include "lexer.h"
#include "matrix.h"
#include "parser.h"
#include "text_assembly.h"

namespace lvx::pdf {
namespace {

constexpr std::size_t kMaxOperands = 4096;
constexpr std::size_t kMaxDashes = 64;
constexpr std::size_t kMaxInlineImageBytes = std::size_t{64} << 20;
constexpr std::int64_t kHiddenAnnotation = 2;
constexpr std::int64_t kNoViewAnnotation = 32;

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

bool Finite(const Matrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
         std::isfinite(m.e) && std::isfinite(m.f);
}

Affine ToAffine(const Matrix& m) { return {m.a, m.b, m.c, m.d, m.e, m.f}; }

// How much the matrix scales lengths, on average over directions.
double LengthScale(const Matrix& m) { return std::sqrt(std::fabs(m.a * m.d - m.b * m.c)); }

struct TextParams {
  std::shared_ptr<const DrawingFont> font;
  double size = 0;
  double charSpacing = 0;
  double wordSpacing = 0;
  double horizontalScale = 1;
  double leading = 0;
  double rise = 0;
  int mode = 0;
};

struct Paint {
  std::shared_ptr<const ColourSpace> space = ColourSpace::Device(ColourSpace::Family::kGray);
  Rgb rgb;
  Object pattern;  // the pattern resource when the space is Pattern
  double alpha = 1;
};

struct GState {
  Matrix ctm;
  Paint fill;
  Paint stroke;
  StrokeStyle style;      // in user space; scaled to page space when a path is stroked
  std::size_t clips = 0;  // ClipCommands in effect
  TextParams text;
};

class Drawing {
 public:
  Drawing(PdfFile& file, DrawingFontCache& fonts, DisplayList& out)
      : file_(file), drawingFonts_(fonts), out_(out) {}

  void RunPage(const PageInfo& page);

 private:
  // Content streams.
  void Run(std::span<const std::uint8_t> content, const Object& resources, int depth);
  void Operator(Op op, const Object& resources, int depth, Lexer& lexer);
  [[nodiscard]] bool Numbers(std::size_t count) const;
  [[nodiscard]] double Number(std::size_t fromEnd) const {  // 1: the last operand
    return operands_[operands_.size() - fromEnd].AsNumber(0);
  }
  [[nodiscard]] Matrix MatrixOperands() const {
    return {Number(6), Number(5), Number(4), Number(3), Number(2), Number(1)};
  }

  // State.
  void Save();
  void Restore();
  void RestoreTo(GState saved, std::size_t stackSize);
  void UnwindClips(std::size_t to);

  // Paths.
  Point ToPage(double x, double y) const { return {state_.ctm.X(x, y), state_.ctm.Y(x, y)}; }
  void AddPoint(PathVerb verb, Point p);
  void ClosePath();
  void PaintPath(bool fill, FillRule rule, bool stroke, bool close);
  void FillPath(const Path& path, FillRule rule);
  [[nodiscard]] StrokeStyle PageStyle() const;

  // Colour.
  void SetDeviceColour(Paint& paint, ColourSpace::Family family);
  void SetSpace(Paint& paint, const Object& resources);
  void SetColour(Paint& paint, const Object& resources);
  void ApplyExtGState(const Object& resources);

  // Objects.
  void DrawXObject(const Object& resources, int depth);
  void DrawImage(const Object& reference, const Stream& stream, const Object& resources);
  void PlaceImage(ImageCommand image);
  void DrawInlineImage(Lexer& lexer, const Object& resources);
  void RunForm(const Object& reference, const Stream& stream, const Object& resources,
               const Matrix& extra, int depth);
  void Shade(const Object& resources);
  void DrawAnnotations(const PageInfo& page, const Matrix& base);

  // Text.
  void SetFont(const Object& resources);
  void MoveLine(double tx, double ty) {
    lineMatrix_ = Matrix::Translate(tx, ty) * lineMatrix_;
    textMatrix_ = lineMatrix_;
  }
  void Show(const std::string& bytes, const Object& resources, int depth);
  void ShowType3(const DrawingFont& font, std::uint32_t code, const Matrix& glyphToPage,
                 const Object& resources, int depth);

  bool Emit(DrawCommand command);
  // A dictionary's /Matrix, the identity when it is missing or malformed.
  Matrix MatrixEntry(const Dict& dict);

  PdfFile& file_;
  DrawingFontCache& drawingFonts_;
  DisplayList& out_;
  GState state_;
  std::vector<GState> stack_;
  std::size_t droppedSaves_ = 0;
  std::vector<Object> operands_;
  Path path_;
  Point subpathStart_;
  bool subpathOpen_ = false;
  bool closed_ = false;
  int pendingClip_ = -1;  // -1 none, else the FillRule
  Matrix textMatrix_;
  Matrix lineMatrix_;
  Matrix baseMatrix_;  // the default space of the page or form being run (for patterns)
  std::vector<std::uint32_t> activeForms_;
  std::unordered_map<std::uint32_t, std::shared_ptr<const std::vector<std::uint8_t>>> forms_;
  std::unordered_map<std::uint32_t, std::shared_ptr<const ImageCommand>> images_;
  std::size_t imageBytes_ = 0;
  std::uint64_t work_ = 0;
  std::vector<Glyph> glyphs_;
};

bool Drawing::Emit(DrawCommand command) {
  if (out_.commands.size() >= kMaxCommands) {
    out_.truncated = true;
    return false;
  }
  out_.commands.push_back(std::move(command));
  return true;
}

Matrix Drawing::MatrixEntry(const Dict& dict) {
  const Array& values = file_.Get(dict, "Matrix").AsArray();
  if (values.size() != 6) {
    return {};
  }
  double m[6];
  for (std::size_t i = 0; i < 6; ++i) {
    const Object value = file_.Resolve(values[i]);
    if (!value.IsNumber()) {
      return {};
    }
    m[i] = value.AsNumber(0);
  }
  const Matrix matrix{m[0], m[1], m[2], m[3], m[4], m[5]};
  return Finite(matrix) ? matrix : Matrix{};
}

bool Drawing::Numbers(std::size_t count) const {
  if (operands_.size() < count) {
    return false;
  }
  for (std::size_t i = operands_.size() - count; i < operands_.size(); ++i) {
    if (!operands_[i].IsNumber() || !std::isfinite(operands_[i].AsNumber(0))) {
      return false;
    }
  }
  return true;
}

void Drawing::Run(std::span<const std::uint8_t> content, const Object& resources, int depth) {
  work_ += content.size() / 16;
  Lexer lexer(content);
  Token token;
  const ParseOptions options{.allowRefs = false, .transformString = nullptr};
  const auto& table = Operators();
  for (;;) {
    if (++work_ > kDrawingWorkBudget) {
      out_.truncated = true;
      return;
    }
    lexer.Next(token);
    if (token.type == TokenType::kEnd) {
      break;
    }
    if (token.type == TokenType::kKeyword && token.text != "true" && token.text != "false" &&
        token.text != "null") {
      if (const auto found = table.find(token.text); found != table.end()) {
        Operator(found->second, resources, depth, lexer);
      }
      operands_.clear();
      continue;
    }
    if (token.type == TokenType::kArrayClose || token.type == TokenType::kDictClose ||
        token.type == TokenType::kBraceOpen || token.type == TokenType::kBraceClose) {
      continue;
    }
    if (operands_.size() >= kMaxOperands) {
      operands_.clear();
    }
    operands_.push_back(ParseObject(lexer, token, options));
  }
}

void Drawing::Operator(Op op, const Object& resources, int depth, Lexer& lexer) {
  const std::size_t n = operands_.size();
  switch (op) {
    case Op::kSave:
      Save();
      break;
    case Op::kRestore:
      Restore();
      break;
    case Op::kTransform:
      if (Numbers(6)) {
        const Matrix next = MatrixOperands() * state_.ctm;
        if (Finite(next)) {
          state_.ctm = next;
        }
      }
      break;
    case Op::kMove:
      if (Numbers(2)) {
        AddPoint(PathVerb::kMove, ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kLine:
      if (Numbers(2)) {
        AddPoint(PathVerb::kLine, ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurve:
      if (Numbers(6)) {
        AddPoint(PathVerb::kCurve, ToPage(Number(6), Number(5)));
        path_.points.push_back(ToPage(Number(4), Number(3)));
        path_.points.push_back(ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurveV:
      if (Numbers(4) && subpathOpen_) {
        const Point current = path_.points.back();
        AddPoint(PathVerb::kCurve, current);
        path_.points.push_back(ToPage(Number(4), Number(3)));
        path_.points.push_back(ToPage(Number(2), Number(1)));
      }
      break;
    case Op::kCurveY:
      if (Numbers(4)) {
        AddPoint(PathVerb::kCurve, ToPage(Number(4), Number(3)));
        const Point end = ToPage(Number(2), Number(1));
        path_.points.push_back(end);
        path_.points.push_back(end);
      }
      break;
    case Op::kClosePath:
      ClosePath();
      break;
    case Op::kRectangle:
      if (Numbers(4)) {
        const double x = Number(4);
        const double y = Number(3);
        const double w = Number(2);
        const double h = Number(1);
        AddPoint(PathVerb::kMove, ToPage(x, y));
        AddPoint(PathVerb::kLine, ToPage(x + w, y));
        AddPoint(PathVerb::kLine, ToPage(x + w, y + h));
        AddPoint(PathVerb::kLine, ToPage(x, y + h));
        ClosePath();
      }
      break;
    case Op::kFill:
      PaintPath(true, FillRule::kNonZero, false, false);
      break;
    case Op::kFillEvenOdd:
      PaintPath(true, FillRule::kEvenOdd, false, false);
      break;
    case Op::kStroke:
      PaintPath(false, FillRule::kNonZero, true, false);
      break;
    case Op::kCloseStroke:
      PaintPath(false, FillRule::kNonZero, true, true);
      break;
    case Op::kFillStroke:
      PaintPath(true, FillRule::kNonZero, true, false);
      break;
    case Op::kFillStrokeEvenOdd:
      PaintPath(true, FillRule::kEvenOdd, true, false);
      break;
    case Op::kCloseFillStroke:
      PaintPath(true, FillRule::kNonZero, true, true);
      break;
    case Op::kCloseFillStrokeEvenOdd:
      PaintPath(true, FillRule::kEvenOdd, true, true);
      break;
    case Op::kEndPath:
      PaintPath(false, FillRule::kNonZero, false, false);
      break;
    case Op::kClip:
      pendingClip_ = static_cast<int>(FillRule::kNonZero);
      break;
    case Op::kClipEvenOdd:
      pendingClip_ = static_cast<int>(FillRule::kEvenOdd);
      break;
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
      if (n >= 2 && operands_[n - 2].IsArray() && operands_[n - 1].IsNumber()) {
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
      break;
    case Op::kExtGState:
      ApplyExtGState(resources);
      break;
    case Op::kGray:
    case Op::kStrokeGray:
    case Op::kRgb:
    case Op::kStrokeRgb:
    case Op::kCmyk:
    case Op::kStrokeCmyk: {
      const bool stroke = op == Op::kStrokeGray || op == Op::kStrokeRgb || op == Op::kStrokeCmyk;
      ColourSpace::Family family = ColourSpace::Family::kGray;
      if (op == Op::kRgb || op == Op::kStrokeRgb) {
        family = ColourSpace::Family::kRgb;
      } else if (op == Op::kCmyk || op == Op::kStrokeCmyk) {
        family = ColourSpace::Family::kCmyk;
      }
      SetDeviceColour(stroke ? state_.stroke : state_.fill, family);
      break;
    }
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
    case Op::kXObject:
      DrawXObject(resources, depth);
      break;
    case Op::kInlineImage:
      DrawInlineImage(lexer, resources);
      break;
    case Op::kShade:
      Shade(resources);
      break;
    case Op::kBeginText:
      textMatrix_ = Matrix{};
      lineMatrix_ = Matrix{};
      break;
    case Op::kEndText:
      break;
    case Op::kFont:
      if (n >= 2 && operands_[n - 1].IsNumber()) {
        state_.text.size = Number(1);
        SetFont(resources);
      }
      break;
    case Op::kCharSpacing:
      if (Numbers(1)) {
        state_.text.charSpacing = Number(1);
      }
      break;
    case Op::kWordSpacing:
      if (Numbers(1)) {
        state_.text.wordSpacing = Number(1);
      }
      break;
    case Op::kHorizontalScale:
      if (Numbers(1)) {
        state_.text.horizontalScale = Number(1) / 100.0;
      }
      break;
    case Op::kLeading:
      if (Numbers(1)) {
        state_.text.leading = Number(1);
      }
      break;
    case Op::kRise:
      if (Numbers(1)) {
        state_.text.rise = Number(1);
      }
      break;
    case Op::kRenderMode:
      if (Numbers(1)) {
        state_.text.mode =
            static_cast<int>(std::clamp<std::int64_t>(operands_.back().AsInt(0), 0, 7));
      }
      break;
    case Op::kMoveText:
      if (Numbers(2)) {
        MoveLine(Number(2), Number(1));
      }
      break;
    case Op::kMoveTextLeading:
      if (Numbers(2)) {
        state_.text.leading = -Number(1);
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
      MoveLine(0, -state_.text.leading);
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
            const TextParams& t = state_.text;
            textMatrix_ =
                Matrix::Translate(-item.AsNumber(0) / 1000.0 * t.size * t.horizontalScale, 0) *
                textMatrix_;
          }
        }
      }
      break;
    case Op::kNextLineShow:
      MoveLine(0, -state_.text.leading);
      if (n >= 1 && operands_[n - 1].IsString()) {
        Show(operands_[n - 1].AsString(), resources, depth);
      }
      break;
    case Op::kNextLineShowSpaced:
      if (n >= 3 && operands_[n - 1].IsString() && operands_[n - 2].IsNumber() &&
          operands_[n - 3].IsNumber()) {
        state_.text.wordSpacing = Number(3);
        state_.text.charSpacing = Number(2);
        MoveLine(0, -state_.text.leading);
        Show(operands_[n - 1].AsString(), resources, depth);
      }
      break;
  }
}

void Drawing::Save() {
  if (stack_.size() < kMaxSavedStates) {
    stack_.push_back(state_);
  } else {
    ++droppedSaves_;
  }
}

void Drawing::Restore() {
  if (droppedSaves_ > 0) {
    --droppedSaves_;
    return;
  }
  if (stack_.empty()) {
    return;
  }
  GState saved = std::move(stack_.back());
  stack_.pop_back();
  UnwindClips(saved.clips);
  state_ = std::move(saved);
}

void Drawing::UnwindClips(std::size_t to) {
  while (state_.clips > to) {
    out_.commands.emplace_back(RestoreClip{});  // always kept, so that clips stay balanced
    --state_.clips;
  }
}

void Drawing::RestoreTo(GState saved, std::size_t stackSize) {
  while (stack_.size() > stackSize) {
    stack_.pop_back();
  }
  UnwindClips(saved.clips);
  state_ = std::move(saved);
}

void Drawing::AddPoint(PathVerb verb, Point p) {
  if (path_.points.size() >= kMaxPathPoints) {
    out_.truncated = true;
    return;
  }
  if (verb == PathVerb::kMove) {
    if (!path_.verbs.empty() && path_.verbs.back() == PathVerb::kMove) {
      // A move after a move replaces it.
      path_.points.back() = p;
      subpathStart_ = p;
      return;
    }
    subpathStart_ = p;
    subpathOpen_ = true;
    closed_ = false;
  } else if (!subpathOpen_ || closed_) {
    // Drawing on after a close starts at the closed subpath's start; without any current point
    // the segment starts where it ends.
    const Point start = subpathOpen_ ? subpathStart_ : p;
    path_.verbs.push_back(PathVerb::kMove);
    path_.points.push_back(start);
    subpathStart_ = start;
    subpathOpen_ = true;
    closed_ = false;
  }
  path_.verbs.push_back(verb);
  path_.points.push_back(p);
}

void Drawing::ClosePath() {
  if (subpathOpen_ && !closed_) {
    path_.verbs.push_back(PathVerb::kClose);
    closed_ = true;
  }
}

StrokeStyle Drawing::PageStyle() const {
  StrokeStyle style = state_.style;
  const double scale = LengthScale(state_.ctm);
  style.width *= scale;
  for (double& d : style.dash) {
    d *= scale;
  }
  style.dashPhase *= scale;
  return style;
}

void Drawing::PaintPath(bool fill, FillRule rule, bool stroke, bool close) {
  if (close) {
    ClosePath();
  }
  if (!path_.Empty()) {
    if (fill) {
      FillPath(path_, rule);
    }
    if (stroke && !state_.stroke.space->PaintsNothing() && state_.stroke.alpha > 0) {
      Emit(StrokeCommand{path_, PageStyle(), state_.stroke.rgb, state_.stroke.alpha});
    }
    if (pendingClip_ >= 0 && Emit(ClipCommand{path_, static_cast<FillRule>(pendingClip_)})) {
      ++state_.clips;
    }
  } else if (pendingClip_ >= 0 && Emit(ClipCommand{Path{}, FillRule::kNonZero})) {
    ++state_.clips;  // an empty clipping path hides everything after it
  }
  pendingClip_ = -1;
  path_ = Path{};
  subpathOpen_ = false;
  closed_ = false;
}

void Drawing::FillPath(const Path& path, FillRule rule) {
  const Paint& paint = state_.fill;
  if (paint.space->PaintsNothing() || paint.alpha <= 0) {
    return;
  }
  if (paint.space->Kind() != ColourSpace::Family::kPattern) {
    Emit(FillCommand{path, rule, paint.rgb, paint.alpha});
    return;
  }
  const Object pattern = file_.Resolve(paint.pattern);
  const Dict& dict = pattern.AsDict();
  if (file_.Get(dict, "PatternType").AsInt(0) == 2) {
    const Matrix matrix = MatrixEntry(dict);
    const Matrix toPage = matrix * baseMatrix_;
    if (std::optional<ShadingCommand> shading =
            Finite(toPage) ? ReadShading(file_, dict.Get("Shading"), toPage) : std::nullopt) {
      if (shading->kind == ShadingCommand::Kind::kFlat) {
        Emit(FillCommand{path, rule, AverageColour(*shading), paint.alpha});
      } else {
        shading->area = path;
        shading->rule = rule;
        Emit(std::move(*shading));
      }
    }
    return;
  }
  // Tiling patterns as one flat colour: the given colour of an uncoloured pattern, else the
  // paint rgb set when the pattern was chosen.
  Emit(FillCommand{path, rule, paint.rgb, paint.alpha});
}

void Drawing::SetDeviceColour(Paint& paint, ColourSpace::Family family) {
  const std::size_t count = family == ColourSpace::Family::kCmyk  ? 4
                            : family == ColourSpace::Family::kRgb ? 3
                                                                  : 1;
  if (!Numbers(count)) {
    return;
  }
  std::vector<double> values;
  for (std::size_t i = count; i > 0; --i) {
    values.push_back(Number(i));
  }
  paint.space = ColourSpace::Device(family);
  paint.rgb = paint.space->ToRgb(values);
  paint.pattern = Object{};
}

void Drawing::SetSpace(Paint& paint, const Object& resources) {
  if (operands_.empty() || !operands_.back().IsName()) {
    return;
  }
  paint.space = ColourSpace::Load(file_, operands_.back(), resources);
  paint.pattern = Object{};
  paint.rgb = paint.space->Kind() == ColourSpace::Family::kPattern
                  ? Rgb{128, 128, 128}
                  : paint.space->ToRgb(paint.space->Initial());
}

void Drawing::SetColour(Paint& paint, const Object& resources) {
  std::vector<double> values;
  for (const Object& operand : operands_) {
    if (operand.IsNumber()) {
      values.push_back(operand.AsNumber(0));
    }
  }
  if (paint.space->Kind() == ColourSpace::Family::kPattern) {
    if (operands_.empty() || !operands_.back().IsName()) {
      return;
    }
    const Object patterns = file_.Get(resources.AsDict(), "Pattern");
    paint.pattern = patterns.AsDict().Get(operands_.back().AsName());
    const Object pattern = file_.Resolve(paint.pattern);
    if (const ColourSpace* base = paint.space->Base(); base != nullptr && !values.empty()) {
      paint.rgb = base->ToRgb(values);
    } else if (file_.Get(pattern.AsDict(), "PatternType").AsInt(0) == 2) {
      // A shading pattern's flat stand-in, where one is needed.
      const Object shading = file_.Get(pattern.AsDict(), "Shading");
      if (const auto read = ReadShading(file_, shading, Matrix{})) {
        paint.rgb = AverageColour(*read);
      }
    } else {
      paint.rgb = {128, 128, 128};
    }
    return;
  }
  if (values.size() < paint.space->Components()) {
    return;
  }
  paint.rgb = paint.space->ToRgb(values);
}

void Drawing::ApplyExtGState(const Object& resources) {
  if (operands_.empty() || !operands_.back().IsName()) {
    return;
  }
  const Object states = file_.Get(resources.AsDict(), "ExtGState");
  const Object gs = file_.Get(states.AsDict(), operands_.back().AsName());
  const Dict& dict = gs.AsDict();
  for (const auto& [key, raw] : dict.entries) {
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
      state_.text.font = drawingFonts_.Get(file_, pair[0]);
      state_.text.size = file_.Resolve(pair[1]).AsNumber(0);
    }
  }
}

void Drawing::DrawXObject(const Object& resources, int depth) {
  if (operands_.empty() || !operands_.back().IsName()) {
    return;
  }
  const Object xobjects = file_.Get(resources.AsDict(), "XObject");
  const Object& reference = xobjects.AsDict().Get(operands_.back().AsName());
  const Object object = file_.Resolve(reference);
  const Stream* stream = object.AsStream();
  if (stream == nullptr) {
    return;
  }
  const Object subtype = file_.Get(stream->dict, "Subtype");
  if (subtype.IsName("Image")) {
    DrawImage(reference, *stream, resources);
  } else if (subtype.IsName("Form")) {
    RunForm(reference, *stream, resources, Matrix{}, depth);
  }
}

void Drawing::PlaceImage(ImageCommand image) {
  const std::size_t bytes = image.pixels->Bytes();
  if (imageBytes_ + bytes > kMaxImageBytes) {
    out_.truncated = true;
    return;
  }
  imageBytes_ += bytes;
  image.placement = ToAffine(state_.ctm);
  Emit(std::move(image));
}

void Drawing::DrawImage(const Object& reference, const Stream& stream, const Object& resources) {
  if (state_.fill.alpha <= 0 || LengthScale(state_.ctm) == 0) {
    return;
  }
  const bool mask = file_.Get(stream.dict, "ImageMask").AsBool(false);
  const std::uint32_t num = reference.IsRef() ? reference.AsRef().num : 0;
  if (num != 0 && !mask) {
    if (const auto found = images_.find(num); found != images_.end()) {
      if (found->second) {
        PlaceImage(*found->second);
      }
      return;
    }
  }
  const ImageSource source = ImageFromStream(file_, stream);
  std::optional<ImageCommand> image = DecodeImage(file_, source, resources, state_.fill.rgb);
  if (num != 0 && !mask) {
    images_[num] = image ? std::make_shared<const ImageCommand>(*image) : nullptr;
  }
  if (image) {
    PlaceImage(std::move(*image));
  }
}

void Drawing::DrawInlineImage(Lexer& lexer, const Object& resources) {
  // The dictionary's keys and values up to "ID", then the data up to "EI" standing alone.
  Dict dict;
  Token token;
  const ParseOptions options{.allowRefs = false, .transformString = nullptr};
  for (lexer.Next(token); token.type != TokenType::kEnd && !token.IsKeyword("ID");
       lexer.Next(token)) {
    if (token.type != TokenType::kName) {
      continue;
    }
    std::string key = token.text;
    lexer.Next(token);
    if (token.type == TokenType::kEnd || token.IsKeyword("ID")) {
      break;
    }
    dict.entries.emplace_back(std::move(key), ParseObject(lexer, token, options));
  }
  const std::span<const std::uint8_t> content = lexer.Data();
  const std::size_t start = std::min(lexer.Position() + 1, content.size());
  const Dict expanded = ExpandInlineImageDict(file_, dict, resources);
  // Unfiltered data has a known length; filtered data ends at "EI" between white space.
  std::size_t end = content.size();
  const Object& filter = expanded.Get("Filter");
  const bool filtered = !filter.IsNull() && !(filter.IsArray() && filter.AsArray().empty());
  if (!filtered) {
    const std::int64_t width = expanded.Get("Width").AsInt(0);
    const std::int64_t height = expanded.Get("Height").AsInt(0);
    const bool mask = expanded.Get("ImageMask").AsBool(false);
    const std::int64_t bits = mask ? 1 : expanded.Get("BitsPerComponent").AsInt(8);
    const auto space =
        mask ? nullptr : ColourSpace::Load(file_, expanded.Get("ColorSpace"), Object{});
    const std::int64_t components = space ? static_cast<std::int64_t>(space->Components()) : 1;
    if (width > 0 && height > 0 && bits > 0 && width < (1 << 20) && height < (1 << 20)) {
      const std::int64_t bytes = (width * components * bits + 7) / 8 * height;
      end = static_cast<std::size_t>(
                std::min<std::int64_t>(bytes, static_cast<std::int64_t>(content.size() - start))) +
            start;
    }
  }
  std::size_t eiAt = content.size();
  for (std::size_t pos = filtered ? start : end; pos + 1 < content.size(); ++pos) {
    if (content[pos] == 'E' && content[pos + 1] == 'I' &&
        (pos == 0 || IsPdfWhitespace(content[pos - 1])) &&
        (pos + 2 == content.size() || IsPdfWhitespace(content[pos + 2]) ||
         IsPdfDelimiter(content[pos + 2]))) {
      eiAt = pos;
      break;
    }
  }
  if (filtered) {
    end = eiAt > start ? eiAt - 1 : start;  // the white space before EI is not data
  }
  lexer.Seek(eiAt == content.size() ? content.size() : eiAt + 2);
  if (end - start > kMaxInlineImageBytes) {
    return;
  }
  ImageSource source;
  source.dict = &expanded;
  FilterStatus status = FilterStatus::kOk;
  source.data =
      DecodeFilterChain(expanded, content.subspan(start, end - start), kMaxDecodedStream, status);
  if (status == FilterStatus::kImage) {
    const Object last =
        filter.IsArray() && !filter.AsArray().empty() ? filter.AsArray().back() : filter;
    source.jpeg = last.IsName("DCTDecode");
    source.undecoded = !source.jpeg;
  } else if (status == FilterStatus::kUnknown) {
    source.undecoded = true;
  }
  if (std::optional<ImageCommand> image = DecodeImage(file_, source, resources, state_.fill.rgb)) {
    PlaceImage(std::move(*image));
  }
}

void Drawing::RunForm(const Object& reference, const Stream& stream, const Object& resources,
                      const Matrix& extra, int depth) {
  if (depth >= kMaxDrawingDepth) {
    out_.truncated = true;
    return;
  }
  const std::uint32_t num = reference.IsRef() ? reference.AsRef().num : 0;
  if (num != 0 && std::find(activeForms_.begin(), activeForms_.end(), num) != activeForms_.end()) {
    return;  // a form that draws itself
  }
  std::shared_ptr<const std::vector<std::uint8_t>> data;
  if (num != 0) {
    auto& cached = forms_[num];
    if (!cached) {
      cached = std::make_shared<const std::vector<std::uint8_t>>(file_.Decode(stream));
    }
    data = cached;
  } else {
    data = std::make_shared<const std::vector<std::uint8_t>>(file_.Decode(stream));
  }
  Object formResources = file_.Get(stream.dict, "Resources");
  if (!formResources.IsDict()) {
    formResources = resources;
  }
  const Matrix matrix = MatrixEntry(stream.dict);
  const GState saved = state_;
  const std::size_t savedStack = stack_.size();
  const std::size_t savedDropped = droppedSaves_;
  const Matrix savedText = textMatrix_;
  const Matrix savedLine = lineMatrix_;
  const Matrix savedBase = baseMatrix_;
  const Path savedPath = std::exchange(path_, Path{});
  const Matrix next = matrix * extra * state_.ctm;
  if (!Finite(next)) {
    path_ = savedPath;
    return;
  }
  state_.ctm = next;
  baseMatrix_ = next;
  // The bounding box clips the form.
  const Array& box = file_.Get(stream.dict, "BBox").AsArray();
  if (box.size() == 4) {
    const double x0 = file_.Resolve(box[0]).AsNumber(0);
    const double y0 = file_.Resolve(box[1]).AsNumber(0);
    const double x1 = file_.Resolve(box[2]).AsNumber(0);
    const double y1 = file_.Resolve(box[3]).AsNumber(0);
    Path clip;
    clip.verbs = {PathVerb::kMove, PathVerb::kLine, PathVerb::kLine, PathVerb::kLine,
                  PathVerb::kClose};
    clip.points = {ToPage(x0, y0), ToPage(x1, y0), ToPage(x1, y1), ToPage(x0, y1)};
    if (Emit(ClipCommand{std::move(clip), FillRule::kNonZero})) {
      ++state_.clips;
    }
  }
  activeForms_.push_back(num);
  std::vector<Object> operands = std::move(operands_);
  operands_.clear();
  Run(*data, formResources, depth + 1);
  operands_ = std::move(operands);
  activeForms_.pop_back();
  droppedSaves_ = savedDropped;
  RestoreTo(saved, savedStack);
  textMatrix_ = savedText;
  lineMatrix_ = savedLine;
  baseMatrix_ = savedBase;
  path_ = savedPath;
}

void Drawing::Shade(const Object& resources) {
  if (operands_.empty() || !operands_.back().IsName()) {
    return;
  }
  const Object shadings = file_.Get(resources.AsDict(), "Shading");
  const Object& shading = shadings.AsDict().Get(operands_.back().AsName());
  if (std::optional<ShadingCommand> command = ReadShading(file_, shading, state_.ctm)) {
    Emit(std::move(*command));
  }
}

void Drawing::SetFont(const Object& resources) {
  const std::size_t n = operands_.size();
  state_.text.font = nullptr;
  if (n < 2 || !operands_[n - 2].IsName()) {
    return;
  }
  const Object fontDict = file_.Get(resources.AsDict(), "Font");
  const Object& font = fontDict.AsDict().Get(operands_[n - 2].AsName());
  if (!font.IsNull()) {
    state_.text.font = drawingFonts_.Get(file_, font);
  }
}

void Drawing::Show(const std::string& bytes, const Object& resources, int depth) {
  const TextParams& t = state_.text;
  if (!t.font) {
    return;
  }
  const DrawingFont& font = *t.font;
  font.font->Decode(bytes, glyphs_);
  const std::vector<Glyph> glyphs = glyphs_;  // Type 3 glyphs may show text themselves
  const bool visible = t.mode != 3 && t.mode != 7;
  const bool fills = t.mode == 0 || t.mode == 2 || t.mode == 4 || t.mode == 6;
  const bool strokes = t.mode == 1 || t.mode == 2 || t.mode == 5 || t.mode == 6;
  TextCommand command;
  command.font = font.draw;
  command.colour = state_.fill.rgb;
  command.strokeColour = state_.stroke.rgb;
  command.fill = fills && !state_.fill.space->PaintsNothing() && state_.fill.alpha > 0;
  command.stroke = strokes && !state_.stroke.space->PaintsNothing() && state_.stroke.alpha > 0;
  for (const Glyph& glyph : glyphs) {
    if (++work_ > kDrawingWorkBudget) {
      out_.truncated = true;
      return;
    }
    const Matrix m = textMatrix_ * state_.ctm;
    const Matrix render = Matrix{t.size * t.horizontalScale, 0, 0, t.size, 0, t.rise} * m;
    const double advance =
        (glyph.width * t.size + t.charSpacing + (glyph.wordSpace ? t.wordSpacing : 0)) *
        t.horizontalScale;
    if (visible && Finite(render)) {
      if (font.type3) {
        ShowType3(font, glyph.code, font.fontMatrix * render, resources, depth);
      } else {
        TextCommand::Glyph placed;
        placed.origin = {render.e, render.f};
        placed.advance = glyph.width * t.size * t.horizontalScale * std::hypot(m.a, m.b);
        for (const char32_t c : glyph.text) {
          AppendUtf8(placed.text, c);
        }
        placed.glyphId = font.GlyphIdOf(glyph.code);
        command.matrix = ToAffine(render);
        command.glyphs.push_back(std::move(placed));
      }
    }
    textMatrix_ = Matrix::Translate(advance, 0) * textMatrix_;
  }
  if (!command.glyphs.empty() && (command.fill || command.stroke)) {
    Emit(std::move(command));
  }
}

void Drawing::ShowType3(const DrawingFont& font, std::uint32_t code, const Matrix& glyphToPage,
                        const Object& resources, int depth) {
  if (code >= font.glyphNames.size() || font.glyphNames[code].empty()) {
    return;
  }
  if (depth >= kMaxDrawingDepth) {
    out_.truncated = true;
    return;
  }
  const Object& procReference = font.charProcs.AsDict().Get(font.glyphNames[code]);
  const Object proc = file_.Resolve(procReference);
  const Stream* stream = proc.AsStream();
  if (stream == nullptr) {
    return;
  }
  // A glyph procedure runs like a form: the glyph's matrix, the font's resources (else the
  // page's), and the state restored afterwards.
  const std::vector<std::uint8_t> data = file_.Decode(*stream);
  const GState saved = state_;
  const std::size_t savedStack = stack_.size();
  const std::size_t savedDropped = droppedSaves_;
  const Matrix savedText = textMatrix_;
  const Matrix savedLine = lineMatrix_;
  const Path savedPath = std::exchange(path_, Path{});
  state_.ctm = glyphToPage;
  std::vector<Object> operands = std::move(operands_);
  operands_.clear();
  Run(data, font.resources.IsDict() ? font.resources : resources, depth + 1);
  operands_ = std::move(operands);
  droppedSaves_ = savedDropped;
  RestoreTo(saved, savedStack);
  textMatrix_ = savedText;
  lineMatrix_ = savedLine;
  path_ = savedPath;
}

void Drawing::DrawAnnotations(const PageInfo& page, const Matrix& base) {
  const Object annots = file_.Get(page.page.AsDict(), "Annots");
  for (const Object& item : annots.AsArray()) {
    const Object annot = file_.Resolve(item);
    const Dict& dict = annot.AsDict();
    const std::int64_t flags = file_.Get(dict, "F").AsInt(0);
    if ((flags & (kHiddenAnnotation | kNoViewAnnotation)) != 0 ||
        file_.Get(dict, "Subtype").IsName("Popup")) {
      continue;
    }
    const Object appearances = file_.Get(dict, "AP");
    Object normal = appearances.AsDict().Get("N");
    Object resolvedNormal = file_.Resolve(normal);
    if (!resolvedNormal.IsStream() && resolvedNormal.IsDict()) {
      const Object state = file_.Get(dict, "AS");
      normal = resolvedNormal.AsDict().Get(state.AsName());
      resolvedNormal = file_.Resolve(normal);
    }
    const Stream* stream = resolvedNormal.AsStream();
    const Array& rect = file_.Get(dict, "Rect").AsArray();
    if (stream == nullptr || rect.size() != 4) {
      continue;
    }
    double r[4];
    for (std::size_t i = 0; i < 4; ++i) {
      r[i] = file_.Resolve(rect[i]).AsNumber(0);
    }
    // The appearance's box, through its matrix, is fitted into the annotation's rectangle.
    const Array& box = file_.Get(stream->dict, "BBox").AsArray();
    const Matrix matrix = MatrixEntry(stream->dict);
    if (box.size() != 4) {
      continue;
    }
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    for (const std::size_t xi : {0U, 2U}) {
      for (const std::size_t yi : {1U, 3U}) {
        const double x = file_.Resolve(box[xi]).AsNumber(0);
        const double y = file_.Resolve(box[yi]).AsNumber(0);
        minX = std::min(minX, matrix.X(x, y));
        maxX = std::max(maxX, matrix.X(x, y));
        minY = std::min(minY, matrix.Y(x, y));
        maxY = std::max(maxY, matrix.Y(x, y));
      }
    }
    const double left = std::min(r[0], r[2]);
    const double bottom = std::min(r[1], r[3]);
    const double sx = maxX > minX ? (std::fabs(r[2] - r[0])) / (maxX - minX) : 1;
    const double sy = maxY > minY ? (std::fabs(r[3] - r[1])) / (maxY - minY) : 1;
    const Matrix fit{sx, 0, 0, sy, left - minX * sx, bottom - minY * sy};
    state_ = GState{};
    state_.ctm = base;
    // RunForm applies the form's own matrix first, then `fit`, then the page's base.
    RunForm(normal, *stream, file_.Resolve(page.resources), fit, 0);
  }
}

void Drawing::RunPage(const PageInfo& page) {
  const Matrix base = Matrix::Translate(-page.mediaBox.left, -page.mediaBox.bottom);
  state_.ctm = base;
  baseMatrix_ = base;
  // The parts of an array of content streams form one stream, split at token boundaries.
  std::vector<std::uint8_t> content;
  const Object contents = file_.Get(page.page.AsDict(), "Contents");
  if (const Stream* stream = contents.AsStream()) {
    content = file_.Decode(*stream);
  } else {
    for (const Object& part : contents.AsArray()) {
      const Object partObject = file_.Resolve(part);
      if (const Stream* stream = partObject.AsStream()) {
        const std::vector<std::uint8_t> data = file_.Decode(*stream);
        if (content.size() + data.size() > kMaxDecodedStream) {
          break;
        }
        content.insert(content.end(), data.begin(), data.end());
        content.push_back('\n');
      }
    }
  }
  Run(content, file_.Resolve(page.resources), 0);
  RestoreTo(GState{}, 0);
  DrawAnnotations(page, base);
}

}  // namespace

DisplayList DrawPage(PdfFile& file, DrawingFontCache& fonts, const PageInfo& page) {
  DisplayList list;
  list.width = page.mediaBox.right - page.mediaBox.left;
  list.height = page.mediaBox.top - page.mediaBox.bottom;
  // The page tree keeps a page by reference, and its own resources in the page dictionary: the
  // drawing works on the dictionary itself with the resources that apply.
  PageInfo resolved = page;
  resolved.page = file.Resolve(page.page);
  if (page.resourcesInPage) {
    resolved.resources = file.Get(resolved.page.AsDict(), "Resources");
    resolved.resourcesInPage = false;
  }
  Drawing drawing(file, fonts, list);
  drawing.RunPage(resolved);
  return list;
}

}  // namespace lvx::pdf
