#include "content_text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "file.h"
#include "lexer.h"
#include "matrix.h"
#include "parser.h"

namespace lvx::pdf {
namespace {

constexpr int kMaxFormDepth = 12;
constexpr std::size_t kMaxOperands = 4096;
constexpr std::size_t kMaxStateDepth = 256;
// Operators and glyphs interpreted per page, a bound on nested forms drawn many times over.
constexpr std::uint64_t kWorkBudget = 50'000'000;
constexpr std::size_t kBytesPerWorkUnit = 16;
// Bytes of form content decoded per page: forms are decoded once, but many large ones add up.
constexpr std::size_t kFormBytesBudget = std::size_t{512} << 20;

struct TextState {
  std::shared_ptr<const Font> font;
  double size = 0;
  double charSpacing = 0;
  double wordSpacing = 0;
  double horizontalScale = 1;
  double leading = 0;
  double rise = 0;
};

struct GraphicsState {
  Matrix ctm;
  TextState text;
};

bool IsFinite(const Matrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
         std::isfinite(m.e) && std::isfinite(m.f);
}

class Interpreter {
 public:
  Interpreter(PdfFile& file, FontCache& fonts, TextAssembler& sink)
      : file_(file), fonts_(fonts), sink_(sink) {}

  void Run(std::span<const std::uint8_t> content, const Object& resources, int depth);

 private:
  double Number(std::size_t index) const {
    return index < operands_.size() ? operands_[index].AsNumber(0) : 0;
  }
  Matrix MatrixOperands() const {
    const std::size_t n = operands_.size();
    if (n < 6) {
      return {};
    }
    return {Number(n - 6), Number(n - 5), Number(n - 4),
            Number(n - 3), Number(n - 2), Number(n - 1)};
  }
  void Operator(const std::string& op, const Object& resources, int depth,
                std::span<const std::uint8_t> content, Lexer& lexer);
  void SetFont(const Object& resources);
  void MoveLine(double tx, double ty) {
    lineMatrix_ = Matrix::Translate(tx, ty) * lineMatrix_;
    textMatrix_ = lineMatrix_;
  }
  void NextLine() { MoveLine(0, -state_.text.leading); }
  void Show(const std::string& bytes);
  void Adjust(double amount) {  // a number in a TJ array, thousandths of the font size
    const double tx = -amount / 1000.0 * state_.text.size * state_.text.horizontalScale;
    textMatrix_ = Matrix::Translate(tx, 0) * textMatrix_;
  }
  void DrawForm(const Object& resources, const std::string& name, int depth);
  static void SkipInlineImage(Lexer& lexer, std::span<const std::uint8_t> content);

  PdfFile& file_;
  FontCache& fonts_;
  TextAssembler& sink_;
  GraphicsState state_;
  std::vector<GraphicsState> stack_;
  std::size_t droppedSaves_ = 0;
  Matrix textMatrix_;
  Matrix lineMatrix_;
  std::vector<Object> operands_;
  std::vector<Glyph> glyphs_;
  std::vector<std::uint32_t> activeForms_;
  std::unordered_map<std::uint32_t, std::shared_ptr<const std::vector<std::uint8_t>>> forms_;
  std::size_t formBytes_ = 0;
  std::uint64_t work_ = 0;
};

void Interpreter::Run(std::span<const std::uint8_t> content, const Object& resources, int depth) {
  // Reading the content costs work too (a large form of white space drawn many times over).
  work_ += content.size() / kBytesPerWorkUnit;
  if (work_ > kWorkBudget) {
    return;
  }
  Lexer lexer(content);
  Token token;
  const ParseOptions options{.allowRefs = false, .transformString = nullptr};
  for (;;) {
    if (++work_ > kWorkBudget) {
      return;
    }
    lexer.Next(token);
    if (token.type == TokenType::kEnd) {
      break;
    }
    if (token.type == TokenType::kKeyword && token.text != "true" && token.text != "false" &&
        token.text != "null") {
      Operator(token.text, resources, depth, content, lexer);
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

void Interpreter::Operator(const std::string& op, const Object& resources, int depth,
                           std::span<const std::uint8_t> content, Lexer& lexer) {
  const std::size_t n = operands_.size();
  if (op == "Tj") {
    if (n >= 1) {
      Show(operands_[n - 1].AsString());
    }
  } else if (op == "TJ") {
    if (n >= 1) {
      for (const Object& item : operands_[n - 1].AsArray()) {
        if (item.IsString()) {
          Show(item.AsString());
        } else if (item.IsNumber()) {
          Adjust(item.AsNumber(0));
        }
      }
    }
  } else if (op == "Td") {
    if (n >= 2) {
      MoveLine(Number(n - 2), Number(n - 1));
    }
  } else if (op == "TD") {
    if (n >= 2) {
      state_.text.leading = -Number(n - 1);
      MoveLine(Number(n - 2), Number(n - 1));
    }
  } else if (op == "Tm") {
    if (n >= 6) {
      lineMatrix_ = MatrixOperands();
      textMatrix_ = lineMatrix_;
    }
  } else if (op == "T*") {
    NextLine();
  } else if (op == "'") {
    NextLine();
    if (n >= 1) {
      Show(operands_[n - 1].AsString());
    }
  } else if (op == "\"") {
    if (n >= 3) {
      state_.text.wordSpacing = Number(n - 3);
      state_.text.charSpacing = Number(n - 2);
      NextLine();
      Show(operands_[n - 1].AsString());
    }
  } else if (op == "BT") {
    textMatrix_ = Matrix{};
    lineMatrix_ = Matrix{};
  } else if (op == "Tf") {
    if (n >= 2) {
      state_.text.size = Number(n - 1);
      SetFont(resources);
    }
  } else if (op == "Tc") {
    if (n >= 1) {
      state_.text.charSpacing = Number(n - 1);
    }
  } else if (op == "Tw") {
    if (n >= 1) {
      state_.text.wordSpacing = Number(n - 1);
    }
  } else if (op == "Tz") {
    if (n >= 1) {
      state_.text.horizontalScale = Number(n - 1) / 100.0;
    }
  } else if (op == "TL") {
    if (n >= 1) {
      state_.text.leading = Number(n - 1);
    }
  } else if (op == "Ts") {
    if (n >= 1) {
      state_.text.rise = Number(n - 1);
    }
  } else if (op == "q") {
    if (stack_.size() < kMaxStateDepth) {
      stack_.push_back(state_);
    } else {
      ++droppedSaves_;
    }
  } else if (op == "Q") {
    if (droppedSaves_ > 0) {
      --droppedSaves_;
    } else if (!stack_.empty()) {
      state_ = std::move(stack_.back());
      stack_.pop_back();
    }
  } else if (op == "cm") {
    if (n >= 6) {
      const Matrix next = MatrixOperands() * state_.ctm;
      if (IsFinite(next)) {
        state_.ctm = next;
      }
    }
  } else if (op == "Do") {
    if (n >= 1 && operands_[n - 1].IsName()) {
      DrawForm(resources, operands_[n - 1].AsName(), depth);
    }
  } else if (op == "BI") {
    SkipInlineImage(lexer, content);
  }
}

void Interpreter::SetFont(const Object& resources) {
  const std::size_t n = operands_.size();
  state_.text.font = nullptr;
  if (n < 2 || !operands_[n - 2].IsName()) {
    return;
  }
  const Object fontDict = file_.Get(resources.AsDict(), "Font");
  const Object& font = fontDict.AsDict().Get(operands_[n - 2].AsName());
  if (!font.IsNull()) {
    state_.text.font = fonts_.Get(file_, font);
  }
}

void Interpreter::Show(const std::string& bytes) {
  const TextState& ts = state_.text;
  if (!ts.font) {
    return;
  }
  ts.font->Decode(bytes, glyphs_);
  for (const Glyph& glyph : glyphs_) {
    if (++work_ > kWorkBudget) {
      return;
    }
    const Matrix m = textMatrix_ * state_.ctm;
    const Matrix render = Matrix{ts.size * ts.horizontalScale, 0, 0, ts.size, 0, ts.rise} * m;
    const double advance =
        (glyph.width * ts.size + ts.charSpacing + (glyph.wordSpace ? ts.wordSpacing : 0)) *
        ts.horizontalScale;
    PlacedGlyph placed;
    placed.text = glyph.text;
    placed.x = render.e;
    placed.y = render.f;
    const double length = std::hypot(m.a, m.b);
    placed.dirX = length > 0 ? m.a / length : 1;
    placed.dirY = length > 0 ? m.b / length : 0;
    // The glyph's own extent, without character spacing: writers that justify with Tc leave
    // their word gaps there.
    const double extent = glyph.width * ts.size * ts.horizontalScale;
    placed.endX = placed.x + extent * m.a;
    placed.endY = placed.y + extent * m.b;
    placed.size = std::hypot(render.c, render.d) * ts.font->EmScale();
    placed.textA = m.a;
    placed.textB = m.b;
    placed.textC = m.c;
    placed.textD = m.d;
    placed.advance = extent;
    placed.emHeight = std::fabs(ts.size) * ts.font->EmScale();
    placed.emWidth = placed.emHeight * std::fabs(ts.horizontalScale);
    placed.font = ts.font.get();
    if (std::isfinite(placed.x) && std::isfinite(placed.y) && std::isfinite(placed.endX) &&
        std::isfinite(placed.endY) && std::isfinite(placed.size)) {
      sink_.Add(placed);
    }
    textMatrix_ = Matrix::Translate(advance, 0) * textMatrix_;
  }
}

void Interpreter::DrawForm(const Object& resources, const std::string& name, int depth) {
  if (depth >= kMaxFormDepth) {
    return;
  }
  const Object xobjects = file_.Get(resources.AsDict(), "XObject");
  const Object& reference = xobjects.AsDict().Get(name);
  const Object form = file_.Resolve(reference);
  const Stream* stream = form.AsStream();
  if (stream == nullptr || !stream->dict.Get("Subtype").IsName("Form")) {
    return;
  }
  const std::uint32_t num = reference.IsRef() ? reference.AsRef().num : 0;
  if (num != 0 && std::find(activeForms_.begin(), activeForms_.end(), num) != activeForms_.end()) {
    return;  // a form that draws itself
  }
  std::shared_ptr<const std::vector<std::uint8_t>>& content = forms_[num];
  if (!content || num == 0) {
    if (formBytes_ >= kFormBytesBudget) {
      return;
    }
    content = std::make_shared<const std::vector<std::uint8_t>>(file_.Decode(*stream));
    formBytes_ += content->size();
  }
  // Held here: the cache entry may move while the form runs.
  const std::shared_ptr<const std::vector<std::uint8_t>> data = content;
  Object formResources = file_.Get(stream->dict, "Resources");
  if (!formResources.IsDict()) {
    formResources = resources;
  }
  Matrix matrix;
  const Array& values = file_.Get(stream->dict, "Matrix").AsArray();
  if (values.size() == 6) {
    matrix = {file_.Resolve(values[0]).AsNumber(1), file_.Resolve(values[1]).AsNumber(0),
              file_.Resolve(values[2]).AsNumber(0), file_.Resolve(values[3]).AsNumber(1),
              file_.Resolve(values[4]).AsNumber(0), file_.Resolve(values[5]).AsNumber(0)};
  }
  const GraphicsState saved = state_;
  const Matrix savedText = textMatrix_;
  const Matrix savedLine = lineMatrix_;
  const std::size_t savedDepth = stack_.size();
  const Matrix next = matrix * state_.ctm;
  if (IsFinite(next)) {
    state_.ctm = next;
  }
  activeForms_.push_back(num);
  std::vector<Object> operands = std::move(operands_);
  operands_.clear();
  Run(*data, formResources, depth + 1);
  operands_ = std::move(operands);
  activeForms_.pop_back();
  stack_.resize(std::min(stack_.size(), savedDepth));
  state_ = saved;
  textMatrix_ = savedText;
  lineMatrix_ = savedLine;
}

void Interpreter::SkipInlineImage(Lexer& lexer, std::span<const std::uint8_t> content) {
  // The image dictionary up to "ID", then binary data up to "EI" standing alone.
  Token token;
  for (lexer.Next(token); token.type != TokenType::kEnd && !token.IsKeyword("ID");
       lexer.Next(token)) {
  }
  std::size_t pos = lexer.Position() + 1;
  while (pos + 1 < content.size()) {
    if (content[pos] == 'E' && content[pos + 1] == 'I' && IsPdfWhitespace(content[pos - 1]) &&
        (pos + 2 == content.size() || IsPdfWhitespace(content[pos + 2]))) {
      lexer.Seek(pos + 2);
      return;
    }
    ++pos;
  }
  lexer.Seek(content.size());
}

}  // namespace

void ExtractText(PdfFile& file, FontCache& fonts, const Object& contents, const Object& resources,
                 TextAssembler& sink) {
  // The parts of an array of content streams form one stream, split at token boundaries.
  std::vector<std::uint8_t> content;
  const Object resolved = file.Resolve(contents);
  if (const Stream* stream = resolved.AsStream()) {
    content = file.Decode(*stream);
  } else if (resolved.IsArray()) {
    for (const Object& part : resolved.AsArray()) {
      const Object partObject = file.Resolve(part);
      if (const Stream* stream = partObject.AsStream()) {
        const std::vector<std::uint8_t> data = file.Decode(*stream);
        if (content.size() + data.size() > kMaxDecodedStream) {
          break;
        }
        content.insert(content.end(), data.begin(), data.end());
        content.push_back('\n');
      }
    }
  }
  ExtractContentText(file, fonts, content, resources, sink);
}

void ExtractContentText(PdfFile& file, FontCache& fonts, std::span<const std::uint8_t> content,
                        const Object& resources, TextAssembler& sink) {
  Interpreter interpreter(file, fonts, sink);
  interpreter.Run(content, file.Resolve(resources), 0);
}

}  // namespace lvx::pdf
