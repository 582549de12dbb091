// Writes the fuzz targets' seed sets, one folder per target: for the whole document small files of
// every structure the reader knows (each cross-reference form, an incremental update, every
// encryption revision, fonts with encodings, ToUnicode CMaps and a composite font, forms and
// inline images), made by the tests' builder; for the component targets small inputs of their own
// (encoded data for each filter, predictor rows, objects, CMaps, TrueType, Type 1 and CFF
// programs, content streams, Encrypt dictionaries with data, and the codec tests' JPEG 2000 and
// CCITT pictures).
//   make_fuzz_seeds FOLDER
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "encrypted_document.h"
#include "hostile_documents.h"
#include "jbig2_encoder.h"
#include "pdf_builder.h"

namespace {

using lvx::pdf::test::Encryption;
using lvx::pdf::test::PdfBuilder;
using lvx::pdf::test::XrefForm;

std::string FontsDocument() {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 612 792] >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 4 0 R /F2 5 0 R /F3 6 0 R >>"
      " /XObject << /X1 9 0 R >> >> /Contents 10 0 R >>");
  pdf.Add(
      "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Bold /Encoding << /BaseEncoding"
      " /MacRomanEncoding /Differences [65 /fi /uni00E9 /f_f] >> /FirstChar 32 /LastChar 40"
      " /Widths [250 300 400 500 500 800 700 200 300] >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /X /ToUnicode 7 0 R >>");
  pdf.Add(
      "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Noto /Encoding /Identity-H"
      " /DescendantFonts [8 0 R] /ToUnicode 7 0 R >>");
  pdf.AddStream("",
                "/CIDInit /ProcSet findresource begin begincmap 1 begincodespacerange <0000>"
                " <FFFF> endcodespacerange 2 beginbfchar <0001> <0048> <0002> <D83DDE00>"
                " endbfchar 1 beginbfrange <0010> <0020> <0061> endbfrange endcmap end");
  pdf.Add(
      "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Noto /DW 1000 /W [1 [500 600] 16 32 400] "
      ">>");
  pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Matrix [1 0 0 1 10 10]",
                "BT /F1 9 Tf 0 0 Td (In a form) Tj ET");
  pdf.AddStream("",
                "q 1 0 0 1 5 5 cm BT /F1 12 Tf 72 700 Td (AB C) Tj [(D) -300 (E)] TJ T* (F) '"
                " 1 2 (G) \" /F2 10 Tf <0102> Tj /F3 8 Tf 0 -20 Td <000100100011> Tj ET Q"
                " /X1 Do BI /W 1 /H 1 /BPC 8 /CS /G ID x EI");
  return pdf.Build(catalog, XrefForm::kTable, "/Info << /Title <FEFF0041> /Author (B) >>");
}

using Seeds = std::vector<std::pair<std::string, std::string>>;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {(std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()};
}

// An sfnt file's table of this tag; empty when it has none.
std::string SfntTable(const std::string& file, std::string_view tag) {
  const auto number = [&file](std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes && at + i < file.size(); ++i) {
      value = (value << 8U) | static_cast<std::uint8_t>(file[at + static_cast<std::size_t>(i)]);
    }
    return value;
  };
  const std::uint32_t tables = number(4, 2);
  for (std::uint32_t i = 0; i < tables && 12 + 16 * i + 16 <= file.size(); ++i) {
    const std::size_t entry = 12 + std::size_t{16} * i;
    if (file.compare(entry, 4, tag) == 0 && number(entry + 8, 4) <= file.size() &&
        number(entry + 12, 4) <= file.size() - number(entry + 8, 4)) {
      return file.substr(number(entry + 8, 4), number(entry + 12, 4));
    }
  }
  return {};
}

// The fonts target's seeds: a kind byte (0 Type 1, 1 CFF, 2 OpenType CFF) and a program. The
// small URW fonts where the machine has them (fonts-urw-base35), their CFF font sets, and a
// program cut short.
Seeds TypeOneAndCffPrograms() {
  Seeds programs;
  const std::filesystem::path type1 = "/usr/share/fonts/type1/urw-base35";
  const std::filesystem::path opentype = "/usr/share/fonts/opentype/urw-base35";
  for (const char* name : {"StandardSymbolsPS", "D050000L"}) {
    const std::string t1 = ReadFile(type1 / (std::string(name) + ".t1"));
    const std::string otf = ReadFile(opentype / (std::string(name) + ".otf"));
    if (!t1.empty()) {
      programs.emplace_back(std::string(name) + ".t1", '\0' + t1);
      programs.emplace_back(std::string(name) + "-cut.t1", '\0' + t1.substr(0, t1.size() / 3));
    }
    if (!otf.empty()) {
      programs.emplace_back(std::string(name) + ".otf", '\2' + otf);
      programs.emplace_back(std::string(name) + ".cff", '\1' + SfntTable(otf, "CFF "));
    }
  }
  programs.emplace_back("clear-text.t1",
                        std::string(1, '\0') +
                            "%!FontType1-1.0: X\n/FontName /X def /Encoding 256 array"
                            " dup 65 /A put readonly def currentfile eexec\n");
  return programs;
}

// The Encrypt dictionary's text, the first identifier's bytes and some data, as the security
// target reads them (separated by NUL bytes).
std::string SecuritySeed(const std::string& document) {
  const std::size_t standard = document.find("/Standard");
  const std::size_t begin = document.rfind(" obj", standard);
  const std::size_t end = document.find("endobj", standard);
  const std::size_t id = document.find("/ID");
  const std::size_t open = document.find('<', id);
  const std::size_t close = document.find('>', open);
  if (standard == std::string::npos || begin == std::string::npos || end == std::string::npos ||
      id == std::string::npos || close == std::string::npos) {
    return {};
  }
  std::string identifier;
  for (std::size_t i = open + 1; i + 1 < close; i += 2) {
    identifier.push_back(static_cast<char>(std::stoi(document.substr(i, 2), nullptr, 16)));
  }
  return document.substr(begin + 4, end - begin - 4) + std::string(1, '\0') + identifier +
         std::string(1, '\0') + std::string(32, 'x');
}

void Write(const std::filesystem::path& folder, const Seeds& seeds) {
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : seeds) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
}

#ifndef LVX_CODEC_FIXTURES
#define LVX_CODEC_FIXTURES ""  // a build without the codec tests' pictures: their seeds are empty
#endif

// Files of the codec tests' pictures, each after `prefix`.
Seeds FixtureSeeds(const std::vector<std::string>& names, const std::string& prefix) {
  Seeds seeds;
  for (const std::string& name : names) {
    std::ifstream in(std::string(LVX_CODEC_FIXTURES) + "/" + name, std::ios::binary);
    seeds.emplace_back(name + ".bin", prefix + std::string(std::istreambuf_iterator<char>(in),
                                                           std::istreambuf_iterator<char>()));
  }
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_fuzz_seeds FOLDER\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const std::vector<std::string> pages = {"BT /F1 12 Tf 72 720 Td (First page) Tj ET",
                                          "BT /F1 12 Tf 72 720 Td [(Sec) -250 (ond)] TJ ET"};
  Seeds seeds = {
      {"table.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kTable)},
      {"xref-stream.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kStream)},
      {"object-streams.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kObjectStreams)},
      {"no-xref.pdf", lvx::pdf::test::SimpleDocument(pages, XrefForm::kNone)},
      {"fonts.pdf", FontsDocument()},
  };
  seeds.emplace_back(
      "update.pdf", lvx::pdf::test::AppendUpdate(
                        seeds[0].second, {{2, "<< /Type /Pages /Kids [5 0 R] /Count 1 >>"}}, 8, 1));
  const std::pair<Encryption, const char*> encryptions[] = {{Encryption::kRc4Bits40, "rc4-40"},
                                                            {Encryption::kRc4Bits128, "rc4-128"},
                                                            {Encryption::kAes128, "aes-128"},
                                                            {Encryption::kAes256R5, "aes-256-r5"},
                                                            {Encryption::kAes256R6, "aes-256-r6"}};
  for (const auto& [encryption, name] : encryptions) {
    seeds.emplace_back(std::string(name) + ".pdf",
                       lvx::pdf::test::EncryptedDocument(encryption, "", "owner", "Secret", "T"));
  }
  Write(folder / "document", seeds);
  Seeds security;
  for (std::size_t i = seeds.size() - std::size(encryptions); i < seeds.size(); ++i) {
    security.emplace_back(seeds[i].first + ".bin", SecuritySeed(seeds[i].second));
  }
  Write(folder / "security", security);
  Write(folder / "xref", Seeds(seeds.begin(), seeds.begin() + 5));
  const std::string text = "BT /F1 12 Tf 72 720 Td (Hello, world) Tj ET";
  Write(folder / "flate",
        {{"text.bin", lvx::pdf::test::Deflate(text)}, {"empty.bin", lvx::pdf::test::Deflate("")}});
  Write(folder / "lzw", {{"example.bin", "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01"}});
  Write(folder / "ascii_hex", {{"text.bin", "48656C6C 6F2C>"}, {"odd.bin", "414>"}});
  Write(folder / "ascii85", {{"text.bin", "87cURD]i,\"Ebo80~>"}, {"zeros.bin", "z!!~>"}});
  Write(folder / "run_length", {{"runs.bin", std::string("\x04hello\xFE"
                                                         "a\x80",
                                                         9)}});
  Write(folder / "predictor",
        {{"png.bin", std::string("\x02\x01\x03\x03\x02\x01\x02\x03\x01\x01\x01\x01", 12)},
         {"tiff.bin", std::string("\x01\x03\x03\x02\x10\x20\x30\x01\x02\x03", 10)},
         {"bits.bin", std::string("\x01\x01\x00\x10\xA5\x5A\xFF\x00", 8)}});
  Write(folder / "object_parser",
        {{"dict.bin", "<< /A [1 2.5 -.5 (str\\)ing) <4142> /N#20x true null 3 0 R] /D << >> >>"},
         {"stream.bin", "1 0 obj << /Length 5 >> stream\nhello\nendstream endobj"},
         {"nested.bin", "[[[[(a)]]]] {x} 12 0 obj 4 endobj"}});
  // Real TrueType programs where the machine has them (Wine's small ones).
  Seeds programs;
  for (const char* name : {"webdings.ttf", "marlett.ttf", "symbol.ttf"}) {
    std::ifstream file(std::filesystem::path("/usr/share/wine/fonts") / name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!bytes.empty() && bytes.size() <= 65536) {
      programs.emplace_back(name, std::move(bytes));
    }
  }
  programs.emplace_back("header-only.bin", std::string("\0\1\0\0\0\0", 6));
  Write(folder / "sfnt", programs);
  Write(folder / "fonts", TypeOneAndCffPrograms());
  Write(folder / "cmap",
        {{"tounicode.bin",
          "begincmap 2 begincodespacerange <00> <7F> <8000> <FFFF> endcodespacerange"
          " 2 beginbfchar <01> <0048> <8001> <D83DDE00> endbfchar 2 beginbfrange <10> <12> <0061>"
          " <20> <21> [<0058> <00660069>] endbfrange endcmap"},
         {"encoding.bin",
          "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange 1 begincidchar <0041>"
          " 5 endcidchar 1 begincidrange <0100> <01FF> 300 endcidrange endcmap"}});
  Write(folder / "content_text",
        {{"page.bin", "BT /F1 12 Tf 72 720 Td (AB C) Tj [(D) -300 (E)] TJ T* (F) ' 1 2 (G) \" ET"},
         {"fonts.bin",
          "q 0 1 -1 0 300 100 cm BT /F2 10 Tf <00010010> Tj /F3 20 Tf 5 Tc 50 Tz (ab) Tj"
          " /F4 8 Tf 2 Ts (Times) Tj ET Q /X1 Do BI /W 1 /H 1 ID x EI"}});
  Write(folder / "content_drawing",
        {{"paths.bin",
          "q 2 w 1 J 1 j [3 2] 0 d 1 0 0 RG 0 0 1 rg 10 10 m 100 10 l 100 100 50 150 10 100 c h"
          " B 20 20 60 60 re W n 0.5 g 0 0 200 200 re f* Q"},
         {"colours.bin",
          "/CS1 cs 0.5 sc 0 0 10 10 re f /CS2 cs 0.2 0.8 scn 10 0 10 10 re f /CS3 cs 1 sc"
          " 20 0 10 10 re f /CS4 cs /P1 scn 30 0 10 10 re f 0.1 0.2 0.3 0.4 k 40 0 10 10 re f"
          " /G1 gs 1 0 0 rg 50 0 10 10 re f"},
         {"images.bin",
          "q 100 0 0 100 0 0 cm /Im1 Do /Im2 Do /Im3 Do Q q 10 0 0 10 0 0 cm BI /W 2 /H 2 /CS /G"
          " /BPC 8 ID \x10\xFF\x80\x40 EI Q"},
         {"shadings.bin",
          "q 0 0 100 100 re W n /Sh1 sh Q q /Sh2 sh Q /X1 Do BT /F4 20 Tf 0 0 Td (ab) Tj"
          " /F2 12 Tf 1 Tr (outline) Tj /F3 10 Tf <0001> Tj ET"},
         // Sizes that wrap in 32-bit arithmetic, and the path a form or glyph leaves open.
         {"hostile-sizes.bin",
          "q 100 0 0 50 0 0 cm BI /IM true /W 65536 /H 65537 ID x EI Q"
          " BI /W 70000 /H 70000 /CS /RGB /BPC 16 ID abc EI /CS2 cs 0.5 0.5 scn 0 0 1 1 re f"},
         {"open-paths.bin",
          "/X1 Do 1 1 2 2 v S BT /F4 10 Tf (ab) Tj ET 3 3 4 4 v 5 5 l W f /X1 Do"}});
  // JBIG2 streams of each region kind, the globals' length first.
  Seeds jbig2;
  for (const auto& sample : lvx::pdf::test::Jbig2Samples()) {
    std::string bytes = {static_cast<char>(sample.globals.size() >> 8),
                         static_cast<char>(sample.globals.size() & 0xFF)};
    bytes.append(sample.globals.begin(), sample.globals.end());
    bytes.append(sample.stream.begin(), sample.stream.end());
    jbig2.emplace_back(sample.name + ".bin", std::move(bytes));
  }
  Write(folder / "jbig2", jbig2);
  // Whole documents that ask for work or memory out of proportion to their size.
  Seeds hostile;
  for (const auto& [name, file] : lvx::pdf::test::HostileDocuments()) {
    hostile.emplace_back("hostile-" + name + ".pdf", file);
  }
  Write(folder / "document", hostile);
  Write(
      folder / "jpx",
      FixtureSeeds({"grey.j2k", "grey.jp2", "rgb.jp2", "grey16.jp2", "rgba.jp2", "large.j2k"}, ""));
  // The CCITT target's five parameter bytes (see ccitt_fuzzer.cpp), then the data.
  const std::string columns203 = std::string("\x00\xCB\x00\x61", 4);
  Write(folder / "ccitt", FixtureSeeds({"g4.fax"}, std::string{'\x20'} + columns203));
  Write(folder / "ccitt", FixtureSeeds({"g3.fax"}, std::string{'\x25'} + columns203));
  Write(folder / "ccitt", FixtureSeeds({"g3-2d.fax"}, std::string{'\x26'} + columns203));
  Write(folder / "ccitt", FixtureSeeds({"g3-fill.fax"}, std::string{'\x0D'} + columns203));
  std::printf("seeds written to %s\n", folder.string().c_str());
  return 0;
}
