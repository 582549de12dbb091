// The stand-in's record of what its windows received (see standin_api.h).
#ifndef LUMIVEX_STANDIN_MESSAGE_LOG_H
#define LUMIVEX_STANDIN_MESSAGE_LOG_H

#include <cstdint>
#include <string_view>

#include "standin_api.h"

namespace lvx::standin {

// Record one entry. Logging never fails the caller: an entry that cannot be had for want of
// memory is left out, and the message is handled all the same.
void LogMessage(std::uint32_t message, std::int32_t code, std::int32_t argument,
                const char* text) noexcept;
void LogEvent(LvxStandinEntryKind kind) noexcept;
// Records that handling window message `message` (its wParam `code`) ended in an exception:
// call it from inside a catch block. The entry's text is the exception's what(), or says that
// it was not a standard exception.
void LogCaughtException(std::uint32_t message, std::int32_t code) noexcept;
// Writes the unload marker to the log file (the in-memory log goes with the library).
void LogDetach();

}  // namespace lvx::standin

#endif
