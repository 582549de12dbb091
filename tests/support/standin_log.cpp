#include "standin_log.h"

#include <windows.h>

#include "viewer_protocol.h"

namespace lvx::test {
namespace {

template <typename Function>
Function Export(const char* name) {
  const HMODULE standin = GetModuleHandleA("Lumivex01.dll");
  if (standin == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(standin, name)));
}

}  // namespace

std::vector<LvxStandinEntry> StandinEntries() {
  std::vector<LvxStandinEntry> entries;
  const auto count = Export<std::int32_t (*)()>("LvxStandinLogCount");
  const auto entry = Export<std::int32_t (*)(std::int32_t, LvxStandinEntry*)>("LvxStandinLogEntry");
  if (count == nullptr || entry == nullptr) {
    return entries;
  }
  const std::int32_t n = count();
  for (std::int32_t i = 0; i < n; ++i) {
    LvxStandinEntry item{};
    if (entry(i, &item) != 0) {
      entries.push_back(item);
    }
  }
  return entries;
}

std::vector<LoggedMessage> StandinMessages() {
  std::vector<LoggedMessage> messages;
  for (const LvxStandinEntry& entry : StandinEntries()) {
    if (entry.kind == LVX_STANDIN_MESSAGE) {
      messages.push_back({entry.message, entry.code, entry.argument,
                          entry.hasText != 0 ? std::string(entry.text) : std::string()});
    }
  }
  return messages;
}

void PrintTo(const LoggedMessage& message, std::ostream* out) {
  if (message.message == WM_VIEWER_STRCOMMAND) {
    *out << "(WM_VIEWER_STRCOMMAND, " << message.code << ", \"" << message.text << "\")";
  } else if (message.message == WM_VIEWER_COMMAND) {
    *out << "(WM_VIEWER_COMMAND, " << message.code << ", " << message.argument << ")";
  } else {
    *out << "(message " << message.message << ", " << message.code << ", " << message.argument
         << ", \"" << message.text << "\")";
  }
}

void ClearStandinLog() {
  if (const auto clear = Export<void (*)()>("LvxStandinLogClear"); clear != nullptr) {
    clear();
  }
}

}  // namespace lvx::test
