#include "accessible_viewer.h"

#include <oleacc.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com_objects.h"
#include "panels.h"
#include "viewer_state.h"

namespace lvx::standin {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// A BSTR of UTF-8 text; null when it cannot be had.
BSTR Utf8String(std::string_view text) {
  if (text.empty()) {
    return SysAllocString(L"");
  }
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) {
    return nullptr;
  }
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (result != nullptr) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result, length);
  }
  return result;
}

bool Visible(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// The controls the document shows besides its pages, in the windows' order: the controls inside
// the shown panels (zoom buttons, page label, page list, document facts) and the scroll bars.
std::vector<HWND> ShownControls(HWND viewer, HWND pageArea) {
  std::vector<HWND> controls;
  for (HWND part = GetWindow(viewer, GW_CHILD); part != nullptr;
       part = GetWindow(part, GW_HWNDNEXT)) {
    if (part == pageArea || !Visible(part)) {
      continue;
    }
    const HWND first = GetWindow(part, GW_CHILD);
    if (first == nullptr) {
      controls.push_back(part);  // a scroll bar
    }
    for (HWND control = first; control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
      if (Visible(control)) {
        controls.push_back(control);
      }
    }
  }
  return controls;
}

}  // namespace

// The client object of one viewer window. Its own answers (role, name, value, state) are read
// from the window's state at each call, on the window's thread (calls from other processes
// arrive through the thread's apartment); the rest is the standard object's.
class ViewerAccessible final : public IAccessible {
 public:
  explicit ViewerAccessible(HWND window) : window_(window) {
    CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(standard_.Out()));
  }
  virtual ~ViewerAccessible() = default;  // after the interface's methods in the table
  ViewerAccessible(const ViewerAccessible&) = delete;
  ViewerAccessible& operator=(const ViewerAccessible&) = delete;
  ViewerAccessible(ViewerAccessible&&) = delete;
  ViewerAccessible& operator=(ViewerAccessible&&) = delete;

  [[nodiscard]] bool Ready() const { return standard_.Get() != nullptr; }
  // The window is going: every later call fails as for a disconnected object.
  void Detach() { window_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      std::unique_ptr<ViewerAccessible>{this};
    }
    return left;
  }

  // IDispatch: clients of this object call through the interface's table.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                        ITypeInfo** info) override {
    if (info != nullptr) {
      *info = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/,
                                          LCID /*locale*/, DISPID* /*ids*/) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID /*id*/, REFIID /*iid*/, LCID /*locale*/, WORD /*flags*/,
                                   DISPPARAMS* /*parameters*/, VARIANT* /*result*/,
                                   EXCEPINFO* /*exception*/, UINT* /*argumentError*/) override {
    return E_NOTIMPL;
  }

  // IAccessible: what the viewer itself answers.
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) {
      return Standard() != nullptr ? Standard()->get_accRole(child, role) : Gone();
    }
    return FromState(role, [](const ViewerState& /*state*/, VARIANT& answer) {
      answer.vt = VT_I4;
      answer.lVal = ROLE_SYSTEM_DOCUMENT;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) {
      return Standard() != nullptr ? Standard()->get_accName(child, name) : Gone();
    }
    return FromState(name, [](const ViewerState& state, BSTR& answer) {
      return Text(answer, PageLabel(state));
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!IsSelf(child)) {
      return Standard() != nullptr ? Standard()->get_accValue(child, value) : Gone();
    }
    return FromState(value, [](const ViewerState& state, BSTR& answer) {
      const DocumentModel::ShownPage page = state.model.Page(state.currentPage);
      return Text(answer, page.document != nullptr ? page.document->PageText(page.index) : "");
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* result) override {
    if (Standard() == nullptr) {
      return Gone();
    }
    const HRESULT status = Standard()->get_accState(child, result);
    if (SUCCEEDED(status) && IsSelf(child) && result != nullptr && result->vt == VT_I4) {
      result->lVal |= STATE_SYSTEM_READONLY;
    }
    return status;
  }

  // IAccessible: the standard object's answers.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Standard() != nullptr ? Standard()->get_accParent(parent) : Gone();
  }
  // Children: the system's client objects of the panels' controls and the scroll bars, so that
  // each is exposed as in any window (a push button, a list, a scroll bar).
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return FromState(count, [this](const ViewerState& state, long& answer) {
      answer = static_cast<long>(ShownControls(window_, state.parts.pageArea).size());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return FromState(object, [this, &child](const ViewerState& state, IDispatch*& answer) {
      const std::vector<HWND> controls = ShownControls(window_, state.parts.pageArea);
      if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<long>(controls.size())) {
        return E_INVALIDARG;
      }
      return AccessibleObjectFromWindow(controls[static_cast<std::size_t>(child.lVal - 1)],
                                        static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                        reinterpret_cast<void**>(&answer));
    });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Standard() != nullptr ? Standard()->get_accDescription(child, text) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return Standard() != nullptr ? Standard()->get_accHelp(child, text) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return Standard() != nullptr ? Standard()->get_accHelpTopic(file, child, topic) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return Standard() != nullptr ? Standard()->get_accKeyboardShortcut(child, text) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return Standard() != nullptr ? Standard()->get_accFocus(child) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return Standard() != nullptr ? Standard()->get_accSelection(children) : Gone();
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    return Standard() != nullptr ? Standard()->get_accDefaultAction(child, text) : Gone();
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return Standard() != nullptr ? Standard()->accSelect(flags, child) : Gone();
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return Standard() != nullptr ? Standard()->accLocation(left, top, width, height, child)
                                 : Gone();
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return Standard() != nullptr ? Standard()->accNavigate(direction, start, end) : Gone();
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return Standard() != nullptr ? Standard()->accHitTest(x, y, child) : Gone();
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Standard() != nullptr ? Standard()->accDoDefaultAction(child) : Gone();
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT /*child*/, BSTR /*name*/) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT /*child*/, BSTR /*value*/) override {
    return E_NOTIMPL;  // the page text is read-only
  }

 private:
  static HRESULT Gone() { return RPC_E_DISCONNECTED; }

  [[nodiscard]] IAccessible* Standard() const {
    return window_ != nullptr ? standard_.Get() : nullptr;
  }
  [[nodiscard]] const ViewerState* State() const {
    return window_ != nullptr ? StateOf(window_) : nullptr;
  }

  // Gives what `answer` makes of the window's state: E_POINTER without a place for it, the
  // disconnected object's error once the window is gone, E_OUTOFMEMORY when it throws (nothing may
  // leave a COM method).
  template <typename Out, typename Answer>
  HRESULT FromState(Out* out, Answer answer) const {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = Out{};
    const ViewerState* state = State();
    if (state == nullptr) {
      return Gone();
    }
    try {
      return answer(*state, *out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  static HRESULT Text(BSTR& answer, std::string_view utf8) {
    answer = Utf8String(utf8);
    return answer != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  std::atomic<ULONG> references_{1};
  HWND window_;
  ComRef<IAccessible> standard_;
};

AccessibleLink::~AccessibleLink() {
  if (object_ != nullptr) {
    object_->Detach();
    CoDisconnectObject(object_, 0);
    object_->Release();
  }
  if (apartment_) {
    CoUninitialize();
  }
}

ViewerAccessible* AccessibleLink::ObjectFor(HWND window) {
  if (object_ != nullptr) {
    return object_;
  }
  // Handing an object to another process needs the thread in a COM apartment; a host that
  // entered one already keeps it (RPC_E_CHANGED_MODE: a multithreaded one, which serves as well).
  if (!apartment_) {
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(entered) && entered != RPC_E_CHANGED_MODE) {
      return nullptr;
    }
    apartment_ = SUCCEEDED(entered);
  }
  auto made = std::make_unique<ViewerAccessible>(window);
  if (!made->Ready()) {
    return nullptr;
  }
  object_ = made.release();
  return object_;
}

LRESULT AnswerGetObject(ViewerState& state, WPARAM flags, LPARAM objectId) {
  if (static_cast<LONG>(static_cast<DWORD>(objectId)) != OBJID_CLIENT) {
    return 0;
  }
  ViewerAccessible* object = state.accessible.ObjectFor(state.window);
  return object != nullptr ? LresultFromObject(__uuidof(IAccessible), flags, object) : 0;
}

void AnnouncePage(ViewerState& state) {
  AccessibleLink& link = state.accessible;
  const auto count = static_cast<int>(state.sheets.size());
  if (link.announcedPage == state.currentPage && link.announcedCount == count) {
    return;
  }
  link.announcedPage = state.currentPage;
  link.announcedCount = count;
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, state.window, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, state.window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace lvx::standin
