#include "postscript_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

namespace lvx::standin {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", std::isfinite(value) ? value : 0.0);
  std::string out = text;
  out.erase(out.find_last_not_of('0') + 1);
  if (out.back() == '.') {
    out.pop_back();
  }
  return out == "-0" ? "0" : out;
}

std::string Colour(pdf::Rgb rgb) {
  return Number(rgb.r / 255.0) + " " + Number(rgb.g / 255.0) + " " + Number(rgb.b / 255.0) +
         " setrgbcolor\n";
}

std::string PathOf(const pdf::Path& path) {
  std::string out = "newpath\n";
  std::size_t at = 0;
  const auto point = [&]() {
    const pdf::Point& p = path.points[at++];
    return Number(p.x) + " " + Number(p.y) + " ";
  };
  for (const pdf::PathVerb verb : path.verbs) {
    switch (verb) {
      case pdf::PathVerb::kMove:
        out += point() + "moveto\n";
        break;
      case pdf::PathVerb::kLine:
        out += point() + "lineto\n";
        break;
      case pdf::PathVerb::kCurve:
        out += point();
        out += point();
        out += point() + "curveto\n";
        break;
      case pdf::PathVerb::kClose:
        out += "closepath\n";
        break;
    }
  }
  return out;
}

void Hex(std::string& out, const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += kDigits[bytes[i] >> 4U];
    out += kDigits[bytes[i] & 15U];
    if (i % 39 == 38) {
      out += '\n';
    }
  }
  out += ">\n";
}

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  void operator()(const pdf::FillCommand& fill) const {
    out_ += Colour(fill.colour) + PathOf(fill.path) +
            (fill.rule == pdf::FillRule::kEvenOdd ? "eofill\n" : "fill\n");
  }
  void operator()(const pdf::StrokeCommand& stroke) const {
    const pdf::StrokeStyle& s = stroke.style;
    out_ += Colour(stroke.colour) + Number(s.width) + " setlinewidth " +
            std::to_string(static_cast<int>(s.cap)) + " setlinecap " +
            std::to_string(static_cast<int>(s.join)) + " setlinejoin " + Number(s.miterLimit) +
            " setmiterlimit [";
    for (const double d : s.dash) {
      out_ += Number(d) + " ";
    }
    out_ += "] " + Number(s.dashPhase) + " setdash\n" + PathOf(stroke.path) + "stroke\n";
  }
  void operator()(const pdf::ClipCommand& clip) const {
    out_ += "gsave\n";
    if (clip.path.Empty()) {
      out_ += "newpath 0 0 moveto clip newpath\n";  // nothing shows until the restore
      return;
    }
    out_ += PathOf(clip.path) + (clip.rule == pdf::FillRule::kEvenOdd ? "eoclip" : "clip") +
            " newpath\n";
  }
  void operator()(const pdf::RestoreClip& /*restore*/) const { out_ += "grestore\n"; }

  void operator()(const pdf::ImageCommand& placed) const {
    const pdf::ImagePixels& image = *placed.pixels;
    const pdf::Affine& p = placed.placement;
    const std::string w = std::to_string(image.width);
    const std::string h = std::to_string(image.height);
    out_ += "gsave [" + Number(p.a) + " " + Number(p.b) + " " + Number(p.c) + " " + Number(p.d) +
            " " + Number(p.e) + " " + Number(p.f) + "] concat\n";
    const std::string matrix = " [" + w + " 0 0 -" + h + " 0 " + h + "]";
    if (!image.jpeg.empty()) {
      out_ += w + " " + h + " 8" + matrix +
              " currentfile /ASCIIHexDecode filter /DCTDecode filter false " +
              std::to_string(image.jpegComponents) + " colorimage\n";
      Hex(out_, image.jpeg);
    } else if (!image.alpha.empty() && Uniform(image)) {
      // A stencil: the opaque pixels in the one colour.
      out_ += Colour({image.rgb[0], image.rgb[1], image.rgb[2]}) + w + " " + h + " true" + matrix +
              " currentfile /ASCIIHexDecode filter imagemask\n";
      std::vector<std::uint8_t> bits;
      const auto width = static_cast<std::size_t>(image.width);
      const std::size_t rowBytes = (width + 7) / 8;
      bits.assign(rowBytes * static_cast<std::size_t>(image.height), 0);
      for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
        for (std::size_t x = 0; x < width; ++x) {
          if (image.alpha[y * width + x] >= 128) {
            bits[y * rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
          }
        }
      }
      Hex(out_, bits);
    } else {
      out_ +=
          w + " " + h + " 8" + matrix + " currentfile /ASCIIHexDecode filter false 3 colorimage\n";
      Hex(out_, image.rgb);
    }
    out_ += "grestore\n";
  }

  void operator()(const pdf::ShadingCommand& shading) const {
    if (shading.ramp.empty()) {
      return;
    }
    // One colour for the whole shading: the middle of its ramp.
    out_ += "gsave " + Colour(shading.ramp[shading.ramp.size() / 2]);
    if (shading.area.Empty()) {
      out_ += "clippath fill grestore\n";
    } else {
      out_ += PathOf(shading.area) + (shading.rule == pdf::FillRule::kEvenOdd ? "eofill" : "fill") +
              " grestore\n";
    }
  }

  // Text prints from the page's text runs (postscript_writer.cpp); glyphs that have no text are
  // printed here from their outlines.
  void operator()(const pdf::TextCommand& text) const {
    const pdf::Path path = pdf::TextOutlinesOnPage(text, true);
    if (path.Empty()) {
      return;
    }
    if (text.fill) {
      out_ += Colour(text.colour) + PathOf(path) + "fill\n";
    }
    if (text.stroke) {
      out_ +=
          Colour(text.strokeColour) + "0 setlinewidth [] 0 setdash\n" + PathOf(path) + "stroke\n";
    }
  }

 private:
  static bool Uniform(const pdf::ImagePixels& image) {
    for (std::size_t i = 3; i + 2 < image.rgb.size(); i += 3) {
      if (image.rgb[i] != image.rgb[0] || image.rgb[i + 1] != image.rgb[1] ||
          image.rgb[i + 2] != image.rgb[2]) {
        return false;
      }
    }
    return !image.rgb.empty();
  }

  std::string& out_;
};

}  // namespace

std::string PostScriptDrawing(const pdf::DisplayList& list) {
  std::string out;
  const Writer writer(out);
  for (const pdf::DrawCommand& command : list.commands) {
    std::visit(writer, command);
  }
  return out;
}

}  // namespace lvx::standin
