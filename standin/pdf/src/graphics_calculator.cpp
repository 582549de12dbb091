#include "graphics_calculator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "lexer.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

bool OpNamed(std::string_view word, CalculatorOp& op) {
  static constexpr std::pair<std::string_view, CalculatorOp> kNames[] = {
      {"abs", CalculatorOp::kAbs},
      {"add", CalculatorOp::kAdd},
      {"atan", CalculatorOp::kAtan},
      {"ceiling", CalculatorOp::kCeiling},
      {"cos", CalculatorOp::kCos},
      {"cvi", CalculatorOp::kCvi},
      {"cvr", CalculatorOp::kCvr},
      {"div", CalculatorOp::kDiv},
      {"exp", CalculatorOp::kExp},
      {"floor", CalculatorOp::kFloor},
      {"idiv", CalculatorOp::kIdiv},
      {"ln", CalculatorOp::kLn},
      {"log", CalculatorOp::kLog},
      {"mod", CalculatorOp::kMod},
      {"mul", CalculatorOp::kMul},
      {"neg", CalculatorOp::kNeg},
      {"round", CalculatorOp::kRound},
      {"sin", CalculatorOp::kSin},
      {"sqrt", CalculatorOp::kSqrt},
      {"sub", CalculatorOp::kSub},
      {"truncate", CalculatorOp::kTruncate},
      {"and", CalculatorOp::kAnd},
      {"or", CalculatorOp::kOr},
      {"not", CalculatorOp::kNot},
      {"xor", CalculatorOp::kXor},
      {"bitshift", CalculatorOp::kBitshift},
      {"eq", CalculatorOp::kEq},
      {"ne", CalculatorOp::kNe},
      {"gt", CalculatorOp::kGt},
      {"ge", CalculatorOp::kGe},
      {"lt", CalculatorOp::kLt},
      {"le", CalculatorOp::kLe},
      {"copy", CalculatorOp::kCopy},
      {"dup", CalculatorOp::kDup},
      {"exch", CalculatorOp::kExch},
      {"index", CalculatorOp::kIndex},
      {"pop", CalculatorOp::kPop},
      {"roll", CalculatorOp::kRoll},
  };
  for (const auto& [name, value] : kNames) {
    if (name == word) {
      op = value;
      return true;
    }
  }
  return false;
}

template <typename ToInteger>
void Binary(CalculatorOp op, std::vector<double>& s, double b, double a, ToInteger integer) {
  double r = 0;
  switch (op) {
    case CalculatorOp::kAdd:
      r = a + b;
      break;
    case CalculatorOp::kSub:
      r = a - b;
      break;
    case CalculatorOp::kMul:
      r = a * b;
      break;
    case CalculatorOp::kDiv:
      r = b == 0 ? 0 : a / b;
      break;
    case CalculatorOp::kIdiv:
      // PostScript's idiv truncates: the integer quotient is meant.
      // NOLINTNEXTLINE(bugprone-integer-division)
      r = integer(b) == 0 ? 0 : static_cast<double>(integer(a) / integer(b));
      break;
    case CalculatorOp::kMod:
      r = integer(b) == 0 ? 0 : static_cast<double>(integer(a) % integer(b));
      break;
    case CalculatorOp::kExp:
      r = std::pow(a, b);
      break;
    case CalculatorOp::kAtan: {
      r = std::atan2(a, b) * 180 / std::numbers::pi;
      if (r < 0) {
        r += 360;
      }
      break;
    }
    case CalculatorOp::kAnd:
      r = static_cast<double>(integer(a) & integer(b));
      break;
    case CalculatorOp::kOr:
      r = static_cast<double>(integer(a) | integer(b));
      break;
    case CalculatorOp::kXor:
      r = static_cast<double>(integer(a) ^ integer(b));
      break;
    case CalculatorOp::kBitshift: {
      const std::int64_t shift = integer(b);
      const auto value = static_cast<std::uint64_t>(integer(a));
      r = shift >= 0
              ? static_cast<double>(value
                                    << static_cast<unsigned>(std::min<std::int64_t>(shift, 63)))
              : static_cast<double>(value >>
                                    static_cast<unsigned>(std::min<std::int64_t>(-shift, 63)));
      break;
    }
    case CalculatorOp::kEq:
      r = a == b ? 1 : 0;
      break;
    case CalculatorOp::kNe:
      r = a != b ? 1 : 0;
      break;
    case CalculatorOp::kGt:
      r = a > b ? 1 : 0;
      break;
    case CalculatorOp::kGe:
      r = a >= b ? 1 : 0;
      break;
    case CalculatorOp::kLt:
      r = a < b ? 1 : 0;
      break;
    case CalculatorOp::kLe:
      r = a <= b ? 1 : 0;
      break;
    default:
      break;
  }
  s.push_back(std::isfinite(r) ? r : 0);
}

}  // namespace

bool CalculatorProgram::Compile(std::span<const std::uint8_t> text) {
  steps_.clear();
  Lexer lexer(text);
  Token token;
  lexer.Next(token);
  if (token.type != TokenType::kBraceOpen) {
    return false;
  }
  return CompileBlock(lexer, 0) && lexer.AtEnd();
}

// Compiles up to the closing brace of the procedure being read.
bool CalculatorProgram::CompileBlock(Lexer& lexer, int depth) {
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
        steps_.push_back({CalculatorOp::kPush, static_cast<double>(token.integer)});
        break;
      case TokenType::kReal:
        steps_.push_back({CalculatorOp::kPush, token.real});
        break;
      case TokenType::kBraceOpen: {
        // A procedure for if / ifelse: jumped over unless the condition chooses it.
        blocks.push_back(steps_.size());
        steps_.push_back({CalculatorOp::kJump, 0});
        if (!CompileBlock(lexer, depth + 1)) {
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

bool CalculatorProgram::Keyword(const std::string& word, std::vector<std::size_t>& blocks) {
  if (word == "true" || word == "false") {
    steps_.push_back({CalculatorOp::kPush, word == "true" ? 1.0 : 0.0});
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
      steps_[first] = {CalculatorOp::kJumpIfFalse, static_cast<double>(steps_.size())};
    } else {
      const std::size_t second = blocks.back();
      steps_[first] = {CalculatorOp::kJumpIfFalse, static_cast<double>(second + 1)};
      steps_[second] = {CalculatorOp::kJump, static_cast<double>(steps_.size())};
    }
    blocks.resize(blocks.size() - needed);
    return true;
  }
  CalculatorOp op{};
  if (!OpNamed(word, op) || !blocks.empty()) {
    return false;
  }
  steps_.push_back({op, 0});
  return true;
}

void CalculatorProgram::Run(std::vector<double>& s) const {
  // Steps are counted against the page's budget when the run ends; a spent budget runs nothing.
  const WorkBudget* page = WorkBudget::Current();
  if (page != nullptr && page->Exhausted()) {
    return;
  }
  int budget = kMaxCalculatorSteps;
  RunProgram(s, budget);
  SpendWork(static_cast<std::uint64_t>(kMaxCalculatorSteps - budget));
}

void CalculatorProgram::RunProgram(std::vector<double>& s, int& budget) const {
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
      case CalculatorOp::kPush:
        s.push_back(step.value);
        break;
      case CalculatorOp::kJump:
        pc = static_cast<std::size_t>(step.value);
        break;
      case CalculatorOp::kJumpIfFalse:
        if (pop() == 0) {
          pc = static_cast<std::size_t>(step.value);
        }
        break;
      case CalculatorOp::kAbs:
        s.push_back(std::fabs(pop()));
        break;
      case CalculatorOp::kNeg:
        s.push_back(-pop());
        break;
      case CalculatorOp::kCeiling:
        s.push_back(std::ceil(pop()));
        break;
      case CalculatorOp::kFloor:
        s.push_back(std::floor(pop()));
        break;
      case CalculatorOp::kRound:
        s.push_back(std::floor(pop() + 0.5));
        break;
      case CalculatorOp::kTruncate:
      case CalculatorOp::kCvi:
        s.push_back(std::trunc(pop()));
        break;
      case CalculatorOp::kCvr:
        break;
      case CalculatorOp::kSqrt:
        s.push_back(std::sqrt(std::max(0.0, pop())));
        break;
      case CalculatorOp::kSin:
        s.push_back(std::sin(pop() * std::numbers::pi / 180));
        break;
      case CalculatorOp::kCos:
        s.push_back(std::cos(pop() * std::numbers::pi / 180));
        break;
      case CalculatorOp::kLn:
        s.push_back(std::log(std::max(1e-300, pop())));
        break;
      case CalculatorOp::kLog:
        s.push_back(std::log10(std::max(1e-300, pop())));
        break;
      case CalculatorOp::kNot: {
        const double v = pop();
        s.push_back(v == 0 ? 1 : (v == 1 ? 0 : static_cast<double>(~integer(v))));
        break;
      }
      case CalculatorOp::kDup:
        s.push_back(s.empty() ? 0 : s.back());
        break;
      case CalculatorOp::kPop:
        pop();
        break;
      case CalculatorOp::kExch: {
        const double b = pop();
        const double a = pop();
        s.push_back(b);
        s.push_back(a);
        break;
      }
      case CalculatorOp::kCopy: {
        const auto n = static_cast<std::size_t>(std::max<std::int64_t>(0, integer(pop())));
        if (n <= s.size() && s.size() + n <= kMaxCalculatorStack) {
          const std::size_t first = s.size() - n;
          for (std::size_t i = 0; i < n; ++i) {
            s.push_back(s[first + i]);
          }
        }
        break;
      }
      case CalculatorOp::kIndex: {
        const std::int64_t n = integer(pop());
        s.push_back(n >= 0 && static_cast<std::size_t>(n) < s.size()
                        ? s[s.size() - 1 - static_cast<std::size_t>(n)]
                        : 0);
        break;
      }
      case CalculatorOp::kRoll: {
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

}  // namespace lvx::pdf
