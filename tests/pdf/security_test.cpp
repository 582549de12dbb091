// The standard security handler: every revision opens with an empty user password (or an empty
// owner password), decrypting strings and streams; a real user password is reported as such.
#include <gtest/gtest.h>

#include "encrypted_document.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

using test::Encryption;

class EncryptionTest : public ::testing::TestWithParam<Encryption> {};

TEST_P(EncryptionTest, EmptyUserPasswordOpensAndDecrypts) {
  const auto document =
      test::Open(test::EncryptedDocument(GetParam(), "", "owner", "Secret text", "Title here"));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "Secret text\r\n");
  EXPECT_EQ(document->Info().title, "Title here");
  EXPECT_TRUE(document->Info().encrypted);
}

TEST_P(EncryptionTest, EmptyOwnerPasswordOpensToo) {
  const auto document =
      test::Open(test::EncryptedDocument(GetParam(), "user", "", "Owner side", "T"));
  // Revisions 2 to 4 keep the user password inside O; 5 and 6 check the owner hash.
  ASSERT_TRUE(document);
  EXPECT_EQ(document->PageText(0), "Owner side\r\n");
}

TEST_P(EncryptionTest, UserPasswordIsReportedAsRequired) {
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(test::Open(test::EncryptedDocument(GetParam(), "user", "owner", "x", "t"), &error));
  EXPECT_EQ(error, OpenError::kPasswordRequired);
}

INSTANTIATE_TEST_SUITE_P(Revisions, EncryptionTest,
                         ::testing::Values(Encryption::kRc4Bits40, Encryption::kRc4Bits128,
                                           Encryption::kAes128, Encryption::kAes256R5,
                                           Encryption::kAes256R6));

// Version 4 files name their key length in the crypt filter, or nowhere (128 bits); the
// top-level Length is optional there. Blanked in place, so that the offsets stay right.
TEST(EncryptionHandlerTest, AesVersion4WithoutLengthTakesTheCryptFilterOr128Bits) {
  const std::string file = test::EncryptedDocument(Encryption::kAes128, "", "o", "AES text", "t");
  const auto blank = [](std::string text, const std::string& entry) {
    const std::size_t at = text.find(entry);
    EXPECT_NE(at, std::string::npos) << entry;
    return at == std::string::npos ? text : text.replace(at, entry.size(), entry.size(), ' ');
  };
  const std::string noLength = blank(file, "/Length 128 ");
  const auto fromFilter = test::Open(noLength);
  ASSERT_TRUE(fromFilter);
  EXPECT_EQ(fromFilter->PageText(0), "AES text\r\n");
  const auto fromDefault = test::Open(blank(noLength, "/Length 16 "));
  ASSERT_TRUE(fromDefault);
  EXPECT_EQ(fromDefault->PageText(0), "AES text\r\n");
}

TEST(EncryptionHandlerTest, UnknownHandlersAndRevisionsAreUnsupported) {
  std::string file = test::EncryptedDocument(Encryption::kRc4Bits128, "", "o", "x", "t");
  std::string other = file;
  other.replace(other.find("/Filter /Standard"), 17, "/Filter /Unknown_");
  OpenError error = OpenError::kNone;
  EXPECT_FALSE(test::Open(other, &error));
  EXPECT_EQ(error, OpenError::kUnsupported);
  other = file;
  other.replace(other.find("/R 3"), 4, "/R 9");
  EXPECT_FALSE(test::Open(other, &error));
  EXPECT_EQ(error, OpenError::kUnsupported);
}

}  // namespace
}  // namespace lvx::pdf
