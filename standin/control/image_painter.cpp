#include "image_painter.h"

#include <initguid.h>  // defines the codec GUIDs that wincodec.h names
#include <wincodec.h>

#include <algorithm>
#include <cmath>

#include "com_objects.h"
#include "gdi_objects.h"
#include "memory_budget.h"

namespace lvx::standin {
namespace {

// Pixels as one DIB wants them: 24-bit BGR rows from the top, each padded to 4 bytes.
struct Dib {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;
  [[nodiscard]] BITMAPINFO Info(WORD bitCount) const { return TopDownDib(width, height, bitCount); }
};

// The source pixels with their alpha, in the orientation that they take on the device, so that
// the destination has positive width and height.
struct Oriented {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::vector<std::uint8_t> alpha;
};

Oriented Orient(int width, int height, const std::vector<std::uint8_t>& rgb,
                const std::vector<std::uint8_t>& alpha, bool swap, bool flipX, bool flipY) {
  Oriented out;
  out.width = swap ? height : width;
  out.height = swap ? width : height;
  const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  out.rgb.resize(count * 3);
  const bool withAlpha = alpha.size() == count;
  if (withAlpha) {
    out.alpha.resize(count);
  }
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const int ox = flipX ? out.width - 1 - x : x;
      const int oy = flipY ? out.height - 1 - y : y;
      // Source column and row: swapped when the image's rows run across the device.
      const int sx = swap ? oy : ox;
      const int sy = swap ? ox : oy;
      const auto from = static_cast<std::size_t>(sy) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(sx);
      const auto to = static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                      static_cast<std::size_t>(x);
      std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(from * 3), 3,
                  out.rgb.begin() + static_cast<std::ptrdiff_t>(to * 3));
      if (withAlpha) {
        out.alpha[to] = alpha[from];
      }
    }
  }
  return out;
}

// `background`: the colour that stands where alpha hides a pixel (-1: keep the pixel).
Dib ToDib(const Oriented& image, int background) {
  Dib dib{image.width, image.height, {}};
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  dib.bits.assign(stride * static_cast<std::size_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                      static_cast<std::size_t>(x);
      std::uint8_t* out =
          &dib.bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
      if (background >= 0 && !image.alpha.empty() && image.alpha[at] < 128) {
        out[0] = out[1] = out[2] = static_cast<std::uint8_t>(background);
      } else {
        out[0] = image.rgb[at * 3 + 2];
        out[1] = image.rgb[at * 3 + 1];
        out[2] = image.rgb[at * 3];
      }
    }
  }
  return dib;
}

// A stencil of the opaque pixels: black where the image shows, white elsewhere.
Dib MaskDib(const Oriented& image) {
  Oriented mask = image;
  for (std::size_t i = 0; i < mask.alpha.size(); ++i) {
    const std::uint8_t v = mask.alpha[i] >= 128 ? 0 : 255;
    mask.rgb[i * 3] = mask.rgb[i * 3 + 1] = mask.rgb[i * 3 + 2] = v;
  }
  mask.alpha.clear();
  return ToDib(mask, -1);
}

bool Stretch(HDC dc, const RECT& to, const Dib& dib, DWORD rop) {
  const BITMAPINFO info = dib.Info(24);
  return StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0, dib.width,
                       dib.height, dib.bits.data(), &info, DIB_RGB_COLORS, rop) != 0;
}

// Per-pixel alpha through a premultiplied 32-bit DIB section and GdiAlphaBlend.
bool Blend(HDC dc, const RECT& to, const Oriented& image) {
  Dib dib{image.width, image.height, {}};
  const BITMAPINFO info = dib.Info(32);
  void* bits = nullptr;
  const OwnedDc memory(CreateCompatibleDC(dc));
  const GdiObject<HBITMAP> bitmap(
      CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) {
    return false;
  }
  auto* out = static_cast<std::uint8_t*>(bits);
  const std::size_t count = image.alpha.size();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned a = image.alpha[i];
    out[i * 4] = static_cast<std::uint8_t>(image.rgb[i * 3 + 2] * a / 255);
    out[i * 4 + 1] = static_cast<std::uint8_t>(image.rgb[i * 3 + 1] * a / 255);
    out[i * 4 + 2] = static_cast<std::uint8_t>(image.rgb[i * 3] * a / 255);
    out[i * 4 + 3] = static_cast<std::uint8_t>(a);
  }
  GdiFlush();
  const Selection selected(memory.Get(), bitmap.Get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return GdiAlphaBlend(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory.Get(), 0,
                       0, image.width, image.height, blend) != FALSE;
}

bool Near(double value, double target) { return std::fabs(value - target) < 1e-3; }

// The reduction (a power of two) at which a picture of `width` x `height` pixels still has at
// least the pixels that the device shows of it in each direction.
int Reduction(int width, int height, LONG shownWidth, LONG shownHeight) {
  constexpr int kLargest = 1 << 12;
  int factor = 1;
  const auto side = [](int pixels, int by) { return (pixels + by - 1) / by; };
  while (factor < kLargest && side(width, factor * 2) >= shownWidth &&
         side(height, factor * 2) >= shownHeight) {
    factor *= 2;
  }
  return factor;
}

// `alpha` (`width` x `height`) sampled at the nearest pixel for a picture of `toWidth` x
// `toHeight`.
std::vector<std::uint8_t> Sampled(const std::vector<std::uint8_t>& alpha, int width, int height,
                                  int toWidth, int toHeight) {
  if (alpha.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return {};
  }
  std::vector<std::uint8_t> out(static_cast<std::size_t>(toWidth) *
                                static_cast<std::size_t>(toHeight));
  for (int y = 0; y < toHeight; ++y) {
    const auto sy = static_cast<std::size_t>(static_cast<std::int64_t>(y) * height / toHeight);
    for (int x = 0; x < toWidth; ++x) {
      const auto sx = static_cast<std::size_t>(static_cast<std::int64_t>(x) * width / toWidth);
      out[static_cast<std::size_t>(y) * static_cast<std::size_t>(toWidth) +
          static_cast<std::size_t>(x)] = alpha[sy * static_cast<std::size_t>(width) + sx];
    }
  }
  return out;
}

}  // namespace

BITMAPINFO TopDownDib(int width, int height, WORD bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::shared_ptr<const DecodedPicture> DecodeJpeg(const std::vector<std::uint8_t>& jpeg,
                                                 bool inverted, int reduction) {
  if (jpeg.empty() || jpeg.size() > 0xFFFFFFFFU || reduction < 1) {
    return nullptr;
  }
  const ComApartment apartment;
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICStream> stream;
  ComRef<IWICBitmapDecoder> decoder;
  ComRef<IWICBitmapFrameDecode> frame;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))) ||
      FAILED(factory->CreateStream(stream.Out())) ||
      // The stream only reads the data, though the interface takes it as writable.
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast)
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data()),
                                          static_cast<DWORD>(jpeg.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out()))) {
    return nullptr;
  }
  UINT fullWidth = 0;
  UINT fullHeight = 0;
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetSize(&fullWidth, &fullHeight)) || FAILED(frame->GetPixelFormat(&format)) ||
      fullWidth == 0 || fullHeight == 0) {
    return nullptr;
  }
  // The size decoded: reduced as asked, then by halves until it is within the limit.
  auto factor = static_cast<std::uint64_t>(reduction);
  const auto reduced = [&](UINT side) { return static_cast<UINT>((side + factor - 1) / factor); };
  while (static_cast<std::uint64_t>(reduced(fullWidth)) * reduced(fullHeight) > kMaxPicturePixels) {
    factor *= 2;
  }
  const UINT width = reduced(fullWidth);
  const UINT height = reduced(fullHeight);
  IWICBitmapSource* source = frame.Get();
  ComRef<IWICBitmapScaler> scaler;
  if (width != fullWidth || height != fullHeight) {
    if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
        FAILED(scaler->Initialize(frame.Get(), width, height, WICBitmapInterpolationModeFant))) {
      return nullptr;
    }
    source = scaler.Get();
  }
  auto picture = std::make_shared<DecodedPicture>();
  picture->width = static_cast<int>(width);
  picture->height = static_cast<int>(height);
  const std::size_t count = static_cast<std::size_t>(width) * height;
  picture->rgb.resize(count * 3);
  if (IsEqualGUID(format, GUID_WICPixelFormat32bppCMYK)) {
    std::vector<std::uint8_t> cmyk(count * 4);
    if (FAILED(
            source->CopyPixels(nullptr, width * 4, static_cast<UINT>(cmyk.size()), cmyk.data()))) {
      return nullptr;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const auto ink = [&](std::size_t k) {
        const double v = cmyk[i * 4 + k] / 255.0;
        return inverted ? 1 - v : v;
      };
      const pdf::Rgb rgb = [&] {
        const double white = 1 - ink(3);
        return pdf::Rgb{static_cast<std::uint8_t>(std::lround((1 - ink(0)) * white * 255)),
                        static_cast<std::uint8_t>(std::lround((1 - ink(1)) * white * 255)),
                        static_cast<std::uint8_t>(std::lround((1 - ink(2)) * white * 255))};
      }();
      picture->rgb[i * 3] = rgb.r;
      picture->rgb[i * 3 + 1] = rgb.g;
      picture->rgb[i * 3 + 2] = rgb.b;
    }
    return picture;
  }
  ComRef<IWICFormatConverter> converter;
  const UINT stride = (width * 3 + 3) & ~3U;
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(stride) * height);
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                   nullptr, 0, WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(bgr.size()), bgr.data()))) {
    return nullptr;
  }
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) {
      const std::size_t from = static_cast<std::size_t>(y) * stride + x * 3;
      const std::size_t to = (static_cast<std::size_t>(y) * width + x) * 3;
      picture->rgb[to] = bgr[from + 2];
      picture->rgb[to + 1] = bgr[from + 1];
      picture->rgb[to + 2] = bgr[from];
    }
  }
  return picture;
}

std::shared_ptr<const DecodedPicture> PictureCache::Get(const pdf::ImagePixels& image,
                                                        int reduction) {
  const Key key{image.identity, image.jpeg.size(), image.jpegInverted, reduction};
  const auto found = std::find_if(pictures_.begin(), pictures_.end(),
                                  [&key](const Entry& entry) { return entry.key == key; });
  if (found != pictures_.end()) {
    pictures_.splice(pictures_.begin(), pictures_, found);
    return pictures_.front().picture;
  }
  auto picture = DecodeJpeg(image.jpeg, image.jpegInverted, reduction);
  // An entry that holds no picture (data the codec does not read) still costs its own record.
  const std::size_t bytes = sizeof(Entry) + (picture ? picture->Bytes() : 0);
  if (bytes > kPictureCacheBytes) {
    return picture;  // drawn this once, not kept
  }
  while (!pictures_.empty() && bytes_ + bytes > kPictureCacheBytes) {
    bytes_ -= pictures_.back().bytes;
    pictures_.pop_back();
  }
  pictures_.push_front({key, picture, bytes});
  bytes_ += bytes;
  return picture;
}

bool PaintImage(HDC dc, const DeviceMap& map, const pdf::ImageCommand& placed,
                PictureCache& pictures) {
  if (!placed.pixels) {
    return true;
  }
  const pdf::ImagePixels& image = *placed.pixels;
  if (image.width <= 0 || image.height <= 0 ||
      static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height) >
          kMaxPaintedPixels) {
    return true;  // nothing to draw, or more than may be drawn: left out
  }
  // The image's corners on the device: its top left, the ends of its top row and left column.
  const pdf::Affine& p = placed.placement;
  const auto device = [&](double u, double v) {
    const double x = u * p.a + v * p.c + p.e;
    const double y = u * p.b + v * p.d + p.f;
    return pdf::Point{map.X(x, y), map.Y(x, y)};
  };
  const pdf::Point topLeft = device(0, 1);
  const pdf::Point topRight = device(1, 1);
  const pdf::Point bottomLeft = device(0, 0);
  const double ux = topRight.x - topLeft.x;
  const double uy = topRight.y - topLeft.y;
  const double vx = bottomLeft.x - topLeft.x;
  const double vy = bottomLeft.y - topLeft.y;
  bool swap = false;
  if (Near(uy, 0) && Near(vx, 0)) {
    swap = false;
  } else if (Near(ux, 0) && Near(vy, 0)) {
    swap = true;  // rows run down the device's columns
  } else {
    // Turned by another angle: the page's box of it, a fair stand-in for such rare images.
    swap = std::fabs(ux) < std::fabs(uy);
  }
  const double across = swap ? vx : ux;  // device x extent
  const double down = swap ? uy : vy;    // device y extent
  const double left = std::min(topLeft.x, topLeft.x + across);
  const double top = std::min(topLeft.y, topLeft.y + down);
  RECT to{static_cast<LONG>(std::lround(left)), static_cast<LONG>(std::lround(top)),
          static_cast<LONG>(std::lround(left + std::fabs(across))),
          static_cast<LONG>(std::lround(top + std::fabs(down)))};
  to.right = std::max(to.right, to.left + 1);
  to.bottom = std::max(to.bottom, to.top + 1);

  // The pixels: the image's own, or its JPEG data decoded, reduced where the device shows it
  // much smaller (the alpha then sampled to the picture's size).
  int width = image.width;
  int height = image.height;
  const std::vector<std::uint8_t>* rgb = &image.rgb;
  const std::vector<std::uint8_t>* alpha = &image.alpha;
  std::shared_ptr<const DecodedPicture> picture;
  std::vector<std::uint8_t> sampledAlpha;
  if (!image.jpeg.empty()) {
    const LONG shownWidth = swap ? to.bottom - to.top : to.right - to.left;
    const LONG shownHeight = swap ? to.right - to.left : to.bottom - to.top;
    picture = pictures.Get(image, Reduction(image.width, image.height, shownWidth, shownHeight));
    if (!picture) {
      return true;  // data the codec does not read: nothing to draw
    }
    width = picture->width;
    height = picture->height;
    rgb = &picture->rgb;
    if (!image.alpha.empty() && (width != image.width || height != image.height)) {
      sampledAlpha = Sampled(image.alpha, image.width, image.height, width, height);
      alpha = &sampledAlpha;
    }
  }
  const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (width <= 0 || height <= 0 ||
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPaintedPixels ||
      rgb->size() < count * 3) {
    return true;
  }
  static const std::vector<std::uint8_t> kOpaque;
  const Oriented oriented = Orient(width, height, *rgb, alpha->size() == count ? *alpha : kOpaque,
                                   swap, across < 0, down < 0);

  const bool shrinking = oriented.width > 2 * (to.right - to.left);
  SetStretchBltMode(dc, shrinking ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  if (oriented.alpha.empty()) {
    return Stretch(dc, to, ToDib(oriented, -1), SRCCOPY);
  }
  if (GetDeviceCaps(dc, TECHNOLOGY) != DT_RASPRINTER && Blend(dc, to, oriented)) {
    return true;
  }
  // Where blending is not at hand: clear the opaque pixels to black, then add the image with
  // the hidden ones black.
  SetStretchBltMode(dc, COLORONCOLOR);
  return Stretch(dc, to, MaskDib(oriented), SRCAND) &&
         Stretch(dc, to, ToDib(oriented, 0), SRCPAINT);
}

}  // namespace lvx::standin
