// Drawing a display list's images with GDI: the pixels through StretchDIBits onto the device
// (turned in quarter turns where the page turns them), transparency through GdiAlphaBlend where the
// device blends, else as a two-pass mask (pixels of alpha below one half stay unpainted), and
// JPEG data decoded through Windows Imaging Component.
#ifndef LUMIVEX_STANDIN_IMAGE_PAINTER_H
#define LUMIVEX_STANDIN_IMAGE_PAINTER_H

#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "lvxpdf/display_list.h"

namespace lvx::standin {

// 24-bit pixels, rows from the top, as decoded from JPEG data.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Decodes JPEG data with Windows Imaging Component; null when it cannot. CMYK pictures are
// converted with the simple device formula (inverted when `inverted`).
std::shared_ptr<const DecodedPicture> DecodeJpeg(const std::vector<std::uint8_t>& jpeg,
                                                 bool inverted);

// The last few JPEG pictures decoded, so that repainting a page does not decode them again.
class PictureCache {
 public:
  std::shared_ptr<const DecodedPicture> Get(const pdf::ImagePixels& image);
  void Clear() { pictures_.clear(); }

 private:
  static constexpr std::size_t kPictures = 8;
  std::list<std::pair<const std::uint8_t*, std::shared_ptr<const DecodedPicture>>> pictures_;
};

// Device coordinates of page space: x' = x a + y c + e, y' = x b + y d + f.
struct DeviceMap {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  [[nodiscard]] double X(double x, double y) const { return x * a + y * c + e; }
  [[nodiscard]] double Y(double x, double y) const { return x * b + y * d + f; }
};

// The header of a top-down DIB of `bitCount` bits a pixel (BI_RGB).
BITMAPINFO TopDownDib(int width, int height, WORD bitCount);

// Draws the image; answers false when the device refused.
bool PaintImage(HDC dc, const DeviceMap& map, const pdf::ImageCommand& image,
                PictureCache& pictures);

}  // namespace lvx::standin

#endif
