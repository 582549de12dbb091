// Writes pictures as 8-bit PNG files (zlib, no other library): grey when every pixel is grey,
// RGB otherwise. Streaming: the rows are converted and compressed one at a time, so that no copy
// of the whole picture is made.
#ifndef LUMIVEX_STANDIN_PNG_WRITER_H
#define LUMIVEX_STANDIN_PNG_WRITER_H

#include <cstdint>
#include <span>
#include <string>

namespace lvx::standin {

// `pixels` holds `height` rows of `width` values 0x00RRGGBB, from the top (the layout of a 32-bit
// top-down DIB read as 32-bit values; the top byte is ignored). Answers false when the sizes do not
// fit the pixels or the file cannot be written.
bool WritePng(const std::string& path, int width, int height,
              std::span<const std::uint32_t> pixels);

}  // namespace lvx::standin

#endif
