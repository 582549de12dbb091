#include "font.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "cid_collections.h"
#include "file.h"
#include "font_program.h"
#include "graphics_sfnt.h"
#include "lexer.h"
#include "predefined_cmaps.h"
#include "standard_fonts.h"

namespace lvx::pdf {
namespace {

constexpr std::size_t kMaxWidthEntries = 1U << 16;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The encoding built into an embedded Type 1 font program: its clear-text part lists
// "dup <code> /<name> put", or says "StandardEncoding".
std::array<std::u32string, 256> BuiltInType1Encoding(const std::vector<std::uint8_t>& program,
                                                     bool& found) {
  std::array<std::u32string, 256> table;
  found = false;
  const std::string_view text(reinterpret_cast<const char*>(program.data()),
                              std::min<std::size_t>(program.size(), 1U << 20));
  const std::size_t at = text.find("/Encoding");
  if (at == std::string_view::npos) {
    return table;
  }
  const std::size_t end = text.find("eexec", at);
  const std::string_view part =
      text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
  if (part.substr(0, 40).find("StandardEncoding") != std::string_view::npos) {
    for (int code = 0; code < 256; ++code) {
      if (const char32_t u =
              BaseEncodingUnicode(BaseEncoding::kStandard, static_cast<std::uint8_t>(code))) {
        table[static_cast<std::size_t>(code)] = std::u32string(1, u);
      }
    }
    found = true;
    return table;
  }
  Lexer lexer({reinterpret_cast<const std::uint8_t*>(part.data()), part.size()});
  Token token;
  Token code;
  Token name;
  for (lexer.Next(token); token.type != TokenType::kEnd; lexer.Next(token)) {
    if (token.IsKeyword("readonly") || token.IsKeyword("def")) {
      break;
    }
    if (!token.IsKeyword("dup")) {
      continue;
    }
    lexer.Next(code);
    lexer.Next(name);
    if (code.type == TokenType::kInteger && name.type == TokenType::kName && code.integer >= 0 &&
        code.integer < 256) {
      table[static_cast<std::size_t>(code.integer)] = GlyphNameToUnicode(name.text);
      found = true;
    }
  }
  return table;
}

}  // namespace

std::shared_ptr<const Font> Font::Load(PdfFile& file, const Dict& dict) {
  auto font = std::make_shared<Font>();
  if (dict.Get("Subtype").IsName("Type0")) {
    font->LoadComposite(file, dict);
  } else {
    font->LoadSimple(file, dict);
  }
  const Object toUnicode = file.Get(dict, "ToUnicode");
  if (const Stream* stream = toUnicode.AsStream()) {
    const std::vector<std::uint8_t> data = file.Decode(*stream, 16U << 20);
    font->toUnicode_ = CMap::Parse(data);
    font->hasToUnicode_ = !font->toUnicode_.Empty();
  }
  return font;
}

void Font::LoadStyle(PdfFile& file, const Dict& dict, const Dict& descriptor) {
  std::string name = file.Get(dict, "BaseFont").AsName();
  if (name.size() > 7 && name[6] == '+') {
    name = name.substr(7);  // a subset's tag
  }
  std::string style;
  if (const std::size_t cut = name.find_first_of(",-"); cut != std::string::npos) {
    style = name.substr(cut + 1);
    name.resize(cut);
  }
  for (const std::string_view suffix : {"PSMT", "MT", "PS"}) {
    if (name.size() > suffix.size() + 2 && name.ends_with(suffix)) {
      name.resize(name.size() - suffix.size());
      break;
    }
  }
  for (const std::string_view word : {"Bold", "Italic", "Oblique"}) {
    // "TimesBold" with no separator.
    if (const std::size_t at = name.find(word); at != std::string::npos && at > 0) {
      style += name.substr(at);
      name.resize(at);
      break;
    }
  }
  family_ = name;
  const auto flags = descriptor.Get("Flags").AsInt(0);
  bold_ = Contains(style, "Bold") || Contains(style, "Black") || Contains(style, "Heavy") ||
          Contains(style, "Semibold") || descriptor.Get("FontWeight").AsNumber(400) >= 600 ||
          (flags & (1 << 18)) != 0;
  italic_ = Contains(style, "Italic") || Contains(style, "Oblique") || (flags & (1 << 6)) != 0 ||
            std::fabs(descriptor.Get("ItalicAngle").AsNumber(0)) > 0.5;
}

void Font::LoadSimple(PdfFile& file, const Dict& dict) {
  const Object descriptorObject = file.Get(dict, "FontDescriptor");
  const Dict& descriptor = descriptorObject.AsDict();
  LoadStyle(file, dict, descriptor);
  const std::string& subtype = dict.Get("Subtype").AsName();
  const bool type3 = subtype == "Type3";
  const auto flags = descriptor.Get("Flags").AsInt(0);
  const bool symbolic = (flags & 4) != 0 && (flags & 32) == 0;

  // Widths, in text space for a size of 1 (Type 3 glyph space goes through the font matrix).
  double scale = 0.001;
  if (type3) {
    const Array& matrix = file.Get(dict, "FontMatrix").AsArray();
    if (matrix.size() >= 4) {
      scale = std::clamp(file.Resolve(matrix[0]).AsNumber(0.001), -1.0, 1.0);
      // The glyph box's height in text space stands for the em (1000 units in ordinary fonts).
      const double vertical = std::fabs(file.Resolve(matrix[3]).AsNumber(0.001));
      const Array& box = file.Get(dict, "FontBBox").AsArray();
      double height = 1000;
      if (box.size() == 4) {
        height = std::fabs(file.Resolve(box[3]).AsNumber(0) - file.Resolve(box[1]).AsNumber(0));
      }
      if (height < 1e-6) {
        height = 1000;
      }
      emScale_ = std::clamp(height * vertical, 1e-3, 1e3);
    }
  }
  const double missing = descriptor.Get("MissingWidth").AsNumber(0) * scale;
  const Object widths = file.Get(dict, "Widths");
  // Clamped so that the sums below cannot overflow; codes outside 0..255 are ignored anyway.
  const std::int64_t firstChar =
      std::clamp<std::int64_t>(file.Get(dict, "FirstChar").AsInt(0), -1, 256);
  if (widths.IsArray()) {
    std::fill(widths_.begin(), widths_.end(), missing);
    const Array& list = widths.AsArray();
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::int64_t code = firstChar + static_cast<std::int64_t>(i);
      if (code >= 0 && code < 256) {
        widths_[static_cast<std::size_t>(code)] =
            std::fabs(file.Resolve(list[i]).AsNumber(0) * scale);
      }
    }
  }
  // The encoding: a base (named, or the font's own), then /Differences.
  const Object encoding = file.Get(dict, "Encoding");
  BaseEncoding base = BaseEncoding::kNone;
  bool explicitBase = false;
  if (encoding.IsName()) {
    base = BaseEncodingNamed(encoding.AsName());
    explicitBase = base != BaseEncoding::kNone;
  } else if (encoding.IsDict()) {
    base = BaseEncodingNamed(encoding.AsDict().Get("BaseEncoding").AsName());
    explicitBase = base != BaseEncoding::kNone;
  }
  bool builtIn = false;
  if (!explicitBase) {
    const std::string& baseFont = dict.Get("BaseFont").AsName();
    const Object program = file.Get(descriptor, "FontFile");
    if (const Stream* stream = program.AsStream(); stream != nullptr && !type3) {
      codeText_ = BuiltInType1Encoding(file.Decode(*stream, 4U << 20), builtIn);
    }
    if (!builtIn && !type3) {
      builtIn = LoadBuiltInNames(file, descriptor);
    }
    if (!builtIn) {
      if (Contains(baseFont, "Symbol")) {
        base = BaseEncoding::kSymbol;
      } else if (type3 || Contains(baseFont, "Dingbats") || (symbolic && subtype == "TrueType")) {
        // Type 3 glyphs carry no names here; a symbolic TrueType font's codes go straight into
        // its own table.
        base = BaseEncoding::kNone;
      } else {
        base = BaseEncoding::kStandard;
      }
    }
  }
  if (!builtIn) {
    for (int code = 0; code < 256; ++code) {
      char32_t u = BaseEncodingUnicode(base, static_cast<std::uint8_t>(code));
      if (base == BaseEncoding::kNone && !type3 && code >= 32 && code != 127) {
        u = static_cast<char32_t>(code);  // nothing better is known: read the code as Latin-1
      }
      codeText_[static_cast<std::size_t>(code)] = u != 0 ? std::u32string(1, u) : std::u32string();
    }
  }
  const bool differences = encoding.IsDict() && encoding.AsDict().Has("Differences");
  if (differences) {
    const std::array<std::string, 256> names = DifferenceNames(file, encoding);
    for (std::size_t code = 0; code < names.size(); ++code) {
      if (!names[code].empty()) {
        codeText_[code] = GlyphNameToUnicode(names[code]);
      }
    }
  }
  if (!widths.IsArray()) {
    SetMissingWidths(dict.Get("BaseFont").AsName(), flags, explicitBase || differences);
  }
}

void Font::SetMissingWidths(std::string_view baseFont, std::int64_t flags, bool ownEncoding) {
  // First an average advance that keeps word gaps recognisable...
  const bool fixed = Contains(baseFont, "Courier") || (flags & 1) != 0;
  std::fill(widths_.begin(), widths_.end(), fixed ? 0.6 : 0.5);
  if (!fixed) {
    widths_[' '] = Contains(baseFont, "Times") ? 0.25 : 0.278;
    for (const char narrow :
         {'i', 'l', 'j', 't', 'f', 'r', '.', ',', ':', ';', '\'', '!', '|', 'I'}) {
      widths_[static_cast<unsigned char>(narrow)] = 0.28;
    }
    for (const char wide : {'m', 'w', 'M', 'W'}) {
      widths_[static_cast<unsigned char>(wide)] = 0.83;
    }
  }
  // ...and the real widths of the glyphs a standard font has.
  if (const StandardFontMetrics* standard = FindStandardFont(family_, bold_, italic_)) {
    const std::string_view name = standard->name;
    const bool symbolic = name == "Symbol" || name == "ZapfDingbats";
    ApplyStandardWidths(*standard, codeText_, symbolic && !ownEncoding, widths_);
  }
}

void Font::LoadComposite(PdfFile& file, const Dict& dict) {
  composite_ = true;
  const Array& descendants = file.Get(dict, "DescendantFonts").AsArray();
  const Object cidFontObject = descendants.empty() ? Object() : file.Resolve(descendants[0]);
  const Dict& cidFont = cidFontObject.AsDict();
  const Object descriptor = file.Get(cidFont, "FontDescriptor");
  LoadStyle(file, dict, descriptor.AsDict());
  // The character collection gives the CIDs' text when no ToUnicode map does.
  const Object systemInfo = file.Get(cidFont, "CIDSystemInfo");
  collection_ = FindCidCollection(file.Get(systemInfo.AsDict(), "Registry").AsString(),
                                  file.Get(systemInfo.AsDict(), "Ordering").AsString());

  if (collection_ == nullptr && !dict.Has("ToUnicode")) {
    LoadGlyphCharacters(file, cidFont, descriptor.AsDict());
  }

  const Object encoding = file.Get(dict, "Encoding");
  if (encoding.IsName()) {
    const std::string& name = encoding.AsName();
    unicodeCodes_ = name.starts_with("Uni") && (Contains(name, "UCS2") || Contains(name, "UTF16"));
    identity_ = true;
    // A predefined CJK encoding (Shift-JIS, EUC, GBK, Big Five...): codes to CIDs by its tables,
    // and the CIDs' text by its collection when the font names none.
    if (auto predefined = FindPredefinedCMap(name)) {
      encoding_ = std::move(predefined->map);
      identity_ = false;
      if (collection_ == nullptr) {
        collection_ = FindCidCollection("Adobe", predefined->ordering);
      }
    }
  } else if (const Stream* stream = encoding.AsStream()) {
    encoding_ = CMap::Parse(file.Decode(*stream, 16U << 20));
    identity_ = false;
  }

  defaultWidth_ = file.Get(cidFont, "DW").AsNumber(1000) / 1000.0;
  const Array& w = file.Get(cidFont, "W").AsArray();
  std::size_t entries = 0;
  for (std::size_t i = 0; i + 1 < w.size() && entries < kMaxWidthEntries;) {
    // CIDs are 32-bit at most: larger numbers are damage (and would overflow the sums below).
    const std::int64_t first =
        std::clamp<std::int64_t>(file.Resolve(w[i]).AsInt(-1), -1, 0xFFFFFFFF);
    const Object second = file.Resolve(w[i + 1]);
    if (second.IsArray()) {
      const Array& list = second.AsArray();
      for (std::size_t k = 0; k < list.size() && entries < kMaxWidthEntries; ++k, ++entries) {
        if (first >= 0) {
          cidWidths_[static_cast<std::uint32_t>(first + static_cast<std::int64_t>(k))] =
              file.Resolve(list[k]).AsNumber(0) / 1000.0;
        }
      }
      i += 2;
    } else {
      if (i + 2 >= w.size()) {
        break;
      }
      const std::int64_t last = std::clamp<std::int64_t>(second.AsInt(-1), -1, 0xFFFFFFFF);
      const double width = file.Resolve(w[i + 2]).AsNumber(0) / 1000.0;
      if (first >= 0 && last >= first) {
        // Wide ranges are common ("0 65535 500"): stop at the entry bound.
        for (std::int64_t cid = first; cid <= last && entries < kMaxWidthEntries;
             ++cid, ++entries) {
          cidWidths_[static_cast<std::uint32_t>(cid)] = width;
        }
      }
      i += 3;
    }
  }
}

void Font::LoadGlyphCharacters(PdfFile& file, const Dict& cidFont, const Dict& descriptor) {
  const std::vector<std::uint8_t> program = LoadableProgram(file, descriptor);
  const std::optional<SfntFont> parsed = SfntFont::Parse(program);
  auto glyphs = CidToGidMap(file, cidFont);
  if (!parsed || !glyphs) {
    // A name-keyed CFF program, whose CIDs are its glyph indices: the glyphs' names.
    if (std::optional<OutlineProgramBytes> cff = OutlineProgram(file, descriptor);
        cff && cff->kind == ProgramKind::kCff) {
      glyphCharacters_ = GlyphNameCharacters(std::move(cff->bytes), cff->kind);
      cidToGid_.clear();
    }
    return;
  }
  glyphCharacters_ = parsed->GlyphCharacters();
  cidToGid_ = std::move(*glyphs);
}

bool Font::LoadBuiltInNames(PdfFile& file, const Dict& descriptor) {
  std::optional<OutlineProgramBytes> program = OutlineProgram(file, descriptor);
  if (!program) {
    return false;
  }
  const auto names = BuiltInEncodingNames(std::move(program->bytes), program->kind);
  if (!names) {
    return false;
  }
  bool found = false;
  for (std::size_t code = 0; code < names->size(); ++code) {
    codeText_[code] = GlyphNameToUnicode((*names)[code]);
    found = found || !(*names)[code].empty();
  }
  return found;
}

std::size_t Font::Footprint() const {
  std::size_t bytes =
      sizeof(Font) + encoding_.Footprint() + toUnicode_.Footprint() + family_.capacity() +
      cidWidths_.size() * (2 * sizeof(void*) + sizeof(std::uint32_t) + sizeof(double)) +
      glyphCharacters_.capacity() * sizeof(char32_t) + cidToGid_.capacity() * sizeof(std::uint16_t);
  for (const std::u32string& text : codeText_) {
    bytes += text.capacity() > 3 ? text.capacity() * sizeof(char32_t) : 0;
  }
  return bytes;
}

double Font::CidWidth(std::uint32_t cid) const {
  const auto found = cidWidths_.find(cid);
  return found != cidWidths_.end() ? found->second : defaultWidth_;
}

void Font::Decode(std::string_view bytes, std::vector<Glyph>& glyphs) const {
  glyphs.clear();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t length = 1;
    if (composite_) {
      length = !identity_ ? encoding_.CodeLength(bytes, pos, 2)
                          : std::min<std::size_t>(2, bytes.size() - pos);
      if (identity_ && hasToUnicode_ && toUnicode_.HasCodespace()) {
        length = toUnicode_.CodeLength(bytes, pos, 2);
      }
    }
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < length; ++i) {
      code = (code << 8) | static_cast<std::uint8_t>(bytes[pos + i]);
    }
    Glyph glyph;
    glyph.code = code;
    glyph.wordSpace = length == 1 && code == 32;
    if (hasToUnicode_) {
      glyph.text = toUnicode_.Lookup(code);
    }
    if (composite_) {
      std::uint32_t cid = code;
      if (!identity_) {
        cid = encoding_.Cid(code).value_or(0);
      }
      glyph.width = CidWidth(cid);
      if (glyph.text.empty() && unicodeCodes_) {
        glyph.text = std::u32string(1, static_cast<char32_t>(code));
      } else if (glyph.text.empty() && collection_ != nullptr) {
        glyph.text = CidText(*collection_, cid);
      } else if (glyph.text.empty() && !glyphCharacters_.empty()) {
        const std::uint32_t gid = cidToGid_.empty()        ? cid
                                  : cid < cidToGid_.size() ? cidToGid_[cid]
                                                           : 0;
        if (gid < glyphCharacters_.size() && glyphCharacters_[gid] != 0) {
          glyph.text = std::u32string(1, glyphCharacters_[gid]);
        }
      }
    } else {
      glyph.width = widths_[code & 0xFF];
      if (glyph.text.empty()) {
        glyph.text = codeText_[code & 0xFF];
      }
    }
    glyphs.push_back(std::move(glyph));
    pos += length;
  }
}

}  // namespace lvx::pdf
