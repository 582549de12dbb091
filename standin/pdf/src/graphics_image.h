// Images for the display list: image XObjects and inline images, 1 to 16 bits per component,
// Decode arrays, colour conversion to RGB, image masks in the fill colour, colour-key masks,
// explicit masks and soft masks as an alpha channel. JPEG data is kept for the painter's codecs;
// JPEG 2000 data is decoded here (image_jpx.h), CCITT fax data by its filter, JBIG2 data here
// (graphics_jbig2.h).
// Short data draws what it has (the missing rows stay transparent); absurd sizes are refused or
// sampled down to a bound.
#ifndef LVXPDF_GRAPHICS_IMAGE_H
#define LVXPDF_GRAPHICS_IMAGE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "lvxpdf/display_list.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// An image's dictionary (an XObject's, or an inline image's with its keys spelled out) and its
// data after the filters that are not image codecs.
struct ImageSource {
  const Dict* dict = nullptr;
  std::vector<std::uint8_t> data;
  bool jpeg = false;       // `data` is DCT-encoded
  bool jpx = false;        // `data` is JPEG 2000, decoded with the image (image_jpx.h)
  bool undecoded = false;  // an image codec this reader lacks, or JBIG2 data it could not decode
  // A dictionary made for decoded data (`dict` points to it), and an opacity channel of
  // Width x Height that came with the data (used when the dictionary has no mask).
  std::shared_ptr<const Dict> madeDict;
  std::vector<std::uint8_t> alpha;
};

// The source of an image XObject stream.
ImageSource ImageFromStream(PdfFile& file, const Stream& stream);
// The source of an inline image: its dictionary (keys spelled out) and its data in the content.
ImageSource ImageFromData(const Dict& dict, std::span<const std::uint8_t> data);

// The image as a display-list command (placement left to the caller); nothing when it cannot be
// drawn at all. `fill` colours image masks. Sizes are checked in 64-bit arithmetic: images are
// sampled down to kMaxImagePixels, and further until their pixels fit `byteBudget`; an image that
// cannot fit at all is left out with `overBudget` set. Samples and pixels count as work.
std::optional<ImageCommand> DecodeImage(PdfFile& file, const ImageSource& source,
                                        const Object& resources, Rgb fill, std::uint64_t byteBudget,
                                        bool* overBudget = nullptr);

// An inline image's dictionary with abbreviated keys and names spelled out (W -> Width, ...).
Dict ExpandInlineImageDict(PdfFile& file, const Dict& dict, const Object& resources);

}  // namespace lvx::pdf

#endif
