// Pages built to harm the host: sizes that wrap in 32-bit arithmetic, work out of proportion to
// the file (resources selected thousands of times, function trees that multiply, paths copied
// into every form, calculator programs run for every pixel), state left behind by forms and
// glyph procedures, and the text and drawing sides reading the same content alike.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "checked_size.h"
#include "hostile_documents.h"
#include "page_fixture.h"
#include "page_limits.h"

namespace lvx::pdf {
namespace {

using test::All;
using test::Draw;
using test::Hostile;
using test::Page;
using test::Repeat;

// Paths whose verbs and points disagree would make a painter read past the points.
void ExpectConsistent(const Path& path) {
  std::size_t points = 0;
  for (const PathVerb verb : path.verbs) {
    points += verb == PathVerb::kCurve ? 3 : (verb == PathVerb::kClose ? 0 : 1);
  }
  EXPECT_EQ(points, path.points.size());
}

TEST(HostileSizes, ProductsAreCheckedAgainstTheirLimitInSixtyFourBits) {
  EXPECT_EQ(CheckedProduct({65536, 65537}, kMaxImagePixels), std::nullopt);  // wraps in 32 bits
  EXPECT_EQ(CheckedProduct({1, 65536, 65536}, std::uint64_t{1} << 24), std::nullopt);
  EXPECT_EQ(CheckedProduct({3000, 4000}, kMaxImagePixels), std::optional<std::size_t>(12'000'000));
  EXPECT_EQ(CheckedProduct({0, 5}, 100), std::nullopt);
  // Limits above what a 32-bit process can address are lowered to it.
  EXPECT_EQ(CheckedProduct({std::uint64_t{1} << 31, 2}, ~std::uint64_t{0}), std::nullopt);
}

TEST(HostileSizes, AStencilOfWrappingSizeIsSampledDownWithinTheLimits) {
  const DisplayList list = Draw(Hostile("wrapping-stencil"));
  const auto images = All<ImageCommand>(list);
  ASSERT_EQ(images.size(), 1U);
  const ImagePixels& pixels = *images[0].pixels;
  const auto count = static_cast<std::uint64_t>(pixels.width) * pixels.height;
  EXPECT_LE(count, kMaxImagePixels);
  EXPECT_EQ(pixels.alpha.size(), count);
  EXPECT_EQ(pixels.rgb.size(), 3 * count);
}

TEST(HostileSizes, ASampledFunctionWhoseGridWrapsIsRefused) {
  // Refused, the tint transform leaves the tint as a shade of grey: 1 - 0.25.
  const auto fills = All<FillCommand>(Draw(Hostile("wrapping-function-grid")));
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_EQ(fills[0].colour, (Rgb{191, 191, 191}));
}

TEST(HostileWork, AColourSpaceSelectedThousandsOfTimesIsReadOnce) {
  const DisplayList list = Draw(Hostile("space-selected-3000-times"));
  EXPECT_EQ(All<FillCommand>(list).size(), 3000U);
  EXPECT_FALSE(list.truncated);
}

TEST(HostileWork, StitchingTreesAreReadOncePerObject) {
  // Every leaf maps t to 1 - t and the stitched encodings keep t: tint 0.25 gives 0.75.
  const auto fills = All<FillCommand>(Draw(Hostile("stitching-tree")));
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_NEAR(fills[0].colour.r, 191, 1);
}

TEST(HostileWork, FormsDrawnOftenAfterALargePathDoNotCopyIt) {
  const auto fills = All<FillCommand>(Draw(Hostile("path-then-50000-forms")));
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_EQ(fills[0].path.points.size(), 800'001U);
}

TEST(HostileWork, CalculatorStepsForEveryPixelAndTreesOfFormsRunOutOfTheBudget) {
  EXPECT_TRUE(Draw(Hostile("calculator-per-pixel")).truncated);
  const DisplayList forms = Draw(Hostile("form-tree"));
  EXPECT_TRUE(forms.truncated);
  test::ExpectBalancedClips(forms);
}

TEST(HostileState, AFormOrGlyphLeavesNoPathBehind) {
  // Each leaves an open subpath; the page's own curve then has no current point and is skipped.
  const DisplayList form = Draw(Page("/Fm Do 1 1 2 2 v S", "/XObject << /Fm 5 0 R >>",
                                     {"stream:/Subtype /Form /BBox [0 0 10 10]|0 0 m"}));
  EXPECT_TRUE(All<StrokeCommand>(form).empty());
  const DisplayList glyph =
      Draw(Page("BT /T3 10 Tf (a) Tj ET 1 1 2 2 v S", "/Font << /T3 5 0 R >>",
                {"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 1 1] /FontMatrix [1 0 0 1 0 0] "
                 "/CharProcs << /a 6 0 R >> /Encoding << /Differences [97 /a] >> /FirstChar 97 "
                 "/LastChar 97 /Widths [1] >>",
                 "stream:|1 0 0 0 1 1 d1 0 0 m"}));
  EXPECT_TRUE(All<StrokeCommand>(glyph).empty());
  // A clip pending in a form does not clip the page's next path.
  const DisplayList clip = Draw(Page("/Fm Do 0 0 5 5 re f", "/XObject << /Fm 5 0 R >>",
                                     {"stream:/Subtype /Form|0 0 1 1 re W"}));
  EXPECT_EQ(All<ClipCommand>(clip).size(), 0U);
  EXPECT_EQ(All<FillCommand>(clip).size(), 1U);
}

TEST(HostileState, AFormsRestoresWithoutSavesLeaveThePagesSavedStates) {
  // The form's two Q have no q of their own: the page's saved red is still there for its own Q.
  const auto fills =
      All<FillCommand>(Draw(Page("q 1 0 0 rg q 0 1 0 rg /Fm Do Q 0 0 1 1 re f Q 0 0 1 1 re f",
                                 "/XObject << /Fm 5 0 R >>", {"stream:/Subtype /Form|Q Q"})));
  ASSERT_EQ(fills.size(), 2U);
  EXPECT_EQ(fills[0].colour, (Rgb{255, 0, 0}));
  EXPECT_EQ(fills[1].colour, (Rgb{0, 0, 0}));
}

TEST(HostileState, CurvesPastThePointLimitAreRefusedWhole) {
  const std::string lines = "0 0 m\n" + Repeat("1 1 l\n", static_cast<int>(kMaxPathPoints) - 2);
  const DisplayList list = Draw(Page(lines + "1 2 3 4 5 6 c 7 8 9 10 11 12 c S"));
  const auto strokes = All<StrokeCommand>(list);
  ASSERT_EQ(strokes.size(), 1U);
  EXPECT_LE(strokes[0].path.points.size(), kMaxPathPoints);
  ExpectConsistent(strokes[0].path);
  EXPECT_TRUE(list.truncated);
}

TEST(HostileMemory, OnePagesImagesStayWithinTheirBudget) {
  const DisplayList list = Draw(Hostile("many-large-images"));
  std::set<const ImagePixels*> distinct;
  std::uint64_t bytes = 0;
  for (const ImageCommand& image : All<ImageCommand>(list)) {
    if (distinct.insert(image.pixels.get()).second) {
      bytes += image.pixels->Bytes();
    }
  }
  EXPECT_LE(bytes, kPageImageBytes);
  EXPECT_GT(bytes, kPageImageBytes / 2);  // the budget is used, not refused early
  // The image placed a thousand times is held once.
  EXPECT_EQ(All<ImageCommand>(list).size() - distinct.size(), 999U);
}

}  // namespace
}  // namespace lvx::pdf
