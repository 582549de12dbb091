#include "image_jpx.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "file.h"
#include "graphics_colour.h"
#include "jpx_decoder.h"
#include "page_limits.h"

namespace lvx::pdf {
namespace {

// Bytes a decoded pixel may take in the display list: RGB and alpha.
constexpr std::uint64_t kBytesPerPixel = 4;

const char* DeviceSpace(const JpxImage& image) {
  switch (image.colour) {
    case JpxColour::kRgb:
      return "DeviceRGB";
    case JpxColour::kCmyk:
      return "DeviceCMYK";
    default:
      return "DeviceGray";
  }
}

// Colours premultiplied by their opacity (/SMaskInData 2) divided back.
void Unpremultiply(JpxImage& image) {
  const std::size_t components = image.components;
  for (std::size_t i = 0; i < image.alpha.size(); ++i) {
    const std::uint32_t alpha = image.alpha[i];
    for (std::size_t c = 0; c < components && alpha != 0; ++c) {
      std::uint8_t& value = image.samples[i * components + c];
      value = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, value * 255U / alpha));
    }
  }
}

}  // namespace

std::optional<ImageSource> DecodeJpxSource(PdfFile& file, const ImageSource& source,
                                           const Object& resources, std::uint64_t byteBudget,
                                           bool* tooLarge) {
  const Dict& dict = *source.dict;
  if (file.Get(dict, "ImageMask").AsBool(false)) {
    return std::nullopt;  // a stencil mask is 1-bit data, never JPEG 2000
  }
  // The dictionary's colour space, when it names one, decides the components wanted.
  JpxOptions options;
  const bool named = !file.Get(dict, "ColorSpace").IsNull();
  if (named) {
    const std::shared_ptr<const ColourSpace> space =
        ColourSpace::Load(file, dict.Get("ColorSpace"), resources);
    options.colourComponents = std::max<std::size_t>(1, space->Components());
    options.rawIndices = space->Kind() == ColourSpace::Family::kIndexed;
  }
  options.maxPixels = std::min(kMaxImagePixels, byteBudget / kBytesPerPixel);
  options.maxDecodeBytes = kImageSampleBytes;
  JpxFailure failure = JpxFailure::kNone;
  std::optional<JpxImage> image = DecodeJpx(source.data, options, &failure);
  if (!image) {
    if (tooLarge != nullptr) {
      *tooLarge = failure == JpxFailure::kTooLarge;
    }
    return std::nullopt;
  }

  auto made = std::make_shared<Dict>();
  for (const auto& [key, value] : dict.entries) {
    if (key != "Width" && key != "Height" && key != "BitsPerComponent" && key != "Filter" &&
        key != "DecodeParms" && key != "Length" && key != "SMaskInData") {
      made->entries.emplace_back(key, value);
    }
  }
  // Numbers copied in from named objects (a temporary's move trips GCC 12's
  // maybe-uninitialized analysis of the object's variant).
  const Object width = static_cast<std::int64_t>(image->width);
  const Object height = static_cast<std::int64_t>(image->height);
  const Object bits = std::int64_t{8};
  made->entries.emplace_back("Width", width);
  made->entries.emplace_back("Height", height);
  made->entries.emplace_back("BitsPerComponent", bits);
  if (!named) {
    made->entries.emplace_back("ColorSpace", Object(Name{std::string(DeviceSpace(*image))}));
  }
  ImageSource plain;
  // The opacity channel is the soft mask only when asked for, and not when /SMask is given.
  const std::int64_t inData = file.Get(dict, "SMaskInData").AsInt(0);
  if (inData != 0 && dict.Get("SMask").IsNull() && !image->alpha.empty()) {
    if (inData == 2 && !options.rawIndices) {
      Unpremultiply(*image);
    }
    plain.alpha = std::move(image->alpha);
  }
  plain.data = std::move(image->samples);
  plain.dict = made.get();
  plain.madeDict = std::move(made);
  return plain;
}

}  // namespace lvx::pdf
