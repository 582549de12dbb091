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
  [[nodiscard]] std::size_t Bytes() const { return sizeof(DecodedPicture) + rgb.size(); }
};

// Decodes JPEG data with Windows Imaging Component; null when it cannot. CMYK pictures are
// converted with the simple device formula (inverted when `inverted`). The picture is reduced
// by `reduction` in each direction (1: full size), and further by halves while it would have
// more than kMaxPicturePixels (memory_budget.h).
std::shared_ptr<const DecodedPicture> DecodeJpeg(const std::vector<std::uint8_t>& jpeg,
                                                 bool inverted, int reduction = 1);

// The JPEG pictures decoded last, within kPictureCacheBytes, so that repainting a page does not
// decode them again. A picture is found by what its data is (the reader's hash of it and its
// size) and the reduction it was decoded at, never by where the data happens to lie in memory.
class PictureCache {
 public:
  // The image's JPEG data decoded at `reduction` (null when the codec does not read it).
  std::shared_ptr<const DecodedPicture> Get(const pdf::ImagePixels& image, int reduction = 1);
  void Clear() {
    pictures_.clear();
    bytes_ = 0;
  }
  // The bytes of the pictures held.
  [[nodiscard]] std::size_t Bytes() const { return bytes_; }

 private:
  struct Key {
    std::uint64_t identity = 0;
    std::size_t size = 0;
    bool inverted = false;
    int reduction = 1;
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct Entry {
    Key key;
    std::shared_ptr<const DecodedPicture> picture;
    std::size_t bytes = 0;
  };
  std::list<Entry> pictures_;
  std::size_t bytes_ = 0;
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
bool PaintImage(HDC dc, const DeviceMap& map, const pdf::ImageCommand& placed,
                PictureCache& pictures);

}  // namespace lvx::standin

#endif
