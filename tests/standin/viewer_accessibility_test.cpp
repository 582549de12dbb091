// The viewer window for screen readers: accessible_client.exe, in a process of its own, reads the
// viewer's client object (role, name, value, the panels' controls), presses End and reads again
// after the value-change event, while this thread serves its calls. The object's answers after
// the window is gone are checked in the process.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "viewer_fixture.h"

namespace lvx::test {
namespace {

std::string ProgramFolder() {
  std::array<char, MAX_PATH> path{};
  GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  const std::string folder(path.data());
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

class ViewerAccessibilityTest : public ViewerTest {
 protected:
  // Runs the client on the viewer window, serving this thread's messages (the client's calls
  // arrive through them) until it ends; answers its exit status and its output's lines.
  [[nodiscard]] std::pair<DWORD, std::vector<std::string>> RunClient() const {
    const std::string out = TempPath("accessible-client");
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on a chain of operator+.
    std::string command(1, '"');
    command.append(ProgramFolder()).append("accessible_client.exe\" ");
    command.append(std::to_string(reinterpret_cast<INT_PTR>(viewer_))).append(" \"");
    command.append(out).append(1, '"');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == FALSE) {
      ADD_FAILURE() << "cannot start " << command;
      return {~0U, {}};
    }
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) !=
               WAIT_OBJECT_0 &&
           GetTickCount() - start < 30000) {
      Pump();
    }
    DWORD status = ~0U;
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 99);
      ADD_FAILURE() << "the client hung";
    }
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::vector<std::string> lines = Lines(out);
    DeleteFileA(out.c_str());
    return {status, lines};
  }
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// LVX_ACCESSIBLE_PDF names a document to read (a corpus file, for instance); without it a
// generated one is used, whose page texts are known to the letter.
TEST_F(ViewerAccessibilityTest, AClientInAnotherProcessReadsThePageAndFollowsItToTheEnd) {
  const char* given = std::getenv("LVX_ACCESSIBLE_PDF");
  int pages = 6;
  std::string first = "value Page 1 line 1 cedar | Page 1 line 2 delta | Page 1 line 3 ember | ";
  std::string last = "value Page 6 line 1 heron | Page 6 line 2 inlet | Page 6 line 3 juniper | ";
  if (given != nullptr && *given != '\0') {
    if (GetFileAttributesA(given) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << given << " is not there";
    }
    pages = static_cast<int>(StringCommand(101, given));
    ASSERT_GT(pages, 1) << given;
    first.clear();  // not known here: printed for people to read
    last.clear();
  } else {
    Show(NumberedPages(pages, 3));
  }
  Command(50, 31);  // scroll bars and every panel
  Pump();
  const auto [status, lines] = RunClient();
  std::ostringstream shown;
  for (const std::string& line : lines) {
    shown << line << "\n";
  }
  std::cout << shown.str();
  ASSERT_EQ(status, 0U) << shown.str();
  ASSERT_GE(lines.size(), 6U);
  const std::string label = "Page 1 of " + std::to_string(pages);
  EXPECT_EQ(lines[0], "role 15") << "a document";
  EXPECT_EQ(lines[1], "name " + label);
  if (!first.empty()) {
    EXPECT_EQ(lines[2], first);
  }
  EXPECT_GT(lines[2].size(), std::string("value ").size()) << "the page has text";
  // The children are the system's objects of the panels' controls (their roles are the system's
  // own: Wine answers "client" for every window class), named by their text.
  std::vector<std::string> children;
  for (const std::string& line : lines) {
    if (line.rfind("child 1 ", 0) == 0) {
      children.push_back(line.substr(line.find(' ', 8) + 1));
    }
  }
  EXPECT_TRUE(Has(children, "Zoom in")) << "a zoom button of the view panel";
  EXPECT_TRUE(Has(children, label)) << "the view panel's page label";
  EXPECT_TRUE(std::any_of(children.begin(), children.end(), [](const std::string& name) {
    return name.rfind("File: ", 0) == 0;
  })) << "the property panel's facts";
  const std::vector<std::string> after(lines.end() - 3, lines.end());
  EXPECT_EQ(after[0], "event valuechange");
  EXPECT_EQ(after[1], "name Page " + std::to_string(pages) + " of " + std::to_string(pages));
  if (!last.empty()) {
    EXPECT_EQ(after[2], last);
  }
  EXPECT_NE(after[2], lines[2]) << "the value is the last page's text now";
  EXPECT_EQ(View().currentPage, pages - 1);
}

TEST_F(ViewerAccessibilityTest, TheObjectIsCutOffWhenTheWindowGoes) {
  Show(NumberedPages(2, 1));
  IAccessible* found = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(viewer_, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&found)),
            S_OK);
  ASSERT_NE(found, nullptr);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  EXPECT_EQ(found->get_accName(self, &name), S_OK);
  EXPECT_EQ(std::wstring(name != nullptr ? name : L""), L"Page 1 of 2");
  SysFreeString(name);
  name = nullptr;
  DestroyWindow(viewer_);
  Pump();
  EXPECT_TRUE(FAILED(found->get_accName(self, &name))) << "a window that is gone answers nothing";
  EXPECT_EQ(name, nullptr);
  found->Release();
}

}  // namespace
}  // namespace lvx::test
