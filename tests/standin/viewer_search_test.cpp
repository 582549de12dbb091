// Search codes through the window: options (253), back to the start (254), find next (255) with
// its page, current page and scrolling, count (256) and marks (257).
#include "viewer_fixture.h"

namespace lvx::test {
namespace {

class ViewerSearchTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Command(50, 31);
    // Words placed on known pages: "Harbour" on 2 and 9 (0-based 1 and 8), "harbourmaster" on 5,
    // "HARBOUR" on 7, an accented word on 3.
    TestDocument document = NumberedPages(10, 3);
    document.pages[1].lines.push_back({72, 400, 12, "The Harbour gate"});
    document.pages[8].lines.push_back({72, 100, 12, "Harbour lights at the bottom of the page"});
    document.pages[4].lines.push_back({72, 400, 12, "the harbourmaster"});
    document.pages[6].lines.push_back({72, 400, 12, "HARBOUR"});
    document.pages[2].lines.push_back({72, 400, 12, "caf\xE9 \xC9T\xC9"});
    Show(document);
  }
};

TEST_F(ViewerSearchTest, FindNextAnswersEachPageInTurnThenMinusOneAndStartsOver) {
  EXPECT_EQ(StringCommand(255, "harbour"), 1);
  EXPECT_EQ(View().currentPage, 1);
  EXPECT_EQ(StringCommand(255, "harbour"), 4);
  EXPECT_EQ(StringCommand(255, "harbour"), 6);
  EXPECT_EQ(StringCommand(255, "harbour"), 8);
  const LvxStandinViewState view = View();
  EXPECT_EQ(view.currentPage, 8);
  EXPECT_EQ(view.foundPage, 8);
  // The found text (near the bottom of page 9) is inside the page area.
  const RECT sheet = PageBox(8);
  const int baseline = sheet.top + static_cast<int>((792 - 100) * 96.0 / 72.0);
  EXPECT_GT(baseline, 0);
  EXPECT_LT(baseline, view.areaHeight);
  EXPECT_EQ(PageHighlights(8), 1) << "the found text is highlighted";
  EXPECT_EQ(StringCommand(255, "harbour"), -1);
  EXPECT_EQ(View().foundPage, -1);
  EXPECT_EQ(StringCommand(255, "harbour"), 1) << "after the end it starts over";
}

TEST_F(ViewerSearchTest, OptionsMatchCaseWholeWordsAndBackwards) {
  Command(253, 1);  // match case
  EXPECT_EQ(View().searchOptions, 1);
  EXPECT_EQ(StringCommand(256, "Harbour"), 2);
  EXPECT_EQ(StringCommand(255, "HARBOUR"), 6);
  Command(253, 2);  // whole words, any case: the harbourmaster does not count
  EXPECT_EQ(StringCommand(256, "harbour"), 3);
  Command(253, 4 | 2);  // backwards from the start means from the end
  Command(254, -1);
  EXPECT_EQ(StringCommand(255, "harbour"), 8);
  EXPECT_EQ(StringCommand(255, "harbour"), 6);
  EXPECT_EQ(StringCommand(255, "harbour"), 1);
  EXPECT_EQ(StringCommand(255, "harbour"), -1);
  Command(253, 128);  // no known bit: every option off
  EXPECT_EQ(StringCommand(256, "harbour"), 4);
  EXPECT_EQ(StringCommand(256, "\xC9t\xE9"), 1) << "Windows-1252 letters fold case";
}

TEST_F(ViewerSearchTest, PresetGoesBackToTheStart) {
  EXPECT_EQ(StringCommand(255, "harbour"), 1);
  EXPECT_EQ(StringCommand(255, "harbour"), 4);
  Command(254, -1);
  EXPECT_EQ(StringCommand(255, "harbour"), 1);
}

TEST_F(ViewerSearchTest, CountAndMarksCoverTheWholeDocumentAndEmptyTextFindsNothing) {
  EXPECT_EQ(StringCommand(256, "line"), 30);
  EXPECT_EQ(View().foundPage, -1) << "counting moves nothing";
  EXPECT_EQ(StringCommand(257, "harbour"), 4);
  LvxStandinViewState view = View();
  EXPECT_EQ(view.markCount, 4);
  EXPECT_STREQ(view.markText, "harbour");
  EXPECT_EQ(PageHighlights(1), 1);
  EXPECT_EQ(PageHighlights(0), 0);
  EXPECT_EQ(PageHighlights(6), 1);
  EXPECT_EQ(StringCommand(257, ""), 0);
  EXPECT_EQ(View().markCount, 0);
  EXPECT_EQ(PageHighlights(6), 0);
  EXPECT_EQ(StringCommand(255, ""), -1);
  EXPECT_EQ(StringCommand(256, ""), 0);
  EXPECT_EQ(StringCommand(255, "no such words"), -1);
  // A text of two words matches across the runs' spaces however they are spaced.
  EXPECT_EQ(StringCommand(256, "the   harbourMASTER"), 1);
}

TEST_F(ViewerSearchTest, WithoutADocumentNothingIsFound) {
  Command(100);
  EXPECT_EQ(StringCommand(255, "harbour"), -1);
  EXPECT_EQ(StringCommand(256, "harbour"), 0);
  EXPECT_EQ(StringCommand(257, "harbour"), 0);
}

}  // namespace
}  // namespace lvx::test
