// JBIG2 images as PDF embeds them (the JBIG2Decode filter): a stream of segments without a file
// header, after the segments of an optional globals stream. Decodes the page's bitmap with
// arithmetic-coded generic, refinement, text and halftone regions, symbol and pattern
// dictionaries, and MMR-coded generic regions and pattern dictionaries. Huffman-coded dictionaries
// and regions and MMR-coded halftone grey-scale planes are refused with a reason, as are sizes
// beyond the limits, more bitmap memory than `byteBudget` and work beyond the page's budget.
#ifndef LVXPDF_JBIG2_H
#define LVXPDF_JBIG2_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lvx::pdf {

struct Jbig2Image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // Rows of (width + 7) / 8 bytes, the most significant bit first; 1 is black.
  std::vector<std::uint8_t> bits;
};

struct Jbig2Result {
  std::optional<Jbig2Image> image;  // nothing when the image could not be decoded
  std::string problem;              // why not, or empty
};

Jbig2Result DecodeJbig2(std::span<const std::uint8_t> data, std::span<const std::uint8_t> globals,
                        std::uint64_t byteBudget);

}  // namespace lvx::pdf

#endif
