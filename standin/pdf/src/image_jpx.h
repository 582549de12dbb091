// A JPEG 2000 image XObject made into plain samples: the data decoded (jpx_decoder.h) at the
// resolution the page's image bounds allow, with a dictionary that describes the result (8 bits
// per component, its size, and the file's own colour space when the image names none) and the
// file's opacity channel as the image's soft mask when /SMaskInData asks for it.
#ifndef LVXPDF_IMAGE_JPX_H
#define LVXPDF_IMAGE_JPX_H

#include <cstdint>
#include <optional>

#include "graphics_image.h"

namespace lvx::pdf {

// Nothing when the data cannot be decoded; `tooLarge` is set when it could not fit the bounds
// (kMaxImagePixels, `byteBudget` at 4 bytes a pixel, kImageSampleBytes for the decoder's planes)
// even at its lowest resolution.
std::optional<ImageSource> DecodeJpxSource(PdfFile& file, const ImageSource& source,
                                           const Object& resources, std::uint64_t byteBudget,
                                           bool* tooLarge);

}  // namespace lvx::pdf

#endif
