// libFuzzer target for the drawing interpreter: the input is a page's content stream, drawn into a
// display list against fixed resources of every kind the interpreter reads: fonts (simple,
// standard, CID and Type 3), a form, images (8-bit RGB, a 1-bit stencil, a 4-bit indexed one with a
// soft mask), axial and radial shadings, a tiling pattern, Separation and DeviceN spaces with
// sampled, exponential, stitching and PostScript tint functions, and a graphics state with alpha.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "content_fonts.h"
#include "lvxpdf/document.h"
#include "pdf_builder.h"

namespace {

// Objects 1 to 19 fixed, the page's content last (object 20).
std::string DocumentWith(const std::string& content) {
  lvx::pdf::test::PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 20 0 R /Resources <<"
      " /Font << /F1 4 0 R /F2 5 0 R /F3 6 0 R /F4 7 0 R >>"
      " /XObject << /X1 8 0 R /Im1 9 0 R /Im2 10 0 R /Im3 11 0 R >>"
      " /Shading << /Sh1 13 0 R /Sh2 14 0 R >> /Pattern << /P1 15 0 R >>"
      " /ColorSpace << /CS1 [/Separation /Spot /DeviceCMYK 16 0 R]"
      " /CS2 [/DeviceN [/A /B] /DeviceRGB 17 0 R] /CS3 [/Indexed /DeviceRGB 1 <FF000000FF00>]"
      " /CS4 [/Pattern /DeviceRGB] >>"
      " /ExtGState << /G1 << /ca 0.5 /CA 0.5 /LW 3 /D [[2 1] 0] >> >> >> >>");
  lvx::pdf::test::AddContentFonts(pdf);
  pdf.Add(
      "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FontBBox [0 0 60 80]"
      " /FirstChar 97 /LastChar 98 /Widths [50 60] /Encoding << /Differences [97 /a /b] >>"
      " /CharProcs << /a 12 0 R /b 12 0 R >> >>");
  pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Matrix [0 1 -1 0 10 10]",
                "0 0 1 rg 0 0 50 50 re f BT /F1 9 Tf 0 0 Td (In a form) Tj ET /X1 Do"
                " 0 0 m 5 5 l 0 0 1 1 re W");  // a path and a clip left open
  pdf.AddStream(
      "/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB"
      " /BitsPerComponent 8",
      std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12));
  pdf.AddStream("/Type /XObject /Subtype /Image /Width 8 /Height 2 /ImageMask true /Decode [1 0]",
                std::string("\xA5\x5A", 2));
  pdf.AddStream(
      "/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace [/Indexed /DeviceGray 15"
      " <00112233445566778899AABBCCDDEEFF>] /BitsPerComponent 4 /SMask 18 0 R",
      std::string("\x0F\xF0", 2));
  pdf.AddStream("", "60 0 d0 0 0 50 70 re f 0 0 m 10 10 l");  // a glyph that leaves a path open
  pdf.Add(
      "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] /Extend [true true]"
      " /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> >>");
  pdf.Add(
      "<< /ShadingType 3 /ColorSpace /DeviceGray /Coords [50 50 0 50 50 40] /Function"
      " << /FunctionType 3 /Domain [0 1] /Functions [<< /FunctionType 2 /Domain [0 1] /C0 [0]"
      " /C1 [1] /N 2 >> << /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>]"
      " /Bounds [0.5] /Encode [0 1 0 1] >> >>");
  pdf.AddStream(
      "/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10"
      " /YStep 10 /Resources << >>",
      "1 0 0 rg 0 0 5 5 re f");
  pdf.AddStream("/FunctionType 0 /Domain [0 1] /Range [0 1 0 1 0 1 0 1] /Size [2] /BitsPerSample 8",
                std::string("\x00\x00\x00\x00\xFF\x80\x00\x20", 8));
  pdf.AddStream("/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]",
                "{ 2 copy add 2 div 3 1 roll exch dup 0.5 gt { pop 1 } if }");
  pdf.AddStream(
      "/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray"
      " /BitsPerComponent 8",
      std::string("\x00\xFF\x80\x40", 4));
  pdf.Add("null");
  pdf.AddStream("", content);
  return pdf.Build(catalog);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = DocumentWith(std::string(reinterpret_cast<const char*>(data), size));
  lvx::pdf::OpenError error = lvx::pdf::OpenError::kNone;
  const auto document =
      lvx::pdf::Document::OpenBytes(std::vector<std::uint8_t>(file.begin(), file.end()), error);
  if (document) {
    (void)document->PageDrawing(0);
  }
  return 0;
}
