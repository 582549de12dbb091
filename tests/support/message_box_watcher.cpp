#include "message_box_watcher.h"

#include <array>
#include <cstring>

namespace lvx::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;
thread_local MessageBoxWatcher* activeWatcher = nullptr;

std::string TextOf(HWND window) {
  std::array<char, 4096> buffer{};
  GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

BOOL CALLBACK CountChild(HWND /*child*/, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

}  // namespace

bool IsMessageBox(HWND window) {
  std::array<char, 16> klass{};
  GetClassNameA(window, klass.data(), static_cast<int>(klass.size()));
  if (std::strcmp(klass.data(), "#32770") != 0 || GetDlgItem(window, kMessageTextId) == nullptr) {
    return false;
  }
  int children = 0;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&children));
  return children <= 6;  // text, icon, up to four buttons
}

MessageBoxWatcher::MessageBoxWatcher(std::function<void(HWND box)> inspect)
    : hook_(Install(this)), inspect_(std::move(inspect)) {}

HHOOK MessageBoxWatcher::Install(MessageBoxWatcher* watcher) {
  activeWatcher = watcher;
  return SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxWatcher::~MessageBoxWatcher() {
  UnhookWindowsHookEx(hook_);
  activeWatcher = nullptr;
}

LRESULT CALLBACK MessageBoxWatcher::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  MessageBoxWatcher* self = activeWatcher;
  if (code == HCBT_ACTIVATE && self != nullptr) {
    auto* const box = reinterpret_cast<HWND>(wParam);
    // The hook also fires when the owner is activated again after the box: only boxes count, and
    // each box once (it may be activated more than once before the posted click arrives).
    if (IsMessageBox(box) && GetPropA(box, "lvx.test.seen") == nullptr) {
      SetPropA(box, "lvx.test.seen", reinterpret_cast<HANDLE>(1));
      ObservedBox seen;
      seen.caption = TextOf(box);
      seen.text = TextOf(GetDlgItem(box, kMessageTextId));
      seen.owner = GetWindow(box, GW_OWNER);
      seen.hasIcon = GetDlgItem(box, kMessageIconId) != nullptr &&
                     IsWindowVisible(GetDlgItem(box, kMessageIconId)) != FALSE;
      self->boxes_.push_back(seen);
      if (self->inspect_) {
        self->inspect_(box);
      }
      const int button = GetDlgItem(box, IDOK) != nullptr ? IDOK : IDCANCEL;
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
  }
  return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wParam, lParam);
}

}  // namespace lvx::test
