// Prints pages 2 to 3 of a document on a real printer the way a host program does: the wrapper
// starts the stand-in viewer, loads the file (LOADFILE), switches a printing feature off
// (DISABLEPRINT) and prints (PRINTTOPRINTER); print_check.sh then examines the printout.
//
//   standin_print_check.exe ROUTE [PDF]
//
// ROUTE: vector (plain printing on the printer "PDF"), raster (after code 124), postscript (after
// code 126), default (after code 125, with a printer name that does not exist), off (after code
// 123). Without PDF a five-page document of numbered lines is written and printed. Prints
// "job NAME" (the document's name in the print queue) and "result N" (code 37's answer).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "lumivexctl/lumivexcontrol.h"
#include "standin_api.h"
#include "test_host_window.h"
#include "test_pdf.h"
#include "viewer_protocol.h"

namespace {

// Code 37's answer, from the stand-in's print state (the wrapper does not pass it on).
std::int32_t LastPrintResult(HWND viewer) {
  const auto get =
      reinterpret_cast<std::int32_t (*)(void*, LvxStandinPrintState*)>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA(lvx::kViewerLibraryName), "LvxStandinGetPrintState")));
  LvxStandinPrintState state{};
  return get != nullptr && get(viewer, &state) != 0 ? state.lastResult : -100;
}

LvxText Text(const std::string& text) {
  return {text.c_str(), static_cast<std::int32_t>(text.size())};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: standin_print_check ROUTE [PDF]\n");
    return 2;
  }
  const std::string route = argv[1];
  std::string path;
  if (argc >= 3) {
    path = argv[2];
  } else {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    path = std::string(folder) + "lvxprint-" + route + "-" + std::to_string(GetCurrentProcessId()) +
           "-" + std::to_string(GetTickCount()) + ".pdf";
    if (!lvx::test::WritePdf(path, lvx::test::NumberedPages(5))) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }

  lvx::test::TestHostWindow host;
  LUMIVEXCONTROL control;
  LvxWin32Host services(host.Window());
  const HWND viewer = reinterpret_cast<HWND>(
      static_cast<INT_PTR>(control.INIT(services, lvx::test::kPlaceholderId)));
  if (viewer == nullptr) {
    std::fprintf(stderr, "the viewer did not start\n");
    return 1;
  }
  const std::int32_t pages = control.LOADFILE(LvxGivenText(Text(path)));
  std::printf("pages %d\n", pages);
  std::string printer = "PDF";
  if (route == "raster") {
    control.DISABLEPRINT(lvx::VCMD_DISABLEHQPRINT.code);
  } else if (route == "postscript") {
    control.DISABLEPRINT(lvx::VCMD_DISABLEDCPRINT.code);
  } else if (route == "default") {
    control.DISABLEPRINT(lvx::VCMD_DISABLESELECTPRINTER.code);
    printer = "No such printer";
  } else if (route == "off") {
    control.DISABLEPRINT(lvx::VCMD_DISABLEPRINT.code);
  }
  control.PRINTTOPRINTER(Text(printer), LvxGivenInt32(2), LvxGivenInt32(3));
  const std::int32_t result = LastPrintResult(viewer);

  const std::size_t slash = path.find_last_of("\\/");
  std::printf("job %s\nresult %d\n", path.substr(slash + 1).c_str(), result);
  control.KILL();
  if (argc < 3) {
    DeleteFileA(path.c_str());
  }
  return 0;
}
