// What the content interpreter reports to the one consuming a page: the text sink (page text and
// runs) and the drawing sink (the display list). The interpreter owns the operators, the state,
// the text positioning and the recursion into forms and glyph procedures; a sink only turns
// finished events into its own output.
#ifndef LVXPDF_CONTENT_SINK_H
#define LVXPDF_CONTENT_SINK_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "content_state.h"
#include "font.h"
#include "lvxpdf/display_list.h"
#include "matrix.h"
#include "object.h"

namespace lvx::pdf {

// One glyph shown by a text operator: `text` maps text space (without the font size) to page
// space, `render` glyph space at the font's size (its e and f: the glyph's origin).
struct ShownGlyph {
  const Glyph* glyph = nullptr;
  Matrix text;
  Matrix render;
};

// How a finished path is used: filled, stroked, made the clip, or any of these together.
struct PathUse {
  bool fill = false;
  FillRule fillRule = FillRule::kNonZero;
  bool stroke = false;
  bool clip = false;
  FillRule clipRule = FillRule::kNonZero;
};

class ContentSink {
 public:
  ContentSink() = default;
  virtual ~ContentSink() = default;
  ContentSink(const ContentSink&) = delete;
  ContentSink& operator=(const ContentSink&) = delete;
  ContentSink(ContentSink&&) = delete;
  ContentSink& operator=(ContentSink&&) = delete;

  // Whether the sink draws. Only then does the interpreter build paths, choose colours, decode
  // images and shadings and run glyph procedures; text extraction pays for none of that.
  [[nodiscard]] virtual bool Draws() const = 0;

  // The glyphs of one string of a text operator (Type 3 glyphs the interpreter drew itself are
  // not among them).
  virtual void Glyphs(const GState& state, std::span<const ShownGlyph> glyphs) = 0;

  // The drawing's events, which only a sink that draws receives; by default they draw nothing.
  // A finished path; answers whether a clip was added (then ended by EndClips).
  virtual bool UsePath(Path&& /*path*/, const PathUse& /*use*/, const GState& /*state*/) {
    return false;
  }
  // Ends the effect of the last `count` clips.
  virtual void EndClips(std::size_t /*count*/) {}
  virtual void Image(const Object& /*reference*/, const Stream& /*stream*/,
                     const Object& /*resources*/, const GState& /*state*/) {}
  // An inline image: its dictionary with the keys spelled out, and its data.
  virtual void InlineImage(const Dict& /*dict*/, std::span<const std::uint8_t> /*data*/,
                           const Object& /*resources*/, const GState& /*state*/) {}
  virtual void Shade(const Object& /*shading*/, const GState& /*state*/) {}
  // Whether the sink's output is full (the interpreter then stops).
  [[nodiscard]] virtual bool Full() const { return false; }
};

}  // namespace lvx::pdf

#endif
