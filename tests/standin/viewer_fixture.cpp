#include "viewer_fixture.h"

#include <cstdio>

#include "test_host_window.h"
#include "viewer_protocol.h"

namespace lvx::test {

StandinLibrary::StandinLibrary() : module_(LoadLibraryA(kViewerLibraryName)) {}

StandinLibrary::~StandinLibrary() {
  if (module_ != nullptr) {
    FreeLibrary(module_);
  }
}

LvxStandinViewState StandinLibrary::ViewState(HWND viewer) const {
  LvxStandinViewState state{};
  const auto get = Export<std::int32_t (*)(void*, LvxStandinViewState*)>("LvxStandinGetViewState");
  if (get == nullptr || get(viewer, &state) == 0) {
    ADD_FAILURE() << "no view state";
  }
  return state;
}

LvxStandinPrintState StandinLibrary::PrintState(HWND viewer) const {
  LvxStandinPrintState state{};
  const auto get =
      Export<std::int32_t (*)(void*, LvxStandinPrintState*)>("LvxStandinGetPrintState");
  if (get == nullptr || get(viewer, &state) == 0) {
    ADD_FAILURE() << "no print state";
  }
  return state;
}

RECT StandinLibrary::PageBox(HWND viewer, int page) const {
  std::int32_t box[4] = {};
  const auto get =
      Export<std::int32_t (*)(void*, std::int32_t, std::int32_t*)>("LvxStandinPageBox");
  if (get == nullptr || get(viewer, page, box) == 0) {
    return {};
  }
  return {box[0], box[1], box[2], box[3]};
}

int StandinLibrary::PageHighlights(HWND viewer, int page) const {
  const auto get = Export<std::int32_t (*)(void*, std::int32_t)>("LvxStandinPageHighlights");
  return get == nullptr ? -2 : get(viewer, page);
}

void ViewerTest::SetUp() {
  ASSERT_TRUE(library_.Loaded()) << "Lumivex01.dll next to the test";
  host_ = CreatePlainHostWindow("Viewer test host", 0, 0, kHostWidth, kHostHeight);
  ASSERT_NE(host_, nullptr);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RECT client{};
  GetClientRect(host_, &client);
  viewer_ = CreateWindowExA(0, kViewerClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0,
                            client.right, client.bottom, host_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(27)), instance, nullptr);
  ASSERT_NE(viewer_, nullptr);
  ShowWindow(host_, SW_SHOW);
  UpdateWindow(host_);
  Pump();
  // A new viewer fits the page width; the tests measure sheets at 100 %.
  startView_ = View();
  Command(41);
}

void ViewerTest::TearDown() {
  if (host_ != nullptr) {
    DestroyWindow(host_);
  }
  Pump();
}

LRESULT ViewerTest::Command(std::int32_t code, std::int32_t argument) {
  return SendMessageA(viewer_, WM_VIEWER_COMMAND, static_cast<WPARAM>(code), argument);
}

LRESULT ViewerTest::StringCommand(std::int32_t code, const std::string& text) {
  return SendMessageA(viewer_, WM_VIEWER_STRCOMMAND, static_cast<WPARAM>(code),
                      reinterpret_cast<LPARAM>(text.c_str()));
}

RECT ViewerTest::PartRect(HWND part) const {
  RECT box{};
  GetWindowRect(part, &box);
  MapWindowPoints(nullptr, viewer_, reinterpret_cast<POINT*>(&box), 2);
  return box;
}

std::string ViewerTest::TempPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "lvx-" + std::to_string(GetCurrentProcessId()) + "-" + name + ".pdf";
}

std::string ViewerTest::Show(const TestDocument& document, const std::string& name) {
  std::string path = TempPath(name);
  EXPECT_TRUE(WritePdf(path, document));
  const auto shown = static_cast<int>(StringCommand(101, path));
  EXPECT_EQ(shown, static_cast<int>(document.pages.size())) << path;
  DeleteFileA(path.c_str());
  Pump();
  return path;
}

void ViewerTest::Resize(int width, int height) const {
  SetWindowPos(viewer_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}

void ViewerTest::Key(WPARAM key) const {
  SendMessageA(Part(LVX_STANDIN_PAGE_AREA), WM_KEYDOWN, key, 1);
  Pump();
}

void ViewerTest::Wheel(int delta, WPARAM keys) const {
  SendMessageA(Part(LVX_STANDIN_PAGE_AREA), WM_MOUSEWHEEL,
               MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(static_cast<short>(delta))),
               0);
  Pump();
}

void ViewerTest::Pump() { PumpMessages(); }

}  // namespace lvx::test
