// Searching the shown document: page text built from runs, the option bits, find-next with its
// position, counting, and tracing matches back to the runs that draw them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_search.h"
#include "text_search.h"

namespace lvx::standin {
namespace {

pdf::TextRun MakeRun(double x, double y, std::string text, double width = 0) {
  pdf::TextRun run;
  run.x = x;
  run.y = y;
  run.fontSize = 10;
  run.width = width;
  run.text = std::move(text);
  return run;
}

// A document whose pages are lines of text, one run per line, 20 points apart.
class LinesDocument final : public ShownDocument {
 public:
  explicit LinesDocument(std::vector<std::vector<std::string>> pages) : pages_(std::move(pages)) {}
  int PageCount() const override { return static_cast<int>(pages_.size()); }
  pdf::PageGeometry Geometry(int /*page*/) const override { return {}; }
  std::vector<pdf::TextRun> Runs(int page) const override {
    ++runRequests;
    std::vector<pdf::TextRun> runs;
    double y = 700;
    for (const std::string& line : pages_.at(static_cast<std::size_t>(page))) {
      runs.push_back(MakeRun(72, y, line));
      y -= 20;
    }
    return runs;
  }
  std::vector<ShownFile> Files() const override { return {}; }
  mutable int runRequests = 0;

 private:
  std::vector<std::vector<std::string>> pages_;
};

TEST(PageTextTest, RunsJoinWithOneSpaceAtGapsAndLineChangesButNotInsideAWord) {
  const std::vector<pdf::TextRun> runs{
      MakeRun(72, 700, "  Hel", 20),      MakeRun(92, 700, "lo", 10),  // touching: one word
      MakeRun(130, 700, "world\t\t", 30),                              // a gap on the same line
      MakeRun(72, 680, "next   line"),    MakeRun(72, 660, ""),        // a new line; an empty run
  };
  const PageText page = BuildPageText(runs);
  EXPECT_EQ(page.text, "Hello world next line");
  ASSERT_EQ(page.run.size(), page.text.size());
  EXPECT_EQ(page.run[3], 1);  // the first 'l' of "lo"
  EXPECT_EQ(page.offset[3], 0);
  EXPECT_EQ(page.run[5], -1);  // the gap's space
  EXPECT_EQ(page.run[0], 0);
  EXPECT_EQ(page.offset[0], 2);  // leading spaces are dropped
}

TEST(PageTextTest, MatchesTraceBackToTheRunsThatDrawThem) {
  const std::vector<pdf::TextRun> runs{MakeRun(72, 700, "Hel", 20),
                                       MakeRun(92, 700, "lo  there", 60)};
  const PageText page = BuildPageText(runs);
  ASSERT_EQ(page.text, "Hello there");
  const auto spans = SpansOf(page, {1, 8});  // "ello th"
  ASSERT_EQ(spans.size(), 2U);
  EXPECT_EQ(spans[0], (RunSpan{0, 1, 3}));
  EXPECT_EQ(spans[1], (RunSpan{1, 0, 6}));  // the collapsed spaces are inside the span
}

TEST(TextMatchTest, CaseFoldsWindows1252LettersUnlessMatchCaseIsSet) {
  const std::string text = "\xC9t\xE9 \x8Aka \xC4RGER \xE4rger";  // Été Ška ÄRGER ärger
  EXPECT_EQ(FindAll(text, "\xE9t\xC9", 0).size(), 1U);
  EXPECT_EQ(FindAll(text,
                    "\x9A"
                    "KA",
                    0)
                .size(),
            1U);
  EXPECT_EQ(FindAll(text, "\xE4rger", 0).size(), 2U);
  EXPECT_EQ(FindAll(text, "\xE4rger", kFindMatchCase).size(), 1U);
  EXPECT_TRUE(FindAll(text, "", 0).empty());
}

TEST(TextMatchTest, WholeWordsNeedsNoLetterOrDigitOnEitherSide) {
  const std::string text = "cat concat cat5 (cat) cat\xE9 cat";
  EXPECT_EQ(FindAll(text, "cat", 0).size(), 6U);
  const auto words = FindAll(text, "cat", kFindWholeWords);
  ASSERT_EQ(words.size(), 3U);
  EXPECT_EQ(words[0].begin, 0U);
  EXPECT_EQ(words[1].begin, 17U);
  EXPECT_EQ(words[2].begin, text.size() - 3);
}

TEST(TextMatchTest, MatchesDoNotOverlapAndSearchBothWays) {
  EXPECT_EQ(FindAll("aaaa", "aa", 0).size(), 2U);
  EXPECT_EQ(FindFrom("abcabc", "abc", 0, 1), (TextMatch{3, 6}));
  EXPECT_EQ(FindBefore("abcabc", "abc", 0, 5), (TextMatch{0, 3}));
  EXPECT_EQ(FindBefore("abcabc", "abc", 0, 6), (TextMatch{3, 6}));
  EXPECT_FALSE(FindBefore("abcabc", "abc", 0, 2).has_value());
  EXPECT_FALSE(FindFrom("ab", "abc", 0, 0).has_value());
  EXPECT_EQ(NormalizePattern(" two\r\n  words "), " two words ");
}

TEST(DocumentSearchTest, FindNextWalksForwardThenReportsTheEndAndStartsOver) {
  const LinesDocument doc({{"alpha beta", "beta"}, {"nothing"}, {"Beta gamma"}});
  PageTextCache pages;
  DocumentSearch search;
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), 0);
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), 0);
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), 2);
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), -1);
  EXPECT_FALSE(search.LastFound().has_value());
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), 0) << "after the end it starts over";
  EXPECT_EQ(search.CountAll(doc, pages, "beta"), 3);
  search.SetOptions(kFindMatchCase);
  EXPECT_EQ(search.CountAll(doc, pages, "beta"), 2);
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), 0) << "the second 'beta' of page 1";
  EXPECT_EQ(search.FindNext(doc, pages, "beta"), -1);
  EXPECT_EQ(doc.runRequests, 3) << "each page's text is built once";
}

TEST(DocumentSearchTest, BackwardsStartsAtTheEndAndResetGoesBackToTheStart) {
  const LinesDocument doc({{"one x"}, {"two x", "x"}, {"three"}});
  PageTextCache pages;
  DocumentSearch search;
  search.SetOptions(kFindBackwards | kFindWholeWords);
  EXPECT_EQ(search.FindNext(doc, pages, "x"), 1);
  EXPECT_EQ(search.LastFound()->match.begin, 6U);
  EXPECT_EQ(search.FindNext(doc, pages, "x"), 1);
  EXPECT_EQ(search.FindNext(doc, pages, "x"), 0);
  search.Reset();
  EXPECT_EQ(search.FindNext(doc, pages, "x"), 1);
  search.SetOptions(0);
  search.Reset();
  EXPECT_EQ(search.FindNext(doc, pages, "x"), 0);
  EXPECT_EQ(search.FindNext(doc, pages, ""), -1);
  EXPECT_EQ(search.FindNext(LinesDocument({}), pages, "x"), -1);
}

}  // namespace
}  // namespace lvx::standin
