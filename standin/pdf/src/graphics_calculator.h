// The PostScript calculator of type 4 functions: a program compiled once to a flat list of
// operations, with jumps for "if" and "ifelse", then run on a stack of numbers. Runs are bounded:
// kMaxCalculatorSteps steps and kMaxCalculatorStack values each, and every step counts against
// the page's work budget.
#ifndef LVXPDF_GRAPHICS_CALCULATOR_H
#define LVXPDF_GRAPHICS_CALCULATOR_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lvx::pdf {

class Lexer;

inline constexpr std::size_t kMaxCalculatorStack = 100;
inline constexpr int kMaxCalculatorSteps = 20000;
inline constexpr std::size_t kMaxProgramLength = 65536;

enum class CalculatorOp : std::uint8_t {
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

class CalculatorProgram {
 public:
  // Compiles a program `{ ... }`; false when it is not one this calculator runs.
  bool Compile(std::span<const std::uint8_t> text);
  // Runs the program on `stack` (the inputs, the first deepest); the results are left on it.
  void Run(std::vector<double>& stack) const;
  [[nodiscard]] std::size_t Size() const { return steps_.size(); }

 private:
  struct Step {
    CalculatorOp op;
    double value = 0;  // the number pushed, or the jump target
  };

  bool CompileBlock(Lexer& lexer, int depth);
  bool Keyword(const std::string& word, std::vector<std::size_t>& blocks);
  // Runs until the program ends, the stack overflows or `budget` steps are taken.
  void RunProgram(std::vector<double>& s, int& budget) const;

  std::vector<Step> steps_;
};

}  // namespace lvx::pdf

#endif
