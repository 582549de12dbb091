// The portable arithmetic of the text and print commands: the whole-document length total, the
// bounded assembly of page texts, and the page range argument.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "page_range.h"
#include "text_assembly.h"

namespace lvx {
namespace {

std::int32_t Total(const std::vector<std::int32_t>& lengths) {
  PageLengthTotal total;
  for (const std::int32_t length : lengths) {
    total.Add(length);
  }
  return total.Value();
}

TEST(PageLengthTotalTest, AddsLengthsSkipsNegativesAndStopsAtTheLargestValue) {
  EXPECT_EQ(Total({}), 0);
  EXPECT_EQ(Total({10, 0, 5}), 15);
  EXPECT_EQ(Total({10, -3, 5}), 15);
  EXPECT_EQ(Total({INT_MIN, 4}), 4);
  EXPECT_EQ(Total({INT_MAX - 1, 1}), INT_MAX) << "exactly the largest value still adds";
  EXPECT_EQ(Total({INT_MAX, INT_MAX, 7}), INT_MAX) << "wrapping would give 5";
  EXPECT_EQ(Total({INT_MAX, 1, -5}), INT_MAX);
}

TEST(WrittenTextTest, EndsAtTheFirstNulOrTheBuffer) {
  const std::string written("abc\0def", 7);
  EXPECT_EQ(WrittenText(written), "abc");
  const std::string unterminated = "abcd";
  EXPECT_EQ(WrittenText(std::span<const char>(unterminated.data(), 3)), "abc");
  EXPECT_EQ(WrittenText(std::span<const char>{}), "");
}

class TextAssemblerTest : public ::testing::Test {
 protected:
  // A buffer for `capacity` characters and the NUL, between guard bytes.
  std::span<char> Buffer(std::size_t capacity) {
    storage.assign(capacity + 1 + 2 * kGuard, 'G');
    return {storage.data() + kGuard, capacity + 1};
  }
  [[nodiscard]] bool GuardsIntact(std::size_t capacity) const {
    return storage.compare(0, kGuard, std::string(kGuard, 'G')) == 0 &&
           storage.compare(kGuard + capacity + 1, kGuard, std::string(kGuard, 'G')) == 0;
  }
  static constexpr std::size_t kGuard = 8;
  std::string storage;
};

TEST_F(TextAssemblerTest, RunsPagesTogetherWithoutSeparator) {
  TextAssembler text(Buffer(15));
  EXPECT_EQ(text.Text(), "");
  text.Append("0123456789");
  text.Append("");
  text.Append("abcde");
  EXPECT_EQ(text.Text(), "0123456789abcde");
  EXPECT_EQ(storage[8 + 15], '\0');
  EXPECT_TRUE(GuardsIntact(15));
}

TEST_F(TextAssemblerTest, CutsWhatGoesBeyondTheCapacity) {
  TextAssembler text(Buffer(4));
  text.Append("abc");
  text.Append("defgh");
  text.Append("ijk");
  EXPECT_EQ(text.Text(), "abcd");
  EXPECT_EQ(storage[8 + 4], '\0');
  EXPECT_TRUE(GuardsIntact(4));

  TextAssembler none(Buffer(0));
  none.Append("x");
  EXPECT_EQ(none.Text(), "");
  EXPECT_TRUE(GuardsIntact(0));
  TextAssembler empty(std::span<char>{});
  empty.Append("x");
  EXPECT_EQ(empty.Text(), "");
}

TEST(PrintPagesArgumentTest, FirstPagePlusLastPageTimes65536In32Bits) {
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(2), LvxGivenInt32(5)), 327682);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(3), LvxOmittedInt32()), 3);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(3), LvxOptionalInt32{9, 1}), 3);
  EXPECT_EQ(PrintPagesArgument(LvxOptionalInt32{4, 1}, LvxGivenInt32(7)), 0);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(0), LvxGivenInt32(0)), 0);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(65537), LvxGivenInt32(1)), 131073);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(1), LvxGivenInt32(40000)), -1673527295);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(-1), LvxGivenInt32(0)), -1);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(0), LvxGivenInt32(-1)), -65536);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(INT_MAX), LvxGivenInt32(INT_MIN)), INT_MAX);
  EXPECT_EQ(PrintPagesArgument(LvxGivenInt32(INT_MAX), LvxGivenInt32(1)), INT_MIN + 65535);
}

}  // namespace
}  // namespace lvx
