#include "graphics_function.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "file.h"
#include "lexer.h"

namespace lvx::pdf {
namespace {

constexpr int kMaxFunctionDepth = 8;
constexpr std::size_t kMaxDimensions = 8;
constexpr std::size_t kMaxSamples = std::size_t{1} << 24;
constexpr std::size_t kMaxCalculatorStack = 100;
constexpr int kMaxCalculatorSteps = 20000;
constexpr std::size_t kMaxProgramLength = 65536;

std::vector<double> Numbers(PdfFile& file, const Dict& dict, std::string_view key) {
  std::vector<double> values;
  const Object array = file.Get(dict, key);
  for (const Object& item : array.AsArray()) {
    const Object value = file.Resolve(item);
    if (!value.IsNumber()) {
      return {};
    }
    values.push_back(value.AsNumber(0));
  }
  return values;
}

double Clip(double value, double low, double high) {
  if (!std::isfinite(value)) {
    return low;
  }
  return std::clamp(value, std::min(low, high), std::max(low, high));
}

double Interpolate(double x, double x0, double x1, double y0, double y1) {
  return x1 == x0 ? y0 : y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

class Sampled final : public PdfFunction {
 public:
  bool Read(PdfFile& file, const Stream& stream) {
    const Dict& dict = stream.dict;
    if (range_.empty()) {
      return false;
    }
    outputs_ = range_.size() / 2;
    for (const double s : Numbers(file, dict, "Size")) {
      size_.push_back(static_cast<std::size_t>(std::clamp(s, 1.0, 65536.0)));
    }
    const std::size_t inputs = Inputs();
    if (size_.size() != inputs || inputs == 0 || inputs > kMaxDimensions) {
      return false;
    }
    bits_ = static_cast<int>(file.Get(dict, "BitsPerSample").AsInt(0));
    if (bits_ != 1 && bits_ != 2 && bits_ != 4 && bits_ != 8 && bits_ != 12 && bits_ != 16 &&
        bits_ != 24 && bits_ != 32) {
      return false;
    }
    encode_ = Numbers(file, dict, "Encode");
    if (encode_.size() != 2 * inputs) {
      encode_.clear();
      for (const std::size_t s : size_) {
        encode_.push_back(0);
        encode_.push_back(static_cast<double>(s - 1));
      }
    }
    decode_ = Numbers(file, dict, "Decode");
    if (decode_.size() != range_.size()) {
      decode_ = range_;
    }
    std::size_t count = outputs_;
    for (const std::size_t s : size_) {
      count *= s;
      if (count > kMaxSamples) {
        return false;
      }
    }
    const std::vector<std::uint8_t> data = file.Decode(stream);
    samples_.assign(count, 0);
    const double scale = 1.0 / (std::ldexp(1.0, bits_) - 1);
    std::size_t bit = 0;
    for (std::size_t i = 0; i < count && (bit + static_cast<std::size_t>(bits_)) <= data.size() * 8;
         ++i) {
      std::uint64_t value = 0;
      for (int k = 0; k < bits_; ++k, ++bit) {
        value = (value << 1U) | ((data[bit / 8] >> (7 - bit % 8)) & 1U);
      }
      samples_[i] = static_cast<double>(value) * scale;
    }
    return true;
  }

 protected:
  void Compute(std::span<const double> in, std::vector<double>& out) const override {
    const std::size_t inputs = Inputs();
    // Each input's position in the sample grid: the lower index and the weight of the upper.
    std::size_t low[kMaxDimensions] = {};
    double weight[kMaxDimensions] = {};
    for (std::size_t i = 0; i < inputs; ++i) {
      const double e = Interpolate(in[i], domain_[2 * i], domain_[2 * i + 1], encode_[2 * i],
                                   encode_[2 * i + 1]);
      const double clipped = Clip(e, 0, static_cast<double>(size_[i] - 1));
      low[i] = std::min(static_cast<std::size_t>(clipped), size_[i] - 1);
      weight[i] = low[i] + 1 < size_[i] ? clipped - static_cast<double>(low[i]) : 0;
    }
    // Multilinear interpolation over the corners of the cell (nearest sample beyond 4 inputs).
    const std::size_t corners = inputs <= 4 ? std::size_t{1} << inputs : 1;
    for (std::size_t o = 0; o < outputs_; ++o) {
      double value = 0;
      for (std::size_t corner = 0; corner < corners; ++corner) {
        double w = 1;
        std::size_t index = 0;
        std::size_t stride = outputs_;
        for (std::size_t i = 0; i < inputs; ++i) {
          const bool upper = corners > 1 && ((corner >> i) & 1U) != 0;
          std::size_t at = low[i];
          if (corners == 1) {
            at = weight[i] >= 0.5 ? low[i] + 1 : low[i];
          } else if (upper) {
            at = std::min(low[i] + 1, size_[i] - 1);
          }
          w *= corners == 1 ? 1 : (upper ? weight[i] : 1 - weight[i]);
          index += at * stride;
          stride *= size_[i];
        }
        if (w != 0) {
          value += w * samples_[index + o];
        }
      }
      out[o] = decode_[2 * o] + value * (decode_[2 * o + 1] - decode_[2 * o]);
    }
  }

 private:
  std::vector<std::size_t> size_;
  int bits_ = 8;
  std::vector<double> encode_;
  std::vector<double> decode_;
  std::vector<double> samples_;
};

class Exponential final : public PdfFunction {
 public:
  bool Read(PdfFile& file, const Dict& dict) {
    c0_ = Numbers(file, dict, "C0");
    c1_ = Numbers(file, dict, "C1");
    if (c0_.empty() && !dict.Has("C0")) {
      c0_ = {0};
    }
    if (c1_.empty() && !dict.Has("C1")) {
      c1_ = {1};
    }
    n_ = file.Get(dict, "N").AsNumber(1);
    if (c0_.size() != c1_.size() || c0_.empty() || !std::isfinite(n_) || Inputs() != 1) {
      return false;
    }
    outputs_ = c0_.size();
    return true;
  }

 protected:
  void Compute(std::span<const double> in, std::vector<double>& out) const override {
    const double x = in[0];
    double p = n_ == 1 ? x : std::pow(x, n_);
    if (!std::isfinite(p)) {
      p = 0;
    }
    for (std::size_t i = 0; i < outputs_; ++i) {
      out[i] = c0_[i] + p * (c1_[i] - c0_[i]);
    }
  }

 private:
  std::vector<double> c0_;
  std::vector<double> c1_;
  double n_ = 1;
};

class Stitching final : public PdfFunction {
 public:
  bool Read(PdfFile& file, const Dict& dict, int depth) {
    const Object functions = file.Get(dict, "Functions");
    for (const Object& item : functions.AsArray()) {
      auto function = PdfFunction::Load(file, item, depth + 1);
      if (!function || function->Inputs() != 1) {
        return false;
      }
      functions_.push_back(std::move(function));
    }
    bounds_ = Numbers(file, dict, "Bounds");
    encode_ = Numbers(file, dict, "Encode");
    if (functions_.empty() || Inputs() != 1 || bounds_.size() + 1 != functions_.size() ||
        encode_.size() != 2 * functions_.size()) {
      return false;
    }
    outputs_ = functions_.front()->Outputs();
    return std::ranges::all_of(
        functions_, [this](const auto& function) { return function->Outputs() == outputs_; });
  }

 protected:
  void Compute(std::span<const double> in, std::vector<double>& out) const override {
    const double x = in[0];
    std::size_t k = 0;
    while (k < bounds_.size() && x >= bounds_[k]) {
      ++k;
    }
    const double low = k == 0 ? domain_[0] : bounds_[k - 1];
    const double high = k == bounds_.size() ? domain_[1] : bounds_[k];
    const double e = Interpolate(x, low, high, encode_[2 * k], encode_[2 * k + 1]);
    functions_[k]->Evaluate(std::span<const double>(&e, 1), out);
  }

 private:
  std::vector<std::shared_ptr<const PdfFunction>> functions_;
  std::vector<double> bounds_;
  std::vector<double> encode_;
};

// The PostScript calculator: a program compiled to a flat list of operations, with jumps for
// "if" and "ifelse".
class Calculator final : public PdfFunction {
 public:
  bool Read(PdfFile& file, const Stream& stream) {
    if (range_.empty()) {
      return false;
    }
    outputs_ = range_.size() / 2;
    const std::vector<std::uint8_t> program = file.Decode(stream, kMaxProgramLength);
    Lexer lexer(program);
    Token token;
    lexer.Next(token);
    if (token.type != TokenType::kBraceOpen) {
      return false;
    }
    return Compile(lexer, 0) && lexer.AtEnd();
  }

 protected:
  void Compute(std::span<const double> in, std::vector<double>& out) const override {
    std::vector<double> stack(in.begin(), in.end());
    Run(stack);
    // The results are the top `outputs_` values, the deepest first.
    const std::size_t n = stack.size();
    for (std::size_t i = 0; i < outputs_; ++i) {
      out[i] = n >= outputs_ - i ? stack[n - (outputs_ - i)] : 0;
    }
  }

 private:
  enum class Op : std::uint8_t {
    kPush,
    kJump,
    kJumpIfFalse,
    kAbs,
    kAdd,
    kAtan,
    kCeiling,
    kCos,
    kCvi,
    kCvr,
    kDiv,
    kExp,
    kFloor,
    kIdiv,
    kLn,
    kLog,
    kMod,
    kMul,
    kNeg,
    kRound,
    kSin,
    kSqrt,
    kSub,
    kTruncate,
    kAnd,
    kOr,
    kNot,
    kXor,
    kBitshift,
    kEq,
    kNe,
    kGt,
    kGe,
    kLt,
    kLe,
    kCopy,
    kDup,
    kExch,
    kIndex,
    kPop,
    kRoll,
  };
  struct Step {
    Op op;
    double value = 0;  // the number pushed, or the jump target
  };

  static bool OpNamed(std::string_view word, Op& op) {
    static constexpr std::pair<std::string_view, Op> kNames[] = {
        {"abs", Op::kAbs},
        {"add", Op::kAdd},
        {"atan", Op::kAtan},
        {"ceiling", Op::kCeiling},
        {"cos", Op::kCos},
        {"cvi", Op::kCvi},
        {"cvr", Op::kCvr},
        {"div", Op::kDiv},
        {"exp", Op::kExp},
        {"floor", Op::kFloor},
        {"idiv", Op::kIdiv},
        {"ln", Op::kLn},
        {"log", Op::kLog},
        {"mod", Op::kMod},
        {"mul", Op::kMul},
        {"neg", Op::kNeg},
        {"round", Op::kRound},
        {"sin", Op::kSin},
        {"sqrt", Op::kSqrt},
        {"sub", Op::kSub},
        {"truncate", Op::kTruncate},
        {"and", Op::kAnd},
        {"or", Op::kOr},
        {"not", Op::kNot},
        {"xor", Op::kXor},
        {"bitshift", Op::kBitshift},
        {"eq", Op::kEq},
        {"ne", Op::kNe},
        {"gt", Op::kGt},
        {"ge", Op::kGe},
        {"lt", Op::kLt},
        {"le", Op::kLe},
        {"copy", Op::kCopy},
        {"dup", Op::kDup},
        {"exch", Op::kExch},
        {"index", Op::kIndex},
        {"pop", Op::kPop},
        {"roll", Op::kRoll},
    };
    for (const auto& [name, value] : kNames) {
      if (name == word) {
        op = value;
        return true;
      }
    }
    return false;
  }

  // Compiles up to the closing brace of the procedure being read.
  bool Compile(Lexer& lexer, int depth) {
    if (depth > 16) {
      return false;
    }
    Token token;
    std::vector<std::size_t> blocks;  // starts of procedures met, waiting for if / ifelse
    for (lexer.Next(token); token.type != TokenType::kEnd; lexer.Next(token)) {
      if (steps_.size() > kMaxProgramLength) {
        return false;
      }
      switch (token.type) {
        case TokenType::kBraceClose:
          return blocks.empty();
        case TokenType::kInteger:
          steps_.push_back({Op::kPush, static_cast<double>(token.integer)});
          break;
        case TokenType::kReal:
          steps_.push_back({Op::kPush, token.real});
          break;
        case TokenType::kBraceOpen: {
          // A procedure for if / ifelse: jumped over unless the condition chooses it.
          blocks.push_back(steps_.size());
          steps_.push_back({Op::kJump, 0});
          if (!Compile(lexer, depth + 1)) {
            return false;
          }
          break;
        }
        case TokenType::kKeyword:
          if (!Keyword(token.text, blocks)) {
            return false;
          }
          break;
        default:
          return false;
      }
    }
    return false;
  }

  bool Keyword(const std::string& word, std::vector<std::size_t>& blocks) {
    if (word == "true" || word == "false") {
      steps_.push_back({Op::kPush, word == "true" ? 1.0 : 0.0});
      return true;
    }
    if (word == "if" || word == "ifelse") {
      const std::size_t needed = word == "if" ? 1 : 2;
      if (blocks.size() < needed) {
        return false;
      }
      // Layout before: [cond] J1 <then> (J2 <else>). Rewritten so that J1 jumps when false.
      const std::size_t first = blocks[blocks.size() - needed];
      if (needed == 1) {
        steps_[first] = {Op::kJumpIfFalse, static_cast<double>(steps_.size())};
      } else {
        const std::size_t second = blocks.back();
        steps_[first] = {Op::kJumpIfFalse, static_cast<double>(second + 1)};
        steps_[second] = {Op::kJump, static_cast<double>(steps_.size())};
      }
      blocks.resize(blocks.size() - needed);
      return true;
    }
    Op op{};
    if (!OpNamed(word, op) || !blocks.empty()) {
      return false;
    }
    steps_.push_back({op, 0});
    return true;
  }

  void Run(std::vector<double>& s) const {
    int budget = kMaxCalculatorSteps;
    const auto pop = [&s]() {
      if (s.empty()) {
        return 0.0;
      }
      const double v = s.back();
      s.pop_back();
      return v;
    };
    const auto integer = [](double v) {
      return static_cast<std::int64_t>(std::clamp(v, -9.0e15, 9.0e15));
    };
    for (std::size_t pc = 0; pc < steps_.size() && --budget > 0;) {
      const Step& step = steps_[pc++];
      if (s.size() > kMaxCalculatorStack) {
        return;
      }
      switch (step.op) {
        case Op::kPush:
          s.push_back(step.value);
          break;
        case Op::kJump:
          pc = static_cast<std::size_t>(step.value);
          break;
        case Op::kJumpIfFalse:
          if (pop() == 0) {
            pc = static_cast<std::size_t>(step.value);
          }
          break;
        case Op::kAbs:
          s.push_back(std::fabs(pop()));
          break;
        case Op::kNeg:
          s.push_back(-pop());
          break;
        case Op::kCeiling:
          s.push_back(std::ceil(pop()));
          break;
        case Op::kFloor:
          s.push_back(std::floor(pop()));
          break;
        case Op::kRound:
          s.push_back(std::floor(pop() + 0.5));
          break;
        case Op::kTruncate:
        case Op::kCvi:
          s.push_back(std::trunc(pop()));
          break;
        case Op::kCvr:
          break;
        case Op::kSqrt:
          s.push_back(std::sqrt(std::max(0.0, pop())));
          break;
        case Op::kSin:
          s.push_back(std::sin(pop() * std::numbers::pi / 180));
          break;
        case Op::kCos:
          s.push_back(std::cos(pop() * std::numbers::pi / 180));
          break;
        case Op::kLn:
          s.push_back(std::log(std::max(1e-300, pop())));
          break;
        case Op::kLog:
          s.push_back(std::log10(std::max(1e-300, pop())));
          break;
        case Op::kNot: {
          const double v = pop();
          s.push_back(v == 0 ? 1 : (v == 1 ? 0 : static_cast<double>(~integer(v))));
          break;
        }
        case Op::kDup:
          s.push_back(s.empty() ? 0 : s.back());
          break;
        case Op::kPop:
          pop();
          break;
        case Op::kExch: {
          const double b = pop();
          const double a = pop();
          s.push_back(b);
          s.push_back(a);
          break;
        }
        case Op::kCopy: {
          const auto n = static_cast<std::size_t>(std::max<std::int64_t>(0, integer(pop())));
          if (n <= s.size() && s.size() + n <= kMaxCalculatorStack) {
            const std::size_t first = s.size() - n;
            for (std::size_t i = 0; i < n; ++i) {
              s.push_back(s[first + i]);
            }
          }
          break;
        }
        case Op::kIndex: {
          const std::int64_t n = integer(pop());
          s.push_back(n >= 0 && static_cast<std::size_t>(n) < s.size()
                          ? s[s.size() - 1 - static_cast<std::size_t>(n)]
                          : 0);
          break;
        }
        case Op::kRoll: {
          const std::int64_t j = integer(pop());
          const std::int64_t n = integer(pop());
          if (n > 0 && static_cast<std::size_t>(n) <= s.size()) {
            const auto first = s.end() - static_cast<std::ptrdiff_t>(n);
            const std::int64_t shift = ((j % n) + n) % n;
            std::rotate(first, s.end() - static_cast<std::ptrdiff_t>(shift), s.end());
          }
          break;
        }
        default: {
          const double b = pop();  // the top operand is the second one
          const double a = pop();
          Binary(step.op, s, b, a, integer);
          break;
        }
      }
    }
  }

  template <typename ToInteger>
  static void Binary(Op op, std::vector<double>& s, double b, double a, ToInteger integer) {
    double r = 0;
    switch (op) {
      case Op::kAdd:
        r = a + b;
        break;
      case Op::kSub:
        r = a - b;
        break;
      case Op::kMul:
        r = a * b;
        break;
      case Op::kDiv:
        r = b == 0 ? 0 : a / b;
        break;
      case Op::kIdiv:
        // PostScript's idiv truncates: the integer quotient is meant.
        // NOLINTNEXTLINE(bugprone-integer-division)
        r = integer(b) == 0 ? 0 : static_cast<double>(integer(a) / integer(b));
        break;
      case Op::kMod:
        r = integer(b) == 0 ? 0 : static_cast<double>(integer(a) % integer(b));
        break;
      case Op::kExp:
        r = std::pow(a, b);
        break;
      case Op::kAtan: {
        r = std::atan2(a, b) * 180 / std::numbers::pi;
        if (r < 0) {
          r += 360;
        }
        break;
      }
      case Op::kAnd:
        r = static_cast<double>(integer(a) & integer(b));
        break;
      case Op::kOr:
        r = static_cast<double>(integer(a) | integer(b));
        break;
      case Op::kXor:
        r = static_cast<double>(integer(a) ^ integer(b));
        break;
      case Op::kBitshift: {
        const std::int64_t shift = integer(b);
        const auto value = static_cast<std::uint64_t>(integer(a));
        r = shift >= 0
                ? static_cast<double>(value
                                      << static_cast<unsigned>(std::min<std::int64_t>(shift, 63)))
                : static_cast<double>(value >>
                                      static_cast<unsigned>(std::min<std::int64_t>(-shift, 63)));
        break;
      }
      case Op::kEq:
        r = a == b ? 1 : 0;
        break;
      case Op::kNe:
        r = a != b ? 1 : 0;
        break;
      case Op::kGt:
        r = a > b ? 1 : 0;
        break;
      case Op::kGe:
        r = a >= b ? 1 : 0;
        break;
      case Op::kLt:
        r = a < b ? 1 : 0;
        break;
      case Op::kLe:
        r = a <= b ? 1 : 0;
        break;
      default:
        break;
    }
    s.push_back(std::isfinite(r) ? r : 0);
  }

  std::vector<Step> steps_;
};

}  // namespace

bool PdfFunction::ReadCommon(PdfFile& file, const Dict& dict) {
  domain_ = Numbers(file, dict, "Domain");
  range_ = Numbers(file, dict, "Range");
  if (range_.size() % 2 != 0) {
    range_.clear();
  }
  return !domain_.empty() && domain_.size() % 2 == 0 && domain_.size() / 2 <= kMaxDimensions;
}

std::shared_ptr<const PdfFunction> PdfFunction::Load(PdfFile& file, const Object& object,
                                                     int depth) {
  if (depth > kMaxFunctionDepth) {
    return nullptr;
  }
  const Object resolved = file.Resolve(object);
  const Dict& dict = resolved.AsDict();
  const Stream* stream = resolved.AsStream();
  switch (file.Get(dict, "FunctionType").AsInt(-1)) {
    case 0: {
      auto function = std::make_shared<Sampled>();
      if (stream != nullptr && function->ReadCommon(file, dict) && function->Read(file, *stream)) {
        return function;
      }
      break;
    }
    case 2: {
      auto function = std::make_shared<Exponential>();
      if (function->ReadCommon(file, dict) && function->Read(file, dict)) {
        return function;
      }
      break;
    }
    case 3: {
      auto function = std::make_shared<Stitching>();
      if (function->ReadCommon(file, dict) && function->Read(file, dict, depth)) {
        return function;
      }
      break;
    }
    case 4: {
      auto function = std::make_shared<Calculator>();
      if (stream != nullptr && function->ReadCommon(file, dict) && function->Read(file, *stream)) {
        return function;
      }
      break;
    }
    default:
      break;
  }
  return nullptr;
}

void PdfFunction::Evaluate(std::span<const double> in, std::vector<double>& out) const {
  const std::size_t inputs = Inputs();
  double clipped[kMaxDimensions] = {};
  for (std::size_t i = 0; i < inputs; ++i) {
    clipped[i] = Clip(i < in.size() ? in[i] : 0, domain_[2 * i], domain_[2 * i + 1]);
  }
  out.assign(outputs_, 0);
  Compute(std::span<const double>(clipped, inputs), out);
  for (std::size_t i = 0; i < outputs_; ++i) {
    if (2 * i + 1 < range_.size()) {
      out[i] = Clip(out[i], range_[2 * i], range_[2 * i + 1]);
    } else if (!std::isfinite(out[i])) {
      out[i] = 0;
    }
  }
}

FunctionSet::FunctionSet(PdfFile& file, const Object& object) {
  const Object resolved = file.Resolve(object);
  if (resolved.IsArray()) {
    for (const Object& item : resolved.AsArray()) {
      auto function = PdfFunction::Load(file, item);
      if (!function || function->Outputs() != 1) {
        functions_.clear();
        return;
      }
      functions_.push_back(std::move(function));
    }
  } else if (auto function = PdfFunction::Load(file, resolved)) {
    functions_.push_back(std::move(function));
  }
}

void FunctionSet::Evaluate(std::span<const double> in, std::vector<double>& out) const {
  out.clear();
  if (functions_.size() == 1) {
    functions_.front()->Evaluate(in, out);
    return;
  }
  for (const auto& function : functions_) {
    function->Evaluate(in, part_);
    out.push_back(part_.empty() ? 0 : part_.front());
  }
}

}  // namespace lvx::pdf
