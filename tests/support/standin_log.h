// Reads the stand-in viewer's message log through its exported test interface.
#ifndef LUMIVEX_TESTS_STANDIN_LOG_H
#define LUMIVEX_TESTS_STANDIN_LOG_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "standin_api.h"

namespace lvx::test {

struct LoggedMessage {
  std::uint32_t message;
  std::int32_t code;
  std::int32_t argument;
  std::string text;  // empty for number commands
  // A string command's argument is the sender's buffer address: it is compared by its text.
  friend bool operator==(const LoggedMessage& a, const LoggedMessage& b) {
    return a.message == b.message && a.code == b.code && a.text == b.text &&
           (a.message == kStringMessage || a.argument == b.argument);
  }
  static constexpr std::uint32_t kStringMessage = 0x0400 + 77;
};

// Readable test output, for example "(WM_VIEWER_STRCOMMAND, 101, \"C:\\x.pdf\")" or
// "(WM_VIEWER_COMMAND, 50, 31)".
void PrintTo(const LoggedMessage& message, std::ostream* out);

// Every entry in the log of the loaded stand-in (empty when it is not loaded).
std::vector<LvxStandinEntry> StandinEntries();
// The protocol messages only.
std::vector<LoggedMessage> StandinMessages();
void ClearStandinLog();

}  // namespace lvx::test

#endif
