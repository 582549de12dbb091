// PDF functions, which map numbers to numbers for tint transforms and shadings: sampled (type 0),
// exponential interpolation (type 2), stitching (type 3) and PostScript calculator (type 4).
// A function that cannot be read is absent; evaluation never fails (results are clipped to the
// range, missing outputs are 0), and calculator programs run with bounded stack and steps.
#ifndef LVXPDF_GRAPHICS_FUNCTION_H
#define LVXPDF_GRAPHICS_FUNCTION_H

#include <memory>
#include <span>
#include <vector>

#include "object.h"

namespace lvx::pdf {

class PdfFile;

class PdfFunction {
 public:
  PdfFunction() = default;
  virtual ~PdfFunction() = default;
  PdfFunction(const PdfFunction&) = delete;
  PdfFunction& operator=(const PdfFunction&) = delete;
  PdfFunction(PdfFunction&&) = delete;
  PdfFunction& operator=(PdfFunction&&) = delete;

  // Reads a function object (a dictionary or a stream); null when it is not one of the four
  // types or is malformed. `depth` bounds stitching functions nested in each other.
  static std::shared_ptr<const PdfFunction> Load(PdfFile& file, const Object& object,
                                                 int depth = 0);

  // `out` is resized to Outputs().
  void Evaluate(std::span<const double> in, std::vector<double>& out) const;
  [[nodiscard]] std::size_t Outputs() const { return outputs_; }
  [[nodiscard]] std::size_t Inputs() const { return domain_.size() / 2; }

 protected:
  virtual void Compute(std::span<const double> in, std::vector<double>& out) const = 0;
  std::vector<double> domain_;  // 2 per input
  std::vector<double> range_;   // 2 per output; may be empty for types 2 and 3
  std::size_t outputs_ = 0;

 private:
  bool ReadCommon(PdfFile& file, const Dict& dict);
};

// One function with n outputs, or an array of n functions of one output each (as shadings and
// tint transforms allow).
class FunctionSet {
 public:
  FunctionSet() = default;
  FunctionSet(PdfFile& file, const Object& object);
  [[nodiscard]] bool Valid() const { return !functions_.empty(); }
  void Evaluate(std::span<const double> in, std::vector<double>& out) const;

 private:
  std::vector<std::shared_ptr<const PdfFunction>> functions_;
  mutable std::vector<double> part_;
};

}  // namespace lvx::pdf

#endif
