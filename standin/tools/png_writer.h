// Writes 8-bit RGB pictures as PNG files (zlib, no other library).
#ifndef LUMIVEX_STANDIN_PNG_WRITER_H
#define LUMIVEX_STANDIN_PNG_WRITER_H

#include <cstdint>
#include <span>
#include <string>

namespace lvx::standin {

// `rgb` holds `height` rows of `width` pixels of 3 bytes, from the top. Answers false when the
// file cannot be written.
bool WritePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb);

}  // namespace lvx::standin

#endif
