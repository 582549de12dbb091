#include "graphics_jbig2.h"

#include <algorithm>

#include "checked_size.h"
#include "file.h"
#include "jbig2.h"
#include "page_limits.h"

namespace lvx::pdf {

std::optional<std::vector<std::uint8_t>> DecodeJbig2Samples(PdfFile& file, const Dict& dict,
                                                            std::span<const std::uint8_t> data) {
  const std::int64_t width = file.Get(dict, "Width").AsInt(0);
  const std::int64_t height = file.Get(dict, "Height").AsInt(0);
  if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) > kMaxImageSide ||
      static_cast<std::uint64_t>(height) > kMaxImageSide) {
    return std::nullopt;
  }
  const auto rowBytes = static_cast<std::size_t>((width + 7) / 8);
  const std::optional<std::size_t> size =
      CheckedProduct({rowBytes, static_cast<std::uint64_t>(height)}, kImageSampleBytes);
  if (!size) {
    return std::nullopt;
  }
  // The parameters of the last filter: JBIG2Decode ends the chain.
  const Object filters = file.Get(dict, "Filter");
  const Object parmsObject = file.Get(dict, "DecodeParms");
  Object parms = parmsObject;
  if (parmsObject.IsArray()) {
    const std::size_t index =
        filters.IsArray() && !filters.AsArray().empty() ? filters.AsArray().size() - 1 : 0;
    parms = index < parmsObject.AsArray().size() ? file.Resolve(parmsObject.AsArray()[index])
                                                 : Object{};
  }
  std::vector<std::uint8_t> globals;
  if (parms.IsDict()) {
    const Object globalsObject = file.Get(parms.AsDict(), "JBIG2Globals");
    if (const Stream* stream = globalsObject.AsStream(); stream != nullptr) {
      globals = file.Decode(*stream, static_cast<std::size_t>(kImageSampleBytes));
    }
  }
  const Jbig2Result result = DecodeJbig2(data, globals, kImageSampleBytes);
  if (!result.image) {
    return std::nullopt;
  }
  const Jbig2Image& image = *result.image;
  std::vector<std::uint8_t> samples(*size, 0xFF);
  const std::size_t sourceStride = (std::size_t{image.width} + 7) / 8;
  const std::size_t rows = std::min<std::size_t>(image.height, static_cast<std::size_t>(height));
  const std::size_t columns = std::min<std::size_t>(image.width, static_cast<std::size_t>(width));
  for (std::size_t y = 0; y < rows; ++y) {
    const std::uint8_t* from = image.bits.data() + y * sourceStride;
    std::uint8_t* to = samples.data() + y * rowBytes;
    const std::size_t whole = columns / 8;
    std::transform(from, from + whole, to,
                   [](std::uint8_t byte) { return static_cast<std::uint8_t>(~byte); });
    for (std::size_t x = whole * 8; x < columns; ++x) {
      if (((from[x / 8] >> (7 - x % 8)) & 1) != 0) {
        to[x / 8] = static_cast<std::uint8_t>(to[x / 8] & ~(0x80U >> (x % 8)));
      }
    }
  }
  return samples;
}

}  // namespace lvx::pdf
