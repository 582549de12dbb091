// CCITT fax decoding (Group 3 one- and two-dimensional, Group 4) through libtiff's fax decoder:
// the data is wrapped in a TIFF held in memory (one strip) and read row by row, so that damaged
// or short data keeps the rows decoded before the damage. The CCITTFaxDecode filter and JBIG2's
// MMR-coded regions both use it.
#ifndef LVXPDF_CCITT_DECODER_H
#define LVXPDF_CCITT_DECODER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "filters.h"
#include "object.h"

namespace lvx::pdf {

// A 1-bit picture: rows of Stride() bytes, most significant bit first, 1 = black.
struct FaxBitmap {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t rowsDecoded = 0;  // rows the data held before it ended or broke; the rest white
  std::vector<std::uint8_t> bits;

  [[nodiscard]] std::size_t Stride() const { return (std::size_t{width} + 7) / 8; }
};

// The coding of the data, as the CCITTFaxDecode filter's parameters name it.
struct CcittParams {
  std::int64_t k = 0;  // < 0: Group 4 (2-D); 0: Group 3 1-D; > 0: Group 3 mixed 1-D and 2-D
  std::uint32_t columns = 1728;
  std::uint32_t rows = 0;  // 0: as many rows as the data holds
  bool endOfLine = false;  // every row starts with an end-of-line code
  bool encodedByteAlign = false;
  bool endOfBlock = true;  // the data ends with an end-of-block code (informative: the decoder
                           // stops there, or at the end of the data, whichever comes first)
};

// Widest row and most rows accepted (the reader's image side bound).
inline constexpr std::uint32_t kMaxFaxSide = std::uint32_t{1} << 17;

// Decodes `data`. `byteLimit` bounds the bitmap (checked from the sizes before anything is
// allocated; with `rows` 0 the rows are bounded by it and by kMaxFaxSide). Each decoded row
// counts its pixels against the current work budget. Nothing when the sizes are refused or not
// one row decodes.
std::optional<FaxBitmap> DecodeCcitt(std::span<const std::uint8_t> data, const CcittParams& params,
                                     std::size_t byteLimit);

// Group 4 (MMR) data of a bitmap of `width` by `height` (JBIG2's MMR-coded regions).
std::optional<FaxBitmap> DecodeMmr(std::span<const std::uint8_t> data, std::uint32_t width,
                                   std::uint32_t height, std::size_t byteLimit);

// The CCITTFaxDecode filter: samples of 1 bit, 0 = black unless /BlackIs1. Rows missing from
// damaged or short data are white, with `status` kDamaged.
std::vector<std::uint8_t> CcittFaxDecode(const Dict& parms, std::span<const std::uint8_t> input,
                                         std::size_t limit, FilterStatus& status);

}  // namespace lvx::pdf

#endif
