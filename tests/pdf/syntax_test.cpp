// The lexer and the object parser: tokens, escapes, nesting, references, and what damaged syntax
// turns into.
#include <gtest/gtest.h>

#include <string>

#include "lexer.h"
#include "parser.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

Object ParseText(const std::string& text) {
  const std::vector<std::uint8_t> bytes = test::ToBytes(text);
  Lexer lexer(bytes);
  return ParseNextObject(lexer);
}

TEST(LexerTest, NumbersInEveryForm) {
  EXPECT_EQ(ParseText("42").AsInt(), 42);
  EXPECT_EQ(ParseText("-17").AsInt(), -17);
  EXPECT_EQ(ParseText("+5").AsInt(), 5);
  EXPECT_DOUBLE_EQ(ParseText("3.25").AsNumber(), 3.25);
  EXPECT_DOUBLE_EQ(ParseText("-.5").AsNumber(), -0.5);
  EXPECT_DOUBLE_EQ(ParseText("4.").AsNumber(), 4.0);
  EXPECT_FALSE(ParseText("-").IsNumber());
  // Too many digits for 64 bits: read as a real, not wrapped around.
  EXPECT_GT(ParseText("99999999999999999999999").AsNumber(), 9e22);
}

TEST(LexerTest, LiteralStringEscapesAndNesting) {
  EXPECT_EQ(ParseText("(a(b)c)").AsString(), "a(b)c");
  EXPECT_EQ(ParseText(R"((\n\r\t\b\f\(\)\\))").AsString(), "\n\r\t\b\f()\\");
  EXPECT_EQ(ParseText(R"((\101\1012\7))").AsString(), "AA2\x07");
  EXPECT_EQ(ParseText("(line\\\ncontinued)").AsString(), "linecontinued");
  EXPECT_EQ(ParseText("(cr\r\nlf)").AsString(), "cr\nlf");
  EXPECT_EQ(ParseText("(unterminated").AsString(), "unterminated");
}

TEST(LexerTest, HexStringsNamesAndComments) {
  EXPECT_EQ(ParseText("<48 65 6c6C6f>").AsString(), "Hello");
  EXPECT_EQ(ParseText("<414>").AsString(), "A@");  // an odd last digit is followed by 0
  EXPECT_EQ(ParseText("/A#20B").AsName(), "A B");
  EXPECT_EQ(ParseText("% comment\n/Name").AsName(), "Name");
  EXPECT_EQ(ParseText("/").AsName(), "");
}

TEST(ParserTest, ArraysDictionariesAndReferences) {
  const Object dict =
      ParseText("<< /Type /Page /Kids [1 0 R 2 0 R] /Count 2 /Flag true /N null >>");
  ASSERT_TRUE(dict.IsDict());
  EXPECT_TRUE(dict.AsDict().Get("Type").IsName("Page"));
  const Array& kids = dict.AsDict().Get("Kids").AsArray();
  ASSERT_EQ(kids.size(), 2U);
  EXPECT_EQ(kids[1].AsRef(), (Ref{2, 0}));
  EXPECT_EQ(dict.AsDict().Get("Count").AsInt(), 2);
  EXPECT_TRUE(dict.AsDict().Get("Flag").AsBool());
  EXPECT_FALSE(dict.AsDict().Has("N"));  // a null value is an absent key
  // Two numbers not followed by R stay numbers.
  const Object numbers = ParseText("[1 0 2]");
  ASSERT_EQ(numbers.AsArray().size(), 3U);
  EXPECT_EQ(numbers.AsArray()[2].AsInt(), 2);
}

TEST(ParserTest, DamagedSyntaxEndsTheObjectWithoutLosingTheRest) {
  // A dictionary cut off by "endobj" ends there; the keyword is left for the caller.
  const std::vector<std::uint8_t> bytes = test::ToBytes("<< /A 1 /B [2 3 endobj");
  Lexer lexer(bytes);
  const Object dict = ParseNextObject(lexer);
  EXPECT_EQ(dict.AsDict().Get("A").AsInt(), 1);
  Token token;
  lexer.Next(token);
  EXPECT_TRUE(token.IsKeyword("endobj"));
  // Keys that are not names are skipped.
  EXPECT_EQ(ParseText("<< 5 /K 6 >>").AsDict().Get("K").AsInt(), 6);
}

TEST(ParserTest, DeepNestingIsCutOffWithoutRecursingWithoutBound) {
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const Object object = ParseText(deep);
  ASSERT_TRUE(object.IsArray());
  int depth = 0;
  for (const Object* current = &object; current->IsArray() && !current->AsArray().empty();
       current = current->AsArray().data()) {
    ++depth;
  }
  EXPECT_LE(depth, kMaxObjectDepth);
  const std::string dicts = std::string(100000, '<') + "/A 1" + std::string(100000, '>');
  EXPECT_NO_FATAL_FAILURE(ParseText(dicts));
}

}  // namespace
}  // namespace lvx::pdf
