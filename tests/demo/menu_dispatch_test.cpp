// The menu commands with a viewer whose operations are recorded: each field number runs exactly
// its row (operation and fixed arguments), the information boxes carry their exact texts and
// captions, and "Page Text" holds its buffer only while it runs, whatever length it is told.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "lumivexctl/lumivexcontrol.h"
#include "main_window_fields.h"
#include "menu_dispatch.h"
#include "message_box_watcher.h"

namespace ostrada {
namespace {

using lvx::test::MessageBoxWatcher;

std::string Optional(LvxOptionalInt32 value) {
  return value.omitted != 0 ? "omitted" : std::to_string(value.value);
}
std::string Optional(LvxOptionalText value) { return value.omitted != 0 ? "omitted" : "given"; }

// Records every operation called, with its arguments; answers what the test sets.
class RecordingViewer final : public LUMIVEXCONTROL {
 public:
  std::vector<std::string> calls;
  std::int32_t pageCount = 0;
  std::int32_t firstPageLength = 0;
  std::int32_t documentLength = 0;
  std::string pageText;      // what GETTEXT delivers (cut to the field, padded with spaces)
  bool textTooLong = false;  // GETTEXT leaves the field unchanged, as after "Buffer too small."
  const PageText* watched = nullptr;
  bool bufferHeldDuringGetText = false;

  std::int32_t INIT(LvxHostWindow& /*HOSTWINDOW*/, std::int16_t HOSTCONTROL) override {
    calls.push_back("INIT " + std::to_string(HOSTCONTROL));
    return 0;
  }
  void KILL() override { calls.emplace_back("KILL"); }
  std::int32_t LOADFILE(LvxOptionalText FILENAME) override {
    calls.push_back("LOADFILE " + Optional(FILENAME));
    return 0;
  }
  std::int32_t APPENDFILE(LvxOptionalText FILENAME) override {
    calls.push_back("APPENDFILE " + Optional(FILENAME));
    return 0;
  }
  void CLEARVIEW() override { calls.emplace_back("CLEARVIEW"); }
  void SHOWABOUT() override { calls.emplace_back("SHOWABOUT"); }
  void DOCUMENTPROPERTIES() override { calls.emplace_back("DOCUMENTPROPERTIES"); }
  void SETZOOM(std::int32_t ZOOMMODE) override {
    calls.push_back("SETZOOM " + std::to_string(ZOOMMODE));
  }
  void DISABLEPRINT(std::int32_t PRINTFEATURE) override {
    calls.push_back("DISABLEPRINT " + std::to_string(PRINTFEATURE));
  }
  std::int32_t FINDTEXT(LvxText /*SEARCHTEXT*/, std::uint8_t /*MARKFOUND*/,
                        std::uint8_t /*USEFIND2*/, std::uint8_t /*PRESET*/,
                        std::uint8_t /*OPTIONVALUE*/) override {
    calls.emplace_back("FINDTEXT");
    return 0;
  }
  void _PRINT(std::uint8_t SHOWDIALOG, LvxOptionalInt32 FIRSTPAGE,
              LvxOptionalInt32 LASTPAGE) override {
    calls.push_back("_PRINT " + std::to_string(SHOWDIALOG) + " " + Optional(FIRSTPAGE) + " " +
                    Optional(LASTPAGE));
  }
  void PRINTTOPRINTER(LvxText /*PRINTERNAME*/, LvxOptionalInt32 /*FIRSTPAGE*/,
                      LvxOptionalInt32 /*LASTPAGE*/) override {
    calls.emplace_back("PRINTTOPRINTER");
  }
  void SETVIEWCONTROLPROPERTIES() override { calls.emplace_back("SETVIEWCONTROLPROPERTIES"); }
  std::int32_t GETPAGECOUNT() override {
    calls.emplace_back("GETPAGECOUNT");
    return pageCount;
  }
  std::int32_t GETTEXTLENGTH(LvxOptionalInt32 PAGE) override {
    calls.push_back("GETTEXTLENGTH " + Optional(PAGE));
    return PAGE.omitted != 0 ? documentLength : firstPageLength;
  }
  void GETTEXT(LvxTextField TEXT, LvxOptionalInt32 PAGE) override {
    calls.push_back("GETTEXT " + std::to_string(TEXT.capacity) + " " + Optional(PAGE));
    bufferHeldDuringGetText = watched != nullptr && watched->buffer.has_value() &&
                              watched->buffer->data() == TEXT.data &&
                              static_cast<std::int32_t>(watched->buffer->size()) == TEXT.capacity;
    if (textTooLong || TEXT.data == nullptr) {
      return;
    }
    for (std::int32_t i = 0; i < TEXT.capacity; ++i) {
      TEXT.data[i] = static_cast<std::size_t>(i) < pageText.size()
                         ? pageText[static_cast<std::size_t>(i)]
                         : ' ';
    }
  }
};

struct Row {
  std::int32_t field;
  std::vector<std::string> calls;
};

class MenuDispatchTest : public ::testing::Test {
 protected:
  void Dispatch(std::int32_t field) {
    viewer.watched = &pageText;
    DispatchCommand(field, viewer, pageText, nullptr);
  }

  RecordingViewer viewer;
  PageText pageText;
};

TEST_F(MenuDispatchTest, EveryRowCallsItsOperationWithItsArguments) {
  const std::vector<Row> rows = {
      {FIELD_OPEN, {"LOADFILE omitted"}},
      {FIELD_APPEND, {"APPENDFILE omitted"}},
      {FIELD_CLEAR, {"CLEARVIEW"}},
      {FIELD_PRINT, {"_PRINT 1 omitted omitted"}},
      {FIELD_ZOOM_100, {"SETZOOM 41"}},
      {FIELD_ZOOM_IN, {"SETZOOM 42"}},
      {FIELD_ZOOM_OUT, {"SETZOOM 44"}},
      {FIELD_FULL_WIDTH, {"SETZOOM 45"}},
      {FIELD_FULL_PAGE, {"SETZOOM 46"}},
      {FIELD_TWO_PAGES, {"SETZOOM 47"}},
      {FIELD_DISABLE_PRINT, {"DISABLEPRINT 123"}},
      {FIELD_DISABLE_HQ_PRINT, {"DISABLEPRINT 124"}},
      {FIELD_DISABLE_SELECT_PRINTER, {"DISABLEPRINT 125"}},
      {FIELD_DISABLE_DC_PRINT, {"DISABLEPRINT 126"}},
      {FIELD_DOCUMENT_PROPERTIES, {"DOCUMENTPROPERTIES"}},
      {FIELD_ABOUT, {"SHOWABOUT"}},
      {FIELD_PAGE_COUNT, {"GETPAGECOUNT"}},
      {FIELD_PAGE_TEXT_LENGTH, {"GETTEXTLENGTH 1"}},
      {FIELD_DOCUMENT_TEXT_LENGTH, {"GETTEXTLENGTH omitted"}},
      {FIELD_PAGE_TEXT, {"GETTEXTLENGTH 1", "GETTEXT 0 1"}},
  };
  const MessageBoxWatcher watcher;
  for (const Row& row : rows) {
    viewer.calls.clear();
    Dispatch(row.field);
    EXPECT_EQ(viewer.calls, row.calls) << "field " << row.field;
  }
  EXPECT_EQ(watcher.Boxes().size(), 4U) << "one box for each of the four information items";
}

TEST_F(MenuDispatchTest, TitlesExitRegionAndOtherNumbersDoNothing) {
  const MessageBoxWatcher watcher;
  for (const std::int32_t field :
       {0, FIELD_FILE_MENU, FIELD_ZOOM_MENU, FIELD_DISABLE_MENU, FIELD_EXIT, FIELD_INFO_MENU,
        FIELD_HELP_MENU, FIELD_HOSTREGION, 28, -1, 1000}) {
    Dispatch(field);
  }
  EXPECT_TRUE(viewer.calls.empty());
  EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(MenuDispatchTest, InformationBoxesCarryExactTextsAndCaptions) {
  viewer.pageCount = 12;
  viewer.firstPageLength = 1500;
  viewer.documentLength = 15;
  const MessageBoxWatcher watcher;
  Dispatch(FIELD_PAGE_COUNT);
  Dispatch(FIELD_PAGE_TEXT_LENGTH);
  Dispatch(FIELD_DOCUMENT_TEXT_LENGTH);
  viewer.pageCount = -1;
  viewer.firstPageLength = -7;
  viewer.documentLength = INT_MIN;
  Dispatch(FIELD_PAGE_COUNT);
  Dispatch(FIELD_PAGE_TEXT_LENGTH);
  Dispatch(FIELD_DOCUMENT_TEXT_LENGTH);
  ASSERT_EQ(watcher.Boxes().size(), 6U);
  const std::vector<std::string> texts = {
      "12 total pages.", "1st Page Text Length = 1500", "Document Text Length = 15",
      "-1 total pages.", "1st Page Text Length = -7",   "Document Text Length = -2147483648"};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(watcher.Boxes()[i].text, texts[i]);
    EXPECT_EQ(watcher.Boxes()[i].caption, "");
    EXPECT_FALSE(watcher.Boxes()[i].hasIcon);
  }
}

TEST_F(MenuDispatchTest, PageTextShowsTheFirstPageWithoutTrailingSpaces) {
  viewer.pageText = "two words   ";
  viewer.firstPageLength = static_cast<std::int32_t>(viewer.pageText.size());
  const MessageBoxWatcher watcher;
  Dispatch(FIELD_PAGE_TEXT);
  EXPECT_EQ(viewer.calls, (std::vector<std::string>{"GETTEXTLENGTH 1", "GETTEXT 12 1"}));
  EXPECT_TRUE(viewer.bufferHeldDuringGetText) << "GETTEXT fills the command's own buffer";
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  EXPECT_EQ(watcher.Boxes()[0].text, "two words");
  EXPECT_EQ(watcher.Boxes()[0].caption, "1st page text");
  EXPECT_FALSE(pageText.buffer.has_value()) << "released when the box is closed";
}

TEST_F(MenuDispatchTest, PageTextBarsBecomeLineBreaks) {
  viewer.pageText = "left|right";
  viewer.firstPageLength = 10;
  const MessageBoxWatcher watcher;
  Dispatch(FIELD_PAGE_TEXT);
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  EXPECT_EQ(watcher.Boxes()[0].text, "left\nright");
}

TEST_F(MenuDispatchTest, PageTextEmptyOrTooLongShowsAnEmptyMessage) {
  const MessageBoxWatcher watcher;
  Dispatch(FIELD_PAGE_TEXT);  // a page without text
  viewer.firstPageLength = 20;
  viewer.textTooLong = true;  // the viewer's text grew: GETTEXT leaves the spaces
  Dispatch(FIELD_PAGE_TEXT);
  ASSERT_EQ(watcher.Boxes().size(), 2U);
  for (const auto& box : watcher.Boxes()) {
    EXPECT_EQ(box.text, "");
    EXPECT_EQ(box.caption, "1st page text");
  }
  EXPECT_FALSE(pageText.buffer.has_value());
}

TEST_F(MenuDispatchTest, NegativeOrAbsurdLengthsGetNoBufferAndNoFetch) {
  const MessageBoxWatcher watcher;
  for (const std::int32_t length : {-1, INT_MIN, kPageTextLimit + 1, INT_MAX}) {
    viewer.calls.clear();
    viewer.firstPageLength = length;
    Dispatch(FIELD_PAGE_TEXT);
    EXPECT_EQ(viewer.calls, (std::vector<std::string>{"GETTEXTLENGTH 1"})) << length;
    EXPECT_FALSE(pageText.buffer.has_value());
  }
  ASSERT_EQ(watcher.Boxes().size(), 4U);
  for (const auto& box : watcher.Boxes()) {
    EXPECT_EQ(box.text, "");
    EXPECT_EQ(box.caption, "1st page text");
  }
}

TEST_F(MenuDispatchTest, PageTextAtTheLimitIsFetched) {
  viewer.firstPageLength = kPageTextLimit;
  viewer.pageText = "start";
  const MessageBoxWatcher watcher;
  Dispatch(FIELD_PAGE_TEXT);
  EXPECT_EQ(viewer.calls.back(), "GETTEXT " + std::to_string(kPageTextLimit) + " 1");
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  EXPECT_EQ(watcher.Boxes()[0].text, "start");
  EXPECT_FALSE(pageText.buffer.has_value());
}

}  // namespace
}  // namespace ostrada
