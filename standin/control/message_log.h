// The stand-in's record of what its windows received (see standin_api.h).
#ifndef LUMIVEX_STANDIN_MESSAGE_LOG_H
#define LUMIVEX_STANDIN_MESSAGE_LOG_H

#include <cstdint>
#include <string_view>

#include "standin_api.h"

namespace lvx::standin {

void LogMessage(std::uint32_t message, std::int32_t code, std::int32_t argument, const char* text);
void LogEvent(LvxStandinEntryKind kind);
// Writes the unload marker to the log file (the in-memory log goes with the library).
void LogDetach();

}  // namespace lvx::standin

#endif
