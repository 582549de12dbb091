#include "recording_viewer.h"

#include <algorithm>
#include <cstring>

namespace lvx::test {
namespace {

constexpr const char* kClassName = "LvxRecordingViewer";
constexpr std::size_t kLongestRecordedString = 65536;

void RegisterViewerClass(WNDPROC procedure) {
  static const ATOM atom = [procedure] {
    WNDCLASSA klass{};
    klass.lpfnWndProc = procedure;
    klass.hInstance = GetModuleHandleA(nullptr);
    klass.lpszClassName = kClassName;
    return RegisterClassA(&klass);
  }();
  (void)atom;
}

}  // namespace

void PrintTo(const ViewerCall& call, std::ostream* out) {
  if (call.message == kStringMessage) {
    *out << "(string, " << call.code << ", \"" << call.text << "\")";
  } else if (call.message == kCommandMessage && call.code == kPageTextCode) {
    *out << "(command, 261, " << (call.argument != 0 ? "buffer" : "null") << ")";
  } else if (call.message == kCommandMessage) {
    *out << "(command, " << call.code << ", " << call.argument << ")";
  } else {
    *out << "(message " << call.message << ", " << call.code << ", " << call.argument << ")";
  }
}

RecordingViewer::RecordingViewer(HWND parent) {
  RegisterViewerClass(Procedure);
  const DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_POPUP;
  window_ = CreateWindowExA(0, kClassName, "", style, 0, 0, 100, 80, parent, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

RecordingViewer::~RecordingViewer() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

std::int32_t RecordingViewer::Handle() const {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window_));
}

void RecordingViewer::Answer(std::int32_t code, std::vector<std::int32_t> results) {
  std::deque<std::int32_t>& queue = answers_[code];
  queue.insert(queue.end(), results.begin(), results.end());
}

void RecordingViewer::SetPages(std::vector<std::string> pages) { pages_ = std::move(pages); }

LRESULT CALLBACK RecordingViewer::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* self = reinterpret_cast<RecordingViewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && (message == kCommandMessage || message == kStringMessage)) {
    return self->Receive(message, static_cast<std::int32_t>(wParam), lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::int32_t RecordingViewer::Receive(UINT message, std::int32_t code, LPARAM argument) {
  ViewerCall call{message, code, static_cast<std::int32_t>(argument), {}, true};
  if (message == kStringMessage && argument != 0) {
    const char* text = reinterpret_cast<const char*>(argument);
    call.text.assign(text, strnlen(text, kLongestRecordedString));
  }
  auto* buffer = reinterpret_cast<char*>(argument);
  const bool pageText = message == kCommandMessage && code == kPageTextCode;
  if (pageText) {
    call.argument = buffer != nullptr ? 1 : 0;
    if (buffer != nullptr && measuredLength_ >= 0) {
      const auto size = static_cast<std::size_t>(measuredLength_) + 1;
      call.zeroFilled = std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
    }
  }
  calls_.push_back(call);

  std::deque<std::int32_t>& queue = answers_[code];
  std::int32_t result = 0;
  const bool scripted = !queue.empty();
  if (scripted) {
    result = queue.front();
    queue.pop_front();
  }
  if (message != kCommandMessage) {
    return result;
  }
  const auto pages = static_cast<std::int32_t>(pages_.size());
  switch (code) {
    case 201:
      return scripted ? result : pages;
    case 260: {
      const auto index = static_cast<std::int32_t>(argument);
      measured_ = index >= 0 && index < pages ? index : -1;
      const std::int32_t length =
          measured_ >= 0
              ? static_cast<std::int32_t>(pages_[static_cast<std::size_t>(measured_)].size())
              : -1;
      measuredLength_ = scripted ? result : length;
      return measuredLength_;
    }
    case kPageTextCode:
      // Never more than the measured length: a scripted 260 answer is what the buffer holds.
      if (buffer != nullptr && measured_ >= 0 && measuredLength_ >= 0) {
        const std::string& text = pages_[static_cast<std::size_t>(measured_)];
        const std::size_t count = std::min(text.size(), static_cast<std::size_t>(measuredLength_));
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
      }
      return result;
    default:
      return result;
  }
}

}  // namespace lvx::test
