// _PRINT with the print dialog: the real dialog under Wine with the CUPS printers that
// scripts/start-printer.sh sets up ("PDF", the default, and "PDF2"), driven from another thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "application_printer.h"
#include "dialog_driver.h"
#include "protocol_fixture.h"

namespace lvx::test {
namespace {

Calls PrintSequence(const std::string& printer, std::int32_t pages) {
  return {String(35, printer), Command(36, 0), Command(31, pages), Command(37, 0)};
}

Calls Then(Calls first, const Calls& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class PrintDialogTest : public RecordedViewerTest {
 protected:
  void SetUp() override { RequireDefaultPrinter("PDF"); }
  // The current printer is the process's: choose the default again for the next test.
  void TearDown() override {
    if (IsSkipped() || SystemDefaultPrinter() != "PDF") {
      return;
    }
    DialogDriver driver("Print", [](HWND dialog) {
      SelectPrinter(dialog, "PDF");
      PressButton(dialog, IDOK);
    });
    CurrentPrinter().ChooseInPrintDialog(nullptr);
    driver.Finish();
  }
};

TEST_F(PrintDialogTest, ConfirmedPrinterIsSentAndStaysTheCurrentPrinter) {
  struct Seen {
    HWND owner = nullptr;
    std::vector<std::string> printers;
    std::string preselected;
    bool selected = false;
  } seen;
  DialogDriver driver("Print", [&](HWND dialog) {
    seen.owner = GetWindow(dialog, GW_OWNER);
    seen.printers = OfferedPrinters(dialog);
    seen.preselected = SelectedPrinter(dialog);
    seen.selected = SelectPrinter(dialog, "PDF2");
    PressButton(dialog, IDOK);
  });
  object._PRINT(1, LvxOmittedInt32(), LvxOmittedInt32());
  ASSERT_TRUE(driver.Finish()) << "no dialog titled \"Print\" appeared";
  EXPECT_EQ(seen.owner, host.Window());
  EXPECT_EQ(seen.preselected, "PDF");
  EXPECT_TRUE(seen.selected) << "printers offered: " << ::testing::PrintToString(seen.printers);

  // Later calls without the dialog keep the chosen printer; the dialog starts from it.
  object._PRINT(0, LvxGivenInt32(2), LvxGivenInt32(5));
  std::string preselectedAgain;
  DialogDriver again("Print", [&](HWND dialog) {
    preselectedAgain = SelectedPrinter(dialog);
    PressButton(dialog, IDCANCEL);
  });
  object._PRINT(1, LvxOmittedInt32(), LvxOmittedInt32());
  ASSERT_TRUE(again.Finish());
  EXPECT_EQ(preselectedAgain, "PDF2");

  EXPECT_EQ(Received(), Then(PrintSequence("PDF2", 0), PrintSequence("PDF2", 2 + 5 * 65536)));
}

TEST_F(PrintDialogTest, ConfirmingTheDefaultSendsItsDeviceName) {
  DialogDriver driver("Print", [](HWND dialog) { PressButton(dialog, IDOK); });
  object._PRINT(1, LvxGivenInt32(3), LvxOmittedInt32());
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(Received(), PrintSequence("PDF", 3));
}

TEST_F(PrintDialogTest, CancelSendsNothingAndKeepsTheCurrentPrinter) {
  DialogDriver driver("Print", [](HWND dialog) {
    SelectPrinter(dialog, "PDF2");
    PressButton(dialog, IDCANCEL);
  });
  object._PRINT(1, LvxGivenInt32(1), LvxGivenInt32(2));
  ASSERT_TRUE(driver.Finish());
  EXPECT_TRUE(Received().empty());

  object._PRINT(0, LvxOmittedInt32(), LvxOmittedInt32());
  EXPECT_EQ(Received(), PrintSequence("PDF", 0));
}

// Without a viewer window the dialog is still shown, owned by the thread's active window.
TEST_F(PrintDialogTest, WithoutAViewerTheDialogIsOwnedByTheActiveWindow) {
  object.HWINDOW = 0;
  SetActiveWindow(host.Window());
  ASSERT_EQ(GetActiveWindow(), host.Window());
  HWND owner = nullptr;
  bool hostEnabled = true;
  DialogDriver driver("Print", [&](HWND dialog) {
    owner = GetWindow(dialog, GW_OWNER);
    hostEnabled = IsWindowEnabled(host.Window()) != FALSE;
    PressButton(dialog, IDOK);
  });
  object._PRINT(1, LvxOmittedInt32(), LvxOmittedInt32());
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(owner, host.Window());
  EXPECT_FALSE(hostEnabled);
  EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace lvx::test
