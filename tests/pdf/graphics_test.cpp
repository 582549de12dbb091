// A page's drawing (Document::PageDrawing): paths and their painting, the graphics state and
// clipping, colour spaces and tint functions, images, forms, shadings, text and Type 3 glyphs,
// annotations, and damaged or hostile content.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "page_fixture.h"
#include "page_limits.h"

namespace lvx::pdf {
namespace {

using test::All;
using test::Bytes;
using test::Draw;
using test::ExpectBalancedClips;
using test::Page;
using test::PdfBuilder;

TEST(GraphicsPaths, StrokesAndFillsInPageSpaceWithTheirStyle) {
  const DisplayList list =
      Draw(Page("1 0 0 RG 2 w 1 J 2 j 5 M [3 1] 0.5 d 10 20 m 110 20 l 110 70 60 90 10 70 c S\n"
                "0 0 1 rg 20 30 40 10 re f\n"
                "q 2 0 0 3 0 0 cm 0.5 g 0 0 m 10 0 l 10 10 l h B* Q\n"
                "20 30 m 30 30 l s"));
  EXPECT_EQ(list.width, 200);
  EXPECT_EQ(list.height, 100);
  const auto strokes = All<StrokeCommand>(list);
  ASSERT_EQ(strokes.size(), 3U);
  const StrokeCommand& first = strokes[0];
  EXPECT_EQ(first.colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(first.style.width, 2);
  EXPECT_EQ(first.style.cap, LineCap::kRound);
  EXPECT_EQ(first.style.join, LineJoin::kBevel);
  EXPECT_EQ(first.style.miterLimit, 5);
  EXPECT_EQ(first.style.dash, (std::vector<double>{3, 1}));
  ASSERT_EQ(first.path.verbs.size(), 3U);
  EXPECT_EQ(first.path.verbs[2], PathVerb::kCurve);
  // The MediaBox's corner (10, 20) is page space's origin.
  EXPECT_EQ(first.path.points[0].x, 0);
  EXPECT_EQ(first.path.points[0].y, 0);
  EXPECT_EQ(first.path.points.back().x, 0);
  EXPECT_EQ(first.path.points.back().y, 50);

  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 2U);
  EXPECT_EQ(fills[0].colour, (Rgb{0, 0, 255}));
  EXPECT_EQ(fills[0].path.verbs.size(), 5U);  // move, 3 lines, close
  EXPECT_EQ(fills[0].path.points[2].x, 50);   // (60, 40) less the corner
  EXPECT_EQ(fills[0].path.points[2].y, 20);
  // Inside q ... Q the matrix scales the path and the line width (by the mean scale).
  EXPECT_EQ(fills[1].rule, FillRule::kEvenOdd);
  EXPECT_EQ(fills[1].colour, (Rgb{128, 128, 128}));
  EXPECT_EQ(fills[1].path.points[2].x, 10);  // 2 * 10 - 10
  EXPECT_EQ(fills[1].path.points[2].y, 10);  // 3 * 10 - 20
  EXPECT_NEAR(strokes[1].style.width, 2 * std::sqrt(6.0), 1e-9);
  // After Q: the earlier colour, width and no scaling; "s" closes the path.
  EXPECT_EQ(strokes[2].colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(strokes[2].style.width, 2);
  EXPECT_EQ(strokes[2].path.verbs.back(), PathVerb::kClose);
}

TEST(GraphicsPaths, ClippingIsRestoredWithTheStateAndStaysBalanced) {
  const DisplayList list =
      Draw(Page("q 10 20 50 50 re W n 0 g 0 0 200 100 re f Q 10 20 5 5 re f\n"
                "q q 10 20 5 5 re W* n Q Q Q Q\n"  // more Q than q: the extra ones are ignored
                "q 10 20 5 5 re W n"));            // never restored: closed at the end of the page
  ASSERT_GE(list.commands.size(), 4U);
  EXPECT_TRUE(std::holds_alternative<ClipCommand>(list.commands[0]));
  EXPECT_TRUE(std::holds_alternative<FillCommand>(list.commands[1]));
  EXPECT_TRUE(std::holds_alternative<RestoreClip>(list.commands[2]));
  EXPECT_TRUE(std::holds_alternative<FillCommand>(list.commands[3]));
  const auto clips = All<ClipCommand>(list);
  ASSERT_EQ(clips.size(), 3U);
  EXPECT_EQ(clips[1].rule, FillRule::kEvenOdd);
  ExpectBalancedClips(list);
}

TEST(GraphicsPaths, OperatorsWithBadOperandsAreSkipped) {
  const DisplayList list = Draw(
      Page("1 0 0 rg 0 g\n"
           "/X 1 rg\n"                // not three numbers: the colour stays grey
           "10 m 10 20 m (a) 30 l\n"  // both lines are skipped; the move stands
           "40 20 l 40 60 l f\n"
           "[1 -2] 0 d (w) w 10 20 m 50 20 l S\n"  // a negative dash and a string width: ignored
           "BT /Missing 12 Tf (text) Tj ET 1 2 3 4 5 cm unknownop 7 re f"));
  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_EQ(fills[0].colour, (Rgb{0, 0, 0}));
  EXPECT_EQ(fills[0].path.points.size(), 3U);
  const auto strokes = All<StrokeCommand>(list);
  ASSERT_EQ(strokes.size(), 1U);
  EXPECT_TRUE(strokes[0].style.dash.empty());
  EXPECT_EQ(strokes[0].style.width, 1);
  EXPECT_TRUE(All<TextCommand>(list).empty());
}

TEST(GraphicsColour, DeviceAndCieSpacesConvertToRgb) {
  const DisplayList list =
      Draw(Page("0 0 0 1 k 0 0 1 1 re f  1 0 0 0 k 0 0 1 1 re f\n"
                "/DeviceRGB cs 0 1 0 sc 0 0 1 1 re f\n"
                "/Icc cs 1 0 0 scn 0 0 1 1 re f\n"
                "/Cal cs 0.5 scn 0 0 1 1 re f\n"
                "/Lab cs 100 0 0 sc 0 0 1 1 re f\n"
                "/Nonsense cs 0.25 sc 0 0 1 1 re f\n",
                "/ColorSpace << /Icc [/ICCBased 5 0 R] /Cal [/CalGray << /WhitePoint [1 1 1] >>] "
                "/Lab [/Lab << /WhitePoint [0.9505 1 1.089] >>] >>",
                {"stream:/N 3|icc profile bytes"}));
  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 7U);
  EXPECT_EQ(fills[0].colour, (Rgb{0, 0, 0}));
  EXPECT_EQ(fills[1].colour, (Rgb{0, 255, 255}));
  EXPECT_EQ(fills[2].colour, (Rgb{0, 255, 0}));
  EXPECT_EQ(fills[3].colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(fills[4].colour, (Rgb{128, 128, 128}));
  EXPECT_GE(fills[5].colour.r, 250);  // L* 100 is white
  EXPECT_GE(fills[5].colour.b, 250);
  EXPECT_EQ(fills[6].colour, (Rgb{64, 64, 64}));  // an unknown space is grey
}

TEST(GraphicsColour, IndexedSeparationAndDeviceNThroughTheirFunctions) {
  const DisplayList list = Draw(
      Page("/Ix cs 1 sc 0 0 1 1 re f\n"
           "/Spot cs 0.5 sc 0 0 1 1 re f\n"
           "/Spot cs 0 0 1 1 re f\n"  // selecting the space sets tint 1
           "/Two cs 1 0 sc 0 0 1 1 re f  0 1 sc 0 0 1 1 re f\n"
           "/Sampled cs 0.5 sc 0 0 1 1 re f\n"
           "/Stitched cs 0.25 sc 0 0 1 1 re f 0.75 sc 0 0 1 1 re f\n"
           "/None cs 1 sc 0 0 1 1 re f\n",
           "/ColorSpace << /Ix [/Indexed /DeviceRGB 1 <ff000000ff00>] "
           "/Spot [/Separation /Orange /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] "
           "/C1 [0 0.5 1 0] /N 1 >>] "
           "/Two [/DeviceN [/A /B] /DeviceRGB 5 0 R] "
           "/Sampled [/Separation /S /DeviceGray 6 0 R] "
           "/Stitched [/Separation /T /DeviceRGB 7 0 R] "
           "/None [/Separation /None /DeviceGray 5 0 R] >>",
           {// DeviceN: (a, b) -> (a, b, a > b ? 1 : 0) with ifelse
            "stream:/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]|"
            "{ 2 copy gt { 1 } { 0 } ifelse }",
            // A sampled ramp of three 8-bit values: 0 -> 255, 0.5 -> 0, 1 -> 255 (grey level)
            "stream:/FunctionType 0 /Domain [0 1] /Range [0 1] /Size [3] /BitsPerSample 8|" +
                Bytes({255, 0, 255}),
            "<< /FunctionType 3 /Domain [0 1] /Bounds [0.5] /Encode [0 1 0 1] /Functions "
            "[<< /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [1 0 0] /N 1 >> "
            "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 1] /C1 [0 0 1] /N 1 >>] >>"}));
  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 8U);
  EXPECT_EQ(fills[0].colour, (Rgb{0, 255, 0}));
  EXPECT_EQ(fills[1].colour, (Rgb{255, 191, 128}));  // half of C1: 0 0.25 0.5 0
  EXPECT_EQ(fills[2].colour, (Rgb{255, 128, 0}));
  EXPECT_EQ(fills[3].colour, (Rgb{255, 0, 255}));
  EXPECT_EQ(fills[4].colour, (Rgb{0, 255, 0}));
  EXPECT_EQ(fills[5].colour, (Rgb{0, 0, 0}));
  EXPECT_EQ(fills[6].colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(fills[7].colour, (Rgb{0, 0, 255}));
  // The None separation paints nothing.
}

TEST(GraphicsColour, CalculatorFunctionsAreBoundedAndMalformedOnesIgnored) {
  // A program that piles values up past the stack's bound (it stops there, its top value 1 the
  // result), one with unknown words, and one with an "if" missing its procedure. Tint 0.25: a
  // program that is run gives 1 (white) or keeps 0.25 (64); one that is ignored leaves the tint
  // as a shade of grey, 1 - 0.25 (191).
  const DisplayList list = Draw(Page(
      "/Pile cs 0.25 sc 0 0 1 1 re f /Bad cs 0.25 sc 0 0 1 1 re f /Half cs 0.25 sc 0 0 1 1 re f",
      "/ColorSpace << /Pile [/Separation /P /DeviceGray 5 0 R] "
      "/Bad [/Separation /B /DeviceGray 6 0 R] /Half [/Separation /H /DeviceGray 7 0 R] >>",
      {"stream:/FunctionType 4 /Domain [0 1] /Range [0 1]|{ " + test::Repeat("1 ", 120) + "pop 0 }",
       "stream:/FunctionType 4 /Domain [0 1] /Range [0 1]|{ frobnicate }",
       "stream:/FunctionType 4 /Domain [0 1] /Range [0 1]|{ 0.5 gt if }"}));
  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 3U);
  EXPECT_EQ(fills[0].colour, (Rgb{255, 255, 255}));
  EXPECT_EQ(fills[1].colour, (Rgb{191, 191, 191}));
  EXPECT_EQ(fills[2].colour, (Rgb{191, 191, 191}));
}

TEST(GraphicsImages, SamplesDecodeWithTheirDepthDecodeArrayAndPlacement) {
  const DisplayList list = Draw(Page(
      "q 40 0 0 20 15 25 cm /Rgb Do Q /Grey1 Do /Deep Do /Ix Do",
      "/XObject << /Rgb 5 0 R /Grey1 6 0 R /Deep 7 0 R /Ix 8 0 R >>",
      {"stream:/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceRGB "
       "/BitsPerComponent 8|" +
           Bytes({255, 0, 0, 0, 0, 255}),
       // 1-bit grey, inverted by Decode: samples 1 0 are black and white
       "stream:/Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 1 "
       "/Decode [1 0]|" +
           Bytes({0x80}),
       "stream:/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 16|" +
           Bytes({0x80, 0x00}),
       "stream:/Subtype /Image /Width 3 /Height 1 /ColorSpace [/Indexed /DeviceRGB 2 "
       "<0000ff00ff00ff0000>] /BitsPerComponent 4|" +
           Bytes({0x21, 0x00})}));
  const auto images = All<ImageCommand>(list);
  ASSERT_EQ(images.size(), 4U);
  const ImageCommand& rgb = images[0];
  EXPECT_EQ(rgb.pixels->width, 2);
  EXPECT_EQ(rgb.pixels->height, 1);
  EXPECT_EQ(rgb.pixels->rgb, (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 255}));
  EXPECT_TRUE(rgb.pixels->alpha.empty());
  EXPECT_EQ(rgb.placement.a, 40);
  EXPECT_EQ(rgb.placement.d, 20);
  EXPECT_EQ(rgb.placement.e, 5);  // 15 less the MediaBox's left edge
  EXPECT_EQ(rgb.placement.f, 5);
  EXPECT_EQ(images[1].pixels->rgb, (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
  EXPECT_EQ(images[2].pixels->rgb, (std::vector<std::uint8_t>{128, 128, 128}));
  EXPECT_EQ(images[3].pixels->rgb, (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

TEST(GraphicsImages, MasksBecomeAlphaAndShortDataDrawsWhatItHas) {
  const DisplayList list = Draw(Page(
      "0 0 1 rg /Stencil Do /Soft Do /Keyed Do /Short Do /Photo Do /Fax Do",
      "/XObject << /Stencil 5 0 R /Soft 6 0 R /Keyed 8 0 R /Short 9 0 R /Photo 10 0 R "
      "/Fax 11 0 R >>",
      {"stream:/Subtype /Image /Width 4 /Height 1 /ImageMask true|" + Bytes({0x50}),
       "stream:/Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8 "
       "/SMask 7 0 R|" +
           Bytes({0, 0}),
       "stream:/Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8 "
       "/SMask 7 0 R|" +
           Bytes({0, 200}),  // a soft mask that names one again is ignored
       "stream:/Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8 "
       "/Mask [10 20]|" +
           Bytes({15, 30}),
       "stream:/Subtype /Image /Width 1 /Height 3 /ColorSpace /DeviceGray /BitsPerComponent 8|" +
           Bytes({1, 2}),
       // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one object, written on two lines.
       "stream:/Subtype /Image /Width 8 /Height 8 /ColorSpace /DeviceRGB /BitsPerComponent 8 "
       "/Filter /DCTDecode|\xFF\xD8 jpeg bytes \xFF\xD9",
       "stream:/Subtype /Image /Width 8 /Height 8 /ImageMask true /Filter /CCITTFaxDecode|xx"}));
  const auto images = All<ImageCommand>(list);
  ASSERT_EQ(images.size(), 6U);  // the fax image's two bytes decode to rows of some sort
  // Stencil: sample 0 paints, in the fill colour.
  EXPECT_EQ(images[0].pixels->alpha, (std::vector<std::uint8_t>{255, 0, 255, 0}));
  EXPECT_EQ(images[0].pixels->rgb[2], 255);
  EXPECT_EQ(images[1].pixels->alpha, (std::vector<std::uint8_t>{0, 200}));
  EXPECT_EQ(images[2].pixels->alpha, (std::vector<std::uint8_t>{0, 255}));
  EXPECT_EQ(images[3].pixels->alpha, (std::vector<std::uint8_t>{255, 255, 0}));
  EXPECT_EQ(images[3].pixels->rgb[3], 2);
  EXPECT_FALSE(images[4].pixels->jpeg.empty());
  EXPECT_EQ(images[4].pixels->jpegComponents, 3);
  EXPECT_EQ(images[4].pixels->width, 8);
  EXPECT_EQ(images[5].pixels->width, 8);
  EXPECT_EQ(images[5].pixels->alpha.size(), 64U);
}

TEST(GraphicsImages, InlineImagesWithAndWithoutFilters) {
  // The unfiltered data holds the bytes "EI" followed by a space: its length decides where it
  // ends. The filtered one ends at EI.
  const DisplayList list =
      Draw(Page("BI /W 3 /H 1 /CS /RGB /BPC 8 ID E I EI \x01\x02\x03 EI\n"
                "BI /W 2 /H 1 /CS /G /BPC 8 /F /AHx ID 00ff> EI\n"
                "BI /W 2 /H 2 /IM true /D [1 0] ID \x80\x40 EI 0 0 1 rg 0 0 5 5 re f"));
  const auto images = All<ImageCommand>(list);
  ASSERT_EQ(images.size(), 3U);
  EXPECT_EQ(images[0].pixels->rgb,
            (std::vector<std::uint8_t>{'E', ' ', 'I', ' ', 'E', 'I', ' ', 1, 2}));
  EXPECT_EQ(images[1].pixels->rgb, (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
  EXPECT_EQ(images[2].pixels->alpha, (std::vector<std::uint8_t>{255, 0, 0, 255}));
  EXPECT_EQ(All<FillCommand>(list).size(), 1U);  // drawing goes on after the images
}

TEST(GraphicsForms, FormsApplyTheirMatrixAndClipToTheirBox) {
  const DisplayList list = Draw(
      Page("1 0 0 rg /Fm Do 0 0 1 1 re f /Self Do", "/XObject << /Fm 5 0 R /Self 6 0 R >>",
           {"stream:/Type /XObject /Subtype /Form /BBox [0 0 10 10] /Matrix [2 0 0 2 20 30]|"
            "0 g 0 0 5 5 re f 1 0 0 1 3 3 cm",
            "stream:/Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Self 6 0 R >> >>|"
            "0 0 1 1 re f /Self Do"}));
  ASSERT_GE(list.commands.size(), 4U);
  const auto* box = std::get_if<ClipCommand>(list.commands.data());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->path.points[2].x, 30);  // (2 * 10 + 20) - 10
  EXPECT_EQ(box->path.points[2].y, 30);  // (2 * 10 + 30) - 20
  const auto* inside = std::get_if<FillCommand>(&list.commands[1]);
  ASSERT_NE(inside, nullptr);
  EXPECT_EQ(inside->colour, (Rgb{0, 0, 0}));
  EXPECT_EQ(inside->path.points[2].x, 20);
  EXPECT_TRUE(std::holds_alternative<RestoreClip>(list.commands[2]));
  // After the form: its colour and matrix are gone.
  const auto* after = std::get_if<FillCommand>(&list.commands[3]);
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(after->path.points[2].x, -9);
  // A form that draws itself runs once.
  EXPECT_EQ(All<FillCommand>(list).size(), 3U);
  ExpectBalancedClips(list);
}

TEST(GraphicsForms, NestingAndRepetitionStopAtTheirLimits) {
  // 20 forms deep, and a tree of forms that would draw 10^8 rectangles.
  std::vector<std::string> objects;
  objects.reserve(20);
  for (int i = 0; i < 20; ++i) {
    objects.push_back("stream:/Subtype /Form /BBox [0 0 100 100] /Resources << /XObject << /N " +
                      std::to_string(6 + i) + " 0 R >> >>|0 0 1 1 re f /N Do");
  }
  const std::string repeat = "/R Do /R Do /R Do /R Do /R Do /R Do /R Do /R Do /R Do /R Do";
  for (int i = 0; i < 8; ++i) {
    objects.push_back("stream:/Subtype /Form /BBox [0 0 100 100] /Resources << /XObject << /R " +
                      std::to_string(26 + i) + " 0 R >> >>|0 0 1 1 re f " + repeat);
  }
  const auto started = std::chrono::steady_clock::now();
  const DisplayList deep = Draw(Page("/N Do", "/XObject << /N 5 0 R >>", objects));
  EXPECT_TRUE(deep.truncated);
  EXPECT_EQ(All<FillCommand>(deep).size(), static_cast<std::size_t>(kMaxDrawingDepth));
  const DisplayList wide = Draw(Page("/R Do", "/XObject << /R 25 0 R >>", objects));
  EXPECT_TRUE(wide.truncated);
  // Clips still in effect are closed beyond the limit, so that the list stays balanced.
  EXPECT_LE(wide.commands.size(), 2 * kMaxCommands);
  ExpectBalancedClips(wide);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

TEST(GraphicsShadings, AxialRadialPatternAndMeshShadings) {
  const std::string axial =
      "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] /Extend [true false] "
      "/Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> >>";
  const DisplayList list = Draw(Page(
      "q 0 0 50 50 re W n /Ax sh Q /Rad sh /Pattern cs /P scn 0 0 10 10 re f /Mesh sh",
      "/Shading << /Ax " + axial +
          " /Rad << /ShadingType 3 /ColorSpace /DeviceGray "
          "/Coords [50 50 0 50 50 40] /Function << /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] "
          "/N 1 >> >> /Mesh 5 0 R >> /Pattern << /P << /PatternType 2 /Matrix [1 0 0 1 10 0] "
          "/Shading " +
          axial + " >> >>",
      {"stream:/ShadingType 4 /ColorSpace /DeviceRGB /BitsPerCoordinate 8 /BitsPerComponent 8 "
       "/BitsPerFlag 8 /Decode [0 255 0 255 0 1 0 1 0 1]|" +
       Bytes({0, 10, 10, 255, 0, 0, 0, 20, 10, 255, 0, 0, 0, 10, 30, 255, 0, 0})}));
  const auto shadings = All<ShadingCommand>(list);
  ASSERT_EQ(shadings.size(), 4U);
  const ShadingCommand& ax = shadings[0];
  EXPECT_EQ(ax.kind, ShadingCommand::Kind::kAxial);
  ASSERT_EQ(ax.ramp.size(), 256U);
  EXPECT_EQ(ax.ramp.front(), (Rgb{255, 0, 0}));
  EXPECT_EQ(ax.ramp.back(), (Rgb{0, 0, 255}));
  EXPECT_TRUE(ax.extendStart);
  EXPECT_FALSE(ax.extendEnd);
  EXPECT_EQ(ax.shadingSpace.e, -10);
  EXPECT_TRUE(ax.area.Empty());  // the whole clip
  EXPECT_EQ(shadings[1].kind, ShadingCommand::Kind::kRadial);
  EXPECT_EQ(shadings[1].r1, 40);
  // The pattern fills its path, in the pattern's space.
  EXPECT_EQ(shadings[2].kind, ShadingCommand::Kind::kAxial);
  EXPECT_EQ(shadings[2].area.points.size(), 4U);
  EXPECT_EQ(shadings[2].shadingSpace.e, 0);  // 10 less the MediaBox's left edge
  // The mesh is its average colour over the box of its vertices.
  EXPECT_EQ(shadings[3].kind, ShadingCommand::Kind::kFlat);
  EXPECT_EQ(shadings[3].ramp.front(), (Rgb{255, 0, 0}));
  EXPECT_EQ(shadings[3].area.points[2].x, 10);  // 20 less 10
  EXPECT_EQ(shadings[3].area.points[2].y, 10);  // 30 less 20
}

TEST(GraphicsText, GlyphsArePlacedWithTheTextStateInContentOrder) {
  const DisplayList list =
      Draw(Page("0 0 1 rg 0 0 5 5 re f\n"
                "BT /F1 10 Tf 2 Tc 110 70 Td (AB) Tj 1 0 0 rg [(C) -1000 (D)] TJ 3 Tr (hidden) Tj "
                "1 Tr (E) Tj ET\n"
                "5 5 5 5 re f",
                "/Font << /F1 5 0 R >>",
                {"<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Helvetica-Bold /FirstChar 65 "
                 "/LastChar 69 /Widths [500 600 700 800 900] >>"}));
  // Each string of TJ is a command of its own.
  ASSERT_EQ(list.commands.size(), 6U);
  EXPECT_TRUE(std::holds_alternative<FillCommand>(list.commands[0]));
  EXPECT_TRUE(std::holds_alternative<FillCommand>(list.commands[5]));
  const auto texts = All<TextCommand>(list);
  ASSERT_EQ(texts.size(), 4U);
  const TextCommand& ab = texts[0];
  ASSERT_EQ(ab.glyphs.size(), 2U);
  EXPECT_EQ(ab.font->family, "Helvetica");
  EXPECT_TRUE(ab.font->bold);
  EXPECT_EQ(ab.colour, (Rgb{0, 0, 255}));
  EXPECT_EQ(ab.glyphs[0].text, "A");
  EXPECT_EQ(ab.glyphs[0].origin.x, 100);
  EXPECT_EQ(ab.glyphs[0].origin.y, 50);
  EXPECT_DOUBLE_EQ(ab.glyphs[1].origin.x, 100 + 5 + 2);  // width 0.5 * 10, spacing 2
  EXPECT_EQ(ab.matrix.a, 10);
  // TJ's number moves the next glyph back by a font size: C at 100 + 7 + 8, D after -10 + 9.
  EXPECT_EQ(texts[1].colour, (Rgb{255, 0, 0}));
  EXPECT_DOUBLE_EQ(texts[1].glyphs[0].origin.x, 115);
  EXPECT_DOUBLE_EQ(texts[2].glyphs[0].origin.x, 115 + 9 + 10);
  // Mode 3 draws nothing; mode 1 strokes only.
  EXPECT_EQ(texts[3].glyphs[0].text, "E");
  EXPECT_FALSE(texts[3].fill);
  EXPECT_TRUE(texts[3].stroke);
}

TEST(GraphicsText, Type3GlyphsRunTheirProceduresAtTheGlyphsPlace) {
  const DisplayList list = Draw(Page(
      "0 1 0 rg BT /T3 20 Tf 50 40 Td <0102> Tj ET", "/Font << /T3 5 0 R >>",
      {"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 100 100] /FontMatrix [0.01 0 0 0.01 0 0] "
       "/CharProcs << /square 6 0 R /loop 7 0 R >> /Encoding << /Differences [1 /square /loop] >> "
       "/FirstChar 1 /LastChar 2 /Widths [100 100] /Resources << /Font << /T3 5 0 R >> >> >>",
       "stream:|100 0 0 100 0 100 d1 0 0 100 100 re f",
       // A glyph that shows itself: stopped by the depth limit.
       "stream:|100 0 d0 BT /T3 1 Tf <02> Tj ET"}));
  const auto fills = All<FillCommand>(list);
  ASSERT_GE(fills.size(), 1U);
  const FillCommand& square = fills[0];
  EXPECT_EQ(square.colour, (Rgb{0, 255, 0}));
  // 100 units of glyph space at 0.01 * 20 per unit: a 20-point square at (40, 20) in page space.
  EXPECT_DOUBLE_EQ(square.path.points[0].x, 40);
  EXPECT_DOUBLE_EQ(square.path.points[0].y, 20);
  EXPECT_DOUBLE_EQ(square.path.points[2].x, 60);
  EXPECT_TRUE(All<TextCommand>(list).empty());
  EXPECT_TRUE(list.truncated);
}

TEST(GraphicsText, ResourcesGivenByReferenceAreFollowed) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
      "/Resources 5 0 R >>");
  pdf.AddStream("", "BT /F1 10 Tf 10 10 Td (Hi) Tj ET");
  pdf.Add("<< /Font << /F1 6 0 R >> >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>");
  const auto texts = All<TextCommand>(Draw(pdf.Build(catalog)));
  ASSERT_EQ(texts.size(), 1U);
  EXPECT_EQ(texts[0].glyphs.size(), 2U);
  EXPECT_EQ(texts[0].font->family, "Courier");
}

TEST(GraphicsAnnotations, NormalAppearancesAreFittedIntoTheirRectangle) {
  const DisplayList list =
      Draw(Page("", "",
                {"<< /Type /Annot /Subtype /Square /Rect [60 70 80 90] /AP << /N 7 0 R >> >>",
                 "<< /Type /Annot /Subtype /Square /F 2 /Rect [0 0 10 10] /AP << /N 7 0 R >> >>",
                 "stream:/Subtype /Form /BBox [0 0 10 10]|1 0 0 rg 0 0 10 10 re f",
                 // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one object, two lines.
                 "<< /Type /Annot /Subtype /Widget /Rect [10 20 20 30] /AS /On "
                 "/AP << /N << /On 7 0 R /Off 9 0 R >> >> >>",
                 "stream:/Subtype /Form /BBox [0 0 10 10]|0 0 1 rg 0 0 10 10 re f"},
                "/Annots [5 0 R 6 0 R 8 0 R]"));
  const auto fills = All<FillCommand>(list);
  ASSERT_EQ(fills.size(), 2U);  // the hidden one is not drawn
  EXPECT_EQ(fills[0].colour, (Rgb{255, 0, 0}));
  EXPECT_DOUBLE_EQ(fills[0].path.points[0].x, 50);
  EXPECT_DOUBLE_EQ(fills[0].path.points[2].x, 70);
  EXPECT_DOUBLE_EQ(fills[0].path.points[2].y, 70);
  EXPECT_EQ(fills[1].colour, (Rgb{255, 0, 0}));  // the On state's appearance
  ExpectBalancedClips(list);
}

TEST(GraphicsDamage, EveryPrefixOfAPageDrawsWithoutFailing) {
  const std::string content =
      "q 1 0 0 RG 2 w [2 1] 0 d 10 20 m 50 60 l 10 60 70 80 90 100 c h S Q "
      "BI /W 2 /H 2 /CS /G /BPC 8 ID \x01\x02\x03\x04 EI /Pattern cs /P scn 0 0 9 9 re f "
      "BT /F1 12 Tf 10 10 Td (Hello) Tj ET /Im Do /Fm Do";
  const std::string resources =
      "/Font << /F1 5 0 R >> /XObject << /Im 6 0 R /Fm 7 0 R >> /Pattern << /P 8 0 R >>";
  const std::vector<std::string> objects = {
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
      "stream:/Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceRGB /BitsPerComponent 8|abc",
      "stream:/Subtype /Form /BBox [0 0 5 5]|0 g 0 0 5 5 re f",
      "<< /PatternType 1 /PaintType 2 >>"};
  for (std::size_t length = 0; length <= content.size(); length += 3) {
    const DisplayList list = Draw(Page(content.substr(0, length), resources, objects));
    ExpectBalancedClips(list);
  }
  const DisplayList whole = Draw(Page(content, resources, objects));
  EXPECT_EQ(All<ImageCommand>(whole).size(), 2U);
  // The short image has no whole row: none of it shows.
  EXPECT_EQ(All<ImageCommand>(whole)[1].pixels->alpha[0], 0);
  EXPECT_EQ(All<TextCommand>(whole).size(), 1U);
}

}  // namespace
}  // namespace lvx::pdf
