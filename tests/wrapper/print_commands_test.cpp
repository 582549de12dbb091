// Printing without a dialog as message sequences: the print sequence, the page range argument,
// printer names, and the application's current printer used by _PRINT without the dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialog_driver.h"
#include "guarded_field.h"
#include "protocol_fixture.h"

namespace lvx::test {
namespace {

Calls PrintSequence(const std::string& printer, std::int32_t pages) {
  return {String(35, printer), Command(36, 0), Command(31, pages), Command(37, 0)};
}

struct RangeCase {
  const char* name;
  LvxOptionalInt32 first, last;
  std::int32_t expected;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << c.name; }

class PageRangeTest : public ProtocolTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PageRangeTest, PrintToPrinterSendsTheRangeInCode31) {
  const RangeCase& c = GetParam();
  const GuardedField printer("PDF  ");
  object.PRINTTOPRINTER(printer.Text(), c.first, c.last);
  EXPECT_EQ(Received(), PrintSequence("PDF", c.expected));
  EXPECT_TRUE(printer.GuardsIntact());
}

// The arithmetic's own edge cases are tested natively (command_arithmetic_test); these show it
// reaching the viewer.
INSTANTIATE_TEST_SUITE_P(
    Ranges, PageRangeTest,
    ::testing::Values(
        RangeCase{"TwoToFive", LvxGivenInt32(2), LvxGivenInt32(5), 2 + 5 * 65536},
        RangeCase{"FirstAloneIsTheLowHalf", LvxGivenInt32(3), LvxOptionalInt32{9, 1}, 3},
        RangeCase{"OmittedFirstPrintsAll", LvxOptionalInt32{4, 1}, LvxGivenInt32(7), 0},
        RangeCase{"NotMaskedWrapsAs32Bits", LvxGivenInt32(1), LvxGivenInt32(40000),
                  static_cast<std::int32_t>(1U + 40000U * 65536U)}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST_F(ProtocolTest, PrinterNamesAreTrimmedAndCutTo255) {
  const GuardedField blank(8, ' ');
  const std::string longName(300, 'p');
  const GuardedField tooLong(longName);
  object.PRINTTOPRINTER(blank.Text(), LvxOmittedInt32(), LvxOmittedInt32());
  object.PRINTTOPRINTER(tooLong.Text(), LvxGivenInt32(1), LvxGivenInt32(1));
  Calls expected = PrintSequence("", 0);
  const Calls second = PrintSequence(longName.substr(0, 255), 1 + 65536);
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(Received(), expected);
  EXPECT_TRUE(blank.GuardsIntact());
  EXPECT_TRUE(tooLong.GuardsIntact());
}

// Without the dialog, _PRINT names the application's current printer, which before any dialog is
// the system's default printer (empty when Wine has no printer).
TEST_F(ProtocolTest, PrintWithoutDialogUsesTheDefaultPrinter) {
  const std::string name = SystemDefaultPrinter();
  DialogDriver noDialog("Print", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
  object._PRINT(0, LvxGivenInt32(2), LvxGivenInt32(5));
  object._PRINT(0, LvxOmittedInt32(), LvxOmittedInt32());
  EXPECT_FALSE(noDialog.Finish());
  Calls expected = PrintSequence(name, 2 + 5 * 65536);
  const Calls second = PrintSequence(name, 0);
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(Received(), expected);
}

}  // namespace
}  // namespace lvx::test
