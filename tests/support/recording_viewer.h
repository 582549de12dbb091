// A viewer window of the test process that records every protocol message it receives and
// answers from a script, so that a test can state the exact message sequence an operation sends
// as a table of (message, code, argument or string).
//
//   RecordingViewer viewer(host.Window());
//   viewer.SetPages({"0123456789", "", "abcde"});   // 201, 260 and 261 answer from these
//   viewer.Answer(101, {-1});                        // the next code 101 answers -1
//   object.HWINDOW = viewer.Handle();
//   ... call an operation ...
//   EXPECT_EQ(viewer.Calls(), (Calls{Command(201, 0), Command(260, 0), ...}));
#ifndef LUMIVEX_TESTS_RECORDING_VIEWER_H
#define LUMIVEX_TESTS_RECORDING_VIEWER_H

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace lvx::test {

// The two protocol messages, written out here rather than taken from the wrapper's table, so that
// a wrong entry there shows up as a difference.
inline constexpr std::uint32_t kCommandMessage = 0x0400 + 79;
inline constexpr std::uint32_t kStringMessage = 0x0400 + 77;
inline constexpr std::int32_t kPageTextCode = 261;

// One message as the viewer received it. String commands carry their string in `text` (compared
// by text, not by address); code 261 records `argument` as 1 when a buffer came and 0 for a null
// address; other commands record lParam.
struct ViewerCall {
  std::uint32_t message = 0;
  std::int32_t code = 0;
  std::int32_t argument = 0;
  std::string text;
  // Code 261 only: whether the buffer arrived zero-filled over the measured length and its NUL
  // (not part of the comparison).
  bool zeroFilled = true;

  friend bool operator==(const ViewerCall& a, const ViewerCall& b) {
    return a.message == b.message && a.code == b.code &&
           (a.message == kStringMessage ? a.text == b.text : a.argument == b.argument);
  }
};
using Calls = std::vector<ViewerCall>;

// Table entries.
inline ViewerCall Command(std::int32_t code, std::int32_t argument) {
  return {kCommandMessage, code, argument, {}, true};
}
inline ViewerCall String(std::int32_t code, std::string text) {
  return {kStringMessage, code, 0, std::move(text), true};
}
inline ViewerCall PageTextIntoBuffer() { return {kCommandMessage, kPageTextCode, 1, {}, true}; }

void PrintTo(const ViewerCall& call, std::ostream* out);

class RecordingViewer {
 public:
  // A child of `parent` (so that its top-level window is `parent`), or a hidden top-level window
  // when `parent` is null.
  explicit RecordingViewer(HWND parent = nullptr);
  ~RecordingViewer();
  RecordingViewer(const RecordingViewer&) = delete;
  RecordingViewer& operator=(const RecordingViewer&) = delete;
  RecordingViewer(RecordingViewer&&) = delete;
  RecordingViewer& operator=(RecordingViewer&&) = delete;

  [[nodiscard]] HWND Window() const { return window_; }
  // The handle as the wrapper's HWINDOW field holds it.
  [[nodiscard]] std::int32_t Handle() const;

  [[nodiscard]] const Calls& Received() const { return calls_; }
  void Forget() { calls_.clear(); }

  // Results for the next messages with `code`, used in order before any other answer.
  void Answer(std::int32_t code, std::vector<std::int32_t> results);
  // The document: 201 answers the page count, 260 with index i answers the length of page i
  // (and -1 for an index outside the document) and selects that page, 261 writes the selected
  // page's text and a NUL into the buffer. Every other code answers 0 unless scripted.
  void SetPages(std::vector<std::string> pages);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  std::int32_t Receive(UINT message, std::int32_t code, LPARAM argument);

  HWND window_ = nullptr;
  Calls calls_;
  std::map<std::int32_t, std::deque<std::int32_t>> answers_;
  std::vector<std::string> pages_;
  std::int32_t measured_ = -1;       // page selected by the last 260, -1 for none
  std::int32_t measuredLength_ = 0;  // the length 260 answered for it
};

}  // namespace lvx::test

#endif
