#include "content_interpreter.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "file.h"
#include "inline_image.h"
#include "object_numbers.h"
#include "page_limits.h"
#include "parser.h"

namespace lvx::pdf {

std::vector<std::uint8_t> JoinContents(PdfFile& file, const Object& contents) {
  std::vector<std::uint8_t> content;
  const Object resolved = file.Resolve(contents);
  if (const Stream* stream = resolved.AsStream()) {
    return file.Decode(*stream, static_cast<std::size_t>(kPageContentBytes));
  }
  for (const Object& part : resolved.AsArray()) {
    const Object partObject = file.Resolve(part);
    if (const Stream* stream = partObject.AsStream()) {
      const std::vector<std::uint8_t> data =
          file.Decode(*stream, static_cast<std::size_t>(kPageContentBytes - content.size()));
      if (content.size() + data.size() >= kPageContentBytes) {
        break;
      }
      content.insert(content.end(), data.begin(), data.end());
      content.push_back('\n');
    }
  }
  return content;
}

ContentInterpreter::ContentInterpreter(PdfFile& file, FontCache& fonts,
                                       DrawingFontCache* drawingFonts, ContentSink& sink,
                                       WorkBudget& budget)
    : file_(file),
      fonts_(fonts),
      drawingFonts_(drawingFonts),
      sink_(sink),
      budget_(budget),
      draws_(sink.Draws() && drawingFonts != nullptr) {}

void ContentInterpreter::Reset(const Matrix& base) {
  GState fresh;
  fresh.ctm = base;
  fresh.base = base;
  RestoreTo(std::move(fresh), 0);
  streamBase_ = 0;
  droppedSaves_ = 0;
  path_.Take();
  pendingClip_.reset();
}

void ContentInterpreter::Run(std::span<const std::uint8_t> content, const Object& resources,
                             int depth) {
  // Reading the content costs work too (a large form of white space drawn many times over).
  if (!budget_.Spend(content.size())) {
    return;
  }
  Lexer lexer(content);
  Token token;
  const ParseOptions options{.allowRefs = false, .transformString = nullptr};
  for (;;) {
    if (!budget_.Spend(kOperatorCost) || sink_.Full()) {
      return;
    }
    lexer.Next(token);
    if (token.type == TokenType::kEnd) {
      break;
    }
    if (token.type == TokenType::kKeyword && token.text != "true" && token.text != "false" &&
        token.text != "null") {
      if (const std::optional<Op> op = OperatorNamed(token.text)) {
        Dispatch(*op, resources, depth, lexer);
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

void ContentInterpreter::Dispatch(Op op, const Object& resources, int depth, Lexer& lexer) {
  switch (op) {
    case Op::kSave:
      Save();
      return;
    case Op::kRestore:
      Restore();
      return;
    case Op::kTransform:
      if (Numbers(6)) {
        const Matrix next = MatrixOperands() * state_.ctm;
        if (Finite(next)) {
          state_.ctm = next;
        }
      }
      return;
    case Op::kXObject:
      XObject(resources, depth);
      return;
    case Op::kInlineImage:
      InlineImage(lexer, resources);
      return;
    case Op::kExtGState:
      ApplyExtGState(resources);  // the font it may set matters to text too
      return;
    default:
      break;
  }
  if (op >= Op::kBeginText) {
    TextOperator(op, resources, depth);
  } else if (!draws_) {
    // Paths, colours and shadings: nothing for a sink that does not draw.
  } else if (op >= Op::kMove && op <= Op::kClipEvenOdd) {
    PathOperator(op);
  } else {
    GraphicsOperator(op, resources);
  }
}

bool ContentInterpreter::Numbers(std::size_t count) const {
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

const std::string* ContentInterpreter::NameOperand() const {
  return !operands_.empty() && operands_.back().IsName() ? &operands_.back().AsName() : nullptr;
}

void ContentInterpreter::Save() {
  if (stack_.size() < kMaxSavedStates) {
    stack_.push_back(state_);
  } else {
    ++droppedSaves_;
  }
}

void ContentInterpreter::Restore() {
  if (droppedSaves_ > 0) {
    --droppedSaves_;
    return;
  }
  if (stack_.size() <= streamBase_) {
    return;  // a Q without its q: the states below belong to the stream that ran this one
  }
  GState saved = std::move(stack_.back());
  stack_.pop_back();
  RestoreTo(std::move(saved), stack_.size());
}

void ContentInterpreter::RestoreTo(GState saved, std::size_t stackSize) {
  if (stack_.size() > stackSize) {
    stack_.resize(stackSize);
  }
  if (state_.clips > saved.clips) {
    sink_.EndClips(state_.clips - saved.clips);
  }
  state_ = std::move(saved);
}

ContentInterpreter::Frame ContentInterpreter::Enter() {
  Frame frame;
  frame.state = state_;
  frame.stackSize = stack_.size();
  frame.streamBase = std::exchange(streamBase_, stack_.size());
  frame.droppedSaves = std::exchange(droppedSaves_, 0);
  frame.textMatrix = textMatrix_;
  frame.lineMatrix = lineMatrix_;
  frame.path = std::exchange(path_, PathBuilder{});
  frame.pendingClip = std::exchange(pendingClip_, std::nullopt);
  frame.operands = std::exchange(operands_, {});
  return frame;
}

void ContentInterpreter::Leave(Frame frame) {
  const bool truncated = path_.Truncated();
  RestoreTo(std::move(frame.state), frame.stackSize);
  streamBase_ = frame.streamBase;
  droppedSaves_ = frame.droppedSaves;
  textMatrix_ = frame.textMatrix;
  lineMatrix_ = frame.lineMatrix;
  path_ = std::move(frame.path);
  pendingClip_ = frame.pendingClip;
  operands_ = std::move(frame.operands);
  truncated_ = truncated_ || truncated;
}

void ContentInterpreter::XObject(const Object& resources, int depth) {
  const std::string* name = NameOperand();
  if (name == nullptr) {
    return;
  }
  const Object xobjects = file_.Get(resources.AsDict(), "XObject");
  const Object& reference = xobjects.AsDict().Get(*name);
  const Object object = file_.Resolve(reference);
  const Stream* stream = object.AsStream();
  if (stream == nullptr) {
    return;
  }
  const Object subtype = file_.Get(stream->dict, "Subtype");
  if (subtype.IsName("Form")) {
    RunForm(reference, *stream, resources, Matrix{}, depth);
  } else if (subtype.IsName("Image") && draws_) {
    sink_.Image(reference, *stream, resources, state_);
  }
}

void ContentInterpreter::InlineImage(Lexer& lexer, const Object& resources) {
  const InlineImageData image = ReadInlineImage(file_, lexer, resources);
  if (draws_ && !image.data.empty()) {
    sink_.InlineImage(image.dict, image.data, resources, state_);
  }
}

void ContentInterpreter::RunForm(const Object& reference, const Stream& stream,
                                 const Object& resources, const Matrix& extra, int depth) {
  if (depth >= kMaxDrawingDepth) {
    truncated_ = true;
    return;
  }
  const std::uint32_t num = reference.IsRef() ? reference.AsRef().num : 0;
  if (num != 0 && std::find(activeForms_.begin(), activeForms_.end(), num) != activeForms_.end()) {
    return;  // a form that draws itself
  }
  const Matrix next = MatrixEntry(file_, stream.dict) * extra * state_.ctm;
  if (!Finite(next)) {
    return;
  }
  // Each form is decoded once per page, within the page's bytes for forms.
  std::shared_ptr<const std::vector<std::uint8_t>> data;
  if (const auto found = forms_.find(num); num != 0 && found != forms_.end()) {
    data = found->second;
  } else {
    if (formBytes_ >= kPageFormBytes) {
      truncated_ = true;
      return;
    }
    data = std::make_shared<const std::vector<std::uint8_t>>(
        file_.Decode(stream, static_cast<std::size_t>(kPageFormBytes - formBytes_)));
    formBytes_ += data->size();
    if (num != 0) {
      forms_[num] = data;
    }
  }
  Object formResources = file_.Get(stream.dict, "Resources");
  if (!formResources.IsDict()) {
    formResources = resources;
  }
  Frame frame = Enter();
  state_.ctm = next;
  state_.base = next;
  // The bounding box clips the form.
  const Array& box = file_.Get(stream.dict, "BBox").AsArray();
  if (draws_ && box.size() == 4) {
    const double x0 = file_.Resolve(box[0]).AsNumber(0);
    const double y0 = file_.Resolve(box[1]).AsNumber(0);
    const double x1 = file_.Resolve(box[2]).AsNumber(0);
    const double y1 = file_.Resolve(box[3]).AsNumber(0);
    Path clip;
    clip.verbs = {PathVerb::kMove, PathVerb::kLine, PathVerb::kLine, PathVerb::kLine,
                  PathVerb::kClose};
    clip.points = {ToPage(x0, y0), ToPage(x1, y0), ToPage(x1, y1), ToPage(x0, y1)};
    if (sink_.UsePath(std::move(clip), PathUse{.clip = true}, state_)) {
      ++state_.clips;
    }
  }
  activeForms_.push_back(num);
  Run(*data, formResources, depth + 1);
  activeForms_.pop_back();
  Leave(std::move(frame));
}

}  // namespace lvx::pdf
