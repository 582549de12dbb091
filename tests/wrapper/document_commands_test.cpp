// Document, view and find commands as message sequences: LOADFILE and APPENDFILE with a given
// name, the commands without text, the forwarded codes, and FINDTEXT's order and mark rules.
#include <gtest/gtest.h>

#include <string>

#include "dialog_driver.h"
#include "guarded_field.h"
#include "protocol_fixture.h"

namespace lvx::test {
namespace {

class FileCommandTest : public ProtocolTest {};

TEST_F(FileCommandTest, GivenNamesGoWithoutTrailingSpacesAndResultsComeBackUnchanged) {
  const GuardedField name("C:\\docs\\report.pdf     ");
  viewer.Answer(101, {1});
  viewer.Answer(102, {-1});
  EXPECT_EQ(object.LOADFILE(LvxGivenText(name.Text())), 1);
  EXPECT_EQ(object.APPENDFILE(LvxGivenText(name.Text())), -1);
  const Calls expected = {
      String(101, "C:\\docs\\report.pdf"),
      String(102, "C:\\docs\\report.pdf"),
  };
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(name.GuardsIntact());
  EXPECT_EQ(name.Contents(), "C:\\docs\\report.pdf     ") << "the caller's text is not changed";
}

TEST_F(FileCommandTest, BlankAndEmptyGivenNamesAreSentAsEmptyStringsWithoutADialog) {
  const GuardedField blank(12, ' ');
  const GuardedField empty("");
  viewer.Answer(101, {7});
  viewer.Answer(102, {8});
  // A dialog here would block: a driver stands by to cancel one, and must find none.
  DialogDriver noDialog("Select File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(object.LOADFILE(LvxGivenText(blank.Text())), 7);
  EXPECT_EQ(object.APPENDFILE(LvxGivenText(empty.Text())), 8);
  EXPECT_FALSE(noDialog.Finish());
  const Calls expected = {String(101, ""), String(102, "")};
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(blank.GuardsIntact());
  EXPECT_TRUE(empty.GuardsIntact());
}

TEST_F(FileCommandTest, LongNamesAreCutTo255Characters) {
  std::string longName = "C:\\";
  for (char c = 'a'; longName.size() < 300; c = c == 'z' ? 'a' : static_cast<char>(c + 1)) {
    longName += c;
  }
  const GuardedField name(longName);
  object.LOADFILE(LvxGivenText(name.Text()));
  const GuardedField exact(longName.substr(0, 255));
  object.APPENDFILE(LvxGivenText(exact.Text()));
  const Calls expected = {String(101, longName.substr(0, 255)),
                          String(102, longName.substr(0, 255))};
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(name.GuardsIntact());
}

TEST_F(ProtocolTest, CommandsWithoutTextAndForwardedCodes) {
  object.CLEARVIEW();
  object.SHOWABOUT();
  object.DOCUMENTPROPERTIES();
  object.SETZOOM(44);
  object.SETZOOM(100);  // any code is forwarded: this one clears the view
  object.SETZOOM(-5);
  object.DISABLEPRINT(124);
  object.DISABLEPRINT(46);
  const Calls expected = {
      Command(100, 0), Command(6, 0),  Command(1, 0),   Command(44, 0),
      Command(100, 0), Command(-5, 0), Command(124, 0), Command(46, 0),
  };
  EXPECT_EQ(Received(), expected);
}

struct FindCase {
  const char* name;
  std::string searchText;
  std::uint8_t markFound, useFind2, preset, optionValue;
  std::int32_t searchResult;
  Calls expected;
};

void PrintTo(const FindCase& c, std::ostream* out) { *out << c.name; }

class FindTextTest : public ProtocolTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindTextTest, SendsTheStatedSequenceAndAnswersTheSearchResult) {
  const FindCase& c = GetParam();
  const GuardedField text(c.searchText);
  viewer.Answer(255, {c.searchResult});
  viewer.Answer(256, {c.searchResult});
  EXPECT_EQ(object.FINDTEXT(text.Text(), c.markFound, c.useFind2, c.preset, c.optionValue),
            c.searchResult);
  EXPECT_EQ(Received(), c.expected);
  EXPECT_TRUE(text.GuardsIntact());
}

const std::string kLongSearch(600, 's');

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    ::testing::Values(
        FindCase{"AllZero", "needle   ", 0, 0, 0, 0, 4, {String(255, "needle"), String(257, "")}},
        FindCase{"MarkFirstFormNotFound",
                 "needle",
                 1,
                 0,
                 0,
                 0,
                 -1,
                 {String(255, "needle"), String(257, "")}},
        FindCase{"MarkFirstFormFoundAtZero",
                 "needle",
                 1,
                 0,
                 0,
                 0,
                 0,
                 {String(255, "needle"), String(257, "needle")}},
        FindCase{"AnyNonZeroMarkCounts",
                 "needle",
                 2,
                 0,
                 0,
                 0,
                 3,
                 {String(255, "needle"), String(257, "needle")}},
        FindCase{"MarkSecondFormWhateverTheResult",
                 "needle",
                 1,
                 1,
                 0,
                 0,
                 -1,
                 {String(256, "needle"), String(257, "needle")}},
        FindCase{"SecondFormUnmarked",
                 "needle",
                 0,
                 1,
                 0,
                 0,
                 5,
                 {String(256, "needle"), String(257, "")}},
        FindCase{"OptionThenPresetThenSearchThenMark",
                 "two words ",
                 1,
                 0,
                 1,
                 200,
                 2,
                 {Command(253, 200), Command(254, -1), String(255, "two words"),
                  String(257, "two words")}},
        FindCase{"OptionByteWidenedWithoutSign",
                 "x",
                 0,
                 0,
                 0,
                 255,
                 0,
                 {Command(253, 255), String(255, "x"), String(257, "")}},
        FindCase{"PresetAlone",
                 "x",
                 0,
                 1,
                 9,
                 0,
                 0,
                 {Command(254, -1), String(256, "x"), String(257, "")}},
        FindCase{
            "BlankSearchIsNotRefused", "      ", 1, 0, 0, 0, 0, {String(255, ""), String(257, "")}},
        FindCase{
            "SearchCutTo511",
            kLongSearch,
            1,
            0,
            0,
            0,
            1,
            {String(255, kLongSearch.substr(0, 511)), String(257, kLongSearch.substr(0, 511))}}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lvx::test
