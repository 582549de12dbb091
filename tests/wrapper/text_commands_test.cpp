// Page count and text as message sequences: lengths of one page and of the whole document, text
// delivered into guarded fields, the "Buffer too small." report, calls through the operation
// table, and the viewer answers the wrapper must survive (negative lengths, totals beyond 32 bits,
// buffers that cannot be had).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "allocation_limit.h"
#include "guarded_field.h"
#include "protocol_fixture.h"

namespace lvx::test {
namespace {

class TextTest : public ProtocolTest {
 protected:
  // The document of three pages with texts of 10, 0 and 5 characters.
  void ThreePages() { viewer.SetPages({"0123456789", "", "abcde"}); }

  // The one box shown: its caption, text, icon and owner (the host, the viewer's top window).
  void ExpectOneBox(const char* text) const {
    ASSERT_EQ(boxes.Boxes().size(), 1U);
    const ObservedBox& box = boxes.Boxes()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, text);
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.owner, host.Window());
  }
  static bool AllZeroFilled(const Calls& calls) {
    return std::ranges::all_of(calls, [](const ViewerCall& call) {
      return call.code != kPageTextCode || call.zeroFilled;
    });
  }
};

TEST_F(TextTest, PageCountAndLengths) {
  ThreePages();
  EXPECT_EQ(object.GETPAGECOUNT(), 3);
  EXPECT_EQ(object.GETTEXTLENGTH(LvxOmittedInt32()), 15);
  EXPECT_EQ(object.GETTEXTLENGTH(LvxGivenInt32(3)), 5);
  viewer.Answer(260, {42});
  EXPECT_EQ(object.GETTEXTLENGTH(LvxGivenInt32(0)), 42) << "no range test; answer passed on";
  EXPECT_EQ(object.GETTEXTLENGTH(LvxGivenInt32(INT_MIN)), -1);
  const Calls expected =
      {
          Command(201, 0),  Command(201, 0),       Command(260, 0),
          Command(260, 1),  Command(260, 2),       Command(260, 2),
          Command(260, -1), Command(260, INT_MAX),  // INT_MIN - 1 wraps as 32-bit arithmetic does
      };
  EXPECT_EQ(Received(), expected);
}

TEST_F(TextTest, WholeDocumentFillsAFieldOfExactlyItsLength) {
  ThreePages();
  GuardedField text(15, 'x');
  object.GETTEXT(text.Field(), LvxOmittedInt32());
  EXPECT_EQ(text.Contents(), "0123456789abcde");
  EXPECT_TRUE(text.GuardsIntact());
  const Calls expected = {
      Command(201, 0),      Command(260, 0), Command(260, 1),      Command(260, 2),
      Command(201, 0),      Command(260, 0), PageTextIntoBuffer(), Command(260, 1),
      PageTextIntoBuffer(), Command(260, 2), PageTextIntoBuffer(),
  };
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(AllZeroFilled(Received()));
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TextTest, WholeDocumentOneCharacterTooLongShowsTheBoxAndLeavesTheField) {
  ThreePages();
  GuardedField text(14, 'x');
  object.GETTEXT(text.Field(), LvxOmittedInt32());
  ExpectOneBox("Buffer too small.");
  EXPECT_EQ(text.Contents(), std::string(14, 'x'));
  EXPECT_TRUE(text.GuardsIntact());
  const Calls expected = {Command(201, 0), Command(260, 0), Command(260, 1), Command(260, 2)};
  EXPECT_EQ(Received(), expected);
}

TEST_F(TextTest, OnePageExactFitAndOneCharacterOver) {
  viewer.SetPages({"first", "exactly8"});
  GuardedField fits(8, 'x');
  object.GETTEXT(fits.Field(), LvxGivenInt32(2));
  EXPECT_EQ(fits.Contents(), "exactly8");
  EXPECT_TRUE(fits.GuardsIntact());
  EXPECT_TRUE(boxes.Boxes().empty());

  GuardedField tooSmall(7, 'x');
  object.GETTEXT(tooSmall.Field(), LvxGivenInt32(2));
  ExpectOneBox("Buffer too small.");
  EXPECT_EQ(tooSmall.Contents(), "xxxxxxx");
  EXPECT_TRUE(tooSmall.GuardsIntact());

  const Calls expected = {Command(260, 1), PageTextIntoBuffer(), Command(260, 1)};
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(AllZeroFilled(Received()));
}

TEST_F(TextTest, TrailingSpacesAreRemovedAndTheFieldIsPaddedWithSpaces) {
  viewer.SetPages({"ab  ", "cd   "});
  GuardedField page(10, 'x');
  object.GETTEXT(page.Field(), LvxGivenInt32(1));
  EXPECT_EQ(page.Contents(), "ab        ");
  GuardedField whole(12, 'x');
  object.GETTEXT(whole.Field(), LvxOmittedInt32());
  EXPECT_EQ(whole.Contents(), "ab  cd      ") << "spaces inside the text stay";
  EXPECT_TRUE(page.GuardsIntact());
  EXPECT_TRUE(whole.GuardsIntact());
}

TEST_F(TextTest, EmptyDocumentGivesAllSpacesAfterTwoPageCounts) {
  viewer.SetPages({});
  EXPECT_EQ(object.GETTEXTLENGTH(LvxOmittedInt32()), 0);
  GuardedField text(6, 'x');
  object.GETTEXT(text.Field(), LvxOmittedInt32());
  EXPECT_EQ(text.Contents(), "      ");
  EXPECT_TRUE(text.GuardsIntact());
  const Calls expected = {Command(201, 0), Command(201, 0), Command(201, 0)};
  EXPECT_EQ(Received(), expected);
}

TEST_F(TextTest, FieldsOfNoCapacityTakeNothing) {
  viewer.SetPages({""});
  GuardedField none("");
  object.GETTEXT(none.Field(), LvxGivenInt32(1));
  object.GETTEXT(none.Field(), LvxOmittedInt32());
  object.GETTEXT(LvxTextField{nullptr, 5}, LvxOmittedInt32());
  EXPECT_TRUE(none.GuardsIntact());
  EXPECT_TRUE(boxes.Boxes().empty());
}

// The viewer's answers are not trusted to fit the wrapper's arithmetic or buffers.

TEST_F(TextTest, NegativePageLengthFetchesNothing) {
  viewer.SetPages({"abc", "zz", "de"});
  viewer.Answer(260, {-7});
  GuardedField page(8, 'x');
  object.GETTEXT(page.Field(), LvxGivenInt32(1));
  EXPECT_EQ(page.Contents(), std::string(8, ' ')) << "no text delivered for the page";
  EXPECT_TRUE(page.GuardsIntact());

  // In the whole document such a page adds nothing to the total and is not fetched.
  viewer.Forget();
  viewer.Answer(260, {3, -7, 2, 3, -7, 2, 3, -7, 2});
  EXPECT_EQ(object.GETTEXTLENGTH(LvxOmittedInt32()), 5);
  GuardedField whole(5, 'x');
  object.GETTEXT(whole.Field(), LvxOmittedInt32());
  EXPECT_EQ(whole.Contents(), "abcde");
  EXPECT_TRUE(whole.GuardsIntact());
  const Calls expected =
      {
          Command(201, 0), Command(260, 0), Command(260, 1),
          Command(260, 2),  // GETTEXTLENGTH
          Command(201, 0), Command(260, 0), Command(260, 1),
          Command(260, 2),  // GETTEXT: total
          Command(201, 0), Command(260, 0), PageTextIntoBuffer(),
          Command(260, 1), Command(260, 2), PageTextIntoBuffer(),
      };
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(AllZeroFilled(Received()));
}

TEST_F(TextTest, TotalBeyond32BitsIsTooLongForAnyFieldInsteadOfWrappingToAFit) {
  // 2 * INT_MAX + 7 wraps to 5 in 32-bit arithmetic, which would pass for a fit of a 16-byte field.
  viewer.SetPages({"a", "b", "abcdefg"});
  viewer.Answer(260, {INT_MAX, INT_MAX, 7, INT_MAX, INT_MAX, 7});
  EXPECT_EQ(object.GETTEXTLENGTH(LvxOmittedInt32()), INT_MAX);
  GuardedField text(16, 'x');
  object.GETTEXT(text.Field(), LvxOmittedInt32());
  ExpectOneBox("Buffer too small.");
  EXPECT_EQ(text.Contents(), std::string(16, 'x'));
  EXPECT_TRUE(text.GuardsIntact());
  for (const ViewerCall& call : Received()) {
    EXPECT_NE(call.code, kPageTextCode);
  }
}

TEST_F(TextTest, PagesLongerThanTheirTotalAreCutAtTheField) {
  // The viewer answers smaller lengths while totalling than when the pages are fetched.
  viewer.SetPages({"abc", "def"});
  viewer.Answer(260, {1, 1});
  GuardedField text(4, 'x');
  object.GETTEXT(text.Field(), LvxOmittedInt32());
  EXPECT_EQ(text.Contents(), "abcd");
  EXPECT_TRUE(text.GuardsIntact());
}

TEST_F(TextTest, AResultBufferThatCannotBeHadIsReportedAndNothingIsSent) {
  viewer.SetPages({"abc"});
  GuardedField text(16, 'x');
  LvxTextField claimed = text.Field();
  // A field that claims 16 MiB, in a process that cannot have a buffer of 1 MiB or more.
  claimed.capacity = 16 << 20;
  const AllocationLimit limit(1 << 20);
  object.GETTEXT(claimed, LvxGivenInt32(1));
  object.GETTEXT(claimed, LvxOmittedInt32());
  EXPECT_EQ(limit.Refused(), 2U);
  ASSERT_EQ(boxes.Boxes().size(), 2U);
  for (const ObservedBox& box : boxes.Boxes()) {
    EXPECT_EQ(box.text, "Not enough memory.");
    EXPECT_EQ(box.caption, "Error");
  }
  EXPECT_EQ(text.Contents(), std::string(16, 'x'));
  EXPECT_TRUE(text.GuardsIntact());
  EXPECT_TRUE(Received().empty());
}

// Without a viewer window the box is owned by the thread's active window rather than by none.
TEST_F(TextTest, WithoutAViewerTheBoxIsOwnedByTheActiveWindow) {
  object.HWINDOW = 0;
  SetActiveWindow(host.Window());
  ASSERT_EQ(GetActiveWindow(), host.Window());
  GuardedField text(16, 'x');
  LvxTextField claimed = text.Field();
  claimed.capacity = 16 << 20;
  const AllocationLimit limit(1 << 20);
  object.GETTEXT(claimed, LvxGivenInt32(1));
  ASSERT_EQ(boxes.Boxes().size(), 1U);
  EXPECT_EQ(boxes.Boxes()[0].text, "Not enough memory.");
  EXPECT_EQ(boxes.Boxes()[0].owner, host.Window());
}

TEST_F(TextTest, APageBufferThatCannotBeHadIsReportedWithoutFetchingThePage) {
  viewer.SetPages({"abc"});
  viewer.Answer(260, {3, 16 << 20});  // measured again, the page claims 16 MiB of text
  GuardedField text(8, 'x');
  {
    const AllocationLimit limit(1 << 20);
    object.GETTEXT(text.Field(), LvxOmittedInt32());
    EXPECT_EQ(limit.Refused(), 1U);
  }
  ExpectOneBox("Not enough memory.");
  EXPECT_EQ(text.Contents(), std::string(8, 'x'));
  EXPECT_TRUE(text.GuardsIntact());
  const Calls expected = {Command(201, 0), Command(260, 0), Command(201, 0), Command(260, 0)};
  EXPECT_EQ(Received(), expected);
}

// Overrides in a derived class take part: GETTEXT and GETTEXTLENGTH call through the table.
class FirstPagesOnly : public LUMIVEXCONTROL {
 public:
  std::int32_t GETPAGECOUNT() override {
    ++pageCounts;
    return LUMIVEXCONTROL::GETPAGECOUNT() - 1;
  }
  std::int32_t GETTEXTLENGTH(LvxOptionalInt32 PAGE) override {
    ++lengths;
    return LUMIVEXCONTROL::GETTEXTLENGTH(PAGE);
  }
  int pageCounts = 0;
  int lengths = 0;
};

TEST_F(TextTest, TextOperationsCallOverridesThroughTheTable) {
  ThreePages();
  FirstPagesOnly derived;
  derived.HWINDOW = viewer.Handle();
  LUMIVEXCONTROL& base = derived;
  EXPECT_EQ(base.GETTEXTLENGTH(LvxOmittedInt32()), 10) << "two pages counted by the override";
  EXPECT_EQ(derived.pageCounts, 1);
  GuardedField text(12, 'x');
  base.GETTEXT(text.Field(), LvxOmittedInt32());
  EXPECT_EQ(text.Contents(), "0123456789  ");
  EXPECT_EQ(derived.lengths, 2);
  EXPECT_EQ(derived.pageCounts, 3);
}

// An override that needs memory it cannot have: the base operations that call it report the
// shortage and answer as with no document; no exception leaves them.
class CountingWithNotes : public LUMIVEXCONTROL {
 public:
  std::int32_t GETPAGECOUNT() override {
    const std::vector<char> note(kNoteSize);
    return LUMIVEXCONTROL::GETPAGECOUNT() + static_cast<std::int32_t>(note.size() - kNoteSize);
  }
  static constexpr std::size_t kNoteSize = 1 << 20;
};

TEST_F(TextTest, AnOverrideThatRunsOutOfMemoryDoesNotUnwindOutOfTheOperations) {
  ThreePages();
  CountingWithNotes derived;
  derived.HWINDOW = viewer.Handle();
  LUMIVEXCONTROL& base = derived;
  GuardedField text(16, 'x');
  std::int32_t length = -1;
  bool threw = false;
  std::size_t refused = 0;
  {
    const AllocationLimit limit(CountingWithNotes::kNoteSize / 2);
    try {
      length = base.GETTEXTLENGTH(LvxOmittedInt32());
      base.GETTEXT(text.Field(), LvxOmittedInt32());
    } catch (...) {
      threw = true;
    }
    refused = limit.Refused();
  }
  EXPECT_FALSE(threw) << "an exception left an operation";
  EXPECT_EQ(length, 0);
  EXPECT_EQ(text.Contents(), std::string(16, 'x'));
  EXPECT_TRUE(text.GuardsIntact());
  // Each refused note is one report: GETTEXT meets the shortage in the length it asks for and
  // again in the page count.
  EXPECT_GE(refused, 2U);
  ASSERT_EQ(boxes.Boxes().size(), refused);
  for (const ObservedBox& box : boxes.Boxes()) {
    EXPECT_EQ(box.text, "Not enough memory.");
  }
  EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace lvx::test
