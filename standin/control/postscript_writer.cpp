#include "postscript_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <vector>

#include "font_family.h"
#include "page_layout.h"
#include "postscript_drawing.h"

namespace lvx::standin {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// Maps page space onto the turned sheet, PostScript's y going up from the sheet's bottom.
std::string PageMatrix(const pdf::PageGeometry& g) {
  const std::string w = Number(g.width);
  const std::string h = Number(g.height);
  switch (g.rotation) {
    case 90:
      return "[0 -1 1 0 0 " + w + "]";
    case 180:
      return "[-1 0 0 -1 " + w + " " + h + "]";
    case 270:
      return "[0 1 -1 0 " + h + " 0]";
    default:
      return "[1 0 0 1 0 0]";
  }
}

// Latin-1 versions of the standard fonts, so that accented letters of Windows-1252 print.
constexpr const char* kProlog =
    "/LvxReencode { findfont dup length dict begin\n"
    "  { 1 index /FID ne { def } { pop pop } ifelse } forall\n"
    "  /Encoding ISOLatin1Encoding def currentdict end definefont pop } bind def\n"
    "% text width size font x y R: shows text at x y, stretched to width when it is above 0\n"
    "/R { moveto findfont exch scalefont setfont\n"
    "  1 index stringwidth pop 2 copy 0 gt exch 0 gt and\n"
    "  { div gsave currentpoint translate 1 scale 0 0 moveto show grestore }\n"
    "  { pop pop show } ifelse } bind def\n";

}  // namespace

std::string StandardFontFor(std::string_view family, bool bold, bool italic) {
  const std::string lower = LowerFamily(family);
  if (Mentions(lower, {"symbol"})) {
    return "Symbol";
  }
  if (Mentions(lower, {"courier", "mono"})) {
    return std::string("Courier") + (bold && italic ? "-BoldOblique"
                                     : bold         ? "-Bold"
                                     : italic       ? "-Oblique"
                                                    : "");
  }
  if (Mentions(lower, {"times", "roman", "serif"}) && !Mentions(lower, {"sans"})) {
    return std::string("Times") + (bold && italic ? "-BoldItalic"
                                   : bold         ? "-Bold"
                                   : italic       ? "-Italic"
                                                  : "-Roman");
  }
  return std::string("Helvetica") + (bold && italic ? "-BoldOblique"
                                     : bold         ? "-Bold"
                                     : italic       ? "-Oblique"
                                                    : "");
}

std::string PostScriptString(std::string_view text) {
  std::string literal = "(";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '(' || c == ')' || c == '\\') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20 || byte > 0x7E) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned>(byte));
      literal += octal;
    } else {
      literal += c;
    }
  }
  literal += ')';
  return literal;
}

std::string PostScriptFor(const ShownDocument& document, PageRange pages, std::string_view title) {
  const int count = pages.last - pages.first + 1;
  std::string body;
  std::set<std::string> fonts;
  for (int page = pages.first; page <= pages.last; ++page) {
    const pdf::PageGeometry geometry = document.Geometry(page - 1);
    const SheetSize shown = ShownSize(geometry);
    const std::string number = std::to_string(page - pages.first + 1);
    body.append("%%Page: ").append(number).append(" ").append(number).append("\n");
    body += "<< /PageSize [" + Number(shown.width) + " " + Number(shown.height) +
            "] >> setpagedevice\n";
    body += "gsave " + PageMatrix(geometry) + " concat\n";
    if (const auto drawing = document.Drawing(page - 1)) {
      body += PostScriptDrawing(*drawing) + "0 setgray\n";
    }
    for (const pdf::TextRun& run : document.Runs(page - 1)) {
      if (run.text.empty() || run.fontSize == 0) {
        continue;
      }
      std::string font = StandardFontFor(run.fontFamily, run.bold, run.italic);
      if (font != "Symbol") {
        font += "-Latin1";
      }
      fonts.insert(font);
      body += PostScriptString(run.text) + " " + Number(std::max(run.width, 0.0)) + " " +
              Number(std::abs(run.fontSize)) + " /" + font + " " + Number(run.x) + " " +
              Number(run.y) + " R\n";
    }
    body += "grestore showpage\n";
  }

  std::string program = "%!PS-Adobe-3.0\n%%Title: ";
  for (const char c : title) {
    program += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
  }
  program += "\n%%Creator: Lumivex stand-in viewer\n%%Pages: " + std::to_string(count) +
             "\n%%EndComments\n%%BeginProlog\n" + kProlog;
  for (const std::string& font : fonts) {
    if (font != "Symbol") {
      program += "/" + font + " /" + font.substr(0, font.size() - 7) + " LvxReencode\n";
    }
  }
  program += "%%EndProlog\n" + body + "%%EOF\n";
  return program;
}

}  // namespace lvx::standin
