#include "graphics_colour.h"

#include <algorithm>
#include <cmath>

#include "file.h"

namespace lvx::pdf {
namespace {

constexpr int kMaxSpaceDepth = 8;
constexpr std::size_t kMaxDeviceNComponents = 32;

ColourSpace::Family DeviceFamily(std::string_view name, bool& known) {
  known = true;
  if (name == "DeviceGray" || name == "G" || name == "CalGray") {
    return ColourSpace::Family::kGray;
  }
  if (name == "DeviceRGB" || name == "RGB" || name == "CalRGB") {
    return ColourSpace::Family::kRgb;
  }
  if (name == "DeviceCMYK" || name == "CMYK") {
    return ColourSpace::Family::kCmyk;
  }
  if (name == "Pattern") {
    return ColourSpace::Family::kPattern;
  }
  known = false;
  return ColourSpace::Family::kGray;
}

double Unit(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

// CIE L*a*b* to sRGB through XYZ with the space's white point.
Rgb LabToRgb(double l, double a, double b, const std::array<double, 3>& white) {
  const auto inverse = [](double t) {
    return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29);
  };
  const double fy = (l + 16) / 116;
  const double x = white[0] * inverse(fy + a / 500);
  const double y = white[1] * inverse(fy);
  const double z = white[2] * inverse(fy - b / 200);
  const auto gamma = [](double c) {
    c = Unit(c);
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  };
  return {ToByte(gamma(3.2406 * x - 1.5372 * y - 0.4986 * z)),
          ToByte(gamma(-0.9689 * x + 1.8758 * y + 0.0415 * z)),
          ToByte(gamma(0.0557 * x - 0.2040 * y + 1.0570 * z))};
}

}  // namespace

std::uint8_t ToByte(double unit) {
  return static_cast<std::uint8_t>(std::lround(Unit(unit) * 255));
}

Rgb CmykToRgb(double c, double m, double y, double k) {
  const double white = 1 - Unit(k);
  return {ToByte((1 - Unit(c)) * white), ToByte((1 - Unit(m)) * white),
          ToByte((1 - Unit(y)) * white)};
}

std::shared_ptr<const ColourSpace> ColourSpace::Device(Family family) {
  static const auto gray = [] {
    auto space = std::make_shared<ColourSpace>();
    return space;
  }();
  static const auto rgb = [] {
    auto space = std::make_shared<ColourSpace>();
    space->family_ = Family::kRgb;
    space->components_ = 3;
    return space;
  }();
  static const auto cmyk = [] {
    auto space = std::make_shared<ColourSpace>();
    space->family_ = Family::kCmyk;
    space->components_ = 4;
    return space;
  }();
  static const auto pattern = [] {
    auto space = std::make_shared<ColourSpace>();
    space->family_ = Family::kPattern;
    space->components_ = 0;
    return space;
  }();
  switch (family) {
    case Family::kRgb:
      return rgb;
    case Family::kCmyk:
      return cmyk;
    case Family::kPattern:
      return pattern;
    default:
      return gray;
  }
}

std::shared_ptr<const ColourSpace> ColourSpace::Load(PdfFile& file, const Object& definition,
                                                     const Object& resources, int depth) {
  // A space that is an object of its own is read once, however often it is selected.
  if (!definition.IsRef()) {
    return Make(file, definition, resources, depth);
  }
  const Ref ref = definition.AsRef();
  if (auto held = file.Derived().Find<ColourSpace>(DerivedCache::Kind::kColourSpace, ref)) {
    return *held;
  }
  std::shared_ptr<const ColourSpace> made = Make(file, definition, resources, depth);
  file.Derived().Put(DerivedCache::Kind::kColourSpace, ref, made,
                     sizeof(ColourSpace) + made->palette_.size() * sizeof(Rgb));
  return made;
}

std::shared_ptr<const ColourSpace> ColourSpace::Make(PdfFile& file, const Object& definition,
                                                     const Object& resources, int depth) {
  const Object resolved = file.Resolve(definition);
  if (depth > kMaxSpaceDepth) {
    return Device(Family::kGray);
  }
  if (resolved.IsName()) {
    bool known = false;
    const Family family = DeviceFamily(resolved.AsName(), known);
    if (known) {
      return Device(family);
    }
    // A named space of the resources (not followed again from its own definition).
    const Object spaces = file.Get(resources.AsDict(), "ColorSpace");
    const Object& named = spaces.AsDict().Get(resolved.AsName());
    if (!named.IsNull()) {
      return Load(file, named, Object{}, depth + 1);
    }
    return Device(Family::kGray);
  }
  const Array& array = resolved.AsArray();
  if (array.empty()) {
    return Device(Family::kGray);
  }
  const std::string kind = file.Resolve(array[0]).AsName();
  const auto raw = [&](std::size_t i) { return i < array.size() ? array[i] : Object{}; };
  const auto entry = [&](std::size_t i) { return file.Resolve(raw(i)); };
  bool known = false;
  const Family device = DeviceFamily(kind, known);
  if (known && device != Family::kPattern) {
    return Device(device);  // including CalGray and CalRGB, drawn as their device spaces
  }
  auto space = std::make_shared<ColourSpace>();
  if (kind == "ICCBased") {
    const Object stream = entry(1);
    const std::int64_t n = file.Get(stream.AsDict(), "N").AsInt(0);
    if (n == 1 || n == 3 || n == 4) {
      return Device(n == 1 ? Family::kGray : (n == 3 ? Family::kRgb : Family::kCmyk));
    }
    const Object alternate = file.Get(stream.AsDict(), "Alternate");
    return alternate.IsNull() ? Device(Family::kRgb) : Load(file, alternate, resources, depth + 1);
  }
  if (kind == "Lab") {
    space->family_ = Family::kLab;
    space->components_ = 3;
    const Object params = entry(1);
    const Array& white = file.Get(params.AsDict(), "WhitePoint").AsArray();
    for (std::size_t i = 0; i < 3 && i < white.size(); ++i) {
      space->whitePoint_[i] = file.Resolve(white[i]).AsNumber(space->whitePoint_[i]);
    }
    const Array& range = file.Get(params.AsDict(), "Range").AsArray();
    for (std::size_t i = 0; i < 4 && i < range.size(); ++i) {
      space->labRange_[i] = file.Resolve(range[i]).AsNumber(space->labRange_[i]);
    }
    return space;
  }
  if (kind == "Indexed" || kind == "I") {
    space->family_ = Family::kIndexed;
    space->components_ = 1;
    space->base_ = Load(file, raw(1), resources, depth + 1);
    const auto hival =
        static_cast<std::size_t>(std::clamp<std::int64_t>(entry(2).AsInt(0), 0, 255));
    const Object lookup = entry(3);
    std::vector<std::uint8_t> table;
    if (const Stream* stream = lookup.AsStream()) {
      table = file.Decode(*stream, 4096);
    } else {
      const std::string& bytes = lookup.AsString();
      table.assign(bytes.begin(), bytes.end());
    }
    const std::size_t n = std::max<std::size_t>(1, space->base_->Components());
    std::vector<double> values(n);
    for (std::size_t i = 0; i <= hival; ++i) {
      for (std::size_t k = 0; k < n; ++k) {
        const std::size_t at = i * n + k;
        values[k] = at < table.size() ? table[at] / 255.0 : 0;
      }
      if (space->base_->Kind() == Family::kLab) {
        // Lab components are stored scaled to the range.
        for (std::size_t k = 0; k < 3; ++k) {
          const double low = k == 0 ? 0 : space->base_->labRange_[2 * (k - 1)];
          const double high = k == 0 ? 100 : space->base_->labRange_[2 * (k - 1) + 1];
          values[k] = low + values[k] * (high - low);
        }
      }
      space->palette_.push_back(space->base_->ToRgb(values));
    }
    return space;
  }
  if (kind == "Separation" || kind == "DeviceN") {
    const bool separation = kind == "Separation";
    space->family_ = separation ? Family::kSeparation : Family::kDeviceN;
    const Object names = entry(1);
    if (separation) {
      space->components_ = 1;
      space->none_ = names.IsName("None");
      space->all_ = names.IsName("All");
    } else {
      space->components_ =
          std::clamp<std::size_t>(names.AsArray().size(), 1, kMaxDeviceNComponents);
      bool allNone = !names.AsArray().empty();
      for (const Object& name : names.AsArray()) {
        allNone = allNone && file.Resolve(name).IsName("None");
      }
      space->none_ = allNone;
    }
    space->base_ = Load(file, raw(2), resources, depth + 1);
    space->tint_ = FunctionSet(file, raw(3));
    return space;
  }
  if (kind == "Pattern") {
    space->family_ = Family::kPattern;
    space->components_ = 0;
    if (array.size() > 1) {
      space->base_ = Load(file, raw(1), resources, depth + 1);
    }
    return space;
  }
  return Device(Family::kGray);
}

std::vector<double> ColourSpace::Initial() const {
  switch (family_) {
    case Family::kCmyk:
      return {0, 0, 0, 1};
    case Family::kSeparation:
    case Family::kDeviceN: {
      std::vector<double> full(components_, 1.0);  // tint 1 of every colorant
      return full;
    }
    case Family::kPattern:
      return {};
    default: {
      std::vector<double> zero(components_, 0.0);
      return zero;
    }
  }
}

Rgb ColourSpace::ToRgb(std::span<const double> values) const {
  const auto at = [&values](std::size_t i) { return i < values.size() ? values[i] : 0.0; };
  switch (family_) {
    case Family::kGray: {
      const std::uint8_t g = ToByte(at(0));
      return {g, g, g};
    }
    case Family::kRgb:
      return {ToByte(at(0)), ToByte(at(1)), ToByte(at(2))};
    case Family::kCmyk:
      return CmykToRgb(at(0), at(1), at(2), at(3));
    case Family::kLab:
      return LabToRgb(at(0), at(1), at(2), whitePoint_);
    case Family::kIndexed: {
      if (palette_.empty()) {
        return {};
      }
      const double index = std::isfinite(at(0)) ? std::round(at(0)) : 0;
      return palette_[static_cast<std::size_t>(
          std::clamp(index, 0.0, static_cast<double>(palette_.size() - 1)))];
    }
    case Family::kSeparation:
    case Family::kDeviceN: {
      if (all_ || !tint_.Valid() || !base_) {
        // Without a usable tint transform a tint is a shade of grey.
        const std::uint8_t g = ToByte(1 - at(0));
        return {g, g, g};
      }
      tint_.Evaluate(values.first(std::min(values.size(), components_)), scratch_);
      return base_->ToRgb(scratch_);
    }
    case Family::kPattern:
      return base_ ? base_->ToRgb(values) : Rgb{128, 128, 128};
  }
  return {};
}

std::vector<double> ColourSpace::DefaultDecode(int bits) const {
  std::vector<double> decode;
  if (family_ == Family::kIndexed) {
    decode = {0, std::ldexp(1.0, bits) - 1};
    return decode;
  }
  if (family_ == Family::kLab) {
    return {0, 100, labRange_[0], labRange_[1], labRange_[2], labRange_[3]};
  }
  for (std::size_t i = 0; i < components_; ++i) {
    decode.push_back(0);
    decode.push_back(1);
  }
  return decode;
}

}  // namespace lvx::pdf
