#include "graphics_image.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "file.h"
#include "filters.h"
#include "graphics_colour.h"

namespace lvx::pdf {
namespace {

constexpr std::int64_t kMaxSide = 1 << 17;

// Reads samples of 1 to 16 bits from rows that start on byte boundaries.
class SampleReader {
 public:
  SampleReader(std::span<const std::uint8_t> data, int bits, std::size_t rowBytes)
      : data_(data), bits_(bits), rowBytes_(rowBytes) {}

  // Sample `index` of row `row`; 0 beyond the data.
  [[nodiscard]] std::uint32_t Get(std::size_t row, std::size_t index) const {
    const std::size_t base = row * rowBytes_;
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
    return (row + 1) * rowBytes_ <= data_.size();
  }

 private:
  std::span<const std::uint8_t> data_;
  int bits_;
  std::size_t rowBytes_;
};

std::vector<double> NumberArray(PdfFile& file, const Object& value) {
  std::vector<double> numbers;
  for (const Object& item : file.Resolve(value).AsArray()) {
    numbers.push_back(file.Resolve(item).AsNumber(0));
  }
  return numbers;
}

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
                                    int toHeight) {
  const Object resolved = file.Resolve(maskObject);
  const Stream* stream = resolved.AsStream();
  if (stream == nullptr) {
    return {};
  }
  const ImageSource source = ImageFromStream(file, *stream);
  // A soft mask is a grey image whose values are the alpha; an explicit mask is an image mask.
  // Either one's own masks are dropped, so that a mask naming itself does not recurse.
  Dict dict;
  for (const auto& entry : stream->dict.entries) {
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
  const ImageSource plain{&dict, source.data, source.jpeg, source.undecoded};
  const std::optional<ImageCommand> placed = DecodeImage(file, plain, Object{}, Rgb{});
  const ImagePixels* mask = placed ? placed->pixels.get() : nullptr;
  if (mask == nullptr || mask->width <= 0 || mask->height <= 0 || !mask->jpeg.empty()) {
    return {};
  }
  std::vector<std::uint8_t> alpha(static_cast<std::size_t>(toWidth) *
                                  static_cast<std::size_t>(toHeight));
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
  source.data = file.Decode(stream, kMaxDecodedStream, &status);
  if (status == FilterStatus::kImage) {
    const Object filter = file.Get(stream.dict, "Filter");
    const Object last = filter.IsArray() && !filter.AsArray().empty()
                            ? file.Resolve(filter.AsArray().back())
                            : filter;
    source.jpeg = IsJpegFilter(last);
    source.undecoded = !source.jpeg;
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
                                        const Object& resources, Rgb fill) {
  if (source.dict == nullptr || source.undecoded) {
    return std::nullopt;
  }
  const Dict& dict = *source.dict;
  const std::int64_t width = file.Get(dict, "Width").AsInt(0);
  const std::int64_t height = file.Get(dict, "Height").AsInt(0);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
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
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.jpeg = source.data;
    image.identity = DataIdentity(image.jpeg);
    image.jpegComponents = space ? static_cast<int>(space->Components()) : 1;
    image.jpegInverted = decode.size() >= 2 && decode[0] == 1 && decode[1] == 0;
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxImagePixels) {
      image.alpha = MaskAlpha(file, dict.Get("SMask"), true, image.width, image.height);
    }
    return placed;
  }

  const int bits = isMask ? 1 : static_cast<int>(file.Get(dict, "BitsPerComponent").AsInt(8));
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) {
    return std::nullopt;
  }
  const std::size_t components = isMask ? 1 : std::max<std::size_t>(1, space->Components());
  const std::size_t rowBytes =
      (static_cast<std::size_t>(width) * components * static_cast<std::size_t>(bits) + 7) / 8;
  const SampleReader samples(source.data, bits, rowBytes);

  // Sampled down by a whole step when the image is larger than the bound.
  std::size_t step = 1;
  while ((static_cast<std::size_t>(width) / step) * (static_cast<std::size_t>(height) / step) >
         kMaxImagePixels) {
    ++step;
  }
  const std::size_t outWidth = std::max<std::size_t>(1, static_cast<std::size_t>(width) / step);
  const std::size_t outHeight = std::max<std::size_t>(1, static_cast<std::size_t>(height) / step);
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
      image.alpha = MaskAlpha(file, mask, false, image.width, image.height);
    } else {
      image.alpha = MaskAlpha(file, dict.Get("SMask"), true, image.width, image.height);
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
