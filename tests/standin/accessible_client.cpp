// An accessibility client in a process of its own, as a screen reader is: it asks the viewer
// window for its client object (AccessibleObjectFromWindow), prints its role, name, value and
// state and every descendant's role and name, then presses End on the page area as a user would,
// waits for the object's value-change event and prints name and value again from the same
// object. Text is written as UTF-8; line breaks of values as " | ".
//   accessible_client VIEWER-WINDOW OUT-FILE      (the window handle in decimal)
// Exit status: 0 when it read everything, 1 on usage, 2 when no object, 3 when no event came.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPageAreaId = 1006;
constexpr DWORD kEventWaitMs = 5000;

HWND watched = nullptr;
bool valueChanged = false;

void CALLBACK OnEvent(HWINEVENTHOOK /*hook*/, DWORD event, HWND window, LONG object, LONG child,
                      DWORD /*thread*/, DWORD /*time*/) {
  if (event == EVENT_OBJECT_VALUECHANGE && window == watched && object == OBJID_CLIENT &&
      child == CHILDID_SELF) {
    valueChanged = true;
  }
}

template <typename T>
struct Releaser {
  void operator()(T* object) const { object->Release(); }
};
template <typename T>
using ComPointer = std::unique_ptr<T, Releaser<T>>;

struct VariantOwner {
  VARIANT value{};
  VariantOwner() { VariantInit(&value); }
  ~VariantOwner() { VariantClear(&value); }
  VariantOwner(const VariantOwner&) = delete;
  VariantOwner& operator=(const VariantOwner&) = delete;
  VariantOwner(VariantOwner&&) = delete;
  VariantOwner& operator=(VariantOwner&&) = delete;
};

std::string Utf8(BSTR text) {
  if (text == nullptr) {
    return "(none)";
  }
  const int length = static_cast<int>(SysStringLen(text));
  std::string out(static_cast<std::size_t>(length) * 3, '\0');
  const int written = WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(),
                                          static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  std::string shown;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
      shown += " | ";
      ++i;
    } else {
      shown += out[i];
    }
  }
  return shown;
}

using Reader = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

std::string Text(IAccessible* object, Reader read, LONG child = CHILDID_SELF) {
  VARIANT which{};
  which.vt = VT_I4;
  which.lVal = child;
  BSTR text = nullptr;
  const HRESULT status = (object->*read)(which, &text);
  std::string shown = status == S_OK ? Utf8(text) : "(none)";
  SysFreeString(text);
  return shown;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT, VARIANT*),
            LONG child = CHILDID_SELF) {
  VARIANT which{};
  which.vt = VT_I4;
  which.lVal = child;
  VariantOwner result;
  return (object->*read)(which, &result.value) == S_OK && result.value.vt == VT_I4
             ? result.value.lVal
             : -1;
}

void PrintSelf(std::FILE* out, IAccessible* object) {
  std::fprintf(out, "name %s\n", Text(object, &IAccessible::get_accName).c_str());
  std::fprintf(out, "value %s\n", Text(object, &IAccessible::get_accValue).c_str());
}

// Every descendant: its depth, role and name.
void PrintChildren(std::FILE* out, IAccessible* object, int depth) {
  long count = 0;
  if (depth > 4 || object->get_accChildCount(&count) != S_OK || count <= 0) {
    return;
  }
  std::vector<VARIANT> children(static_cast<std::size_t>(count));
  long obtained = 0;
  if (FAILED(AccessibleChildren(object, 0, count, children.data(), &obtained))) {
    return;
  }
  for (long i = 0; i < obtained; ++i) {
    VARIANT& child = children[static_cast<std::size_t>(i)];
    if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
      IAccessible* inner = nullptr;
      if (SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&inner)))) {
        const ComPointer<IAccessible> owned(inner);
        std::fprintf(out, "child %d %ld %s\n", depth, Number(inner, &IAccessible::get_accRole),
                     Text(inner, &IAccessible::get_accName).c_str());
        PrintChildren(out, inner, depth + 1);
      }
    } else if (child.vt == VT_I4) {
      std::fprintf(out, "child %d %ld %s\n", depth,
                   Number(object, &IAccessible::get_accRole, child.lVal),
                   Text(object, &IAccessible::get_accName, child.lVal).c_str());
    }
    VariantClear(&child);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: accessible_client VIEWER-WINDOW OUT-FILE\n");
    return 1;
  }
  watched = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[1], nullptr, 10)));
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(argv[2], "wb"),
                                                            &std::fclose);
  if (out == nullptr || CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) != S_OK) {
    return 1;
  }
  int status = 0;
  {
    DWORD process = 0;
    GetWindowThreadProcessId(watched, &process);
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE,
                                               nullptr, OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    IAccessible* found = nullptr;
    const HRESULT got =
        AccessibleObjectFromWindow(watched, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&found));
    if (FAILED(got) || found == nullptr) {
      std::fprintf(out.get(), "no object: 0x%08lx\n", static_cast<unsigned long>(got));
      status = 2;
    } else {
      const ComPointer<IAccessible> object(found);
      std::fprintf(out.get(), "role %ld\n", Number(object.get(), &IAccessible::get_accRole));
      PrintSelf(out.get(), object.get());
      std::fprintf(out.get(), "state 0x%lx\n", Number(object.get(), &IAccessible::get_accState));
      PrintChildren(out.get(), object.get(), 1);

      PostMessageA(GetDlgItem(watched, kPageAreaId), WM_KEYDOWN, VK_END, 1);
      const DWORD start = GetTickCount();
      while (!valueChanged && GetTickCount() - start < kEventWaitMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
          DispatchMessageA(&message);
        }
      }
      std::fprintf(out.get(), "event %s\n", valueChanged ? "valuechange" : "none");
      PrintSelf(out.get(), object.get());
      status = valueChanged ? 0 : 3;
    }
    if (hook != nullptr) {
      UnhookWinEvent(hook);
    }
  }
  CoUninitialize();
  return status;
}
