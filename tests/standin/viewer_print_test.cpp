// Print settings (35, 36, 31, 123 to 126) read back from the viewer, and the cases in which code
// 37 prints nothing: each answers its own result and nothing breaks. (Real printing on a print
// queue is checked by print_check.sh.)
#include "viewer_fixture.h"

namespace lvx::test {
namespace {

using ViewerPrintTest = ViewerTest;

TEST_F(ViewerPrintTest, TheRequestKeepsThePrinterNameAndRangeUntilCode37) {
  LvxStandinPrintState print = Printing();
  EXPECT_EQ(
      print.printingEnabled + print.highQuality + print.printerSelection + print.deviceContext, 4);
  EXPECT_EQ(print.requestOpen, 0);
  StringCommand(35, "Office printer");
  Command(36);
  Command(31, 2 + 5 * 65536);
  print = Printing();
  EXPECT_STREQ(print.printerName, "Office printer");
  EXPECT_EQ(print.requestOpen, 1);
  EXPECT_EQ(print.range, 2 + 5 * 65536);
  EXPECT_EQ(Command(37), -2) << "no document";
  print = Printing();
  EXPECT_EQ(print.requestOpen, 0);
  EXPECT_EQ(print.range, 0);
  EXPECT_EQ(print.lastResult, -2);
  EXPECT_EQ(print.jobs, 0);
  EXPECT_EQ(Command(37), -6) << "no request open";
}

TEST_F(ViewerPrintTest, SwitchesTurnTheirFeatureOffForGood) {
  for (const int code : {124, 126, 125, 123}) {
    EXPECT_EQ(Command(code), 0);
  }
  const LvxStandinPrintState print = Printing();
  EXPECT_EQ(print.printingEnabled, 0);
  EXPECT_EQ(print.highQuality, 0);
  EXPECT_EQ(print.printerSelection, 0);
  EXPECT_EQ(print.deviceContext, 0);
  Show(NumberedPages(3));
  StringCommand(35, "");
  Command(36);
  Command(31, 0);
  EXPECT_EQ(Command(37), -1) << "printing is off: nothing is printed";
  EXPECT_EQ(Printing().jobs, 0);
}

TEST_F(ViewerPrintTest, AnUnknownPrinterOrARangeOutsideTheDocumentPrintsNothing) {
  Show(NumberedPages(3));
  StringCommand(35, "No such printer \\\\nowhere");
  Command(36);
  Command(31, 1 + 2 * 65536);
  EXPECT_EQ(Command(37), -3);
  EXPECT_STREQ(Printing().lastPrinter, "No such printer \\\\nowhere");
  EXPECT_EQ(Printing().lastFirstPage, 0);
  const std::string longName(600, 'p');
  StringCommand(35, longName);
  EXPECT_EQ(std::string(Printing().printerName), longName.substr(0, 255));
  Command(36);
  Command(31, 1 + 2 * 65536);
  EXPECT_EQ(Command(37), -3);
  for (const std::int32_t range : {4, 5 + 9 * 65536, 3 + 2 * 65536, -1}) {
    Command(36);
    Command(31, range);
    EXPECT_EQ(Command(37), -4) << range;
  }
  EXPECT_EQ(Printing().jobs, 0);
}

}  // namespace
}  // namespace lvx::test
