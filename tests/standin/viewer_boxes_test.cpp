// The properties box (code 1) and the about box (code 6): modal message boxes owned by the host's
// top-level window, the properties box with the shown document's facts.
#include "message_box_watcher.h"
#include "viewer_fixture.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

using ViewerBoxesTest = ViewerTest;

TEST_F(ViewerBoxesTest, PropertiesShowTheDocumentsFactsInABoxOwnedByTheTopLevelWindow) {
  TestDocument document = NumberedPages(3);
  document.title = "Tide tables";
  document.author = "Harbour office";
  document.pages[1].width = 842;
  document.pages[1].height = 595;
  Show(document, "tides");
  const HWND list = GetDlgItem(Part(LVX_STANDIN_NAVIGATION_PANEL), LVX_STANDIN_PAGE_LIST);
  SendMessageA(list, LB_SETCURSEL, 1, 0);
  SendMessageA(Part(LVX_STANDIN_NAVIGATION_PANEL), WM_COMMAND,
               MAKEWPARAM(LVX_STANDIN_PAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));

  MessageBoxWatcher watcher;
  EXPECT_EQ(Command(1), 0);
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  const ObservedBox& box = watcher.Boxes()[0];
  EXPECT_EQ(box.owner, host_);
  EXPECT_EQ(box.caption, "Document Properties");
  const std::string& facts = box.text;
  for (const char* expected :
       {"tides.pdf", "Pages: 3", "Title: Tide tables", "Author: Harbour office",
        "Producer: lumivex tests", "PDF version: 1.7", "842 x 595 pt (297 x 210 mm), page 2"}) {
    EXPECT_NE(facts.find(expected), std::string::npos) << expected << " in\n" << facts;
  }
  // The property panel shows the same facts.
  char panel[1024] = {};
  GetWindowTextA(GetDlgItem(Part(LVX_STANDIN_PROPERTY_PANEL), LVX_STANDIN_PROPERTY_TEXT), panel,
                 sizeof panel);
  EXPECT_EQ(std::string(panel), facts);
}

TEST_F(ViewerBoxesTest, WithoutADocumentThePropertiesSaySoAndTheAboutBoxNamesTheViewer) {
  MessageBoxWatcher watcher;
  Command(1);
  Command(6);
  ASSERT_EQ(watcher.Boxes().size(), 2U);
  EXPECT_EQ(watcher.Boxes()[0].text, "No document");
  EXPECT_EQ(watcher.Boxes()[1].caption, "About Lumivex Viewer");
  EXPECT_NE(watcher.Boxes()[1].text.find("stand-in"), std::string::npos);
  EXPECT_EQ(watcher.Boxes()[1].owner, host_);
}

TEST_F(ViewerBoxesTest, AViewerThatIsNotInsideAnotherWindowLetsItsOwnerOwnTheBox) {
  const HWND popup = CreateWindowExA(0, kViewerClassName, "", WS_POPUP, 0, 0, 300, 200, host_,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(popup, nullptr);
  MessageBoxWatcher watcher;
  SendMessageA(popup, WM_VIEWER_COMMAND, 6, 0);
  ASSERT_EQ(watcher.Boxes().size(), 1U);
  EXPECT_EQ(watcher.Boxes()[0].owner, host_);
  DestroyWindow(popup);
}

}  // namespace
}  // namespace lvx::test
