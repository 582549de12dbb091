// Operations called without a viewer window: HWINDOW 0 (start-up failed) or the handle of a
// window that no longer exists (after KILL). Every operation answers 0 or does nothing, shows no
// message box and writes nothing outside the caller's fields.
#include <gtest/gtest.h>

#include <windows.h>

#include "dialog_driver.h"
#include "guarded_field.h"
#include "lumivexctl/lumivexcontrol.h"
#include "message_box_watcher.h"
#include "recording_viewer.h"

namespace lvx::test {
namespace {

std::int32_t DestroyedWindow() {
  const RecordingViewer gone;
  return gone.Handle();  // destroyed when `gone` goes
}

class NoViewerTest : public ::testing::TestWithParam<bool> {
 protected:
  NoViewerTest() { object.HWINDOW = GetParam() ? DestroyedWindow() : 0; }
  LUMIVEXCONTROL object;
  MessageBoxWatcher boxes;
};

TEST_P(NoViewerTest, EveryOperationAnswersZeroOrDoesNothing) {
  ASSERT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(object.HWINDOW))));
  const GuardedField name("C:\\x.pdf");
  const GuardedField search("word");
  DialogDriver noDialog("Select File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(object.LOADFILE(LvxGivenText(name.Text())), 0);
  EXPECT_EQ(object.APPENDFILE(LvxGivenText(name.Text())), 0);
  EXPECT_FALSE(noDialog.Finish());
  object.CLEARVIEW();
  object.SHOWABOUT();
  object.DOCUMENTPROPERTIES();
  object.SETZOOM(41);
  object.DISABLEPRINT(123);
  object.SETVIEWCONTROLPROPERTIES();
  EXPECT_EQ(object.FINDTEXT(search.Text(), 1, 1, 1, 1), 0);
  EXPECT_EQ(object.FINDTEXT(search.Text(), 1, 0, 0, 0), 0);
  object.PRINTTOPRINTER(name.Text(), LvxGivenInt32(1), LvxGivenInt32(2));
  object._PRINT(0, LvxOmittedInt32(), LvxOmittedInt32());
  EXPECT_EQ(object.GETPAGECOUNT(), 0);
  EXPECT_EQ(object.GETTEXTLENGTH(LvxOmittedInt32()), 0);
  EXPECT_EQ(object.GETTEXTLENGTH(LvxGivenInt32(1)), 0);

  GuardedField page(5, 'x');
  object.GETTEXT(page.Field(), LvxGivenInt32(1));
  EXPECT_EQ(page.Contents(), "     ");
  GuardedField whole(5, 'x');
  object.GETTEXT(whole.Field(), LvxOmittedInt32());
  EXPECT_EQ(whole.Contents(), "     ");

  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(page.GuardsIntact());
  EXPECT_TRUE(whole.GuardsIntact());
  EXPECT_TRUE(name.GuardsIntact());
  EXPECT_TRUE(search.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Handles, NoViewerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "DestroyedWindow" : "NoWindow";
                         });

}  // namespace
}  // namespace lvx::test
