#include "graphics_sfnt.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "encodings.h"

namespace lvx::pdf {
namespace {

constexpr std::uint32_t kTrueTypeVersion = 0x00010000;
constexpr std::uint32_t kOpenTypeCff = 0x4F54544F;    // "OTTO"
constexpr std::uint32_t kAppleTrueType = 0x74727565;  // "true"
constexpr std::size_t kMaxTables = 64;

// Offsets come from the file: `at` may be anything up to SIZE_MAX, so the checks subtract from
// the size rather than add to the offset (which wraps in a 32-bit process).
std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return at < d.size() && d.size() - at >= 2 ? static_cast<std::uint16_t>((d[at] << 8U) | d[at + 1])
                                             : 0;
}
std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return at < d.size() && d.size() - at >= 4 ? (std::uint32_t{U16(d, at)} << 16U) | U16(d, at + 2)
                                             : 0;
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8U));
  out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v >> 16U);
  Put16(out, v & 0xFFFFU);
}

// A format 4 character map: segments of codes, each reaching its glyphs by a delta or through
// an array of glyph ids.
struct Format4Map {
  Format4Map(std::span<const std::uint8_t> table, std::size_t at)
      : cmap(table),
        segments(U16(table, at + 6) / 2),
        ends(at + 14),
        starts(ends + 2 * segments + 2),
        deltas(starts + 2 * segments),
        ranges(deltas + 2 * segments) {}
  [[nodiscard]] std::uint16_t Start(std::size_t s) const { return U16(cmap, starts + 2 * s); }
  [[nodiscard]] std::uint16_t End(std::size_t s) const { return U16(cmap, ends + 2 * s); }
  // The glyph of `code`, which lies in segment `s`; -1 where the glyph array has none.
  [[nodiscard]] std::int32_t Glyph(std::size_t s, std::uint32_t code) const {
    const std::uint16_t delta = U16(cmap, deltas + 2 * s);
    const std::uint16_t range = U16(cmap, ranges + 2 * s);
    if (range == 0) {
      return static_cast<std::uint16_t>(code + delta);
    }
    const std::uint16_t glyph = U16(cmap, ranges + 2 * s + range + 2 * (code - Start(s)));
    return glyph == 0 ? -1 : static_cast<std::uint16_t>(glyph + delta);
  }

  std::span<const std::uint8_t> cmap;
  std::size_t segments;
  std::size_t ends;
  std::size_t starts;
  std::size_t deltas;
  std::size_t ranges;
};

std::vector<std::uint8_t> NameTable(const std::string& family) {
  // Family, subfamily, full name and PostScript name, Windows Unicode English.
  const std::pair<int, std::string> names[] = {
      {1, family}, {2, "Regular"}, {4, family}, {6, family}};
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 4);
  Put16(out, 6 + 4 * 12);
  std::vector<std::uint8_t> strings;
  for (const auto& [id, text] : names) {
    Put16(out, 3);
    Put16(out, 1);
    Put16(out, 0x409);
    Put16(out, static_cast<std::uint32_t>(id));
    Put16(out, static_cast<std::uint32_t>(text.size() * 2));
    Put16(out, static_cast<std::uint32_t>(strings.size()));
    for (const char c : text) {
      Put16(strings, static_cast<std::uint8_t>(c));
    }
  }
  out.insert(out.end(), strings.begin(), strings.end());
  return out;
}

// An OS/2 table whose vertical metrics come from the font's own head and hhea tables: a loader
// sizes its glyph bitmaps by them, and metrics smaller than the glyphs make it write past them.
std::vector<std::uint8_t> Os2Table(int ascent, int descent) {
  std::vector<std::uint8_t> out;
  Put16(out, 1);    // version
  Put16(out, 500);  // xAvgCharWidth
  Put16(out, 400);  // usWeightClass
  Put16(out, 5);    // usWidthClass
  Put16(out, 0);    // fsType: installable
  for (int i = 0; i < 10; ++i) {
    Put16(out, 0);  // subscript, superscript, strikeout sizes and positions
  }
  Put16(out, 0);                 // sFamilyClass
  out.insert(out.end(), 10, 0);  // panose
  Put32(out, 1);                 // ulUnicodeRange1: Latin
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  out.insert(out.end(), {'L', 'v', 'x', ' '});
  Put16(out, 0x40);  // fsSelection: regular
  Put16(out, 0x20);  // first and last character
  Put16(out, 0xFFFF);
  Put16(out, static_cast<std::uint32_t>(ascent));  // typographic ascender, descender, gap
  Put16(out, static_cast<std::uint32_t>(-descent) & 0xFFFFU);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(ascent));  // usWinAscent, usWinDescent
  Put16(out, static_cast<std::uint32_t>(descent));
  Put32(out, 1);  // ulCodePageRange1: Latin 1
  Put32(out, 0);
  return out;
}

std::vector<std::uint8_t> PostTable() {
  std::vector<std::uint8_t> out;
  Put32(out, 0x00030000);  // version 3: no glyph names
  out.insert(out.end(), 28, 0);
  return out;
}

std::vector<std::uint8_t> CmapTable() {
  // A Windows Unicode map of format 4 with only its closing segment.
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 3);
  Put16(out, 1);
  Put32(out, 12);
  Put16(out, 4);
  Put16(out, 24);
  Put16(out, 0);
  Put16(out, 2);  // segCountX2
  Put16(out, 2);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, 0xFFFF);  // endCode
  Put16(out, 0);       // reserved
  Put16(out, 0xFFFF);  // startCode
  Put16(out, 1);       // idDelta
  Put16(out, 0);       // idRangeOffset
  return out;
}

std::uint32_t Checksum(const std::vector<std::uint8_t>& data, std::size_t at, std::size_t length) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < length; i += 4) {
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      word = (word << 8U) | (i + k < length ? data[at + i + k] : 0U);
    }
    sum += word;
  }
  return sum;
}

}  // namespace

std::optional<SfntFont> SfntFont::Parse(std::span<const std::uint8_t> data) {
  SfntFont font;
  font.data_ = data;
  font.version_ = U32(data, 0);
  if (font.version_ != kTrueTypeVersion && font.version_ != kOpenTypeCff &&
      font.version_ != kAppleTrueType) {
    return std::nullopt;
  }
  const std::size_t count = U16(data, 4);
  if (count == 0 || count > kMaxTables || 12 + 16 * count > data.size()) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 12 + 16 * i;
    const std::string tag(reinterpret_cast<const char*>(data.data() + entry), 4);
    const std::uint32_t offset = U32(data, entry + 8);
    const std::uint32_t length = U32(data, entry + 12);
    if (offset > data.size() || length > data.size() - offset) {
      continue;  // a table outside the data is left out
    }
    font.tables_[tag] = data.subspan(offset, length);
  }
  if (!font.Has("head") || !font.Has("maxp") || !font.Has("hhea") || !font.Has("hmtx") ||
      (!font.Has("glyf") && !font.Has("CFF "))) {
    return std::nullopt;
  }
  return font;
}

std::span<const std::uint8_t> SfntFont::Table(const char* tag) const {
  const auto found = tables_.find(tag);
  return found == tables_.end() ? std::span<const std::uint8_t>{} : found->second;
}

std::uint16_t SfntFont::GlyphCount() const { return U16(Table("maxp"), 4); }

bool SfntFont::HasCmap(int platform, int encoding) const {
  const auto cmap = Table("cmap");
  const std::size_t count = U16(cmap, 2);
  for (std::size_t i = 0; i < count && 4 + 8 * i + 8 <= cmap.size(); ++i) {
    if (U16(cmap, 4 + 8 * i) == platform && U16(cmap, 6 + 8 * i) == encoding) {
      return true;
    }
  }
  return false;
}

std::int32_t SfntFont::Lookup(int platform, int encoding, std::uint32_t code) const {
  const auto cmap = Table("cmap");
  const std::size_t count = U16(cmap, 2);
  for (std::size_t i = 0; i < count && 4 + 8 * i + 8 <= cmap.size(); ++i) {
    if (U16(cmap, 4 + 8 * i) != platform || U16(cmap, 6 + 8 * i) != encoding) {
      continue;
    }
    const std::size_t at = U32(cmap, 8 + 8 * i);
    if (at >= cmap.size()) {
      continue;  // a subtable outside the table; offsets below stay far from wrapping
    }
    switch (U16(cmap, at)) {
      case 0:
        return code < 256 && at + 6 + code < cmap.size() ? cmap[at + 6 + code] : -1;
      case 4: {
        const Format4Map map(cmap, at);
        for (std::size_t s = 0; s < map.segments; ++s) {
          if (code > map.End(s)) {
            continue;
          }
          return code < map.Start(s) ? -1 : map.Glyph(s, code);
        }
        return -1;
      }
      case 6: {
        const std::uint16_t first = U16(cmap, at + 6);
        const std::uint16_t entries = U16(cmap, at + 8);
        return code >= first && code < std::uint32_t{first} + entries
                   ? U16(cmap, at + 10 + 2 * (code - first))
                   : -1;
      }
      case 12: {
        const std::uint32_t groups = U32(cmap, at + 12);
        for (std::uint32_t g = 0; g < groups && at + 16 + 12 * g + 12 <= cmap.size(); ++g) {
          const std::size_t group = at + 16 + 12 * static_cast<std::size_t>(g);
          if (code >= U32(cmap, group) && code <= U32(cmap, group + 4)) {
            return static_cast<std::int32_t>(U32(cmap, group + 8) + (code - U32(cmap, group)));
          }
        }
        return -1;
      }
      default:
        return -1;
    }
  }
  return -1;
}

std::vector<char32_t> SfntFont::GlyphCharacters() const {
  std::vector<char32_t> characters(GlyphCount(), 0);
  const auto cmap = Table("cmap");
  std::uint32_t steps = 0;
  const auto give = [&](std::uint32_t code, std::uint32_t glyph, bool macRoman) {
    ++steps;
    if (glyph == 0 || glyph >= characters.size() || characters[glyph] != 0) {
      return;
    }
    characters[glyph] =
        macRoman ? BaseEncodingUnicode(BaseEncoding::kMacRoman, static_cast<std::uint8_t>(code))
                 : static_cast<char32_t>(code);
  };
  const std::size_t count = U16(cmap, 2);
  // The maps in order of preference: their platform and encoding.
  for (const auto& [platform, encoding] :
       {std::pair{3, 10}, std::pair{3, 1}, std::pair{0, -1}, std::pair{1, 0}}) {
    for (std::size_t i = 0; i < count && 4 + 8 * i + 8 <= cmap.size(); ++i) {
      if (U16(cmap, 4 + 8 * i) != platform || (encoding >= 0 && U16(cmap, 6 + 8 * i) != encoding)) {
        continue;
      }
      const bool macRoman = platform == 1;
      const std::size_t at = U32(cmap, 8 + 8 * i);
      if (at >= cmap.size()) {
        continue;  // a subtable outside the table; offsets below stay far from wrapping
      }
      switch (U16(cmap, at)) {
        case 0:
          for (std::uint32_t code = 0; code < 256 && at + 6 + code < cmap.size(); ++code) {
            give(code, cmap[at + 6 + code], macRoman);
          }
          break;
        case 4: {
          const Format4Map map(cmap, at);
          for (std::size_t seg = 0; seg < map.segments && steps < kMaxMapSteps; ++seg) {
            for (std::uint32_t code = map.Start(seg);
                 code <= map.End(seg) && code < 0xFFFF && steps < kMaxMapSteps; ++code) {
              const std::int32_t glyph = map.Glyph(seg, code);
              give(code, glyph < 0 ? 0 : static_cast<std::uint32_t>(glyph), macRoman);
            }
          }
          break;
        }
        case 6: {
          const std::uint32_t first = U16(cmap, at + 6);
          const std::uint32_t entries = U16(cmap, at + 8);
          for (std::uint32_t k = 0; k < entries && steps < kMaxMapSteps; ++k) {
            give(first + k, U16(cmap, at + 10 + 2 * k), macRoman);
          }
          break;
        }
        case 12: {
          const std::uint32_t groups = U32(cmap, at + 12);
          for (std::uint32_t g = 0;
               g < groups && at + 16 + 12 * std::size_t{g} + 12 <= cmap.size() &&
               steps < kMaxMapSteps;
               ++g) {
            const std::size_t group = at + 16 + 12 * static_cast<std::size_t>(g);
            const std::uint32_t start = U32(cmap, group);
            const std::uint32_t end = std::min<std::uint32_t>(U32(cmap, group + 4), 0x10FFFF);
            const std::uint32_t glyph = U32(cmap, group + 8);
            for (std::uint32_t code = start;
                 code <= end && glyph + (code - start) < characters.size() && steps < kMaxMapSteps;
                 ++code) {
              give(code, glyph + (code - start), false);
            }
          }
          break;
        }
        default:
          break;
      }
    }
  }
  NameGlyphs(characters, steps);
  return characters;
}

void SfntFont::NameGlyphs(std::vector<char32_t>& characters, std::uint32_t& steps) const {
  // The post table's glyph names (format 2), for glyphs no map reached. Indices below 258 name
  // the standard Macintosh glyphs: 3 to 97 are ASCII from the space on, 98 to 225 the Mac Roman
  // codes 0x80 to 0xFF in order, then 32 more; larger indices name strings of the table.
  static constexpr std::array<char16_t, 32> kMacExtras = {
      0x0141, 0x0142, 0x0160, 0x0161, 0x017D, 0x017E, 0x00A6, 0x00D0, 0x00F0, 0x00DD, 0x00FD,
      0x00DE, 0x00FE, 0x2212, 0x00D7, 0x00B9, 0x00B2, 0x00B3, 0x00BD, 0x00BC, 0x00BE, 0x20A3,
      0x011E, 0x011F, 0x0130, 0x015E, 0x015F, 0x0106, 0x0107, 0x010C, 0x010D, 0x0111};
  const auto post = Table("post");
  if (U32(post, 0) != 0x00020000U) {
    return;
  }
  const std::size_t glyphs = std::min<std::size_t>(U16(post, 32), characters.size());
  // The names' strings, each a length byte and its characters.
  std::vector<std::string_view> names;
  for (std::size_t at = 34 + 2 * std::size_t{U16(post, 32)};
       at < post.size() && names.size() < 0x10000 && steps < kMaxMapSteps; ++steps) {
    const std::size_t length = std::min<std::size_t>(post[at], post.size() - at - 1);
    names.emplace_back(reinterpret_cast<const char*>(post.data() + at + 1), length);
    at += 1 + length;
  }
  for (std::size_t glyph = 1; glyph < glyphs && steps < kMaxMapSteps; ++glyph, ++steps) {
    if (characters[glyph] != 0) {
      continue;
    }
    const std::uint16_t index = U16(post, 34 + 2 * glyph);
    if (index >= 3 && index <= 97) {
      characters[glyph] = static_cast<char32_t>(index + 29);
    } else if (index >= 98 && index <= 225) {
      characters[glyph] = BaseEncodingUnicode(BaseEncoding::kMacRoman,
                                              static_cast<std::uint8_t>(index - 98 + 0x80));
    } else if (index >= 226 && index < 258) {
      characters[glyph] = kMacExtras[index - 226];
    } else if (index >= 258 && index - 258U < names.size()) {
      const std::u32string text = GlyphNameToUnicode(names[index - 258U]);
      characters[glyph] = text.size() == 1 ? text[0] : 0;
    }
  }
}

std::vector<std::uint8_t> SfntFont::Renamed(const std::string& family) const {
  std::map<std::string, std::vector<std::uint8_t>> tables;
  for (const auto& [tag, data] : tables_) {
    // The hinting programs are left out (glyphs are drawn from their outlines alone): a
    // subset's programs can break the platform's rasteriser, which brings the whole process
    // down. Device metrics go too: they describe the whole font, not the subset.
    if (tag != "fpgm" && tag != "prep" && tag != "cvt " && tag != "VDMX" && tag != "hdmx" &&
        tag != "LTSH") {
      tables[tag].assign(data.begin(), data.end());
    }
  }
  tables["name"] = NameTable(family);
  if (!Has("OS/2") || Table("OS/2").size() < 78) {
    // The larger of the line metrics and the glyph box, each way.
    const auto head = Table("head");
    const auto hhea = Table("hhea");
    const auto s16 = [](std::uint16_t v) { return static_cast<int>(static_cast<std::int16_t>(v)); };
    const int ascent = std::clamp(std::max(s16(U16(hhea, 4)), s16(U16(head, 42))), 0, 32767);
    const int descent = std::clamp(std::max(-s16(U16(hhea, 6)), -s16(U16(head, 38))), 0, 32767);
    tables["OS/2"] = Os2Table(ascent, descent);
  }
  if (!Has("post") || Table("post").size() < 32) {
    tables["post"] = PostTable();
  }
  if (!Has("cmap")) {
    tables["cmap"] = CmapTable();
  }
  std::vector<std::uint8_t> out;
  const auto count = static_cast<std::uint32_t>(tables.size());
  std::uint32_t power = 1;
  std::uint32_t log = 0;
  while (power * 2 <= count) {
    power *= 2;
    ++log;
  }
  Put32(out, version_ == kOpenTypeCff ? kOpenTypeCff : kTrueTypeVersion);
  Put16(out, count);
  Put16(out, power * 16);
  Put16(out, log);
  Put16(out, count * 16 - power * 16);
  std::size_t offset = 12 + 16 * tables.size();
  for (const auto& [tag, data] : tables) {  // std::map keeps the tags sorted, as loaders want
    out.insert(out.end(), tag.begin(), tag.end());
    Put32(out, 0);  // checksum, filled in below
    Put32(out, static_cast<std::uint32_t>(offset));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    offset += (data.size() + 3) & ~std::size_t{3};
  }
  std::size_t entry = 12;
  for (const auto& [tag, data] : tables) {
    const std::size_t at = out.size();
    out.insert(out.end(), data.begin(), data.end());
    out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    const std::uint32_t sum = Checksum(out, at, data.size());
    for (int k = 0; k < 4; ++k) {
      out[entry + 4 + static_cast<std::size_t>(k)] =
          static_cast<std::uint8_t>(sum >> static_cast<unsigned>(24 - 8 * k));
    }
    entry += 16;
  }
  return out;
}

std::string ProgramFamily(std::span<const std::uint8_t> program) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const std::uint8_t byte : program) {
    hash = (hash ^ byte) * 1099511628211ULL;
  }
  char name[32];
  std::snprintf(name, sizeof name, "Lvx%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace lvx::pdf
