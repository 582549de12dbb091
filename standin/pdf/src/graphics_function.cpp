#include "graphics_function.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "checked_size.h"
#include "file.h"
#include "graphics_calculator.h"
#include "object_numbers.h"
#include "page_limits.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

constexpr int kMaxFunctionDepth = 8;
constexpr std::size_t kMaxDimensions = 8;
// Samples a sampled function's grid may address, and bytes of its data kept (samples past the
// data read as 0). The data is read where it lies, so memory follows the data, not the grid.
constexpr std::uint64_t kMaxSamples = std::uint64_t{1} << 24;
constexpr std::uint64_t kMaxSampleDataBytes = std::uint64_t{16} << 20;
// Functions a stitching function joins.
constexpr std::size_t kMaxStitched = 256;
// What a function other than a sampled one holds, roughly, for the cache's byte count.
constexpr std::size_t kFunctionBytes = 256;

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
    std::uint64_t count = outputs_;
    for (const std::size_t s : size_) {
      const std::optional<std::size_t> product = CheckedProduct({count, s}, kMaxSamples);
      if (!product) {
        return false;
      }
      count = *product;
    }
    const std::optional<std::size_t> bits =
        CheckedProduct({count, static_cast<std::uint64_t>(bits_)}, kMaxSamples * 32);
    if (!bits) {
      return false;
    }
    const std::uint64_t bytes = std::min<std::uint64_t>((*bits + 7) / 8, kMaxSampleDataBytes);
    data_ = file.Decode(stream, static_cast<std::size_t>(bytes));
    scale_ = 1.0 / (std::ldexp(1.0, bits_) - 1);
    return true;
  }

  [[nodiscard]] std::size_t Bytes() const { return data_.size() + kFunctionBytes; }

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
          value += w * Sample(index + o);
        }
      }
      out[o] = decode_[2 * o] + value * (decode_[2 * o + 1] - decode_[2 * o]);
    }
  }

 private:
  // Sample `index` of the grid, 0 to 1; 0 past the data.
  [[nodiscard]] double Sample(std::size_t index) const {
    const auto width = static_cast<std::uint64_t>(bits_);
    const std::uint64_t first = std::uint64_t{index} * width;
    if (first + width > std::uint64_t{data_.size()} * 8) {
      return 0;
    }
    std::uint64_t value = 0;
    for (std::uint64_t bit = first; bit < first + width; ++bit) {
      value = (value << 1U) | ((data_[static_cast<std::size_t>(bit / 8)] >> (7 - bit % 8)) & 1U);
    }
    return static_cast<double>(value) * scale_;
  }

  std::vector<std::size_t> size_;
  int bits_ = 8;
  std::vector<double> encode_;
  std::vector<double> decode_;
  std::vector<std::uint8_t> data_;
  double scale_ = 1;
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
    if (functions.AsArray().size() > kMaxStitched) {
      return false;
    }
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

class Calculator final : public PdfFunction {
 public:
  bool Read(PdfFile& file, const Stream& stream) {
    if (range_.empty()) {
      return false;
    }
    outputs_ = range_.size() / 2;
    return program_.Compile(file.Decode(stream, kMaxProgramLength));
  }
  [[nodiscard]] std::size_t Bytes() const { return program_.Size() * 16 + kFunctionBytes; }

 protected:
  void Compute(std::span<const double> in, std::vector<double>& out) const override {
    std::vector<double> stack(in.begin(), in.end());
    program_.Run(stack);
    // The results are the top `outputs_` values, the deepest first.
    const std::size_t n = stack.size();
    for (std::size_t i = 0; i < outputs_; ++i) {
      out[i] = n >= outputs_ - i ? stack[n - (outputs_ - i)] : 0;
    }
  }

 private:
  CalculatorProgram program_;
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
  // A function that is an object of its own is read once, however often it is named.
  if (object.IsRef()) {
    if (auto held =
            file.Derived().Find<PdfFunction>(DerivedCache::Kind::kFunction, object.AsRef())) {
      return *held;
    }
  }
  const Object resolved = file.Resolve(object);
  const Dict& dict = resolved.AsDict();
  const Stream* stream = resolved.AsStream();
  std::shared_ptr<const PdfFunction> made;
  std::size_t bytes = kFunctionBytes;
  switch (file.Get(dict, "FunctionType").AsInt(-1)) {
    case 0: {
      auto function = std::make_shared<Sampled>();
      if (stream != nullptr && function->ReadCommon(file, dict) && function->Read(file, *stream)) {
        bytes = function->Bytes();
        made = std::move(function);
      }
      break;
    }
    case 2: {
      auto function = std::make_shared<Exponential>();
      if (function->ReadCommon(file, dict) && function->Read(file, dict)) {
        made = std::move(function);
      }
      break;
    }
    case 3: {
      auto function = std::make_shared<Stitching>();
      if (function->ReadCommon(file, dict) && function->Read(file, dict, depth)) {
        made = std::move(function);
      }
      break;
    }
    case 4: {
      auto function = std::make_shared<Calculator>();
      if (stream != nullptr && function->ReadCommon(file, dict) && function->Read(file, *stream)) {
        bytes = function->Bytes();
        made = std::move(function);
      }
      break;
    }
    default:
      break;
  }
  if (object.IsRef()) {
    file.Derived().Put(DerivedCache::Kind::kFunction, object.AsRef(), made, bytes);
  }
  return made;
}

void PdfFunction::Evaluate(std::span<const double> in, std::vector<double>& out) const {
  if (!SpendWork(kFunctionCost)) {
    out.assign(outputs_, 0);  // the page's work is spent: the drawing stops soon
    return;
  }
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
  if (resolved.IsArray() && resolved.AsArray().size() > kMaxStitched) {
    return;
  }
  if (resolved.IsArray()) {
    for (const Object& item : resolved.AsArray()) {
      auto function = PdfFunction::Load(file, item);
      if (!function || function->Outputs() != 1) {
        functions_.clear();
        return;
      }
      functions_.push_back(std::move(function));
    }
  } else if (auto function = PdfFunction::Load(file, object)) {
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
