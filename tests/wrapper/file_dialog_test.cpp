// LOADFILE and APPENDFILE with the name omitted: the real file-open dialog under Wine, driven from
// another thread as a user would fill it in or cancel it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "message_box_watcher.h"
#include "protocol_fixture.h"

namespace lvx::test {
namespace {

std::string CurrentDirectory() {
  std::array<char, MAX_PATH> path{};
  GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
  return path.data();
}

void CreateFileNamed(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Two folders of the test's own: the current directory while the dialog is shown, holding a PDF
// file and a text file, and another folder whose PDF file is chosen by its full path.
class FileDialogTest : public RecordedViewerTest {
 protected:
  void SetUp() override {
    std::array<char, MAX_PATH> temp{};
    GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    root = std::string(temp.data()) + "lvx-file-dialog-" + std::to_string(GetCurrentProcessId());
    shown = root + "\\shown";
    other = root + "\\other";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(shown.c_str(), nullptr);
    CreateDirectoryA(other.c_str(), nullptr);
    CreateFileNamed(shown + "\\listed.pdf");
    CreateFileNamed(shown + "\\hidden.txt");
    CreateFileNamed(other + "\\chosen.pdf");
    saved = CurrentDirectory();
    SetCurrentDirectoryA(shown.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved.c_str());
    for (auto file = extraFiles.rbegin(); file != extraFiles.rend(); ++file) {
      DeleteFileA(file->c_str());
      RemoveDirectoryA(file->c_str());  // the folders come before their files in the list
    }
    DeleteFileA((shown + "\\listed.pdf").c_str());
    DeleteFileA((shown + "\\hidden.txt").c_str());
    DeleteFileA((other + "\\chosen.pdf").c_str());
    RemoveDirectoryA(shown.c_str());
    RemoveDirectoryA(other.c_str());
    RemoveDirectoryA(root.c_str());
  }

  std::string root, shown, other, saved;
  std::vector<std::string> extraFiles;  // folders and files a test adds, removed in reverse
};

// The user goes to the other folder in the dialog (which makes it the current directory while
// the dialog is open) and picks the PDF file there. The dialog opens in the folder this program
// last chose a file from, as the system keeps it per program: with tests of this program running
// side by side that may be another test's folder, so the test goes to its own folder first.
TEST_F(FileDialogTest, ChosenFileReachesCode101AndTheCurrentDirectoryStays) {
  struct Seen {
    HWND owner = nullptr;
    std::vector<std::string> types, files;
    bool listedFirst = false, wentToOther = false;
  } seen;
  DialogDriver driver("Select File", [&](HWND dialog) {
    seen.owner = GetWindow(dialog, GW_OWNER);
    seen.types = FileTypes(dialog);
    SetFileName(dialog, shown);
    PressButton(dialog, IDOK);
    seen.listedFirst = WaitForListedFile(dialog, "listed.pdf", 3000);
    seen.files = ListedFiles(dialog);
    SetFileName(dialog, other);
    PressButton(dialog, IDOK);
    seen.wentToOther = WaitForListedFile(dialog, "chosen.pdf", 3000);
    SetFileName(dialog, "chosen.pdf");
    PressButton(dialog, IDOK);
  });
  viewer.Answer(101, {1});
  EXPECT_EQ(object.LOADFILE(LvxOmittedText()), 1);
  ASSERT_TRUE(driver.Finish()) << "no dialog titled \"Select File\" appeared";

  EXPECT_EQ(Received(), (Calls{String(101, other + "\\chosen.pdf")}));
  EXPECT_EQ(CurrentDirectory(), shown);
  EXPECT_EQ(seen.owner, host.Window());
  EXPECT_EQ(seen.types, (std::vector<std::string>{"Adobe PDF "}));
  EXPECT_TRUE(seen.listedFirst) << "the pattern \" *.pdf\" lists PDF files";
  EXPECT_FALSE(Contains(seen.files, "hidden.txt"));
  EXPECT_TRUE(seen.wentToOther);
}

TEST_F(FileDialogTest, AppendFileSendsCode102) {
  const std::string chosen = shown + "\\listed.pdf";
  DialogDriver driver("Select File", [&](HWND dialog) {
    SetFileName(dialog, chosen);
    PressButton(dialog, IDOK);
  });
  viewer.Answer(102, {-1});
  EXPECT_EQ(object.APPENDFILE(LvxOmittedText()), -1);
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(Received(), (Calls{String(102, chosen)}));
}

TEST_F(FileDialogTest, CancelAnswersZeroAndSendsNothing) {
  DialogDriver driver("Select File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
  viewer.Answer(102, {5});
  EXPECT_EQ(object.APPENDFILE(LvxOmittedText()), 0);
  ASSERT_TRUE(driver.Finish());
  EXPECT_TRUE(Received().empty());
  EXPECT_EQ(CurrentDirectory(), shown);
}

TEST_F(FileDialogTest, AMissingFileIsRefusedByTheDialogItself) {
  bool refused = false;
  DialogDriver driver("Select File", [&](HWND dialog) {
    SetFileName(dialog, other + "\\missing.pdf");
    PressButton(dialog, IDOK);
    // The file must exist: the dialog says so in a box of its own and stays open.
    if (const HWND box = WaitForMessageBox(dialog, 5000); box != nullptr) {
      refused = true;
      PressButton(box, IDOK);
      WaitUntilClosed(box, 5000);
    }
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(object.LOADFILE(LvxOmittedText()), 0);
  ASSERT_TRUE(driver.Finish());
  EXPECT_TRUE(refused);
  EXPECT_TRUE(Received().empty());
}

// Without a viewer window the dialog is still shown, owned by the window the user works in (the
// thread's active window), which stays disabled while it is up.
TEST_F(FileDialogTest, WithoutAViewerTheDialogIsOwnedByTheActiveWindow) {
  object.HWINDOW = 0;
  SetActiveWindow(host.Window());
  ASSERT_EQ(GetActiveWindow(), host.Window());
  const std::string chosen = shown + "\\listed.pdf";
  HWND owner = nullptr;
  bool hostEnabled = true;
  DialogDriver driver("Select File", [&](HWND dialog) {
    owner = GetWindow(dialog, GW_OWNER);
    hostEnabled = IsWindowEnabled(host.Window()) != FALSE;
    SetFileName(dialog, chosen);
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(object.LOADFILE(LvxOmittedText()), 0);
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(owner, host.Window());
  EXPECT_FALSE(hostEnabled) << "the host window must not act behind the modal dialog";
  EXPECT_TRUE(IsWindowEnabled(host.Window()));
  EXPECT_TRUE(Received().empty());
}

// The name buffer holds 255 characters and the NUL: a path of exactly 255 characters is sent
// whole; a longer one does not fit, and the dialog fails instead of cutting it. That failure is
// not a cancel: the user is told why nothing was opened, and the viewer hears nothing.
TEST_F(FileDialogTest, PathsUpTo255CharactersFitTheNameBuffer) {
  const std::string folder = other + "\\" + std::string(200 - other.size(), 'd');
  ASSERT_NE(CreateDirectoryA(folder.c_str(), nullptr), FALSE) << folder;
  extraFiles.push_back(folder);
  const std::string fits = folder + "\\" + std::string(255 - folder.size() - 5, 'f') + ".pdf";
  const std::string tooLong = folder + "\\" + std::string(256 - folder.size() - 5, 'g') + ".pdf";
  ASSERT_EQ(fits.size(), 255U);
  ASSERT_EQ(tooLong.size(), 256U);
  for (const std::string& file : {fits, tooLong}) {
    extraFiles.push_back(file);
    CreateFileNamed(file);
  }

  const MessageBoxWatcher boxes;
  std::vector<std::int32_t> results;
  for (const std::string& path : {fits, tooLong}) {
    DialogDriver driver("Select File", [&](HWND dialog) {
      SetFileName(dialog, path);
      PressButton(dialog, IDOK);
    });
    viewer.Answer(101, {7});
    results.push_back(object.LOADFILE(LvxOmittedText()));
    ASSERT_TRUE(driver.Finish());
  }
  EXPECT_EQ(Received(), (Calls{String(101, fits)}));
  EXPECT_EQ(results, (std::vector<std::int32_t>{7, 0}));
  ASSERT_EQ(boxes.Boxes().size(), 1U) << "the failed dialog is reported once";
  EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The file was not opened: its path is longer than 255 characters.");
  EXPECT_EQ(boxes.Boxes()[0].owner, host.Window());
}

// Names in any script, chosen in the dialog under the code page 1252: a name the code page writes
// reaches the viewer as it is, any other as the file's short name, which an 8-bit viewer opens.
TEST_F(FileDialogTest, NamesInAnyScriptReachTheViewer) {
  ASSERT_EQ(GetACP(), 1252U) << "the test is written for the code page 1252";
  const std::array<std::wstring, 5> names = {
      L"Caf\u00e9 r\u00e9sum\u00e9", L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
      L"\u041a\u0438\u0440\u0438\u043b\u043b\u0438\u0446\u0430", L"\u4e2d\u6587\u6587\u4ef6",
      L"report \U0001F4C4"};
  const std::wstring folder(other.begin(), other.end());  // an ASCII path
  for (const std::wstring& name : names) {
    std::wstring path = folder;
    path.append(L"\\").append(name).append(L".pdf");
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    bool typed = false;
    DialogDriver driver("Select File", [&](HWND dialog) {
      typed = SetFileName(dialog, path);
      PressButton(dialog, IDOK);
    });
    viewer.Answer(101, {4});
    EXPECT_EQ(object.LOADFILE(LvxOmittedText()), 4);
    ASSERT_TRUE(driver.Finish());
    EXPECT_TRUE(typed) << "the dialog's field takes the name whole";

    std::array<char, MAX_PATH> inCodePage{};
    BOOL lost = FALSE;
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, inCodePage.data(),
                        static_cast<int>(inCodePage.size()), nullptr, &lost);
    std::array<wchar_t, MAX_PATH> shortName{};
    GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    const std::string expected =
        lost == FALSE ? std::string(inCodePage.data())
                      : std::string(shortName.data(), shortName.data() + wcslen(shortName.data()));
    const Calls received = Received();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0], String(101, expected));
    EXPECT_NE(GetFileAttributesA(expected.c_str()), INVALID_FILE_ATTRIBUTES)
        << expected << ": an 8-bit viewer opens the name it is given";
    EXPECT_EQ(lost == FALSE, name == names[0]) << "only the first name is in the code page";
    viewer.Forget();
    DeleteFileW(path.c_str());
  }
}

}  // namespace
}  // namespace lvx::test
