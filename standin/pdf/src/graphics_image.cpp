#include "graphics_image.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "checked_size.h"
#include "file.h"
#include "filters.h"
#include "graphics_colour.h"
#include "graphics_jbig2.h"
#include "image_jpx.h"
#include "object_numbers.h"
#include "page_limits.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

// Bytes a decoded pixel may take: RGB and alpha.
constexpr std::uint64_t kBytesPerPixel = 4;

// Reads samples of 1 to 16 bits from rows that start on byte boundaries.
class SampleReader {
 public:
  SampleReader(std::span<const std::uint8_t> data, int bits, std::size_t rowBytes)
      : data_(data), bits_(bits), rowBytes_(rowBytes) {}

  // Sample `index` of row `row`; 0 beyond the data.
  [[nodiscard]] std::uint32_t Get(std::size_t row, std::size_t index) const {
    // Rows far past the data: 64-bit arithmetic, so that the offset cannot wrap.
    const std::uint64_t wideBase = std::uint64_t{row} * rowBytes_;
    if (wideBase >= data_.size()) {
      return 0;
    }
    const auto base = static_cast<std::size_t>(wideBase);
    if (bits_ == 8) {
      const std::size_t at = base + index;
      return at < data_.size() ? data_[at] : 0;
    }
    if (bits_ == 16) {
      const std::size_t at = base + 2 * index;
      return at + 1 < data_.size() ? (std::uint32_t{data_[at]} << 8U) | data_[at + 1] : 0;
    }
    const std::size_t bit = index * static_cast<std::size_t>(bits_);
    const std::size_t at = base + bit / 8;
    if (at >= data_.size()) {
      return 0;
    }
    const unsigned shift = 8U - static_cast<unsigned>(bit % 8) - static_cast<unsigned>(bits_);
    return (data_[at] >> shift) & ((1U << static_cast<unsigned>(bits_)) - 1);
  }
  [[nodiscard]] bool RowPresent(std::size_t row) const {
    return (std::uint64_t{row} + 1) * rowBytes_ <= data_.size();
  }

 private:
  std::span<const std::uint8_t> data_;
  int bits_;
  std::size_t rowBytes_;
};

// FNV-1a over the bytes, then their count mixed in: equal data gives an equal number.
std::uint64_t DataIdentity(std::span<const std::uint8_t> data) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const std::uint8_t byte : data) {
    hash = (hash ^ byte) * 0x100000001b3ULL;
  }
  return (hash ^ data.size()) * 0x100000001b3ULL;
}

bool IsJpegFilter(const Object& name) { return name.IsName("DCTDecode") || name.IsName("DCT"); }

// 1-bit (or deeper) mask of `width` by `height` from an image mask or soft mask stream, sampled
// to the base image's size `toWidth` by `toHeight`: 255 where the base image shows.
std::vector<std::uint8_t> MaskAlpha(PdfFile& file, const Object& maskObject, bool soft, int toWidth,
                                    int toHeight, std::uint64_t byteBudget) {
  const std::optional<std::size_t> count = CheckedProduct(
      {static_cast<std::uint64_t>(toWidth), static_cast<std::uint64_t>(toHeight)}, byteBudget);
  if (!count) {
    return {};
  }
  const Object resolved = file.Resolve(maskObject);
  const Stream* stream = resolved.AsStream();
  if (stream == nullptr) {
    return {};
  }
  const ImageSource source = ImageFromStream(file, *stream);
  // A soft mask is a grey image whose values are the alpha; an explicit mask is an image mask.
  // Either one's own masks are dropped, so that a mask naming itself does not recurse.
  Dict dict;
  for (const auto& entry : source.dict->entries) {
    if (entry.first != "SMask" && entry.first != "Mask" && entry.first != "ColorSpace" &&
        entry.first != "ImageMask") {
      dict.entries.push_back(entry);
    }
  }
  if (soft) {
    dict.entries.emplace_back("ColorSpace", Object(Name{"DeviceGray"}));
  } else {
    dict.entries.emplace_back("ImageMask", Object(true));
  }
  ImageSource plain = source;
  plain.dict = &dict;
  const std::optional<ImageCommand> placed =
      DecodeImage(file, plain, Object{}, Rgb{}, byteBudget - *count);
  const ImagePixels* mask = placed ? placed->pixels.get() : nullptr;
  if (mask == nullptr || mask->width <= 0 || mask->height <= 0 || !mask->jpeg.empty()) {
    return {};
  }
  std::vector<std::uint8_t> alpha(*count);
  for (int y = 0; y < toHeight; ++y) {
    const auto sy =
        static_cast<std::size_t>(static_cast<std::int64_t>(y) * mask->height / toHeight);
    for (int x = 0; x < toWidth; ++x) {
      const auto sx =
          static_cast<std::size_t>(static_cast<std::int64_t>(x) * mask->width / toWidth);
      const std::size_t at = sy * static_cast<std::size_t>(mask->width) + sx;
      std::uint8_t value = 0;
      if (soft) {
        value = at * 3 < mask->rgb.size() ? mask->rgb[at * 3] : 0;
      } else {
        value = at < mask->alpha.size() ? mask->alpha[at] : 0;
      }
      alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(toWidth) +
            static_cast<std::size_t>(x)] = value;
    }
  }
  return alpha;
}

}  // namespace

ImageSource ImageFromStream(PdfFile& file, const Stream& stream) {
  ImageSource source;
  source.dict = &stream.dict;
  FilterStatus status = FilterStatus::kOk;
  source.data = file.Decode(stream, static_cast<std::size_t>(kImageSampleBytes), &status);
  if (status == FilterStatus::kImage) {
    const Object filter = file.Get(stream.dict, "Filter");
    const Object last = filter.IsArray() && !filter.AsArray().empty()
                            ? file.Resolve(filter.AsArray().back())
                            : filter;
    source.jpeg = IsJpegFilter(last);
    source.jpx = last.IsName("JPXDecode");
    source.undecoded = !source.jpeg && !source.jpx;
    if (last.IsName("JBIG2Decode")) {
      std::optional<std::vector<std::uint8_t>> samples =
          DecodeJbig2Samples(file, stream.dict, source.data);
      source.undecoded = !samples;
      source.data = samples ? std::move(*samples) : std::vector<std::uint8_t>{};
    }
  } else if (status == FilterStatus::kUnknown) {
    source.undecoded = true;
  }
  return source;
}

ImageSource ImageFromData(const Dict& dict, std::span<const std::uint8_t> data) {
  ImageSource source;
  source.dict = &dict;
  FilterStatus status = FilterStatus::kOk;
  source.data = DecodeFilterChain(dict, data, static_cast<std::size_t>(kImageSampleBytes), status);
  if (status == FilterStatus::kImage) {
    const Object& filter = dict.Get("Filter");
    const Object& last =
        filter.IsArray() && !filter.AsArray().empty() ? filter.AsArray().back() : filter;
    source.jpeg = IsJpegFilter(last);
    source.jpx = last.IsName("JPXDecode");
    source.undecoded = !source.jpeg && !source.jpx;
  } else if (status == FilterStatus::kUnknown) {
    source.undecoded = true;
  }
  return source;
}

Dict ExpandInlineImageDict(PdfFile& file, const Dict& dict, const Object& resources) {
  static constexpr std::pair<std::string_view, std::string_view> kKeys[] = {
      {"W", "Width"},       {"H", "Height"}, {"BPC", "BitsPerComponent"},
      {"CS", "ColorSpace"}, {"F", "Filter"}, {"DP", "DecodeParms"},
      {"IM", "ImageMask"},  {"D", "Decode"}, {"I", "Interpolate"},
      {"L", "Length"}};
  static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
      {"G", "DeviceGray"},       {"RGB", "DeviceRGB"},      {"CMYK", "DeviceCMYK"},
      {"I", "Indexed"},          {"AHx", "ASCIIHexDecode"}, {"A85", "ASCII85Decode"},
      {"LZW", "LZWDecode"},      {"Fl", "FlateDecode"},     {"RL", "RunLengthDecode"},
      {"CCF", "CCITTFaxDecode"}, {"DCT", "DCTDecode"}};
  const auto name = [](const Object& value) -> Object {
    if (value.IsName()) {
      for (const auto& [abbreviation, full] : kNames) {
        if (value.AsName() == abbreviation) {
          return Name{std::string(full)};
        }
      }
    }
    return value;
  };
  Dict expanded;
  for (const auto& [key, value] : dict.entries) {
    std::string full = key;
    for (const auto& [abbreviation, spelled] : kKeys) {
      if (key == abbreviation) {
        full = spelled;
      }
    }
    Object spelled = value;
    if (full == "Filter" && value.IsArray()) {
      Array names;
      for (const Object& item : value.AsArray()) {
        names.push_back(name(item));
      }
      spelled = MakeArray(std::move(names));
    } else if (full == "Filter") {
      spelled = name(value);
    } else if (full == "ColorSpace" && value.IsName()) {
      spelled = name(value);
      // A name that is not a device space is one of the page's colour spaces.
      const Object spaces = file.Get(resources.AsDict(), "ColorSpace");
      if (const Object& named = spaces.AsDict().Get(value.AsName()); !named.IsNull()) {
        spelled = named;
      }
    } else if (full == "ColorSpace" && value.IsArray() && !value.AsArray().empty()) {
      Array array = value.AsArray();
      array[0] = name(array[0]);
      if (array.size() > 1) {
        array[1] = name(array[1]);
      }
      spelled = MakeArray(std::move(array));
    }
    expanded.entries.emplace_back(std::move(full), std::move(spelled));
  }
  return expanded;
}

std::optional<ImageCommand> DecodeImage(PdfFile& file, const ImageSource& source,
                                        const Object& resources, Rgb fill, std::uint64_t byteBudget,
                                        bool* overBudget) {
  if (source.dict == nullptr || source.undecoded) {
    return std::nullopt;
  }
  const auto refuse = [overBudget]() -> std::optional<ImageCommand> {
    if (overBudget != nullptr) {
      *overBudget = true;
    }
    return std::nullopt;
  };
  if (source.jpx) {
    bool tooLarge = false;
    const std::optional<ImageSource> plain =
        DecodeJpxSource(file, source, resources, byteBudget, &tooLarge);
    if (!plain) {
      return tooLarge ? refuse() : std::nullopt;
    }
    return DecodeImage(file, *plain, resources, fill, byteBudget, overBudget);
  }
  const Dict& dict = *source.dict;
  const std::int64_t width = file.Get(dict, "Width").AsInt(0);
  const std::int64_t height = file.Get(dict, "Height").AsInt(0);
  if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) > kMaxImageSide ||
      static_cast<std::uint64_t>(height) > kMaxImageSide) {
    return std::nullopt;
  }
  auto pixels = std::make_shared<ImagePixels>();
  ImagePixels& image = *pixels;
  ImageCommand placed;
  placed.smooth = file.Get(dict, "Interpolate").AsBool(false);
  placed.pixels = pixels;
  const bool isMask = file.Get(dict, "ImageMask").AsBool(false);
  std::vector<double> decode = NumberArray(file, dict.Get("Decode"));

  std::shared_ptr<const ColourSpace> space;
  if (!isMask) {
    space = ColourSpace::Load(file, dict.Get("ColorSpace"), resources);
    if (space->Kind() == ColourSpace::Family::kPattern) {
      space = ColourSpace::Device(ColourSpace::Family::kGray);
    }
  }

  if (source.jpeg) {
    if (source.data.size() > byteBudget) {
      return refuse();
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.jpeg = source.data;
    image.identity = DataIdentity(image.jpeg);
    image.jpegComponents = space ? static_cast<int>(space->Components()) : 1;
    image.jpegInverted = decode.size() >= 2 && decode[0] == 1 && decode[1] == 0;
    if (CheckedProduct({static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)},
                       kMaxImagePixels)) {
      image.alpha = MaskAlpha(file, dict.Get("SMask"), true, image.width, image.height,
                              byteBudget - source.data.size());
    }
    return placed;
  }

  const int bits = isMask ? 1 : static_cast<int>(file.Get(dict, "BitsPerComponent").AsInt(8));
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) {
    return std::nullopt;
  }
  const std::size_t components = isMask ? 1 : std::max<std::size_t>(1, space->Components());
  const std::optional<std::size_t> rowBits = CheckedProduct(
      {static_cast<std::uint64_t>(width), components, static_cast<std::uint64_t>(bits)},
      kLargestLimit);
  if (!rowBits) {
    return std::nullopt;
  }
  const std::size_t rowBytes = (*rowBits + 7) / 8;
  const SampleReader samples(source.data, bits, rowBytes);

  // Sampled down by a whole step while the image is larger than the bound or than what the
  // page's bytes for images still hold.
  std::size_t step = 1;
  std::uint64_t wide = 0;
  std::uint64_t high = 0;
  for (;; ++step) {
    wide = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(width) / step);
    high = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(height) / step);
    const std::uint64_t count = wide * high;  // at most 2^34: no wrap in 64 bits
    if (count <= kMaxImagePixels && count * kBytesPerPixel <= byteBudget) {
      break;
    }
    if (count == 1) {
      return refuse();
    }
  }
  // Every produced pixel is work, and so is every sample read for it.
  if (!SpendWork(wide * high * components)) {
    return std::nullopt;
  }
  const auto outWidth = static_cast<std::size_t>(wide);  // both fit: their product is bounded
  const auto outHeight = static_cast<std::size_t>(high);
  image.width = static_cast<int>(outWidth);
  image.height = static_cast<int>(outHeight);
  image.rgb.resize(outWidth * outHeight * 3);

  const double maxSample = std::ldexp(1.0, bits) - 1;
  if (isMask) {
    // Sample 0 paints unless Decode is [1 0].
    const bool paintOnOne = decode.size() >= 2 && decode[0] > decode[1];
    image.alpha.assign(outWidth * outHeight, 0);
    for (std::size_t y = 0; y < outHeight; ++y) {
      for (std::size_t x = 0; x < outWidth; ++x) {
        const std::size_t at = y * outWidth + x;
        image.rgb[3 * at] = fill.r;
        image.rgb[3 * at + 1] = fill.g;
        image.rgb[3 * at + 2] = fill.b;
        const std::size_t row = y * step;
        if (samples.RowPresent(row)) {
          image.alpha[at] = (samples.Get(row, x * step) != 0) == paintOnOne ? 255 : 0;
        }
      }
    }
    return placed;
  }

  if (decode.size() != 2 * components) {
    decode = space->DefaultDecode(bits);
  }
  if (decode.size() < 2 * components) {
    decode.resize(2 * components, 1);
  }
  // One component of at most 8 bits: a table of the colours of every sample value.
  std::vector<Rgb> table;
  std::vector<double> values(components);
  if (components == 1 && bits <= 8) {
    for (std::uint32_t s = 0; s <= static_cast<std::uint32_t>(maxSample); ++s) {
      values[0] = decode[0] + s * (decode[1] - decode[0]) / maxSample;
      table.push_back(space->ToRgb(values));
    }
  }
  // Colour-key masking: samples within these ranges are not painted.
  const std::vector<double> key = [&] {
    const Object mask = file.Get(dict, "Mask");
    return mask.IsArray() ? NumberArray(file, mask) : std::vector<double>{};
  }();
  const bool keyed = key.size() == 2 * components;
  bool anyMissing = false;
  std::vector<std::uint8_t> present(outHeight, 1);
  std::vector<std::uint32_t> raw(components);
  Rgb last{};
  std::vector<std::uint32_t> lastRaw;
  if (keyed) {
    image.alpha.assign(outWidth * outHeight, 255);
  }
  for (std::size_t y = 0; y < outHeight; ++y) {
    const std::size_t row = y * step;
    if (!samples.RowPresent(row)) {
      present[y] = 0;
      anyMissing = true;
      continue;
    }
    for (std::size_t x = 0; x < outWidth; ++x) {
      const std::size_t first = x * step * components;
      for (std::size_t c = 0; c < components; ++c) {
        raw[c] = samples.Get(row, first + c);
      }
      Rgb colour;
      if (!table.empty()) {
        colour = table[raw[0]];
      } else if (raw == lastRaw) {
        colour = last;
      } else {
        for (std::size_t c = 0; c < components; ++c) {
          values[c] = decode[2 * c] + raw[c] * (decode[2 * c + 1] - decode[2 * c]) / maxSample;
        }
        colour = space->ToRgb(values);
        last = colour;
        lastRaw = raw;
      }
      const std::size_t at = y * outWidth + x;
      image.rgb[3 * at] = colour.r;
      image.rgb[3 * at + 1] = colour.g;
      image.rgb[3 * at + 2] = colour.b;
      if (keyed) {
        bool inside = true;
        for (std::size_t c = 0; c < components && inside; ++c) {
          inside = raw[c] >= key[2 * c] && raw[c] <= key[2 * c + 1];
        }
        if (inside) {
          image.alpha[at] = 0;
        }
      }
    }
  }
  if (!keyed) {
    const Object mask = file.Get(dict, "Mask");
    if (mask.IsStream()) {
      image.alpha = MaskAlpha(file, mask, false, image.width, image.height, byteBudget);
    } else {
      image.alpha = MaskAlpha(file, dict.Get("SMask"), true, image.width, image.height, byteBudget);
    }
    if (image.alpha.empty() && source.alpha.size() == static_cast<std::size_t>(width * height)) {
      // The codec's opacity channel, sampled as the colours were.
      image.alpha.resize(outWidth * outHeight);
      for (std::size_t y = 0; y < outHeight; ++y) {
        for (std::size_t x = 0; x < outWidth; ++x) {
          image.alpha[y * outWidth + x] =
              source.alpha[y * step * static_cast<std::size_t>(width) + x * step];
        }
      }
    }
  }
  if (anyMissing) {
    // Rows the data does not reach are not drawn.
    if (image.alpha.empty()) {
      image.alpha.assign(outWidth * outHeight, 255);
    }
    for (std::size_t y = 0; y < outHeight; ++y) {
      if (present[y] == 0) {
        std::fill_n(image.alpha.begin() + static_cast<std::ptrdiff_t>(y * outWidth), outWidth, 0);
      }
    }
  }
  return placed;
}

}  // namespace lvx::pdf
