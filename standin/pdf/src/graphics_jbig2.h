// Images whose last filter is JBIG2Decode: the data before it through the JBIG2 decoder, with
// the JBIG2Globals stream of its decode parameters (decoded through its own filters), as the
// image's 1-bit samples. The filter's samples are the decoder's pixels inverted: a black pixel
// (1 in JBIG2) is sample 0, black in DeviceGray and painted in an image mask.
#ifndef LVXPDF_GRAPHICS_JBIG2_H
#define LVXPDF_GRAPHICS_JBIG2_H

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "object.h"

namespace lvx::pdf {

class PdfFile;

// The samples, rows of (Width + 7) / 8 bytes for the dictionary's Width and Height (pixels the
// JBIG2 page does not cover are white); nothing when the data cannot be decoded.
std::optional<std::vector<std::uint8_t>> DecodeJbig2Samples(PdfFile& file, const Dict& dict,
                                                            std::span<const std::uint8_t> data);

}  // namespace lvx::pdf

#endif
