// Observes the modal message boxes shown on the current thread while it lives: records each box's
// caption and text, then closes the box with its OK (or Cancel) button, so that a test can call an
// operation that shows a box without blocking. Uses a thread-local WH_CBT hook.
#ifndef LUMIVEX_TESTS_MESSAGE_BOX_WATCHER_H
#define LUMIVEX_TESTS_MESSAGE_BOX_WATCHER_H

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lvx::test {

struct ObservedBox {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  bool hasIcon = false;
};

class MessageBoxWatcher {
 public:
  // `inspect`, when given, sees each box as it is shown, laid out and still open.
  explicit MessageBoxWatcher(std::function<void(HWND box)> inspect = nullptr);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher(MessageBoxWatcher&&) = delete;
  MessageBoxWatcher& operator=(MessageBoxWatcher&&) = delete;

  [[nodiscard]] const std::vector<ObservedBox>& Boxes() const { return boxes_; }

 private:
  // Makes `watcher` the thread's watcher, then hooks the thread's window activations.
  static HHOOK Install(MessageBoxWatcher* watcher);
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

  HHOOK hook_ = nullptr;
  std::function<void(HWND)> inspect_;
  std::vector<ObservedBox> boxes_;
};

// True when `window` is a message box (a dialog with the message text control and at most a few
// buttons), not some other dialog.
bool IsMessageBox(HWND window);

}  // namespace lvx::test

#endif
