// A plain Win32 host window for wrapper tests: a top-level window holding a label (id 5) and the
// placeholder control (id 27) at 10, 20 with size 300 x 200, and a host adapter over it that
// records which services INIT used, in order.
#ifndef LUMIVEX_TESTS_TEST_HOST_WINDOW_H
#define LUMIVEX_TESTS_TEST_HOST_WINDOW_H

#include <windows.h>

#include <string>
#include <vector>

#include "lumivexctl/win32_host.h"

namespace lvx::test {

inline constexpr int kPlaceholderId = 27;
inline constexpr int kLabelId = 5;
inline constexpr RECT kPlaceholderRect{10, 20, 310, 220};

// A top-level window of the tests' plain host class (button-face background, no behaviour of its
// own), not yet shown; null when it cannot be made.
HWND CreatePlainHostWindow(const char* title, int x, int y, int width, int height);

class TestHostWindow {
 public:
  TestHostWindow();
  ~TestHostWindow();
  TestHostWindow(const TestHostWindow&) = delete;
  TestHostWindow& operator=(const TestHostWindow&) = delete;
  TestHostWindow(TestHostWindow&&) = delete;
  TestHostWindow& operator=(TestHostWindow&&) = delete;

  [[nodiscard]] HWND Window() const { return window_; }
  [[nodiscard]] HWND Placeholder() const { return GetDlgItem(window_, kPlaceholderId); }
  [[nodiscard]] HWND Label() const { return GetDlgItem(window_, kLabelId); }

 private:
  HWND window_ = nullptr;
};

// The plain Win32 adapter behind a class that tests derive from to change one service; every
// service it does not change goes to LvxWin32Host.
class ForwardingHost : public LvxHostWindow {
 public:
  void SetPixelUnits(std::uint8_t on) noexcept override { inner_.SetPixelUnits(on); }
  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override {
    inner_.ControlPosition(control, x, y, width, height);
  }
  std::int32_t ClientWindow() noexcept override { return inner_.ClientWindow(); }
  LvxAddressValue InstanceHandle() noexcept override { return inner_.InstanceHandle(); }
  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override {
    return inner_.SetControlWindow(control, window);
  }
  std::int32_t ControlWindow(std::int16_t control) noexcept override {
    return inner_.ControlWindow(control);
  }
  void ShowMessage(const char* text) noexcept override { inner_.ShowMessage(text); }

 protected:
  explicit ForwardingHost(HWND parent) : inner_(parent) {}
  ForwardingHost(const ForwardingHost&) = default;
  ForwardingHost& operator=(const ForwardingHost&) = default;
  ForwardingHost(ForwardingHost&&) = default;
  ForwardingHost& operator=(ForwardingHost&&) = default;
  ~ForwardingHost() = default;

 private:
  LvxWin32Host inner_;
};

// The plain Win32 adapter, with every service call written to a journal ("units 1",
// "position 27", "client", "instance", "adopt 27", "window 27", "message <text>").
// No virtual destructor: the class is final and nothing deletes it through LvxHostWindow, whose
// destructor is protected.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class RecordingHost final : public ForwardingHost {
 public:
  explicit RecordingHost(HWND parent) : ForwardingHost(parent) {}

  void SetPixelUnits(std::uint8_t on) noexcept override;
  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override;
  std::int32_t ClientWindow() noexcept override;
  LvxAddressValue InstanceHandle() noexcept override;
  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override;
  std::int32_t ControlWindow(std::int16_t control) noexcept override;
  void ShowMessage(const char* text) noexcept override;

  [[nodiscard]] const std::vector<std::string>& Journal() const { return journal_; }
  [[nodiscard]] std::vector<std::string> MessagesShown() const;

 private:
  std::vector<std::string> journal_;
};

// Processes the messages waiting on this thread's queue.
void PumpMessages();

// Windows of this thread (top-level ones and all their descendants) of window class `klass`.
int CountThreadWindowsOfClass(const char* klass);

// Sends a message of the tests' own to every top-level window of the display, as a system-wide
// broadcast does, and processes what it leaves queued. A window whose procedure has gone with its
// library crashes the process here.
void BroadcastToTopLevelWindows();

}  // namespace lvx::test

#endif
