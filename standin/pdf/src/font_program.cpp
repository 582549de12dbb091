#include "font_program.h"

#include <algorithm>

#include "file.h"

namespace lvx::pdf {

namespace {

bool CffOutlines(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 4 && bytes[0] == 'O' && bytes[1] == 'T' && bytes[2] == 'T' &&
         bytes[3] == 'O';
}

}  // namespace

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

std::optional<OutlineProgramBytes> OutlineProgram(PdfFile& file, const Dict& descriptor) {
  OutlineProgramBytes program;
  const Object type1 = file.Get(descriptor, "FontFile");
  if (const Stream* stream = type1.AsStream()) {
    program.bytes = file.Decode(*stream, kMaxProgramBytes);
    return program;
  }
  const Object other = file.Get(descriptor, "FontFile3");
  const Stream* stream = other.AsStream();
  if (stream == nullptr) {
    return std::nullopt;
  }
  const Object subtype = file.Get(stream->dict, "Subtype");
  if (subtype.IsName("Type1C") || subtype.IsName("CIDFontType0C")) {
    program.kind = ProgramKind::kCff;
  } else if (subtype.IsName("OpenType")) {
    program.kind = ProgramKind::kOpenTypeCff;
  } else {
    return std::nullopt;
  }
  program.bytes = file.Decode(*stream, kMaxProgramBytes);
  if (program.kind == ProgramKind::kOpenTypeCff && !CffOutlines(program.bytes)) {
    return std::nullopt;  // TrueType outlines: the platform's font loader draws those
  }
  return program;
}

std::array<std::string, 256> DifferenceNames(PdfFile& file, const Object& encoding) {
  std::array<std::string, 256> names;
  std::int64_t code = 0;
  for (const Object& item : file.Get(encoding.AsDict(), "Differences").AsArray()) {
    const Object value = file.Resolve(item);
    if (value.IsNumber()) {
      code = std::clamp<std::int64_t>(value.AsInt(0), -1, 256);
    } else if (value.IsName()) {
      if (code >= 0 && code < 256) {
        names[static_cast<std::size_t>(code)] = value.AsName();
      }
      ++code;
    }
  }
  return names;
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
