// Embedded Type 1 and CFF programs through FreeType: outlines in em units with the program's own
// bounding boxes, glyphs chosen by /Differences names and by the program's encoding (never by
// a Unicode map), the text of fonts without ToUnicode, and programs made to harm the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "glyph_program.h"
#include "page_fixture.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

// Type 1 charstring numbers and operators.
void Number(std::string& out, int v) {
  if (v >= -107 && v <= 107) {
    out += static_cast<char>(v + 139);
  } else if (v >= 108 && v <= 1131) {
    out += static_cast<char>((v - 108) / 256 + 247);
    out += static_cast<char>((v - 108) % 256);
  } else {
    out += static_cast<char>((-v - 108) / 256 + 251);
    out += static_cast<char>((-v - 108) % 256);
  }
}

std::string Charstring(std::initializer_list<int> items) {
  // Numbers are written as numbers; operators are given as -(1000 + code).
  std::string plain(4, '\0');  // lenIV bytes
  for (const int item : items) {
    if (item <= -1000) {
      plain += static_cast<char>(-item - 1000);
    } else {
      Number(plain, item);
    }
  }
  return plain;
}

// Type 1 encryption (eexec: 55665, charstrings: 4330).
std::string Encrypt(const std::string& plain, std::uint16_t r) {
  std::string out;
  for (const char c : plain) {
    const auto cipher = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) ^ (r >> 8U));
    out += static_cast<char>(cipher);
    r = static_cast<std::uint16_t>((cipher + r) * 52845U + 22719U);
  }
  return out;
}

constexpr int kHsbw = -1013, kRmoveto = -1021, kRlineto = -1005, kClose = -1009, kEnd = -1014;

// A Type 1 program of two glyphs, as PDF embeds it (clear text, then the binary eexec part):
// /A a rectangle from (100, 0) to (500, 700), /B a triangle over (50, 0) to (450, 300), in
// 1000 units to the em. Its own encoding puts A at code 200 and B at 201. `charStrings` is the
// count the program declares.
std::string TypeOneProgram(int charStrings = 3) {
  const auto glyph = [](const std::string& name, const std::string& plain) {
    const std::string cipher = Encrypt(plain, 4330);
    return "/" + name + " " + std::to_string(cipher.size()) + " RD " + cipher + " ND\n";
  };
  std::string priv =
      "xxxxdup /Private 8 dict dup begin\n/RD {string currentfile exch readstring pop}"
      " executeonly def\n/ND {noaccess def} executeonly def\n/NP {noaccess put} executeonly def\n"
      "/lenIV 4 def\n/password 5839 def\n/MinFeature {16 16} def\n/BlueValues [] def\n"
      "2 index /CharStrings " +
      std::to_string(charStrings) + " dict dup begin\n";
  priv += glyph(".notdef", Charstring({0, 500, kHsbw, kEnd}));
  priv += glyph("A", Charstring({0, 600, kHsbw, 100, 0, kRmoveto, 400, 0, kRlineto, 0, 700,
                                 kRlineto, -400, 0, kRlineto, kClose, kEnd}));
  priv += glyph("B", Charstring({0, 500, kHsbw, 50, 0, kRmoveto, 400, 0, kRlineto, -200, 300,
                                 kRlineto, kClose, kEnd}));
  priv +=
      "end\nend\nreadonly put\nnoaccess put\ndup /FontName get exch definefont pop\n"
      "mark currentfile closefile\n";
  return "%!FontType1-1.0: LvxTest 001\n12 dict begin\n/FontName /LvxTest def\n/PaintType 0 def\n"
         "/FontType 1 def\n/FontMatrix [0.001 0 0 0.001 0 0] readonly def\n"
         "/FontBBox {0 0 1000 1000} readonly def\n/Encoding 256 array\n"
         "0 1 255 {1 index exch /.notdef put} for\ndup 200 /A put\ndup 201 /B put\n"
         "readonly def\ncurrentdict end\ncurrentfile eexec\n" +
         Encrypt(priv, 55665);
}

std::unique_ptr<GlyphProgram> OpenType1(const std::string& program,
                                        std::shared_ptr<FontEngine> engine = FontEngine::Make()) {
  return GlyphProgram::Open(std::move(engine), test::ToBytes(program), ProgramKind::kType1);
}

struct Box {
  double left = 1e9, bottom = 1e9, right = -1e9, top = -1e9;
};

Box BoxOf(const Path& path) {
  Box box;
  for (const Point& p : path.points) {
    box.left = std::min(box.left, p.x);
    box.bottom = std::min(box.bottom, p.y);
    box.right = std::max(box.right, p.x);
    box.top = std::max(box.top, p.y);
  }
  return box;
}

void ExpectBox(const std::shared_ptr<const Path>& outline, Box expected) {
  ASSERT_NE(outline, nullptr);
  const Box box = BoxOf(*outline);
  EXPECT_NEAR(box.left, expected.left, 1e-9);
  EXPECT_NEAR(box.bottom, expected.bottom, 1e-9);
  EXPECT_NEAR(box.right, expected.right, 1e-9);
  EXPECT_NEAR(box.top, expected.top, 1e-9);
}

TEST(GlyphProgram, TypeOneGlyphsByNameAndOwnEncodingWithTheirOutlines) {
  const auto program = OpenType1(TypeOneProgram());
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(program->GlyphCount(), 3);
  const std::int32_t a = program->GlyphNamed("A");
  const std::int32_t b = program->GlyphNamed("B");
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(program->GlyphNamed("C"), -1);
  EXPECT_EQ(program->GlyphName(a), "A");
  EXPECT_EQ(program->BuiltInGlyph(200), a);
  EXPECT_EQ(program->BuiltInGlyph(201), b);
  EXPECT_EQ(program->BuiltInGlyph(65), -1);  // not in its encoding
  ExpectBox(program->Outline(a), {0.1, 0, 0.5, 0.7});
  ExpectBox(program->Outline(b), {0.05, 0, 0.45, 0.3});
  // One closed contour: a move, lines, a close.
  const auto rectangle = program->Outline(a);
  EXPECT_EQ(rectangle->verbs.front(), PathVerb::kMove);
  EXPECT_EQ(rectangle->verbs.back(), PathVerb::kClose);
  EXPECT_EQ(program->Outline(99), nullptr);
}

// A page showing codes 41 42 C8 C9 at 50 points in the Type 1 font above, with `encoding` (an
// /Encoding entry or nothing) and no ToUnicode map. `program` replaces the font's program.
std::string TypeOnePage(const std::string& encoding,
                        const std::string& program = TypeOneProgram()) {
  const std::size_t clear = std::min(program.size(), program.find("eexec\n") + 6);
  return test::OnePage(
      "BT /F1 50 Tf 20 30 Td <4142C8C9> Tj ET", "/Font << /F1 5 0 R >>",
      {"<< /Type /Font /Subtype /Type1 /BaseFont /LvxTest " + encoding +
           " /FirstChar 65 /LastChar 66 /Widths [600 500] /FontDescriptor 6 0 R >>",
       "<< /Type /FontDescriptor /FontName /LvxTest /Flags 4 /FontFile 7 0 R >>",
       "stream:/Length1 " + std::to_string(clear) + " /Length2 " +
           std::to_string(program.size() - clear) + " /Length3 0|" + program});
}

std::vector<TextCommand::Glyph> ShownGlyphs(const std::string& file) {
  std::vector<TextCommand::Glyph> glyphs;
  for (const TextCommand& text : test::All<TextCommand>(test::Draw(file))) {
    EXPECT_TRUE(text.font->outlines);
    glyphs.insert(glyphs.end(), text.glyphs.begin(), text.glyphs.end());
  }
  return glyphs;
}

// /Differences names choose the glyphs (41 is B, 42 is A) and give the text; codes it leaves
// alone (C8, C9) fall to the program's own encoding only when the font names no base encoding.
TEST(GlyphProgram, CodesChooseGlyphsByDifferencesThenTheProgramsEncoding) {
  const std::string file = TypeOnePage("/Encoding << /Differences [65 /B /A] >>");
  const auto glyphs = ShownGlyphs(file);
  ASSERT_EQ(glyphs.size(), 4U);
  ExpectBox(glyphs[0].outline, {0.05, 0, 0.45, 0.3});
  ExpectBox(glyphs[1].outline, {0.1, 0, 0.5, 0.7});
  ExpectBox(glyphs[2].outline, {0.1, 0, 0.5, 0.7});
  ExpectBox(glyphs[3].outline, {0.05, 0, 0.45, 0.3});
  // Each glyph shape is held once, however often it is shown.
  EXPECT_EQ(glyphs[1].outline.get(), glyphs[2].outline.get());
  EXPECT_EQ(glyphs[0].text, "B");
  EXPECT_EQ(glyphs[3].text, "B");
  const auto document = test::Open(file);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->PageText(0).substr(0, 4), "BAAB");

  // A named base encoding: C8 and C9 are not letters there, and the program has no glyph for
  // the characters they stand for, so nothing is drawn for them.
  const auto named = ShownGlyphs(TypeOnePage("/Encoding /WinAnsiEncoding"));
  ASSERT_EQ(named.size(), 4U);
  ExpectBox(named[0].outline, {0.1, 0, 0.5, 0.7});  // 'A' by its character's glyph name
  EXPECT_EQ(named[2].outline, nullptr);
}

// The page's drawing of a font drawn from outlines: the outline placed by the size and the text
// matrix at each glyph's origin.
TEST(GlyphProgram, OutlinesLandOnThePageAtTheGlyphsSize) {
  const auto list = test::Draw(TypeOnePage(""));
  const auto texts = test::All<TextCommand>(list);
  ASSERT_EQ(texts.size(), 1U);
  // Codes 41 and 42 have no glyph in the program's own encoding; C8 and C9 are its A and B.
  ASSERT_EQ(texts[0].glyphs.size(), 4U);
  EXPECT_EQ(texts[0].glyphs[0].outline, nullptr);
  const TextCommand::Glyph& a = texts[0].glyphs[2];
  TextCommand one = texts[0];
  one.glyphs = {a};
  const Box box = BoxOf(TextOutlinesOnPage(one));
  EXPECT_NEAR(box.left, a.origin.x + 0.1 * 50, 1e-6);
  EXPECT_NEAR(box.right, a.origin.x + 0.5 * 50, 1e-6);
  EXPECT_NEAR(box.bottom, a.origin.y, 1e-6);
  EXPECT_NEAR(box.top, a.origin.y + 0.7 * 50, 1e-6);
  EXPECT_EQ(a.text, "A");
}

// Programs made to harm the reader: cut short, garbage, an absurd glyph count, and a memory cap
// too small for the program. Each is refused or read in part, never beyond the engine's cap.
TEST(GlyphProgram, HostileProgramsAreRefusedWithinTheCap) {
  const std::string good = TypeOneProgram();
  if (const auto cut = OpenType1(good.substr(0, good.size() / 2))) {
    for (std::int32_t glyph = 0; glyph < cut->GlyphCount(); ++glyph) {
      (void)cut->Outline(glyph);
    }
  }
  EXPECT_EQ(OpenType1(std::string(4096, '\xAB')), nullptr);
  EXPECT_EQ(GlyphProgram::Open(FontEngine::Make(), test::ToBytes(std::string(4096, '\x01')),
                               ProgramKind::kCff),
            nullptr);
  EXPECT_EQ(GlyphProgram::Open(FontEngine::Make(), {}, ProgramKind::kCff), nullptr);

  const auto engine = FontEngine::Make(std::size_t{1} << 20);
  ASSERT_NE(engine, nullptr);
  const auto huge = OpenType1(TypeOneProgram(200'000'000), engine);
  if (huge) {
    EXPECT_LE(huge->GlyphCount(), 3);
  }
  EXPECT_LE(engine->Peak(), engine->Cap());

  // A cap between what the library needs and what opening the program needs: the program is
  // refused, and FreeType never held more than the cap.
  const auto measured = FontEngine::Make();
  ASSERT_NE(measured, nullptr);
  const std::size_t library = measured->Used();
  ASSERT_NE(OpenType1(good, measured), nullptr);
  ASSERT_GT(measured->Peak(), library);
  const auto tight = FontEngine::Make(library + (measured->Peak() - library) / 2);
  ASSERT_NE(tight, nullptr);
  EXPECT_EQ(OpenType1(good, tight), nullptr);
  EXPECT_LE(tight->Peak(), tight->Cap());
  EXPECT_EQ(tight->Used(), library) << "a refused program leaves nothing behind";

  // A page whose font program is cut short still draws and reads.
  const std::string page = TypeOnePage("", good.substr(0, good.size() - 200));
  const auto document = test::Open(page);
  ASSERT_NE(document, nullptr);
  (void)document->PageDrawing(0);
  EXPECT_FALSE(document->PageText(0).empty());
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {(std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()};
}

// The URW fonts, when the machine has them (fonts-urw-base35): glyph 'A' of the Type 1 program
// and of the OpenType CFF version of the same design, read by FreeType's two drivers, have the
// same outline box, within a few units of the box the AFM file gives ("B 14 0 654 729").
TEST(GlyphProgram, UrwOutlinesMatchTheFontsMetrics) {
  const std::string t1 = ReadFile("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1");
  const std::string otf = ReadFile("/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf");
  if (t1.empty() || otf.empty()) {
    GTEST_SKIP() << "fonts-urw-base35 is not installed";
  }
  const auto type1 = OpenType1(t1);
  ASSERT_NE(type1, nullptr);
  const auto a = type1->Outline(type1->GlyphNamed("A"));
  ASSERT_NE(a, nullptr);
  const Box box = BoxOf(*a);
  EXPECT_NEAR(box.left, 0.014, 0.005);
  EXPECT_NEAR(box.bottom, 0, 0.005);
  EXPECT_NEAR(box.right, 0.654, 0.005);
  EXPECT_NEAR(box.top, 0.729, 0.005);
  EXPECT_EQ(type1->BuiltInGlyph('A'), type1->GlyphNamed("A"));  // StandardEncoding

  const auto cff =
      GlyphProgram::Open(FontEngine::Make(), test::ToBytes(otf), ProgramKind::kOpenTypeCff);
  ASSERT_NE(cff, nullptr);
  ExpectBox(cff->Outline(cff->GlyphNamed("A")), box);
  EXPECT_EQ(cff->CharacterGlyph(U'A'), cff->GlyphNamed("A"));
  EXPECT_FALSE(cff->CidKeyed());
}

}  // namespace
}  // namespace lvx::pdf
