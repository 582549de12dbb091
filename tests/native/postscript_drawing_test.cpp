// The PostScript of a page's drawing, for the printing route without a device context.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "postscript_drawing.h"

namespace lvx::standin {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

pdf::Path Square(double x, double y, double side) {
  pdf::Path path;
  path.verbs = {pdf::PathVerb::kMove, pdf::PathVerb::kLine, pdf::PathVerb::kLine,
                pdf::PathVerb::kLine, pdf::PathVerb::kClose};
  path.points = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
  return path;
}

TEST(PostScriptDrawing, PathsClipsImagesAndShadingsInListOrder) {
  pdf::DisplayList list;
  list.commands.emplace_back(pdf::ClipCommand{Square(0, 0, 100), pdf::FillRule::kEvenOdd});
  list.commands.emplace_back(
      pdf::FillCommand{Square(10, 20, 5), pdf::FillRule::kNonZero, pdf::Rgb{255, 0, 0}, 1});
  pdf::StrokeCommand stroke;
  stroke.path = Square(1, 2, 3);
  stroke.style.width = 2.5;
  stroke.style.cap = pdf::LineCap::kRound;
  stroke.style.dash = {3, 1};
  list.commands.emplace_back(stroke);
  list.commands.emplace_back(pdf::RestoreClip{});
  pdf::ImagePixels picture;
  picture.width = 2;
  picture.height = 1;
  picture.rgb = {255, 0, 0, 0, 0, 255};
  const pdf::Affine placement{40, 0, 0, 20, 5, 6};
  list.commands.emplace_back(
      pdf::ImageCommand{placement, std::make_shared<const pdf::ImagePixels>(picture)});
  pdf::ImagePixels stencil = picture;
  stencil.rgb = {0, 0, 255, 0, 0, 255};
  stencil.alpha = {255, 0};
  list.commands.emplace_back(
      pdf::ImageCommand{placement, std::make_shared<const pdf::ImagePixels>(stencil)});
  pdf::ImagePixels photo = picture;
  photo.rgb.clear();
  photo.jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
  list.commands.emplace_back(
      pdf::ImageCommand{placement, std::make_shared<const pdf::ImagePixels>(photo)});
  pdf::ShadingCommand shading;
  shading.ramp = {{0, 0, 0}, {255, 255, 255}, {255, 255, 255}};
  list.commands.emplace_back(shading);

  const std::string ps = PostScriptDrawing(list);
  EXPECT_EQ(Count(ps, "gsave"), Count(ps, "grestore"));
  const std::size_t clip = ps.find("eoclip");
  const std::size_t fill = ps.find("1 0 0 setrgbcolor\nnewpath\n10 20 moveto");
  const std::size_t line = ps.find("2.5 setlinewidth 1 setlinecap 0 setlinejoin");
  const std::size_t restore = ps.find("grestore");
  ASSERT_NE(clip, std::string::npos);
  ASSERT_NE(fill, std::string::npos);
  ASSERT_NE(line, std::string::npos);
  EXPECT_LT(clip, fill);
  EXPECT_LT(fill, line);
  EXPECT_LT(line, restore);
  EXPECT_NE(ps.find("[3 1 ] 0 setdash"), std::string::npos);
  EXPECT_NE(ps.find("[40 0 0 20 5 6] concat\n2 1 8 [2 0 0 -1 0 1] currentfile /ASCIIHexDecode "
                    "filter false 3 colorimage\nff00000000ff>"),
            std::string::npos);
  // The stencil: one row of two pixels, the first painted.
  EXPECT_NE(ps.find("imagemask\n80>"), std::string::npos);
  EXPECT_NE(ps.find("/DCTDecode filter false 3 colorimage\nffd8ffd9>"), std::string::npos);
  EXPECT_NE(ps.find("1 1 1 setrgbcolor\nclippath fill"), std::string::npos);
}

TEST(PostScriptDrawing, AnEmptyClipHidesAndTextIsLeftToTheRuns) {
  pdf::DisplayList list;
  list.commands.emplace_back(pdf::ClipCommand{});
  pdf::TextCommand text;
  text.glyphs.push_back({{1, 2}, 3, "A", -1, nullptr});
  list.commands.emplace_back(text);
  list.commands.emplace_back(pdf::RestoreClip{});
  const std::string ps = PostScriptDrawing(list);
  EXPECT_EQ(ps, "gsave\nnewpath 0 0 moveto clip newpath\ngrestore\n");
}

// Glyphs drawn from outlines: one with text prints from the runs, one without text from its
// outline, placed by the text matrix (size 10, turned a quarter) at its origin.
TEST(PostScriptDrawing, GlyphsWithoutTextPrintFromTheirOutlines) {
  auto outline = std::make_shared<pdf::Path>();
  outline->verbs = {pdf::PathVerb::kMove, pdf::PathVerb::kLine, pdf::PathVerb::kClose};
  outline->points = {{0, 0}, {0.5, 0.25}};
  pdf::TextCommand text;
  text.matrix = {0, 10, -10, 0, 0, 0};
  text.colour = {255, 0, 0};
  text.glyphs.push_back({{100, 200}, 5, "A", -1, outline});
  text.glyphs.push_back({{100, 205}, 5, "", -1, outline});
  pdf::DisplayList list;
  list.commands.emplace_back(text);
  EXPECT_EQ(PostScriptDrawing(list),
            "1 0 0 setrgbcolor\nnewpath\n100 205 moveto\n97.5 210 lineto\nclosepath\nfill\n");
}

}  // namespace
}  // namespace lvx::standin
