// Colour spaces and their conversion to 8-bit RGB: DeviceGray, DeviceRGB, DeviceCMYK, the CIE
// spaces by their number of components (CalGray, CalRGB, Lab, ICCBased), Indexed, Separation and
// DeviceN through their alternate space and tint transform, and Pattern. An unknown or damaged
// space reads as DeviceGray, so that drawing goes on.
#ifndef LVXPDF_GRAPHICS_COLOUR_H
#define LVXPDF_GRAPHICS_COLOUR_H

#include <array>
#include <memory>
#include <span>
#include <vector>

#include "graphics_function.h"
#include "lvxpdf/display_list.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

class ColourSpace {
 public:
  enum class Family : std::uint8_t {
    kGray,
    kRgb,
    kCmyk,
    kLab,
    kIndexed,
    kSeparation,
    kDeviceN,
    kPattern
  };

  // The space a colour-space operand or entry names: a device name, a name in the resources'
  // ColorSpace dictionary, or an array. Never null.
  static std::shared_ptr<const ColourSpace> Load(PdfFile& file, const Object& definition,
                                                 const Object& resources, int depth = 0);
  static std::shared_ptr<const ColourSpace> Device(Family family);

  [[nodiscard]] Family Kind() const { return family_; }
  [[nodiscard]] std::size_t Components() const { return components_; }
  // The colour that selecting this space sets (black, or tint 1 for spot colours).
  [[nodiscard]] std::vector<double> Initial() const;
  [[nodiscard]] Rgb ToRgb(std::span<const double> values) const;
  // For images: the default Decode array for samples of `bits` bits.
  [[nodiscard]] std::vector<double> DefaultDecode(int bits) const;
  // A Separation space named None paints nothing.
  [[nodiscard]] bool PaintsNothing() const { return none_; }
  // Pattern spaces with a base (uncoloured patterns): the base space; otherwise null.
  [[nodiscard]] const ColourSpace* Base() const { return base_.get(); }

 private:
  static std::shared_ptr<const ColourSpace> Make(PdfFile& file, const Object& definition,
                                                 const Object& resources, int depth);

  Family family_ = Family::kGray;
  std::size_t components_ = 1;
  std::shared_ptr<const ColourSpace> base_;  // Indexed, Pattern: base; Separation, DeviceN:
                                             // alternate
  FunctionSet tint_;
  std::vector<Rgb> palette_;  // Indexed: each index's colour
  std::array<double, 6> labRange_{-100, 100, -100, 100, 0, 0};
  std::array<double, 3> whitePoint_{0.9505, 1.0, 1.089};
  bool none_ = false;
  bool all_ = false;  // Separation /All: like a grey ink
  mutable std::vector<double> scratch_;
};

// CMYK (each 0 to 1) to RGB, the simple device conversion.
Rgb CmykToRgb(double c, double m, double y, double k);
std::uint8_t ToByte(double unit);  // 0..1 to 0..255, clipped

}  // namespace lvx::pdf

#endif
