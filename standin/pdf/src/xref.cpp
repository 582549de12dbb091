#include "xref.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "filters.h"

namespace lvx::pdf {
namespace {

constexpr int kMaxSections = 512;

// Reads a classic table at `offset` ("xref" and subsections, then "trailer" and its dictionary).
bool ReadTable(Bytes data, std::size_t offset, XrefTable& table, Dict& trailer) {
  Lexer lexer(data, offset);
  Token token;
  lexer.Next(token);
  if (!token.IsKeyword("xref")) {
    return false;
  }
  Token a;
  Token b;
  Token c;
  for (;;) {
    lexer.Next(token);
    if (token.IsKeyword("trailer")) {
      break;
    }
    if (token.type != TokenType::kInteger) {
      return false;
    }
    std::int64_t first = token.integer;
    lexer.Next(token);
    if (token.type != TokenType::kInteger || first < 0 || token.integer < 0 ||
        first >= XrefTable::kMaxObjects) {
      return false;
    }
    // Each entry takes at least a few bytes: a count beyond what the file can hold is damage.
    const std::int64_t count = std::min<std::int64_t>(
        token.integer, static_cast<std::int64_t>((data.size() - lexer.Position()) / 4 + 1));
    for (std::int64_t i = 0; i < count; ++i) {
      const std::size_t before = lexer.Position();
      lexer.Next(a);
      lexer.Next(b);
      lexer.Next(c);
      if (a.type != TokenType::kInteger || b.type != TokenType::kInteger ||
          c.type != TokenType::kKeyword || (c.text != "n" && c.text != "f")) {
        // A shorter subsection than announced: go on from the token that broke it.
        lexer.Seek(before);
        break;
      }
      // A common writer bug numbers the first subsection from 1 while listing object 0.
      if (i == 0 && first == 1 && c.text == "f" && b.integer == 65535) {
        first = 0;
      }
      const std::int64_t num = first + i;
      if (c.text == "n" && a.integer > 0 && num < XrefTable::kMaxObjects) {
        table.Add(static_cast<std::uint32_t>(num),
                  {XrefEntry::kOffset, static_cast<std::uint64_t>(a.integer),
                   static_cast<std::uint32_t>(std::clamp<std::int64_t>(b.integer, 0, 65535))});
      }
    }
  }
  Object dict = ParseNextObject(lexer);
  if (!dict.IsDict()) {
    return false;
  }
  trailer = dict.AsDict();
  return true;
}

std::uint64_t ReadField(Bytes row, std::size_t from, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value = (value << 8) | row[from + i];
  }
  return value;
}

// Reads a cross-reference stream at `offset`.
bool ReadXrefStream(Bytes data, std::size_t offset, XrefTable& table, Dict& trailer) {
  const auto object = ReadIndirectObject(data, offset, nullptr);
  if (!object || !object->object.IsStream()) {
    return false;
  }
  const Stream& stream = *object->object.AsStream();
  const Dict& dict = stream.dict;
  if (!dict.Get("Type").IsName("XRef")) {
    return false;
  }
  const Array& w = dict.Get("W").AsArray();
  if (w.size() < 3) {
    return false;
  }
  std::size_t widths[3] = {};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::int64_t width = w[i].AsInt(-1);
    if (width < 0 || width > 8) {
      return false;
    }
    widths[i] = static_cast<std::size_t>(width);
  }
  const std::size_t rowSize = widths[0] + widths[1] + widths[2];
  if (rowSize == 0) {
    return false;
  }
  FilterStatus status = FilterStatus::kOk;
  const std::vector<std::uint8_t> rows = DecodeFilterChain(
      dict, data.subspan(stream.offset, stream.length), kMaxDecodedStream, status);
  const std::int64_t size = dict.Get("Size").AsInt(0);
  Array defaultIndex{Object(std::int64_t{0}), Object(size)};
  const Array& index = dict.Get("Index").IsArray() ? dict.Get("Index").AsArray() : defaultIndex;
  std::size_t row = 0;
  for (std::size_t s = 0; s + 1 < index.size(); s += 2) {
    const std::int64_t first = index[s].AsInt(-1);
    const std::int64_t count = index[s + 1].AsInt(-1);
    if (first < 0 || count < 0 || first >= XrefTable::kMaxObjects) {
      break;
    }
    for (std::int64_t i = 0; i < count && (row + 1) * rowSize <= rows.size(); ++i, ++row) {
      const Bytes fields(rows.data() + row * rowSize, rowSize);
      const std::uint64_t type = widths[0] == 0 ? 1 : ReadField(fields, 0, widths[0]);
      const std::uint64_t second = ReadField(fields, widths[0], widths[1]);
      const std::uint64_t third = ReadField(fields, widths[0] + widths[1], widths[2]);
      const std::int64_t num = first + i;
      if (num >= XrefTable::kMaxObjects) {
        break;
      }
      if (type == 1 && second > 0) {
        table.Add(static_cast<std::uint32_t>(num),
                  {XrefEntry::kOffset, second,
                   static_cast<std::uint32_t>(std::min<std::uint64_t>(third, 65535))});
      } else if (type == 2) {
        table.Add(static_cast<std::uint32_t>(num),
                  {XrefEntry::kCompressed, second,
                   static_cast<std::uint32_t>(std::min<std::uint64_t>(third, 0xFFFFFFFF))});
      }
    }
  }
  trailer = dict;
  return true;
}

std::optional<std::size_t> OffsetOf(const Object& value, Bytes data) {
  const std::int64_t offset = value.AsInt(-1);
  if (offset < 0 || static_cast<std::uint64_t>(offset) >= data.size()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(offset);
}

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

void XrefTable::Add(std::uint32_t num, const XrefEntry& entry) {
  if (num >= kMaxObjects) {
    return;
  }
  if (num >= entries_.size()) {
    entries_.resize(num + 1);
  }
  if (entries_[num].type == XrefEntry::kAbsent) {
    entries_[num] = entry;
  }
}

void XrefTable::Set(std::uint32_t num, const XrefEntry& entry) {
  if (num >= kMaxObjects) {
    return;
  }
  if (num >= entries_.size()) {
    entries_.resize(num + 1);
  }
  entries_[num] = entry;
}

const XrefEntry* XrefTable::Find(std::uint32_t num) const {
  if (num >= entries_.size() || entries_[num].type == XrefEntry::kAbsent) {
    return nullptr;
  }
  return &entries_[num];
}

void XrefTable::MergeTrailer(const Dict& older) {
  for (const auto& [key, value] : older.entries) {
    if (key == "Prev" || key == "XRefStm" || key == "Filter" || key == "DecodeParms" ||
        key == "Length" || key == "W" || key == "Index" || key == "Type") {
      continue;
    }
    if (!trailer.Has(key)) {
      trailer.entries.emplace_back(key, value);
    }
  }
}

bool ReadXref(Bytes data, std::size_t start, XrefTable& table) {
  std::set<std::size_t> visited;
  std::optional<std::size_t> next = start;
  bool first = true;
  for (int sections = 0; next && sections < kMaxSections; ++sections) {
    if (!visited.insert(*next).second) {
      break;  // a Prev loop
    }
    Dict trailer;
    bool classic = false;
    if (ReadTable(data, *next, table, trailer)) {
      classic = true;
    } else if (!ReadXrefStream(data, *next, table, trailer)) {
      if (first) {
        return false;
      }
      break;  // an older section is damaged: keep what the newer ones said
    }
    first = false;
    table.MergeTrailer(trailer);
    if (classic) {
      if (const auto stm = OffsetOf(trailer.Get("XRefStm"), data);
          stm && visited.insert(*stm).second) {
        Dict ignored;
        ReadXrefStream(data, *stm, table, ignored);
      }
    }
    next = OffsetOf(trailer.Get("Prev"), data);
  }
  return true;
}

RecoveredStructure RecoverXref(Bytes data) {
  RecoveredStructure result;
  std::vector<std::pair<std::size_t, Dict>> trailers;  // with their offsets
  EndstreamFinder finder(data);
  std::size_t pos = 0;
  for (;;) {
    const std::size_t at = FindBytes(data, "obj", pos);
    if (at == std::string_view::npos) {
      break;
    }
    pos = at + 3;
    if (at + 3 < data.size() && IsPdfRegular(data[at + 3])) {
      continue;
    }
    // Back over " G " and "N": "N G obj" with white space between.
    std::size_t i = at;
    std::size_t spaces = 0;
    while (i > 0 && IsPdfWhitespace(data[i - 1])) {
      --i;
      ++spaces;
    }
    std::size_t digits = 0;
    while (i > 0 && IsDigit(data[i - 1]) && digits < 6) {
      --i;
      ++digits;
    }
    if (spaces == 0 || digits == 0) {
      continue;
    }
    spaces = 0;
    while (i > 0 && IsPdfWhitespace(data[i - 1])) {
      --i;
      ++spaces;
    }
    digits = 0;
    while (i > 0 && IsDigit(data[i - 1]) && digits < 11) {
      --i;
      ++digits;
    }
    if (spaces == 0 || digits == 0 || (i > 0 && IsPdfRegular(data[i - 1]))) {
      continue;
    }
    const auto object = ReadIndirectObject(data, i, nullptr, {}, &finder);
    if (!object) {
      continue;
    }
    result.table.Set(object->ref.num, {XrefEntry::kOffset, i, object->ref.gen});
    const Dict& dict = object->object.AsDict();
    const std::string& type = dict.Get("Type").AsName();
    if (type == "XRef" && object->object.IsStream()) {
      trailers.emplace_back(i, dict);
    } else if (type == "ObjStm" && object->object.IsStream()) {
      result.objectStreams.push_back(object->ref.num);
    } else if (type == "Catalog") {
      result.catalogs.push_back(object->ref);
    }
    // A stream whose end is a guess may hide objects after its start: look on there.
    if (object->endKnown) {
      pos = std::max(pos, object->end);
    }
  }
  // A "trailer" inside the dictionary of the previous one is not looked at again.
  for (std::size_t at = FindBytes(data, "trailer", 0); at != std::string_view::npos;) {
    Lexer lexer(data, at + 7);
    const Object dict = ParseNextObject(lexer);
    if (dict.IsDict()) {
      trailers.emplace_back(at, dict.AsDict());
    }
    at = FindBytes(data, "trailer", std::max(at + 7, lexer.Position()));
  }
  // Later trailers describe newer updates: they win.
  std::stable_sort(trailers.begin(), trailers.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [offset, dict] : trailers) {
    result.table.MergeTrailer(dict);
  }
  return result;
}

}  // namespace lvx::pdf
