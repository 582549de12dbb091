// The text rules every operation shares: trailing spaces removed, strings cut to their buffer,
// delivered text padded with spaces, never a byte written outside a field.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "text_field.h"

namespace lvx {
namespace {

TEST(TrimmedTextTest, RemovesTrailingSpacesAndStopsAtNul) {
  EXPECT_EQ(TrimmedText({"report.pdf    ", 14}), "report.pdf");
  EXPECT_EQ(TrimmedText({"  lead kept  ", 13}), "  lead kept");
  EXPECT_EQ(TrimmedText({"        ", 8}), "");
  EXPECT_EQ(TrimmedText({"abc\0def", 7}), "abc");
  EXPECT_EQ(TrimmedText({"abcdef", 3}), "abc") << "never reads past the given length";
  EXPECT_EQ(TrimmedText({nullptr, 5}), "");
  EXPECT_EQ(TrimmedText({"abc", -1}), "");
}

TEST(CopyCutTest, CutsToTheBufferAndAlwaysTerminates) {
  std::array<char, 8> buffer{};
  buffer.fill('#');
  EXPECT_EQ(CopyCut("abc", buffer), 3U);
  EXPECT_STREQ(buffer.data(), "abc");

  buffer.fill('#');
  EXPECT_EQ(CopyCut("0123456789", buffer), 7U);
  EXPECT_EQ(std::string(buffer.data()), "0123456");

  const std::string name(300, 'n');
  std::array<char, 256> names{};
  EXPECT_EQ(CopyCut(name, names), 255U);
  EXPECT_EQ(std::string(names.data()).size(), 255U);

  EXPECT_EQ(CopyCut("abc", std::span<char>{}), 0U);
}

// A field inside guard bytes: the assignment must touch exactly the field's bytes.
class AssignPaddedTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kGuard = 8;
  void Assign(int capacity, std::string_view text) {
    storage.assign(static_cast<std::size_t>(capacity) + 2 * kGuard, 'G');
    AssignPadded({storage.data() + kGuard, capacity}, text);
  }
  [[nodiscard]] std::string Field(int capacity) const {
    return storage.substr(kGuard, static_cast<std::size_t>(capacity));
  }
  [[nodiscard]] bool GuardsIntact(int capacity) const {
    return storage.substr(0, kGuard) == std::string(kGuard, 'G') &&
           storage.substr(kGuard + static_cast<std::size_t>(capacity)) == std::string(kGuard, 'G');
  }
  std::string storage;
};

TEST_F(AssignPaddedTest, PadsShortTextWithSpaces) {
  Assign(10, "two words   ");
  EXPECT_EQ(Field(10), "two words ");
  EXPECT_TRUE(GuardsIntact(10));
}

TEST_F(AssignPaddedTest, ExactFitAndOverlongText) {
  Assign(5, "12345");
  EXPECT_EQ(Field(5), "12345");
  EXPECT_TRUE(GuardsIntact(5));
  Assign(5, "1234567");
  EXPECT_EQ(Field(5), "12345");
  EXPECT_TRUE(GuardsIntact(5));
}

TEST_F(AssignPaddedTest, EmptyTextClearsToSpacesAndEmptyFieldsTakeNothing) {
  Assign(4, "");
  EXPECT_EQ(Field(4), "    ");
  Assign(0, "abc");
  EXPECT_TRUE(GuardsIntact(0));
  std::string untouched = "GGGG";
  AssignPadded({untouched.data(), -3}, "abc");
  EXPECT_EQ(untouched, "GGGG");
}

}  // namespace
}  // namespace lvx
