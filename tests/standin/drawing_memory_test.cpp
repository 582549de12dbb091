// What the painter keeps between pages, and what it refuses: decoded JPEG pictures are found by
// what their data is and held within their byte budget, large pictures are decoded reduced,
// page drawings are held within theirs, and an image of more pixels than may be painted draws
// nothing. The JPEG data is made here with the system's own encoder.
#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "com_objects.h"
#include "drawing_painter.h"
#include "memory_budget.h"

namespace lvx::standin {
namespace {

// A JPEG picture of `width` x `height` pixels all of one colour, made by the system's encoder.
std::vector<std::uint8_t> JpegOf(UINT width, UINT height, pdf::Rgb colour) {
  ComRef<IWICImagingFactory> factory;
  ComRef<IStream> memory;
  ComRef<IWICStream> stream;
  ComRef<IWICBitmapEncoder> encoder;
  ComRef<IWICBitmapFrameEncode> frame;
  ComRef<IPropertyBag2> options;
  const UINT stride = width * 3;
  std::vector<BYTE> bgr(static_cast<std::size_t>(stride) * height);
  for (std::size_t i = 0; i < bgr.size(); i += 3) {
    bgr[i] = colour.b;
    bgr[i + 1] = colour.g;
    bgr[i + 2] = colour.r;
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))) ||
      FAILED(CreateStreamOnHGlobal(nullptr, TRUE, memory.Out())) ||
      FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromIStream(memory.Get())) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.Out())) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.Out(), options.Out())) ||
      FAILED(frame->Initialize(options.Get())) || FAILED(frame->SetSize(width, height)) ||
      FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ||
      FAILED(frame->WritePixels(height, stride, static_cast<UINT>(bgr.size()), bgr.data())) ||
      FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
    return {};
  }
  HGLOBAL global = nullptr;
  STATSTG status{};
  if (FAILED(GetHGlobalFromStream(memory.Get(), &global)) ||
      FAILED(memory->Stat(&status, STATFLAG_NONAME))) {
    return {};
  }
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(global));
  std::vector<std::uint8_t> jpeg(bytes, bytes + status.cbSize.QuadPart);
  GlobalUnlock(global);
  return jpeg;
}

class PainterMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(PainterMemoryTest, PicturesAreFoundByTheirDataNeverByItsAddress) {
  constexpr pdf::Rgb kRed{230, 20, 20};
  constexpr pdf::Rgb kBlue{20, 20, 230};
  pdf::ImagePixels image;
  image.width = image.height = 16;
  image.jpeg = JpegOf(16, 16, kRed);
  image.identity = 1;
  ASSERT_FALSE(image.jpeg.empty());
  const std::uint8_t* address = image.jpeg.data();

  PictureCache pictures;
  const auto red = pictures.Get(image);
  ASSERT_NE(red, nullptr);
  EXPECT_GT(red->rgb[0], 200);

  // Other data in the same buffer, as when freed data's address is given to a new image.
  std::vector<std::uint8_t> blue = JpegOf(16, 16, kBlue);
  blue.resize(image.jpeg.size(), 0);  // same size: the buffer stays where it is
  std::copy(blue.begin(), blue.end(), image.jpeg.begin());
  image.identity = 2;
  ASSERT_EQ(image.jpeg.data(), address);
  const auto second = pictures.Get(image);
  ASSERT_NE(second, nullptr);
  EXPECT_LT(second->rgb[0], 60) << "the second image got the first one's picture";
  EXPECT_GT(second->rgb[2], 200);
}

TEST_F(PainterMemoryTest, PicturesAreHeldWithinTheirBudget) {
  // Five pictures of 3000 x 1000 pixels, 9 MB each decoded: more than the budget holds.
  PictureCache pictures;
  std::vector<std::weak_ptr<const DecodedPicture>> decoded;
  std::vector<pdf::ImagePixels> images(5);
  for (std::size_t i = 0; i < images.size(); ++i) {
    images[i].width = 3000;
    images[i].height = 1000;
    images[i].jpeg = JpegOf(3000, 1000, {static_cast<std::uint8_t>(40 * i), 90, 90});
    images[i].identity = 100 + i;
    const auto picture = pictures.Get(images[i]);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 3000);
    decoded.push_back(picture);
  }
  std::size_t held = 0;
  for (const auto& picture : decoded) {
    if (const auto alive = picture.lock()) {
      held += alive->rgb.size();
    }
  }
  EXPECT_GT(held, 0U);
  EXPECT_LE(held, kPictureCacheBytes) << "decoded pictures held beyond the budget";
  EXPECT_FALSE(decoded.back().expired()) << "the picture decoded last is kept";
}

TEST_F(PainterMemoryTest, LargePicturesAreDecodedReduced) {
  // Asked at a quarter of its size in each direction, a picture comes out reduced; one of more
  // pixels than the limit comes out within it even at full size.
  const auto quarter = DecodeJpeg(JpegOf(3000, 1000, {200, 90, 90}), false, 4);
  ASSERT_NE(quarter, nullptr);
  EXPECT_EQ(quarter->width, 750);
  EXPECT_EQ(quarter->height, 250);
  const auto large = DecodeJpeg(JpegOf(4096, 4096, {0, 0, 0}), false);
  ASSERT_NE(large, nullptr);
  EXPECT_LE(static_cast<std::uint64_t>(large->width) * static_cast<std::uint64_t>(large->height),
            kMaxPicturePixels);
  EXPECT_EQ(large->width, 2048);
}

// A document whose every page draws one image of `bytes` bytes.
class HeavyPages : public ShownDocument {
 public:
  explicit HeavyPages(std::size_t bytes) : bytes_(bytes) {}
  [[nodiscard]] int PageCount() const override { return 100; }
  [[nodiscard]] pdf::PageGeometry Geometry(int /*page*/) const override { return {}; }
  [[nodiscard]] std::vector<pdf::TextRun> Runs(int /*page*/) const override { return {}; }
  [[nodiscard]] std::shared_ptr<const pdf::DisplayList> Drawing(int /*page*/) const override {
    auto pixels = std::make_shared<pdf::ImagePixels>();
    pixels->width = 1;
    pixels->height = static_cast<int>(bytes_ / 3);
    pixels->rgb.assign(bytes_, 128);
    auto list = std::make_shared<pdf::DisplayList>();
    list->commands.emplace_back(pdf::ImageCommand{{}, std::move(pixels), false});
    return list;
  }
  [[nodiscard]] std::vector<ShownFile> Files() const override { return {}; }

 private:
  std::size_t bytes_;
};

TEST_F(PainterMemoryTest, PageDrawingsAreHeldWithinTheirBudget) {
  const HeavyPages document(16 * kMiB);
  DrawingCache cache;
  std::vector<std::weak_ptr<const pdf::DisplayList>> drawings;
  drawings.reserve(4);
  for (int page = 0; page < 4; ++page) {
    drawings.push_back(cache.Get(document, page));
  }
  int alive = 0;
  for (const auto& drawing : drawings) {
    alive += drawing.expired() ? 0 : 1;
  }
  EXPECT_EQ(alive, static_cast<int>(kDrawingCacheBytes / (16 * kMiB)))
      << "pages of 16 MiB held beyond the budget";
  EXPECT_FALSE(drawings.back().expired());
  EXPECT_EQ(cache.Get(document, 3), drawings.back().lock()) << "the page drawn last is kept";
}

TEST_F(PainterMemoryTest, AnImageOfMorePixelsThanMayBePaintedDrawsNothing) {
  // 65536 x 65537 pixels wrap to 65536 in 32-bit arithmetic; the pixels given fit that count.
  auto pixels = std::make_shared<pdf::ImagePixels>();
  pixels->width = 65536;
  pixels->height = 65537;
  pixels->rgb.assign(std::size_t{65536} * 3, 0);
  const pdf::ImageCommand image{{100, 0, 0, 100, 0, 0}, std::move(pixels), false};
  PictureCache pictures;
  EXPECT_TRUE(PaintImage(nullptr, DeviceMap{}, image, pictures));
}

}  // namespace
}  // namespace lvx::standin
