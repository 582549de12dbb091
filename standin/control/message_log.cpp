#include "message_log.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace lvx::standin {
namespace {

// Single UI thread: windows of this class are used on the thread that created them.
std::vector<LvxStandinEntry>& Entries() {
  static std::vector<LvxStandinEntry> entries;
  return entries;
}

const char* KindName(std::int32_t kind) {
  switch (kind) {
    case LVX_STANDIN_CREATED:
      return "create";
    case LVX_STANDIN_DESTROYED:
      return "destroy";
    default:
      return "msg";
  }
}

// Appends one line to the file named by LUMIVEX_STANDIN_LOG, if it is set.
void AppendLine(const std::string& line) {
  char path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("LUMIVEX_STANDIN_LOG", path, sizeof path);
  if (length == 0 || length >= sizeof path) {
    return;
  }
  std::FILE* file = std::fopen(path, "ab");
  if (file == nullptr) {
    return;
  }
  std::fwrite(line.data(), 1, line.size(), file);
  std::fclose(file);
}

void Store(const LvxStandinEntry& entry) {
  Entries().push_back(entry);
  std::string line = std::string(KindName(entry.kind)) + " " + std::to_string(entry.message) + " " +
                     std::to_string(entry.code) + " " + std::to_string(entry.argument);
  if (entry.hasText != 0) {
    line += " ";
    // One entry per line: a line break inside the text is written as a space.
    std::string text(entry.text);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    line += text;
  }
  line += "\n";
  AppendLine(line);
}

void Record(const LvxStandinEntry& entry) noexcept {
  try {
    Store(entry);
  } catch (...) {
    // Out of memory: the entry is lost, not the message it records.
  }
}

}  // namespace

void LogMessage(std::uint32_t message, std::int32_t code, std::int32_t argument,
                const char* text) noexcept {
  LvxStandinEntry entry{};
  entry.kind = LVX_STANDIN_MESSAGE;
  entry.message = message;
  entry.code = code;
  entry.argument = argument;
  if (text != nullptr) {
    const std::size_t length = std::strlen(text);
    const std::size_t kept = std::min(length, sizeof entry.text - 1);
    std::memcpy(entry.text, text, kept);
    entry.text[kept] = '\0';
    entry.hasText = 1;
    entry.textLength = static_cast<std::int32_t>(length);
  }
  Record(entry);
}

void LogEvent(LvxStandinEntryKind kind) noexcept {
  LvxStandinEntry entry{};
  entry.kind = kind;
  Record(entry);
}

void LogDetach() { AppendLine("detach 0 0 0\n"); }

}  // namespace lvx::standin

extern "C" {

LVX_STANDIN_API std::int32_t LvxStandinLogCount() {
  return static_cast<std::int32_t>(lvx::standin::Entries().size());
}

LVX_STANDIN_API std::int32_t LvxStandinLogEntry(std::int32_t index, LvxStandinEntry* entry) {
  const auto& entries = lvx::standin::Entries();
  if (entry == nullptr || index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
    return 0;
  }
  *entry = entries[static_cast<std::size_t>(index)];
  return 1;
}

LVX_STANDIN_API void LvxStandinLogClear() { lvx::standin::Entries().clear(); }
}
