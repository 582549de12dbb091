#include "font_program.h"

#include "file.h"

namespace lvx::pdf {

std::vector<std::uint8_t> LoadableProgram(PdfFile& file, const Dict& descriptor) {
  Object program = file.Get(descriptor, "FontFile2");
  if (!program.IsStream()) {
    program = file.Get(descriptor, "FontFile3");
    if (!program.IsStream() || !file.Get(program.AsStream()->dict, "Subtype").IsName("OpenType")) {
      return {};
    }
  }
  return file.Decode(*program.AsStream(), kMaxProgramBytes);
}

std::optional<std::vector<std::uint16_t>> CidToGidMap(PdfFile& file, const Dict& cidFont) {
  const Object map = file.Get(cidFont, "CIDToGIDMap");
  std::vector<std::uint16_t> glyphs;
  if (const Stream* stream = map.AsStream()) {
    const std::vector<std::uint8_t> data = file.Decode(*stream, kMaxCidToGidBytes);
    glyphs.reserve(data.size() / 2);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      glyphs.push_back(static_cast<std::uint16_t>((data[i] << 8U) | data[i + 1]));
    }
  } else if (!map.IsNull() && !map.IsName("Identity")) {
    return std::nullopt;
  }
  return glyphs;
}

}  // namespace lvx::pdf
