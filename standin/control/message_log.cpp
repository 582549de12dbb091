#include "message_log.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

namespace lvx::standin {
namespace {

// The entries kept: the last kLogEntries, in a ring in static storage, so that recording one
// never allocates (a failure caught for want of memory is recorded too). Single UI thread:
// windows of this class are used on the thread that created them.
constexpr std::size_t kLogEntries = 4096;

class EntryRing {
 public:
  void Add(const LvxStandinEntry& entry) {
    entries_[(first_ + kept_) % kLogEntries] = entry;
    if (kept_ < kLogEntries) {
      ++kept_;
    } else {
      first_ = (first_ + 1) % kLogEntries;
      ++dropped_;
    }
  }
  // Readable entries: a dropped-entries marker first when there were any, then the kept ones.
  [[nodiscard]] std::size_t Count() const { return kept_ + (dropped_ > 0 ? 1 : 0); }
  [[nodiscard]] bool Read(std::size_t index, LvxStandinEntry& entry) const {
    if (dropped_ > 0) {
      if (index == 0) {
        entry = {};
        entry.kind = LVX_STANDIN_DROPPED;
        entry.code = static_cast<std::int32_t>(
            std::min<std::uint64_t>(dropped_, std::numeric_limits<std::int32_t>::max()));
        return true;
      }
      --index;
    }
    if (index >= kept_) {
      return false;
    }
    entry = entries_[(first_ + index) % kLogEntries];
    return true;
  }
  void Clear() { first_ = kept_ = dropped_ = 0; }

 private:
  std::array<LvxStandinEntry, kLogEntries> entries_{};
  std::size_t first_ = 0;
  std::size_t kept_ = 0;
  std::uint64_t dropped_ = 0;
};

EntryRing& Entries() {
  static EntryRing entries;
  return entries;
}

const char* KindName(std::int32_t kind) {
  switch (kind) {
    case LVX_STANDIN_CREATED:
      return "create";
    case LVX_STANDIN_DESTROYED:
      return "destroy";
    case LVX_STANDIN_FAULT:
      return "fault";
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

void WriteLine(const LvxStandinEntry& entry) {
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
  Entries().Add(entry);
  try {
    WriteLine(entry);
  } catch (...) {
    // Out of memory: the file misses the line; the message is handled all the same.
  }
}

// `text` into the entry, cut to its field; the full length kept.
void SetText(LvxStandinEntry& entry, const char* text) {
  const std::size_t length = std::strlen(text);
  const std::size_t kept = std::min(length, sizeof entry.text - 1);
  std::memcpy(entry.text, text, kept);
  entry.text[kept] = '\0';
  entry.hasText = 1;
  entry.textLength = static_cast<std::int32_t>(
      std::min<std::size_t>(length, std::numeric_limits<std::int32_t>::max()));
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
    SetText(entry, text);
  }
  Record(entry);
}

void LogCaughtException(std::uint32_t message, std::int32_t code) noexcept {
  LvxStandinEntry entry{};
  entry.kind = LVX_STANDIN_FAULT;
  entry.message = message;
  entry.code = code;
  try {
    throw;
  } catch (const std::exception& caught) {
    SetText(entry, caught.what());
  } catch (...) {
    SetText(entry, "an exception that is not a std::exception");
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
  return static_cast<std::int32_t>(lvx::standin::Entries().Count());
}

LVX_STANDIN_API std::int32_t LvxStandinLogEntry(std::int32_t index, LvxStandinEntry* entry) {
  if (entry == nullptr || index < 0) {
    return 0;
  }
  return lvx::standin::Entries().Read(static_cast<std::size_t>(index), *entry) ? 1 : 0;
}

LVX_STANDIN_API void LvxStandinLogClear() { lvx::standin::Entries().Clear(); }
}
