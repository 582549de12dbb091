// Prints pages 2 to 3 of a document through the stand-in viewer on a real printer, for
// print_check.sh to examine what the printer produced.
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
#include "test_host_window.h"
#include "test_pdf.h"
#include "viewer_protocol.h"

namespace {

std::int32_t ShowFile(HWND viewer, const std::string& path) {
  const auto show =
      reinterpret_cast<std::int32_t (*)(void*, const char*, std::int32_t)>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA(lvx::kViewerLibraryName), "LvxStandinShowFile")));
  return show == nullptr ? -100 : show(viewer, path.c_str(), 0);
}

LRESULT Send(HWND viewer, std::int32_t code, std::int32_t argument) {
  return SendMessageA(viewer, lvx::WM_VIEWER_COMMAND, static_cast<WPARAM>(code), argument);
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
  const std::int32_t pages = ShowFile(viewer, path);
  std::printf("pages %d\n", pages);
  std::string printer = "PDF";
  if (route == "raster") {
    Send(viewer, lvx::VCMD_DISABLEHQPRINT.code, 0);
  } else if (route == "postscript") {
    Send(viewer, lvx::VCMD_DISABLEDCPRINT.code, 0);
  } else if (route == "default") {
    Send(viewer, lvx::VCMD_DISABLESELECTPRINTER.code, 0);
    printer = "No such printer";
  } else if (route == "off") {
    Send(viewer, lvx::VCMD_DISABLEPRINT.code, 0);
  }
  // The print sequence: printer name, start, pages 2 to 3, finish.
  SendMessageA(viewer, lvx::WM_VIEWER_STRCOMMAND, lvx::VCMD_SETPRINTER.code,
               reinterpret_cast<LPARAM>(printer.c_str()));
  Send(viewer, lvx::VCMD_PRINTSTART.code, 0);
  Send(viewer, lvx::VCMD_PRINTPAGES.code, 2 + 3 * 65536);
  const LRESULT result = Send(viewer, lvx::VCMD_PRINTFINISH.code, 0);

  const std::size_t slash = path.find_last_of("\\/");
  std::printf("job %s\nresult %ld\n", path.substr(slash + 1).c_str(), static_cast<long>(result));
  control.KILL();
  if (argc < 3) {
    DeleteFileA(path.c_str());
  }
  return 0;
}
