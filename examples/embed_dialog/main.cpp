// Embeds the PDF viewer in a plain Win32 dialog: the static control IDC_VIEWER is the placeholder
// the viewer takes the place of. Opens the PDF named on the command line and shows its page count
// in the dialog and on standard output.
//
//   embed_dialog.exe FILE.pdf [--close]     --close: close the dialog once the count is shown
//
// Exit code 0 when the document was opened, 1 otherwise.
#include <windows.h>

#include <lumivexctl/lumivexcontrol.h>
#include <lumivexctl/win32_host.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resource.h"

namespace {

struct Session {
  const char* path = nullptr;
  bool closeWhenShown = false;
  LUMIVEXCONTROL viewer;
  int pages = 0;
};

constexpr UINT_PTR kCloseTimer = 1;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<Session*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      session = reinterpret_cast<Session*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);

      // The embedding itself: a host adapter over the dialog, INIT on the placeholder, then
      // commands.
      session->viewer.TVVERTSCROLLBAR = session->viewer.TVHORZSCROLLBAR = 1;
      LvxWin32Host host(dialog);
      if (session->viewer.INIT(host, IDC_VIEWER) != 0) {
        const LvxText name{session->path, static_cast<std::int32_t>(std::strlen(session->path))};
        const std::int32_t loaded = session->viewer.LOADFILE(LvxGivenText(name));
        session->pages = loaded > 0 ? session->viewer.GETPAGECOUNT() : 0;
      }

      const std::string text = "Pages: " + std::to_string(session->pages);
      SetDlgItemTextA(dialog, IDC_PAGES, text.c_str());
      std::printf("pages: %d\n", session->pages);
      std::fflush(stdout);
      if (session->closeWhenShown) {
        SetTimer(dialog, kCloseTimer, 200, nullptr);
      }
      return TRUE;
    }
    case WM_TIMER:
      KillTimer(dialog, kCloseTimer);
      EndDialog(dialog, IDOK);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    case WM_DESTROY:
      if (session != nullptr) {
        session->viewer.KILL();  // before the dialog's windows go
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: embed_dialog FILE.pdf [--close]\n");
    return 2;
  }
  Session session;
  session.path = argv[1];
  session.closeWhenShown = argc > 2 && std::strcmp(argv[2], "--close") == 0;
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_VIEWER_DIALOG), nullptr,
                  DialogProc, reinterpret_cast<LPARAM>(&session));
  return session.pages > 0 ? 0 : 1;
}
