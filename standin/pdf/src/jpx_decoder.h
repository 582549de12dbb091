// JPEG 2000 decoding (JPXDecode) through openjpeg: a raw codestream or the JP2 box format,
// recognised by signature, read from memory. Components of every precision (signed too) come
// out as 8 bits, subsampled ones upsampled to the image's grid, sYCC turned into RGB, and an
// opacity channel kept apart. Sizes are checked from the header before anything is decoded, and a
// large image is decoded at a reduced resolution to fit the bounds asked for.
#ifndef LVXPDF_JPX_DECODER_H
#define LVXPDF_JPX_DECODER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lvx::pdf {

// The colour the file's own header gives its components.
enum class JpxColour : std::uint8_t { kUnknown, kGray, kRgb, kCmyk };

struct JpxOptions {
  // Colour components wanted (the image dictionary's colour space); 0 takes the file's.
  std::size_t colourComponents = 0;
  // Keep sample values as they are (no scaling to 8 bits, no palette): an /Indexed colour space.
  bool rawIndices = false;
  // Bounds of the result: pixels, and bytes of the decoder's 32-bit sample planes.
  std::uint64_t maxPixels = 0;
  std::uint64_t maxDecodeBytes = 0;
};

struct JpxImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t components = 0;  // colour components per pixel in `samples`
  JpxColour colour = JpxColour::kUnknown;
  std::uint32_t reduction = 0;        // each side was halved this many times
  std::vector<std::uint8_t> samples;  // 8 bits per component, pixels in rows
  std::vector<std::uint8_t> alpha;    // the opacity channel, width x height; empty without one
};

enum class JpxFailure : std::uint8_t { kNone, kTooLarge, kDamaged };

// Nothing when the data is not JPEG 2000, is damaged, or cannot fit the bounds even at the
// lowest resolution it holds (`failure` says which). The decoded samples count against the
// current work budget.
std::optional<JpxImage> DecodeJpx(std::span<const std::uint8_t> data, const JpxOptions& options,
                                  JpxFailure* failure = nullptr);

}  // namespace lvx::pdf

#endif
