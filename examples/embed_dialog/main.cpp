// Embeds the PDF viewer in a plain Win32 dialog: a static control is the placeholder the viewer
// takes the place of. Opens the PDF named on the command line and shows its page count in the
// dialog and on standard output.
//
//   embed_dialog.exe FILE.pdf [--close]
//   embed_dialog.exe --two LEFT.pdf RIGHT.pdf [--close]
//
// --close closes the dialog once the counts are shown. --two shows two documents side by side,
// one LUMIVEXCONTROL object each, and then does what a host with several documents does: it
// closes the left one (KILL), asks the right one again, and opens the left one again in a new
// placeholder with the same object. Printed: "pages: N" (one document), or "left pages: N",
// "right pages: N", "right after left closed: pages: N", "left reopened: pages: N".
//
// Exit code 0 when every document was opened, 1 otherwise.
#include <windows.h>

#include <lumivexctl/lumivexcontrol.h>
#include <lumivexctl/win32_host.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "resource.h"

namespace {

// One viewer in one placeholder of the dialog.
struct Pane {
  std::int16_t placeholder = 0;  // the placeholder's control id, taken over by the viewer window
  const char* path = nullptr;
  LUMIVEXCONTROL viewer;  // an object stands for one viewer window: never copied
  bool started = false;   // between a successful INIT and its KILL
};

struct Session {
  std::array<Pane, 2> panes;
  int paneCount = 1;
  bool closeWhenShown = false;
  bool allOpened = true;
};

constexpr UINT_PTR kCloseTimer = 1;

// The embedding itself: a host adapter over the dialog, INIT on the placeholder, then commands.
// Answers the page count, 0 when the viewer or the document could not be opened.
int Open(HWND dialog, Pane& pane) {
  pane.viewer.TVVERTSCROLLBAR = pane.viewer.TVHORZSCROLLBAR = 1;
  LvxWin32Host host(dialog);
  pane.started = pane.viewer.INIT(host, pane.placeholder) != 0;
  if (!pane.started) {
    return 0;
  }
  const LvxText name{pane.path, static_cast<std::int32_t>(std::strlen(pane.path))};
  return pane.viewer.LOADFILE(LvxGivenText(name)) > 0 ? pane.viewer.GETPAGECOUNT() : 0;
}

// The viewer window goes, and with the last viewer the viewer library.
void Close(Pane& pane) {
  if (pane.started) {
    pane.viewer.KILL();
    pane.started = false;
  }
}

void Report(Session& session, const char* what, int pages) {
  std::printf("%s%d\n", what, pages);
  std::fflush(stdout);
  session.allOpened = session.allOpened && pages > 0;
}

// The left viewer is closed and the right one must go on answering; then the left placeholder is
// made again where the left viewer was, and the same object is started in it.
void CloseAndReopenLeft(HWND dialog, Session& session) {
  Pane& left = session.panes[0];
  Pane& right = session.panes[1];
  RECT place{};
  GetWindowRect(GetDlgItem(dialog, left.placeholder), &place);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&place), 2);
  Close(left);  // the placeholder's window was the viewer window: it is gone now
  Report(session, "right after left closed: pages: ", right.viewer.GETPAGECOUNT());

  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, place.left, place.top,
                  place.right - place.left, place.bottom - place.top, dialog,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(left.placeholder)),
                  GetModuleHandleA(nullptr), nullptr);
  Report(session, "left reopened: pages: ", Open(dialog, left));
}

void ShowDocuments(HWND dialog, Session& session) {
  std::string shown;
  if (session.paneCount == 1) {
    const int pages = Open(dialog, session.panes[0]);
    Report(session, "pages: ", pages);
    shown = "Pages: " + std::to_string(pages);
  } else {
    const int left = Open(dialog, session.panes[0]);
    const int right = Open(dialog, session.panes[1]);
    Report(session, "left pages: ", left);
    Report(session, "right pages: ", right);
    CloseAndReopenLeft(dialog, session);
    shown = "Pages: " + std::to_string(left) + " and " + std::to_string(right);
  }
  SetDlgItemTextA(dialog, IDC_PAGES, shown.c_str());
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<Session*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      session = reinterpret_cast<Session*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      ShowDocuments(dialog, *session);
      if (session->closeWhenShown) {
        SetTimer(dialog, kCloseTimer, 200, nullptr);
      }
      return TRUE;
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
        for (Pane& pane : session->panes) {
          Close(pane);  // before the dialog's windows go
        }
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  Session session;
  const bool two = argc > 1 && std::strcmp(argv[1], "--two") == 0;
  const int documents = two ? 2 : 1;
  const int first = two ? 2 : 1;
  if (argc < first + documents) {
    std::fprintf(stderr,
                 "usage: embed_dialog FILE.pdf [--close]\n"
                 "       embed_dialog --two LEFT.pdf RIGHT.pdf [--close]\n");
    return 2;
  }
  session.paneCount = documents;
  session.panes[0].placeholder = IDC_VIEWER;
  session.panes[1].placeholder = IDC_SECOND_VIEWER;
  for (int i = 0; i < documents; ++i) {
    session.panes[static_cast<std::size_t>(i)].path = argv[first + i];
  }
  session.closeWhenShown =
      argc > first + documents && std::strcmp(argv[first + documents], "--close") == 0;
  const int dialogId = two ? IDD_TWO_VIEWERS_DIALOG : IDD_VIEWER_DIALOG;
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), nullptr, DialogProc,
                  reinterpret_cast<LPARAM>(&session));
  return session.allOpened ? 0 : 1;
}
