// The viewer window for accessibility clients (screen readers), through MSAA: WM_GETOBJECT for
// the client area answers an IAccessible document whose name is the page label ("Page 2 of 6")
// and whose value is the current page's text. Everything else (parent, children, location,
// focus, navigation) comes from the system's standard object of the window, so the panels'
// controls appear as they do in any window. Name and value change events follow the page.
#ifndef LUMIVEX_STANDIN_ACCESSIBLE_VIEWER_H
#define LUMIVEX_STANDIN_ACCESSIBLE_VIEWER_H

#include <windows.h>

namespace lvx::standin {

struct ViewerState;
class ViewerAccessible;

// The window's accessible object once a client asked for it, and the COM apartment the viewer
// entered to hand it out. Destroying the link disconnects every client (their calls then fail)
// before the window's state goes.
class AccessibleLink {
 public:
  AccessibleLink() = default;
  ~AccessibleLink();
  AccessibleLink(const AccessibleLink&) = delete;
  AccessibleLink& operator=(const AccessibleLink&) = delete;
  AccessibleLink(AccessibleLink&&) = delete;
  AccessibleLink& operator=(AccessibleLink&&) = delete;

  // The object for `window`, made on first use (one reference kept here); null when COM or
  // memory fails.
  ViewerAccessible* ObjectFor(HWND window);

  // Makes the next AnnouncePage raise its events (another document is shown).
  void Forget() { announcedCount = -1; }

  int announcedPage = -1;  // the current page the last events told of
  int announcedCount = 0;  // and the page count then

 private:
  ViewerAccessible* object_ = nullptr;
  bool apartment_ = false;  // CoInitializeEx succeeded and is owed its CoUninitialize
};

// WM_GETOBJECT: the document object for OBJID_CLIENT; 0 for anything else (the caller then
// passes the message on to DefWindowProc).
LRESULT AnswerGetObject(ViewerState& state, WPARAM flags, LPARAM objectId);

// Raises name and value change events of the client object when the current page or the page
// count changed since the last call, or another document is shown (AccessibleLink::Forget).
void AnnouncePage(ViewerState& state);

}  // namespace lvx::standin

#endif
