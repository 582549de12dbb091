// Embedded TrueType programs: reading the table directory and character maps, writing the
// program again under its own family name with the tables loaders expect, and each code's glyph
// in a PDF font that embeds it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics_sfnt.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

void Be16(std::string& out, unsigned v) {
  out.push_back(static_cast<char>((v >> 8U) & 0xFFU));
  out.push_back(static_cast<char>(v & 0xFFU));
}
void Be32(std::string& out, std::uint32_t v) {
  Be16(out, v >> 16U);
  Be16(out, v & 0xFFFFU);
}

// A three-glyph TrueType subset as PDF writers embed it: head, hhea, maxp, hmtx, loca, glyf and
// a cmap with a Windows Unicode map (format 4: 'A' and 'B' to glyphs 1 and 2) and a Macintosh
// map (format 0: code 3 to glyph 2). No name or OS/2 table; a post table only when given, and
// then without the character maps when `withMaps` is false.
std::string Subset(const std::string& post = "", bool withMaps = true) {
  std::string cmap;
  Be16(cmap, 0);
  Be16(cmap, 2);
  Be16(cmap, 3);
  Be16(cmap, 1);
  Be32(cmap, 20);
  Be16(cmap, 1);
  Be16(cmap, 0);
  Be32(cmap, 20 + 32);
  // Format 4, two segments: 0x41-0x42 with delta -0x40, then 0xFFFF.
  Be16(cmap, 4);
  Be16(cmap, 32);
  Be16(cmap, 0);
  Be16(cmap, 4);
  Be16(cmap, 4);
  Be16(cmap, 1);
  Be16(cmap, 0);
  Be16(cmap, 0x42);
  Be16(cmap, 0xFFFF);
  Be16(cmap, 0);
  Be16(cmap, 0x41);
  Be16(cmap, 0xFFFF);
  Be16(cmap, 0x10000 - 0x40);
  Be16(cmap, 1);
  Be16(cmap, 0);
  Be16(cmap, 0);
  // Format 0.
  Be16(cmap, 0);
  Be16(cmap, 262);
  Be16(cmap, 0);
  std::string glyphs(256, '\0');
  glyphs[3] = 2;
  cmap += glyphs;

  std::string head(54, '\0');
  head[0] = 0;
  head[1] = 1;
  std::string hhea(36, '\0');
  hhea[4] = 0x07;  // ascender 1900
  hhea[5] = 0x6C;
  hhea[6] = static_cast<char>(0xFE);  // descender -400
  hhea[7] = 0x70;
  hhea[35] = 3;  // three horizontal metrics
  std::string maxp;
  Be32(maxp, 0x00005000);
  Be16(maxp, 3);
  std::string hmtx(12, '\0');
  std::string loca(8, '\0');
  const std::string glyf;
  std::vector<std::pair<std::string, std::string>> tables = {
      {"cmap", withMaps ? cmap : std::string(4, '\0')},
      {"glyf", glyf},
      {"head", head},
      {"hhea", hhea},
      {"hmtx", hmtx},
      {"loca", loca},
      {"maxp", maxp}};
  if (!post.empty()) {
    tables.emplace_back("post", post);
  }
  std::string font;
  Be32(font, 0x00010000);
  Be16(font, static_cast<unsigned>(tables.size()));
  Be16(font, 64);
  Be16(font, 2);
  Be16(font, 48);
  std::size_t offset = 12 + 16 * tables.size();
  std::string body;
  for (const auto& [tag, data] : tables) {
    font += tag;
    Be32(font, 0);
    Be32(font, static_cast<std::uint32_t>(offset + body.size()));
    Be32(font, static_cast<std::uint32_t>(data.size()));
    body += data;
    body.resize((body.size() + 3) & ~std::size_t{3}, '\0');
  }
  return font + body;
}

std::span<const std::uint8_t> Span(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Sfnt, CharacterMapsAndAProgramRenamedWithTheTablesLoadersWant) {
  const std::string subset = Subset();
  const auto font = SfntFont::Parse(Span(subset));
  ASSERT_TRUE(font.has_value());
  EXPECT_EQ(font->GlyphCount(), 3);
  EXPECT_EQ(font->Lookup(3, 1, 'A'), 1);
  EXPECT_EQ(font->Lookup(3, 1, 'B'), 2);
  EXPECT_EQ(font->Lookup(3, 1, 'C'), -1);
  EXPECT_EQ(font->Lookup(1, 0, 3), 2);
  EXPECT_EQ(font->Lookup(3, 0, 'A'), -1);  // no such map
  EXPECT_FALSE(font->HasCmap(3, 0));

  const std::string family = ProgramFamily(Span(subset));
  EXPECT_EQ(family.size(), 19U);
  EXPECT_NE(family, ProgramFamily(Span(subset + " ")));
  const std::vector<std::uint8_t> renamed = font->Renamed(family);
  const auto again = SfntFont::Parse(renamed);
  ASSERT_TRUE(again.has_value());
  for (const char* tag : {"name", "OS/2", "post", "cmap", "glyf", "head"}) {
    EXPECT_TRUE(again->Has(tag)) << tag;
  }
  EXPECT_EQ(again->Lookup(3, 1, 'B'), 2);
  // The family name is in the name table, in UTF-16.
  std::string utf16;
  for (const char c : family) {
    utf16 += '\0';
    utf16 += c;
  }
  const std::string bytes(renamed.begin(), renamed.end());
  EXPECT_NE(bytes.find(utf16), std::string::npos);

  // The added OS/2 table's heights are the font's own (a loader sizes glyph bitmaps by them).
  std::size_t os2 = 0;
  for (std::size_t entry = 12; entry + 16 <= renamed.size() && os2 == 0; entry += 16) {
    if (bytes.compare(entry, 4, "OS/2") == 0) {
      os2 = (std::size_t{renamed[entry + 8]} << 24U) | (std::size_t{renamed[entry + 9]} << 16U) |
            (std::size_t{renamed[entry + 10]} << 8U) | renamed[entry + 11];
    }
  }
  ASSERT_GT(os2, 0U);
  EXPECT_EQ((renamed[os2 + 74] << 8U) | renamed[os2 + 75], 1900);  // usWinAscent
  EXPECT_EQ((renamed[os2 + 76] << 8U) | renamed[os2 + 77], 400);   // usWinDescent

  // Not a font, or tables beyond the data: refused.
  EXPECT_FALSE(SfntFont::Parse(Span("%PDF-1.4 not a font")).has_value());
  std::string cut = subset.substr(0, 200);
  EXPECT_FALSE(SfntFont::Parse(Span(cut)).has_value());
}

TEST(Sfnt, EmbeddedTrueTypeFontsGiveTheirGlyphsToTheDrawing) {
  test::PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
      "/Resources << /Font << /F1 5 0 R /F2 7 0 R >> >> >>");
  pdf.AddStream("", "BT /F1 10 Tf 10 10 Td (ABC) Tj /F2 10 Tf (\\003) Tj ET");
  pdf.Add(
      "<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Demo /FirstChar 65 /LastChar 67 "
      "/Widths [500 500 500] /Encoding /WinAnsiEncoding /FontDescriptor 6 0 R >>");
  pdf.Add("<< /Type /FontDescriptor /FontName /ABCDEF+Demo /Flags 32 /FontFile2 8 0 R >>");
  pdf.Add("<< /Type /Font /Subtype /TrueType /BaseFont /Sym /FontDescriptor 9 0 R >>");
  pdf.AddStream("", Subset());
  pdf.Add("<< /Type /FontDescriptor /FontName /Sym /Flags 4 /FontFile2 8 0 R >>");
  const auto document = test::Open(pdf.Build(catalog));
  ASSERT_NE(document, nullptr);
  const DisplayList list = document->PageDrawing(0);
  std::vector<TextCommand> texts;
  for (const DrawCommand& command : list.commands) {
    if (const auto* text = std::get_if<TextCommand>(&command)) {
      texts.push_back(*text);
    }
  }
  ASSERT_EQ(texts.size(), 2U);
  ASSERT_EQ(texts[0].glyphs.size(), 3U);
  EXPECT_EQ(texts[0].glyphs[0].glyphId, 1);
  EXPECT_EQ(texts[0].glyphs[1].glyphId, 2);
  EXPECT_EQ(texts[0].glyphs[2].glyphId, -1);  // 'C' is not in the subset
  EXPECT_FALSE(texts[0].font->program.empty());
  EXPECT_EQ(texts[0].font->programFamily.substr(0, 3), "Lvx");
  // The same program in two fonts: the same family name; code 3 through the Macintosh map.
  EXPECT_EQ(texts[1].font->programFamily, texts[0].font->programFamily);
  EXPECT_EQ(texts[1].glyphs[0].glyphId, 2);
}

// A CID font without ToUnicode and without a known character collection: the text comes from
// the embedded program's own Unicode map, through the CIDToGIDMap when there is one.
TEST(Sfnt, CidFontsWithoutToUnicodeTakeTheirTextFromTheProgramsMaps) {
  const std::string subset = Subset();
  const auto font = SfntFont::Parse(Span(subset));
  ASSERT_TRUE(font.has_value());
  // Glyph 2 is 'B' by the Unicode map, and code 3 by the Macintosh one: the Unicode map wins.
  EXPECT_EQ(font->GlyphCharacters(), (std::vector<char32_t>{0, U'A', U'B'}));
  // Without maps, the post table's names: glyph 1 by a name of its own, glyph 2 by a standard
  // Macintosh index ('A').
  std::string post(32, '\0');
  post[1] = 2;
  Be16(post, 3);
  Be16(post, 0);
  Be16(post, 258);
  Be16(post, 36);
  post += "\x07uni20AC";
  const std::string named = Subset(post, false);
  const auto byNames = SfntFont::Parse(Span(named));
  ASSERT_TRUE(byNames.has_value());
  EXPECT_EQ(byNames->GlyphCharacters(), (std::vector<char32_t>{0, U'\u20AC', U'A'}));

  test::PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
      "/Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> >>");
  pdf.AddStream("", "BT /F1 10 Tf 10 10 Td <00010002> Tj /F2 10 Tf <00050006> Tj ET");
  const std::string type0 =
      "<< /Type /Font /Subtype /Type0 /BaseFont /Demo /Encoding /Identity-H"
      " /DescendantFonts [";
  pdf.Add(type0 + "7 0 R] >>");
  pdf.Add(type0 + "8 0 R] >>");
  const std::string cidFont =
      "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Demo"
      " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity)"
      " /Supplement 0 >> /FontDescriptor 9 0 R";
  pdf.Add(cidFont + " >>");
  pdf.Add(cidFont + " /CIDToGIDMap 11 0 R >>");
  pdf.Add("<< /Type /FontDescriptor /FontName /Demo /Flags 4 /FontFile2 10 0 R >>");
  pdf.AddStream("", subset);
  // CIDs 5 and 6 to glyphs 2 and 1.
  pdf.AddStream("", std::string("\0\0\0\0\0\0\0\0\0\0\0\2\0\1", 14));
  const auto document = test::Open(pdf.Build(catalog));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->PageText(0), "ABBA\r\n");
}

}  // namespace
}  // namespace lvx::pdf
