// Turns the content interpreter's events into a display list: paths filled (in colour or with a
// shading pattern), stroked and clipped, images decoded and placed (an XObject drawn again shares
// its pixels), shadings and text. The list keeps to the page's limits (page_limits.h): at most
// kMaxCommands commands and kPageImageBytes of image pixels; an image that does not fit is left
// out and the list says it was truncated. kPageListBytes bounds the rest of the list.
#ifndef LVXPDF_DRAWING_SINK_H
#define LVXPDF_DRAWING_SINK_H

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "content_sink.h"
#include "lvxpdf/display_list.h"
#include "page_limits.h"

namespace lvx::pdf {

class PdfFile;

class DrawingSink final : public ContentSink {
 public:
  DrawingSink(PdfFile& file, DisplayList& out) : file_(file), out_(out) {}

  [[nodiscard]] bool Draws() const override { return true; }
  void Glyphs(const GState& state, std::span<const ShownGlyph> glyphs) override;
  bool UsePath(Path&& path, const PathUse& use, const GState& state) override;
  void EndClips(std::size_t count) override;
  void Image(const Object& reference, const Stream& stream, const Object& resources,
             const GState& state) override;
  void InlineImage(const Dict& dict, std::span<const std::uint8_t> data, const Object& resources,
                   const GState& state) override;
  void Shade(const Object& shading, const GState& state) override;
  [[nodiscard]] bool Full() const override {
    return out_.commands.size() >= kMaxCommands || listBytes_ >= kPageListBytes;
  }

  [[nodiscard]] std::uint64_t ImageBytes() const { return imageBytes_; }

 private:
  bool Emit(DrawCommand command);
  void FillPath(const Path& path, FillRule rule, const GState& state);
  void Place(std::shared_ptr<const ImagePixels> pixels, bool smooth, const GState& state);

  PdfFile& file_;
  DisplayList& out_;
  // Image XObjects decoded on this page, by object number (null: could not be drawn).
  struct Decoded {
    std::shared_ptr<const ImagePixels> pixels;
    bool smooth = false;
  };
  std::unordered_map<std::uint32_t, Decoded> images_;
  std::uint64_t imageBytes_ = 0;
  std::uint64_t listBytes_ = 0;  // the commands with their paths, glyphs, outlines and ramps
  // Glyph outlines on the page, each counted once; held, so that an address is never reused by
  // another outline while the page is drawn.
  std::unordered_set<const Path*> outlines_;
  std::vector<std::shared_ptr<const Path>> heldOutlines_;
};

}  // namespace lvx::pdf

#endif
