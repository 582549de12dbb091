// The stand-in's document model: load, append and clear, the load results per cause, and the
// measured page text (Windows-1252, exact length) with out-of-range pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document_model.h"
#include "encrypted_document.h"
#include "pdf_builder.h"
#include "standin_api.h"

namespace lvx::standin {
namespace {

namespace fs = std::filesystem;

class DocumentModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("lvx-model-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::string Pages(const std::string& name, const std::vector<std::string>& texts) {
    std::vector<std::string> contents;
    contents.reserve(texts.size());
    for (const std::string& text : texts) {
      contents.push_back("BT /F1 12 Tf 72 720 Td (" + text + ") Tj ET");
    }
    return Write(name, pdf::test::SimpleDocument(contents));
  }
  std::string Measured(std::int32_t page) {
    const std::int32_t length = model.MeasurePage(page);
    EXPECT_EQ(static_cast<std::size_t>(length), model.MeasuredText().size());
    return model.MeasuredText();
  }

  DocumentModel model;
  fs::path folder_;
};

TEST_F(DocumentModelTest, LoadReplacesAppendAddsClearEmpties) {
  const std::string two = Pages("two.pdf", {"One", "Two"});
  const std::string three = Pages("three.pdf", {"Alpha", "Beta", "Gamma"});
  EXPECT_EQ(model.Load(two), 2);
  EXPECT_EQ(model.Append(three), 5);
  EXPECT_EQ(model.PageCount(), 5);
  EXPECT_EQ(Measured(1), "Two\r\n");
  EXPECT_EQ(Measured(2), "Alpha\r\n");
  EXPECT_EQ(Measured(4), "Gamma\r\n");
  EXPECT_EQ(model.Load(three), 3);
  EXPECT_EQ(Measured(0), "Alpha\r\n");
  model.Clear();
  EXPECT_EQ(model.PageCount(), 0);
  EXPECT_EQ(Measured(0), "");
  EXPECT_EQ(model.Append(two), 2);  // appending to nothing shows the file
  EXPECT_EQ(Measured(0), "One\r\n");
}

TEST_F(DocumentModelTest, EachCauseHasItsResultAndLosesNothing) {
  const std::string good = Pages("good.pdf", {"Kept"});
  ASSERT_EQ(model.Load(good), 1);
  const std::string notPdf = Write("text.pdf", "just some text, not a PDF");
  const std::string damaged = Write("damaged.pdf", "%PDF-1.4\n1 0 obj << >> endobj\n%%EOF\n");
  const std::string locked = Write(
      "locked.pdf",
      pdf::test::EncryptedDocument(pdf::test::Encryption::kAes128, "user", "owner", "x", "t"));
  for (const bool append : {false, true}) {
    const auto run = [&](const std::string& path) {
      return append ? model.Append(path) : model.Load(path);
    };
    EXPECT_EQ(run((folder_ / "missing.pdf").string()), LVX_STANDIN_LOAD_FILE_MISSING);
    EXPECT_EQ(run(""), LVX_STANDIN_LOAD_FILE_MISSING);
    EXPECT_EQ(run(folder_.string()), LVX_STANDIN_LOAD_FILE_MISSING);
    EXPECT_EQ(run(notPdf), LVX_STANDIN_LOAD_NOT_PDF);
    EXPECT_EQ(run(damaged), LVX_STANDIN_LOAD_DAMAGED);
    EXPECT_EQ(run(locked), LVX_STANDIN_LOAD_PASSWORD);
    EXPECT_EQ(model.PageCount(), 1);
    EXPECT_EQ(Measured(0), "Kept\r\n");
  }
}

TEST_F(DocumentModelTest, MeasuredTextIsWindows1252AndExact) {
  const std::string path = Pages("accents.pdf", {"caf\\351 \\200 5", ""});
  ASSERT_EQ(model.Load(path), 2);
  EXPECT_EQ(model.MeasurePage(0), 10);
  EXPECT_EQ(model.MeasuredText(), "caf\xE9 \x80 5\r\n");
  EXPECT_EQ(model.MeasurePage(1), 0);  // a page without text
  EXPECT_EQ(model.MeasuredText(), "");
}

TEST_F(DocumentModelTest, OutOfRangePagesAnswerZeroAndForgetTheLastText) {
  ASSERT_EQ(model.Load(Pages("one.pdf", {"Only"})), 1);
  EXPECT_EQ(model.MeasuredText(), "");  // nothing measured yet
  EXPECT_EQ(model.MeasurePage(0), 6);
  EXPECT_EQ(model.MeasurePage(1), 0);
  EXPECT_EQ(model.MeasuredText(), "");
  EXPECT_EQ(model.MeasurePage(0), 6);
  EXPECT_EQ(model.MeasurePage(-1), 0);
  EXPECT_EQ(model.MeasuredText(), "");
  EXPECT_EQ(model.MeasurePage(0x7FFFFFFF), 0);
  // A new document forgets the text measured in the old one.
  EXPECT_EQ(model.MeasurePage(0), 6);
  EXPECT_EQ(model.Append(Pages("more.pdf", {"More"})), 2);
  EXPECT_EQ(model.MeasuredText(), "");
  EXPECT_EQ(model.Page(1).index, 0);
  EXPECT_EQ(model.Page(2).document, nullptr);
}

}  // namespace
}  // namespace lvx::standin
