#include "jbig2_mmr.h"

#include <algorithm>
#include <optional>

#include "ccitt_decoder.h"

namespace lvx::pdf::jbig2 {

// MMR coding is Group 4 fax coding: libtiff's fax decoder (ccitt_decoder.h) decodes it into a
// picture of the same packing (1 = black), and the rows are copied into the region's bitmap.
// The decoder's own picture counts against the allowance while both exist.
Bitmap DecodeMmr(std::span<const std::uint8_t> data, std::uint64_t width, std::uint64_t height,
                 Allowance& allowance) {
  Bitmap bitmap(width, height, allowance);
  if (bitmap.Empty()) {
    return bitmap;
  }
  const std::uint64_t pictureBytes = bitmap.Stride() * std::uint64_t{bitmap.Height()};
  allowance.Take(pictureBytes + kBitmapOverhead);
  const std::optional<FaxBitmap> picture =
      pdf::DecodeMmr(data, bitmap.Width(), bitmap.Height(),
                     static_cast<std::size_t>(pictureBytes + kBitmapOverhead));
  if (!picture || picture->Stride() != bitmap.Stride() || picture->rowsDecoded == 0) {
    Damaged("MMR-coded region");
  }
  const std::uint32_t rows = std::min(picture->rowsDecoded, bitmap.Height());
  for (std::uint32_t y = 0; y < rows; ++y) {
    const auto row = picture->bits.begin() + static_cast<std::ptrdiff_t>(y * bitmap.Stride());
    std::copy_n(row, bitmap.Stride(), bitmap.Row(y).begin());
  }
  return bitmap;
}

}  // namespace lvx::pdf::jbig2
