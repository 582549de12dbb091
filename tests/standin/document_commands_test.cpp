// The stand-in Lumivex01.dll answers the document commands through real window messages: a real
// PDF file written by the test is loaded (101), appended (102), counted (201), measured (260) and
// its text written (261) into the sender's buffer; failures leave the shown document as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "encrypted_document.h"
#include "pdf_builder.h"
#include "standin_api.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "lvx-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

class DocumentCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA(kViewerLibraryName);
    ASSERT_NE(library_, nullptr);
    window_ = CreateWindowExA(0, kViewerClassName, "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    twoPages_ = Write("two.pdf", {"First page", "Caf\\351 \\200"});
    onePage_ = Write("one.pdf", {"Appended"});
  }
  void TearDown() override {
    if (window_ != nullptr) {
      DestroyWindow(window_);
    }
    if (library_ != nullptr) {
      FreeLibrary(library_);
    }
    for (const std::string& path : written_) {
      DeleteFileA(path.c_str());
    }
  }

  std::string Write(const std::string& name, const std::vector<std::string>& texts) {
    std::vector<std::string> contents;
    contents.reserve(texts.size());
    for (const std::string& text : texts) {
      contents.push_back("BT /F1 12 Tf 72 720 Td (" + text + ") Tj ET");
    }
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << pdf::test::SimpleDocument(contents);
    written_.push_back(path);
    return path;
  }
  std::int32_t Command(const ViewerCommand& command, LPARAM argument) {
    return static_cast<std::int32_t>(
        SendMessageA(window_, command.message, static_cast<WPARAM>(command.code), argument));
  }
  std::int32_t File(const ViewerCommand& command, const std::string& path) {
    return Command(command, reinterpret_cast<LPARAM>(path.c_str()));
  }
  // 260 then 261 into a buffer of exactly length + 1 bytes, guarded by marker bytes.
  std::string PageText(std::int32_t index) {
    const std::int32_t length = Command(VCMD_PAGETEXTLENGTH, index);
    EXPECT_GE(length, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1 + 8, '#');
    Command(VCMD_PAGETEXT, reinterpret_cast<LPARAM>(buffer.data()));
    EXPECT_EQ(buffer[static_cast<std::size_t>(length)], '\0');
    EXPECT_EQ(buffer[static_cast<std::size_t>(length) + 1], '#') << "written past the measure";
    return {buffer.data(), static_cast<std::size_t>(length)};
  }

  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  std::string twoPages_;
  std::string onePage_;
  std::vector<std::string> written_;
};

TEST_F(DocumentCommandsTest, LoadCountMeasureAndWriteARealFile) {
  EXPECT_EQ(Command(VCMD_PAGECOUNT, 0), 0);
  EXPECT_EQ(File(VCMD_LOADFILE, twoPages_), 2);
  EXPECT_EQ(Command(VCMD_PAGECOUNT, 0), 2);
  EXPECT_EQ(PageText(0), "First page\r\n");
  EXPECT_EQ(PageText(1), "Caf\xE9 \x80\r\n");  // Windows-1252
  EXPECT_EQ(Command(VCMD_PAGETEXTLENGTH, 1), 8);
}

TEST_F(DocumentCommandsTest, AppendAddsPagesAfterTheShownOnesAndClearEmpties) {
  ASSERT_EQ(File(VCMD_LOADFILE, twoPages_), 2);
  EXPECT_EQ(File(VCMD_APPENDFILE, onePage_), 3);
  EXPECT_EQ(PageText(2), "Appended\r\n");
  Command(VCMD_CLEAR, 0);
  EXPECT_EQ(Command(VCMD_PAGECOUNT, 0), 0);
  EXPECT_EQ(PageText(0), "");
}

TEST_F(DocumentCommandsTest, FailedLoadsReportTheCauseAndKeepTheDocument) {
  ASSERT_EQ(File(VCMD_LOADFILE, twoPages_), 2);
  EXPECT_EQ(File(VCMD_LOADFILE, TempPath("missing.pdf")), LVX_STANDIN_LOAD_FILE_MISSING);
  EXPECT_EQ(File(VCMD_APPENDFILE, ""), LVX_STANDIN_LOAD_FILE_MISSING);
  const std::string notPdf = TempPath("text.pdf");
  std::ofstream(notPdf, std::ios::binary) << "plain text";
  written_.push_back(notPdf);
  EXPECT_EQ(File(VCMD_APPENDFILE, notPdf), LVX_STANDIN_LOAD_NOT_PDF);
  EXPECT_EQ(Command(VCMD_PAGECOUNT, 0), 2);
  EXPECT_EQ(PageText(0), "First page\r\n");
}

TEST_F(DocumentCommandsTest, EncryptedFilesOpenThroughTheDllsCiphers) {
  using pdf::test::Encryption;
  for (const Encryption encryption :
       {Encryption::kRc4Bits40, Encryption::kAes128, Encryption::kAes256R6}) {
    const std::string path = TempPath("encrypted.pdf");
    std::ofstream(path, std::ios::binary)
        << pdf::test::EncryptedDocument(encryption, "", "owner", "Decrypted", "t");
    written_.push_back(path);
    EXPECT_EQ(File(VCMD_LOADFILE, path), 1);
    EXPECT_EQ(PageText(0), "Decrypted\r\n");
    std::ofstream(path, std::ios::binary)
        << pdf::test::EncryptedDocument(encryption, "user", "owner", "Locked", "t");
    EXPECT_EQ(File(VCMD_LOADFILE, path), LVX_STANDIN_LOAD_PASSWORD);
  }
}

TEST_F(DocumentCommandsTest, OutOfRangePagesAndTextWithoutMeasureAreEmpty) {
  ASSERT_EQ(File(VCMD_LOADFILE, twoPages_), 2);
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  Command(VCMD_PAGETEXT, reinterpret_cast<LPARAM>(buffer));  // nothing measured yet
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
  EXPECT_EQ(Command(VCMD_PAGETEXTLENGTH, 2), 0);
  EXPECT_EQ(Command(VCMD_PAGETEXTLENGTH, -1), 0);
  EXPECT_EQ(PageText(5), "");
  Command(VCMD_PAGETEXT, 0);  // no buffer: nothing written, no crash
}

}  // namespace
}  // namespace lvx::test
