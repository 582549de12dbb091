// Images for the display list: image XObjects and inline images, 1 to 16 bits per component,
// Decode arrays, colour conversion to RGB, image masks in the fill colour, colour-key masks,
// explicit masks and soft masks as an alpha channel. JPEG data is kept for the painter's codecs.
// Short data draws what it has (the missing rows stay transparent); absurd sizes are refused or
// sampled down to a bound.
#ifndef LVXPDF_GRAPHICS_IMAGE_H
#define LVXPDF_GRAPHICS_IMAGE_H

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "lvxpdf/display_list.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// Pixels kept per image at most: larger images are sampled down by a whole factor.
inline constexpr std::size_t kMaxImagePixels = std::size_t{12} << 20;

// An image's dictionary (an XObject's, or an inline image's with its keys spelled out) and its
// data after the filters that are not image codecs.
struct ImageSource {
  const Dict* dict = nullptr;
  std::vector<std::uint8_t> data;
  bool jpeg = false;       // `data` is DCT-encoded
  bool undecoded = false;  // an image codec this reader lacks (JPX, CCITT, JBIG2)
};

// The source of an image XObject stream.
ImageSource ImageFromStream(PdfFile& file, const Stream& stream);

// The image as a display-list command (placement left to the caller); nothing when it cannot be
// drawn at all. `fill` colours image masks.
std::optional<ImageCommand> DecodeImage(PdfFile& file, const ImageSource& source,
                                        const Object& resources, Rgb fill);

// An inline image's dictionary with abbreviated keys and names spelled out (W -> Width, ...).
Dict ExpandInlineImageDict(PdfFile& file, const Dict& dict, const Object& resources);

}  // namespace lvx::pdf

#endif
