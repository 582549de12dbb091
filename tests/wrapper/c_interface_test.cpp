// lumivexctl.dll's C interface as a C caller uses it, linked through the MinGW import library: the
// plain export names, a whole round with the stand-in viewer (the messages it received compared
// with the class's protocol as a table), INIT's result codes, a host given as a table of C
// services, and the release rules of KILL and of destroying a viewer, with two viewers (one of
// them through the header-only C++ class, lumivexctl.hpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "guarded_field.h"
#include "lumivexctl/lumivexctl.hpp"
#include "lumivexctl/lumivexctl_c.h"
#include "message_box_watcher.h"
#include "standin_log.h"
#include "test_host_window.h"
#include "test_pdf.h"

namespace lvx::test {
namespace {

constexpr std::uint32_t kCommand = 0x0400 + 79;
constexpr std::uint32_t kString = 0x0400 + 77;
constexpr int kSecondPlaceholderId = 28;

HWND AsWindow(std::int32_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }

template <typename Function>
const void* Address(Function* function) {
  return reinterpret_cast<const void*>(function);
}

class CInterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::array<char, MAX_PATH> temp{};
    GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    pdf = std::string(temp.data()) + "lvx-c-" + std::to_string(GetCurrentProcessId()) + ".pdf";
    ASSERT_TRUE(WritePdf(pdf, NumberedPages(3)));
  }
  void TearDown() override { DeleteFileA(pdf.c_str()); }

  TestHostWindow host;
  std::string pdf;
};

TEST_F(CInterfaceTest, EveryFunctionIsExportedUnderItsPlainName) {
  const HMODULE library = GetModuleHandleA("lumivexctl.dll");
  ASSERT_NE(library, nullptr);
  struct Export {
    const char* name;
    const void* imported;  // the address the import library resolved
  };
  const std::array<Export, 27> exports = {{
      {"lvx_create", Address(&lvx_create)},
      {"lvx_destroy", Address(&lvx_destroy)},
      {"lvx_init", Address(&lvx_init)},
      {"lvx_init_with_host", Address(&lvx_init_with_host)},
      {"lvx_kill", Address(&lvx_kill)},
      {"lvx_load_file", Address(&lvx_load_file)},
      {"lvx_append_file", Address(&lvx_append_file)},
      {"lvx_load_file_w", Address(&lvx_load_file_w)},
      {"lvx_append_file_w", Address(&lvx_append_file_w)},
      {"lvx_load_file_utf8", Address(&lvx_load_file_utf8)},
      {"lvx_append_file_utf8", Address(&lvx_append_file_utf8)},
      {"lvx_clear_view", Address(&lvx_clear_view)},
      {"lvx_show_about", Address(&lvx_show_about)},
      {"lvx_document_properties", Address(&lvx_document_properties)},
      {"lvx_set_zoom", Address(&lvx_set_zoom)},
      {"lvx_disable_print", Address(&lvx_disable_print)},
      {"lvx_find_text", Address(&lvx_find_text)},
      {"lvx_print", Address(&lvx_print)},
      {"lvx_print_to_printer", Address(&lvx_print_to_printer)},
      {"lvx_set_view_control_properties", Address(&lvx_set_view_control_properties)},
      {"lvx_get_page_count", Address(&lvx_get_page_count)},
      {"lvx_get_text_length", Address(&lvx_get_text_length)},
      {"lvx_get_text", Address(&lvx_get_text)},
      {"lvx_set_switch", Address(&lvx_set_switch)},
      {"lvx_get_switch", Address(&lvx_get_switch)},
      {"lvx_window", Address(&lvx_window)},
      {"lvx_library", Address(&lvx_library)},
  }};
  for (const Export& entry : exports) {
    EXPECT_EQ(Address(GetProcAddress(library, entry.name)), entry.imported) << entry.name;
  }
  // Only the plain names: no 32-bit decorated duplicates.
  EXPECT_EQ(GetProcAddress(library, "lvx_create@0"), nullptr);
  EXPECT_EQ(GetProcAddress(library, "_lvx_create@0"), nullptr);
  EXPECT_EQ(GetProcAddress(library, "lvx_find_text@28"), nullptr);
}

// The same viewer messages as the class's protocol, with the results a C caller needs.
TEST_F(CInterfaceTest, ARoundSendsTheClassProtocolAndAnswersThroughCTypes) {
  LvxViewer* viewer = lvx_create();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(lvx_window(viewer), 0);
  lvx_set_switch(viewer, LVX_SWITCH_VERTICAL_SCROLL_BAR, 1);
  lvx_set_switch(viewer, LVX_SWITCH_PROPERTY_PANEL, 7);
  EXPECT_EQ(lvx_get_switch(viewer, LVX_SWITCH_PROPERTY_PANEL), 7);
  EXPECT_EQ(lvx_get_switch(viewer, 6), 0) << "no such switch";

  std::int32_t window = -1;
  ASSERT_EQ(lvx_init(viewer, host.Window(), kPlaceholderId, &window), LVX_OK);
  ClearStandinLog();  // INIT's own message is checked by the host-table test
  EXPECT_EQ(window, lvx_window(viewer));
  EXPECT_EQ(GetDlgItem(host.Window(), kPlaceholderId), AsWindow(window));
  EXPECT_EQ(lvx_library(viewer), reinterpret_cast<intptr_t>(GetModuleHandleA("Lumivex01.dll")));

  // Text with a length, and a NUL-terminated name (-1).
  EXPECT_EQ(lvx_load_file(viewer, 0, pdf.c_str(), -1), 3);
  const std::string padded = pdf + "    ";
  EXPECT_EQ(lvx_append_file(viewer, 0, padded.data(), static_cast<std::int32_t>(padded.size())), 6);
  lvx_clear_view(viewer);
  EXPECT_EQ(lvx_load_file(viewer, 0, pdf.c_str(), static_cast<std::int32_t>(pdf.size())), 3);
  EXPECT_EQ(lvx_get_page_count(viewer), 3);
  const std::int32_t length = lvx_get_text_length(viewer, 0, 2);
  EXPECT_GT(length, 10);
  GuardedField field(static_cast<std::size_t>(length) + 4, 'x');
  const LvxTextField bytes = field.Field();
  lvx_get_text(viewer, bytes.data, bytes.capacity, 0, 2);
  EXPECT_TRUE(field.GuardsIntact());
  EXPECT_EQ(field.Contents().rfind("Page 2 line 1", 0), 0U) << field.Contents();
  EXPECT_EQ(field.Contents().substr(static_cast<std::size_t>(length)), "    ");
  EXPECT_EQ(lvx_find_text(viewer, "line 4xx", 6, 1, 1, 1, 1), 3);
  lvx_set_zoom(viewer, 46);
  lvx_disable_print(viewer, 124);
  lvx_set_switch(viewer, LVX_SWITCH_PROPERTY_PANEL, 0);
  lvx_set_view_control_properties(viewer);

  const std::vector<LoggedMessage> expected = {
      {kString, 101, 0, pdf},      {kString, 102, 0, pdf},  {kCommand, 100, 0, ""},
      {kString, 101, 0, pdf},      {kCommand, 201, 0, ""},  {kCommand, 260, 1, ""},
      {kCommand, 260, 1, ""},      {kCommand, 261, 0, ""},  // the buffer's address is not compared
      {kCommand, 253, 1, ""},      {kCommand, 254, -1, ""}, {kString, 256, 0, "line 4"},
      {kString, 257, 0, "line 4"}, {kCommand, 46, 0, ""},   {kCommand, 124, 0, ""},
      {kCommand, 50, 1, ""},
  };
  std::vector<LoggedMessage> received = StandinMessages();
  for (LoggedMessage& message : received) {
    if (message.code == 261) {
      message.argument = 0;
    }
  }
  EXPECT_EQ(received, expected);

  lvx_kill(viewer);
  EXPECT_FALSE(IsWindow(AsWindow(window)));
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
  EXPECT_EQ(lvx_window(viewer), window) << "the handle values stay after KILL";
  lvx_destroy(viewer);
}

TEST_F(CInterfaceTest, InitAnswersWhyItFailed) {
  std::int32_t window = -1;
  EXPECT_EQ(lvx_init(nullptr, host.Window(), kPlaceholderId, &window), LVX_ERROR_ARGUMENT);
  EXPECT_EQ(window, 0);
  LvxViewer* viewer = lvx_create();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(lvx_init(viewer, nullptr, kPlaceholderId, nullptr), LVX_ERROR_ARGUMENT);
  LvxHostServices incomplete{};
  EXPECT_EQ(lvx_init_with_host(viewer, &incomplete, kPlaceholderId, nullptr), LVX_ERROR_ARGUMENT);
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr) << "nothing was loaded";

  // No control 99: the library loads, but no viewer window takes a placeholder's place.
  window = -1;
  EXPECT_EQ(lvx_init(viewer, host.Window(), 99, &window), LVX_ERROR_PLACEHOLDER);
  EXPECT_EQ(window, 0);
  EXPECT_NE(lvx_library(viewer), 0);
  EXPECT_NE(GetModuleHandleA("Lumivex01.dll"), nullptr);
  // lvx_destroy releases what the failed start took.
  lvx_destroy(viewer);
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
  lvx_destroy(nullptr);
}

// File names in any script, under code page 1252: a name the code page writes reaches the viewer
// as it is; any other as the file's short name, which an 8-bit control opens. In UTF-16 and in
// UTF-8; invalid UTF-8 is refused with a box.
TEST_F(CInterfaceTest, FileNamesInAnyScriptReachTheViewer) {
  ASSERT_EQ(GetACP(), 1252U) << "the test is written for the code page 1252";
  struct Name {
    const wchar_t* wide;
    const char* utf8;
    bool sentAsItIs;
  };
  const std::array<Name, 5> names = {{
      {L"Caf\u00e9 r\u00e9sum\u00e9", "Caf\xc3\xa9 r\xc3\xa9sum\xc3\xa9", true},
      {L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
       "\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac", false},
      {L"\u041a\u0438\u0440\u0438\u043b\u043b\u0438\u0446\u0430",
       "\xd0\x9a\xd0\xb8\xd1\x80\xd0\xb8\xd0\xbb\xd0\xbb\xd0\xb8\xd1\x86\xd0\xb0", false},
      {L"\u4e2d\u6587\u6587\u4ef6", "\xe4\xb8\xad\xe6\x96\x87\xe6\x96\x87\xe4\xbb\xb6", false},
      {L"report \U0001F4C4", "report \xf0\x9f\x93\x84", false},
  }};
  std::array<wchar_t, MAX_PATH> temp{};
  GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  const std::wstring source(pdf.begin(), pdf.end());  // an ASCII path

  LvxViewer* viewer = lvx_create();
  ASSERT_NE(viewer, nullptr);
  ASSERT_EQ(lvx_init(viewer, host.Window(), kPlaceholderId, nullptr), LVX_OK);
  for (const Name& name : names) {
    const std::wstring path = std::wstring(temp.data()) + name.wide + L".pdf";
    ASSERT_TRUE(CopyFileW(source.c_str(), path.c_str(), FALSE)) << GetLastError();
    const std::string tempUtf8 = [&] {
      std::array<char, MAX_PATH * 3> bytes{};
      WideCharToMultiByte(CP_UTF8, 0, temp.data(), -1, bytes.data(), static_cast<int>(bytes.size()),
                          nullptr, nullptr);
      return std::string(bytes.data());
    }();
    const std::string utf8 = tempUtf8 + name.utf8 + ".pdf";

    ClearStandinLog();
    EXPECT_EQ(lvx_load_file_w(viewer, 0, path.c_str(), -1), 3) << name.utf8;
    EXPECT_EQ(lvx_append_file_utf8(viewer, 0, utf8.c_str(), static_cast<std::int32_t>(utf8.size())),
              6)
        << name.utf8;
    const std::vector<LoggedMessage> sent = StandinMessages();
    ASSERT_EQ(sent.size(), 2U) << name.utf8;
    EXPECT_EQ(sent[0].text, sent[1].text) << "UTF-16 and UTF-8 give the same name";
    const std::string& ansi = sent[0].text;
    if (name.sentAsItIs) {
      std::array<char, MAX_PATH> expected{};
      WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, expected.data(),
                          static_cast<int>(expected.size()), nullptr, nullptr);
      EXPECT_EQ(ansi, expected.data());
    } else {
      EXPECT_TRUE(std::all_of(ansi.begin(), ansi.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
      })) << ansi;
      EXPECT_NE(GetFileAttributesA(ansi.c_str()), INVALID_FILE_ATTRIBUTES)
          << ansi << ": an 8-bit caller opens the short name";
    }
    DeleteFileW(path.c_str());
  }

  MessageBoxWatcher boxes;
  ClearStandinLog();
  EXPECT_EQ(lvx_load_file_utf8(viewer, 0, "bad \xc3\x28.pdf", -1), 0);
  EXPECT_TRUE(StandinMessages().empty()) << "the viewer hears nothing";
  ASSERT_EQ(boxes.Boxes().size(), 1U);
  EXPECT_EQ(boxes.Boxes()[0].text, "The file name is not valid UTF-8.");
  lvx_destroy(viewer);
}

// A host given as a table of C functions: each service is called with the table's context, in
// INIT's order, and the viewer ends in the placeholder's place.
struct RecordingServices {
  HWND parent = nullptr;
  std::vector<std::string> calls;
};

RecordingServices& Of(void* context) { return *static_cast<RecordingServices*>(context); }
LvxWin32Host Win32(void* context) { return LvxWin32Host(Of(context).parent); }

void LVX_CALL SetPixelUnits(void* context, std::int32_t on) {
  Of(context).calls.emplace_back(on != 0 ? "pixels on" : "pixels off");
}
void LVX_CALL ControlPosition(void* context, std::int32_t control, std::int32_t* x, std::int32_t* y,
                              std::int32_t* width, std::int32_t* height) {
  Of(context).calls.push_back("position " + std::to_string(control));
  Win32(context).ControlPosition(static_cast<std::int16_t>(control), x, y, width, height);
}
std::int32_t LVX_CALL ClientWindow(void* context) {
  Of(context).calls.emplace_back("client window");
  return Win32(context).ClientWindow();
}
intptr_t LVX_CALL InstanceHandle(void* context) {
  Of(context).calls.emplace_back("instance");
  return Win32(context).InstanceHandle();
}
std::int32_t LVX_CALL SetControlWindow(void* context, std::int32_t control, std::int32_t window) {
  Of(context).calls.push_back("adopt " + std::to_string(control));
  return Win32(context).SetControlWindow(static_cast<std::int16_t>(control), window);
}
std::int32_t LVX_CALL ControlWindow(void* context, std::int32_t control) {
  Of(context).calls.push_back("window of " + std::to_string(control));
  return Win32(context).ControlWindow(static_cast<std::int16_t>(control));
}
void LVX_CALL ShowMessage(void* context, const char* text) {
  Of(context).calls.push_back(std::string("message ") + text);
}

TEST_F(CInterfaceTest, AHostTableOfCServicesPlacesTheViewer) {
  RecordingServices recorded{host.Window(), {}};
  const LvxHostServices services{&recorded,      SetPixelUnits,    ControlPosition, ClientWindow,
                                 InstanceHandle, SetControlWindow, ControlWindow,   ShowMessage};
  LvxViewer* viewer = lvx_create();
  ASSERT_NE(viewer, nullptr);
  lvx_set_switch(viewer, LVX_SWITCH_HORIZONTAL_SCROLL_BAR, 1);
  lvx_set_switch(viewer, LVX_SWITCH_VIEW_PANEL, 1);
  std::int32_t window = 0;
  ClearStandinLog();
  ASSERT_EQ(lvx_init_with_host(viewer, &services, kPlaceholderId, &window), LVX_OK);
  const std::vector<std::string> expected = {"instance",      "pixels on", "position 27",
                                             "client window", "instance",  "adopt 27",
                                             "window of 27",  "pixels off"};
  EXPECT_EQ(recorded.calls, expected);
  EXPECT_EQ(GetDlgItem(host.Window(), kPlaceholderId), AsWindow(window));
  EXPECT_EQ(StandinMessages(), (std::vector<LoggedMessage>{{kCommand, 50, 2 + 4, ""}}));
  lvx_kill(viewer);
  lvx_destroy(viewer);
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
}

// Two viewers, the right one through the header-only C++ class: a second KILL of the left one
// releases nothing more, so the right one keeps its library and answers; the class's destructor
// kills a viewer that is still started, and the last release unloads.
TEST_F(CInterfaceTest, ASecondKillOfOneViewerLeavesTheOtherWorking) {
  ASSERT_NE(
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 320, 20, 160, 200, host.Window(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSecondPlaceholderId)),
                      GetModuleHandleA(nullptr), nullptr),
      nullptr);
  LvxViewer* left = lvx_create();
  ASSERT_NE(left, nullptr);
  std::optional<lumivexctl::Viewer> right(std::in_place);
  ASSERT_EQ(lvx_init(left, host.Window(), kPlaceholderId, nullptr), LVX_OK);
  ASSERT_EQ(right->Init(host.Window(), kSecondPlaceholderId), LVX_OK);
  EXPECT_EQ(right->LoadFile(pdf), 3);

  lvx_kill(left);
  lvx_kill(left);
  lvx_destroy(left);  // killed already: releases nothing either
  ASSERT_NE(GetModuleHandleA("Lumivex01.dll"), nullptr) << "the right viewer's reference stays";
  ASSERT_TRUE(IsWindow(AsWindow(right->Window())));
  EXPECT_EQ(right->PageCount(), 3);
  EXPECT_EQ(right->FindText("line 2", false, true, true, 0), 3);
  const std::string text = right->Text(2);
  EXPECT_EQ(text.rfind("Page 2 line 1", 0), 0U) << text;
  EXPECT_EQ(text.size(), static_cast<std::size_t>(right->TextLength(2)));

  const HWND rightWindow = AsWindow(right->Window());
  right.reset();
  EXPECT_FALSE(IsWindow(rightWindow));
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
}

}  // namespace
}  // namespace lvx::test
