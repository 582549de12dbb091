// A page's drawing as a list of commands in page space (points, origin at the MediaBox's lower
// left corner, y up), in the order the content stream paints them: filled and stroked paths,
// clipping, images, shadings and text. Colours are already converted to 8-bit RGB, images to
// 8-bit RGB with an optional alpha channel (or kept as JPEG data for the platform's codecs), so
// that a painter needs no knowledge of PDF. Portable C++ (no Windows API).
#ifndef LVXPDF_DISPLAY_LIST_H
#define LVXPDF_DISPLAY_LIST_H

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace lvx::pdf {

struct Point {
  double x = 0;
  double y = 0;
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// An affine map in PDF's row-vector convention: (x, y) maps to (x a + y c + e, x b + y d + f).
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

enum class PathVerb : std::uint8_t {
  kMove,   // one point
  kLine,   // one point
  kCurve,  // three points: two control points and the end (cubic Bezier)
  kClose,  // no point
};

struct Path {
  std::vector<PathVerb> verbs;
  std::vector<Point> points;
  [[nodiscard]] bool Empty() const { return verbs.empty(); }
};

enum class FillRule : std::uint8_t { kNonZero, kEvenOdd };
enum class LineCap : std::uint8_t { kButt, kRound, kSquare };
enum class LineJoin : std::uint8_t { kMiter, kRound, kBevel };

struct StrokeStyle {
  double width = 1;  // in page space (0: the thinnest line the device can draw)
  LineCap cap = LineCap::kButt;
  LineJoin join = LineJoin::kMiter;
  double miterLimit = 10;
  std::vector<double> dash;  // on and off lengths in page space; empty: solid
  double dashPhase = 0;
};

struct FillCommand {
  Path path;
  FillRule rule = FillRule::kNonZero;
  Rgb colour;
  double alpha = 1;
};

struct StrokeCommand {
  Path path;
  StrokeStyle style;
  Rgb colour;
  double alpha = 1;
};

// Intersects the clip with the path until the matching RestoreClip.
struct ClipCommand {
  Path path;
  FillRule rule = FillRule::kNonZero;
};
// Ends the innermost ClipCommand's effect (the list always has one per clip).
struct RestoreClip {};

// An image's pixels, shared by every placement of the same image on a page, so that an image
// drawn many times is held once. Rows from the top, `width` by `height`, 3 bytes each (RGB);
// `alpha`, when not empty, has one byte per pixel (0 transparent, 255 opaque). When `jpeg` is not
// empty the pixels are left to the painter: the JPEG data decodes to `width` by `height` pixels of
// `jpegComponents` components (inverted when `jpegInverted`, as Adobe writes CMYK). `identity`
// names the JPEG data (a 64-bit hash of its bytes), so that a painter's cache of decoded pictures
// finds the same data again and never mistakes other data for it.
struct ImagePixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::vector<std::uint8_t> alpha;
  std::vector<std::uint8_t> jpeg;
  int jpegComponents = 3;
  bool jpegInverted = false;
  std::uint64_t identity = 0;
  [[nodiscard]] std::size_t Bytes() const { return rgb.size() + alpha.size() + jpeg.size(); }
};

// An image placed on the page: the unit square of image space (0,0 lower left) maps through
// `placement` to page space. `pixels` is never null in a display list.
struct ImageCommand {
  Affine placement;
  std::shared_ptr<const ImagePixels> pixels;
  bool smooth = false;  // /Interpolate, or an image drawn much larger than its pixels
};

// A smooth colour change over the current clip, intersected with `area` when it is not empty.
// Axial: colour t runs from `from` (t = 0) to `to` (t = 1) along that line. Radial: between the
// circles (from, r0) and (to, r1). `ramp` holds the colours at equal steps of t; `extendStart`
// and `extendEnd` say whether the end colours continue beyond. Anything else is its average
// colour, `ramp` holding that one entry and `kind` kFlat.
struct ShadingCommand {
  enum class Kind : std::uint8_t { kAxial, kRadial, kFlat };
  Kind kind = Kind::kFlat;
  Affine shadingSpace;  // shading space to page space
  Point from, to;
  double r0 = 0, r1 = 0;
  bool extendStart = false, extendEnd = false;
  std::vector<Rgb> ramp;
  Path area;
  FillRule rule = FillRule::kNonZero;
};

// A font as far as a painter needs it: the family and style for a face of the platform, and the
// embedded font program when it is one the platform may load (TrueType or OpenType). A font
// whose glyphs come with outlines (an embedded Type 1 or CFF program) is drawn from those.
struct DrawFont {
  std::string family;  // base font name without subset tag and style
  bool bold = false;
  bool italic = false;
  bool fixedPitch = false;
  bool serif = false;
  std::vector<std::uint8_t> program;  // an sfnt (TrueType or OpenType) font file, or empty
  std::string programFamily;          // the family name its name table gives
  bool outlines = false;              // glyphs are drawn from TextCommand::Glyph::outline
};

// Glyphs shown by one text operator. Each glyph's origin is on the baseline in page space; the
// glyph space to page space map for a size of 1 is `matrix` (its e and f unused). `text` is the
// glyph's Unicode text (UTF-8), `glyphId` its glyph index in the embedded program (-1 when the
// font has none or the code does not map). `outline` is the glyph's shape in glyph space (em
// units, y up) when the font is drawn from outlines, shared by every glyph of that shape; null
// otherwise, and for a code the program has no glyph for.
struct TextCommand {
  struct Glyph {
    Point origin;
    double advance = 0;  // page-space distance to the next glyph's origin along the baseline
    std::string text;
    std::int32_t glyphId = -1;
    std::shared_ptr<const Path> outline;
  };
  std::shared_ptr<const DrawFont> font;
  Affine matrix;
  std::vector<Glyph> glyphs;
  Rgb colour;
  bool fill = true;     // modes 0, 2, 4, 6
  bool stroke = false;  // modes 1, 2, 5, 6
  Rgb strokeColour;
};

// The glyphs' outlines of a text command in page space, as one path (filled with the nonzero
// rule); `withoutText` keeps only glyphs that have no text.
Path TextOutlinesOnPage(const TextCommand& text, bool withoutText = false);

using DrawCommand = std::variant<FillCommand, StrokeCommand, ClipCommand, RestoreClip, ImageCommand,
                                 ShadingCommand, TextCommand>;

struct DisplayList {
  double width = 612;  // the MediaBox's size in points
  double height = 792;
  std::vector<DrawCommand> commands;
  bool truncated = false;  // a limit on the work or the size stopped the interpretation early
};

}  // namespace lvx::pdf

#endif
