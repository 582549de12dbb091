// The stand-in's GDI painter on display lists made in the test, drawn into a bitmap and read back
// pixel by pixel: fills and their rules, strokes, clipping and its restoring, images with alpha,
// shadings, thin rules, text, and a turned page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "drawing_painter.h"
#include "gdi_objects.h"
#include "page_layout.h"

namespace lvx::standin {
namespace {

// A 200 x 100 point page drawn at one pixel a point into a 32-bit bitmap.
class Canvas {
 public:
  explicit Canvas(int rotation = 0)
      : placement_{0, 0, 1, {200, 100, rotation}}, dc_(CreateCompatibleDC(nullptr)) {
    const RECT box = SheetRect(placement_);
    width_ = box.right;
    height_ = box.bottom;
    const BITMAPINFO info = TopDownDib(width_, height_, 32);
    void* bits = nullptr;
    bitmap_ =
        GdiObject<HBITMAP>(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const std::uint32_t*>(bits);
    selection_.emplace(dc_.Get(), bitmap_.Get());
    const RECT all{0, 0, width_, height_};
    FillRect(dc_.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&&) = delete;
  Canvas& operator=(Canvas&&) = delete;

  void Draw(const pdf::DisplayList& list) {
    PaintDrawing(dc_.Get(), placement_, list, resources_);
    GdiFlush();
  }
  // The colour at page point (x, y), y up, as 0xRRGGBB.
  [[nodiscard]] std::uint32_t At(int x, int y) const {
    const SheetPoint p = PageToSheet(placement_.geometry, x + 0.5, y + 0.5, 1);
    return bits_[static_cast<std::size_t>(p.y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(p.x)] &
           0xFFFFFF;
  }
  [[nodiscard]] int CountDark() const {
    int dark = 0;
    for (int i = 0; i < width_ * height_; ++i) {
      const std::uint32_t c = bits_[i];
      dark += ((c >> 16U) & 0xFFU) + ((c >> 8U) & 0xFFU) + (c & 0xFFU) < 300 ? 1 : 0;
    }
    return dark;
  }
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }

 private:
  SheetPlacement placement_;
  OwnedDc dc_;
  GdiObject<HBITMAP> bitmap_;
  std::optional<Selection> selection_;
  const std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  DrawingResources resources_;
};

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

pdf::Path Box(double x0, double y0, double x1, double y1) {
  pdf::Path path;
  path.verbs = {pdf::PathVerb::kMove, pdf::PathVerb::kLine, pdf::PathVerb::kLine,
                pdf::PathVerb::kLine, pdf::PathVerb::kClose};
  path.points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  return path;
}

pdf::FillCommand Fill(pdf::Path path, pdf::Rgb colour,
                      pdf::FillRule rule = pdf::FillRule::kNonZero) {
  return {std::move(path), rule, colour, 1};
}

TEST(DrawingPainter, FillsFollowTheirRuleAndThinRulesStillShow) {
  pdf::Path nested = Box(10, 10, 90, 90);
  const pdf::Path inner = Box(30, 30, 70, 70);
  nested.verbs.insert(nested.verbs.end(), inner.verbs.begin(), inner.verbs.end());
  nested.points.insert(nested.points.end(), inner.points.begin(), inner.points.end());
  pdf::DisplayList list;
  list.commands.emplace_back(Fill(nested, {255, 0, 0}, pdf::FillRule::kEvenOdd));
  pdf::Path right = nested;
  for (pdf::Point& p : right.points) {
    p.x += 100;
  }
  list.commands.emplace_back(Fill(right, {0, 0, 255}));
  list.commands.emplace_back(Fill(Box(10, 95, 190, 95.2), {0, 0, 0}));  // 0.2 points tall
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_EQ(canvas.At(20, 20), kRed);
  EXPECT_EQ(canvas.At(50, 50), kWhite);  // the even-odd hole
  EXPECT_EQ(canvas.At(150, 50), kBlue);  // non-zero: no hole
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  int rule = 0;
  for (int y = 93; y <= 97; ++y) {
    rule += canvas.At(100, y) == 0 ? 1 : 0;
  }
  EXPECT_GE(rule, 1);
}

TEST(DrawingPainter, StrokesHaveTheirWidthAndDashes) {
  pdf::DisplayList list;
  pdf::StrokeCommand solid;
  solid.path.verbs = {pdf::PathVerb::kMove, pdf::PathVerb::kLine};
  solid.path.points = {{10, 20}, {190, 20}};
  solid.style.width = 8;
  solid.colour = {0, 0, 255};
  list.commands.emplace_back(solid);
  pdf::StrokeCommand dashed = solid;
  dashed.path.points = {{10, 60}, {190, 60}};
  dashed.style.dash = {10, 10};
  list.commands.emplace_back(dashed);
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_EQ(canvas.At(100, 20), kBlue);
  EXPECT_EQ(canvas.At(100, 23), kBlue);
  EXPECT_EQ(canvas.At(100, 27), kWhite);
  int on = 0;
  int off = 0;
  for (int x = 20; x < 180; ++x) {
    (canvas.At(x, 60) == kBlue ? on : off) += 1;
  }
  EXPECT_GT(on, 40);
  EXPECT_GT(off, 40);
}

TEST(DrawingPainter, ClipsLimitDrawingUntilRestored) {
  pdf::DisplayList list;
  list.commands.emplace_back(pdf::ClipCommand{Box(0, 0, 100, 100), pdf::FillRule::kNonZero});
  list.commands.emplace_back(pdf::ClipCommand{Box(50, 0, 150, 100), pdf::FillRule::kNonZero});
  list.commands.emplace_back(Fill(Box(0, 0, 200, 50), {0, 255, 0}));
  list.commands.emplace_back(pdf::RestoreClip{});
  list.commands.emplace_back(pdf::RestoreClip{});
  list.commands.emplace_back(Fill(Box(0, 50, 200, 100), {255, 0, 0}));
  list.commands.emplace_back(pdf::ClipCommand{});  // an empty clip hides what follows
  list.commands.emplace_back(Fill(Box(0, 0, 200, 100), {0, 0, 255}));
  list.commands.emplace_back(pdf::RestoreClip{});
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_EQ(canvas.At(25, 25), kWhite);   // outside the second clip
  EXPECT_EQ(canvas.At(75, 25), kGreen);   // inside both
  EXPECT_EQ(canvas.At(125, 25), kWhite);  // outside the first
  EXPECT_EQ(canvas.At(25, 75), kRed);     // after both were restored
  EXPECT_EQ(canvas.At(175, 75), kRed);
}

TEST(DrawingPainter, AClipWhoseStateWasNotSavedRestoresNothingOfTheClipsAround) {
  // 1,024 saved clips, the innermost the left half; the painter saves no more than that, so the
  // next clip is left out, and its restore must not undo the left half.
  pdf::DisplayList list;
  for (int i = 0; i < 1023; ++i) {
    list.commands.emplace_back(pdf::ClipCommand{Box(0, 0, 200, 100), pdf::FillRule::kNonZero});
  }
  list.commands.emplace_back(pdf::ClipCommand{Box(0, 0, 100, 100), pdf::FillRule::kNonZero});
  list.commands.emplace_back(pdf::ClipCommand{Box(0, 0, 200, 100), pdf::FillRule::kNonZero});
  list.commands.emplace_back(pdf::RestoreClip{});
  list.commands.emplace_back(Fill(Box(0, 0, 200, 50), {0, 255, 0}));
  for (int i = 0; i < 1024; ++i) {
    list.commands.emplace_back(pdf::RestoreClip{});
  }
  list.commands.emplace_back(Fill(Box(0, 50, 200, 100), {255, 0, 0}));
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_EQ(canvas.At(50, 25), kGreen);
  EXPECT_EQ(canvas.At(150, 25), kWhite) << "the left-half clip was undone too early";
  EXPECT_EQ(canvas.At(150, 75), kRed) << "every clip is undone at the end";
}

TEST(DrawingPainter, ImagesLandInTheirPlaceWithTheirAlpha) {
  pdf::DisplayList list;
  list.commands.emplace_back(Fill(Box(0, 0, 200, 100), {0, 255, 0}));
  pdf::ImagePixels image;
  image.width = 2;
  image.height = 2;
  // Rows from the top: red, blue / blue, red; the top right pixel transparent.
  image.rgb = {255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 0, 0};
  image.alpha = {255, 0, 255, 255};
  list.commands.emplace_back(pdf::ImageCommand{pdf::Affine{100, 0, 0, 80, 50, 10},
                                               std::make_shared<const pdf::ImagePixels>(image)});
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_EQ(canvas.At(75, 70), kRed);     // top left
  EXPECT_EQ(canvas.At(125, 70), kGreen);  // top right: transparent
  EXPECT_EQ(canvas.At(75, 30), kBlue);    // bottom left
  EXPECT_EQ(canvas.At(125, 30), kRed);
  EXPECT_EQ(canvas.At(40, 50), kGreen);  // beside the image

  // The same image upside down (a negative height in its matrix).
  pdf::DisplayList flipped;
  image.alpha.clear();
  flipped.commands.emplace_back(pdf::ImageCommand{pdf::Affine{100, 0, 0, -80, 50, 90},
                                                  std::make_shared<const pdf::ImagePixels>(image)});
  Canvas second;
  second.Draw(flipped);
  EXPECT_EQ(second.At(75, 70), kBlue);
  EXPECT_EQ(second.At(125, 70), kRed);
}

TEST(DrawingPainter, ShadingsRunThroughTheirColours) {
  pdf::DisplayList list;
  pdf::ShadingCommand axial;
  axial.kind = pdf::ShadingCommand::Kind::kAxial;
  axial.from = {0, 0};
  axial.to = {200, 0};
  for (int i = 0; i < 256; ++i) {
    axial.ramp.push_back({static_cast<std::uint8_t>(255 - i), 0, static_cast<std::uint8_t>(i)});
  }
  axial.area = Box(0, 0, 200, 50);
  list.commands.emplace_back(axial);
  pdf::ShadingCommand flat;
  flat.kind = pdf::ShadingCommand::Kind::kFlat;
  flat.ramp = {{0, 255, 0}};
  flat.area = Box(0, 60, 200, 100);
  list.commands.emplace_back(flat);
  Canvas canvas;
  canvas.Draw(list);
  const std::uint32_t left = canvas.At(5, 25);
  const std::uint32_t right = canvas.At(195, 25);
  EXPECT_GT(left >> 16U, 230U);
  EXPECT_GT(right & 0xFFU, 230U);
  const std::uint32_t middle = canvas.At(100, 25);
  EXPECT_GT(middle >> 16U, 100U);
  EXPECT_GT(middle & 0xFFU, 100U);
  EXPECT_EQ(canvas.At(100, 55), kWhite);  // outside the area
  EXPECT_EQ(canvas.At(100, 80), kGreen);
}

TEST(DrawingPainter, TextIsDrawnAtItsGlyphsAndTurnsWithThePage) {
  auto font = std::make_shared<pdf::DrawFont>();
  font->family = "Helvetica";
  pdf::TextCommand text;
  text.font = font;
  text.matrix = {40, 0, 0, 40, 0, 0};
  for (int i = 0; i < 4; ++i) {
    text.glyphs.push_back({{20.0 + 25 * i, 30}, 25, "H", -1, nullptr});
  }
  pdf::DisplayList list;
  list.commands.emplace_back(text);
  Canvas canvas;
  canvas.Draw(list);
  EXPECT_GT(canvas.CountDark(), 400);
  // Ink lies between the baseline and the cap height, from the first origin on.
  EXPECT_EQ(canvas.At(10, 45), kWhite);
  EXPECT_EQ(canvas.At(60, 80), kWhite);

  Canvas turned(90);
  EXPECT_EQ(turned.Width(), 100);
  turned.Draw(list);
  EXPECT_GT(turned.CountDark(), 400);
}

}  // namespace
}  // namespace lvx::standin
