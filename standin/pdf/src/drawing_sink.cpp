#include "drawing_sink.h"

#include <cmath>
#include <optional>
#include <utility>
#include <variant>

#include "file.h"
#include "glyph_program.h"
#include "graphics_image.h"
#include "graphics_shading.h"
#include "object_numbers.h"
#include "text_assembly.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

StrokeStyle PageStyle(const GState& state) {
  StrokeStyle style = state.style;
  const double scale = LengthScale(state.ctm);
  style.width *= scale;
  for (double& d : style.dash) {
    d *= scale;
  }
  style.dashPhase *= scale;
  return style;
}

bool Paints(const Paint& paint) { return !paint.space->PaintsNothing() && paint.alpha > 0; }

std::uint64_t PathBytes(const Path& path) {
  return std::uint64_t{path.points.size()} * sizeof(Point) +
         std::uint64_t{path.verbs.size()} * sizeof(PathVerb);
}

// What a command holds besides itself (image pixels are counted apart).
std::uint64_t PayloadBytes(const DrawCommand& command) {
  if (const auto* fill = std::get_if<FillCommand>(&command)) {
    return PathBytes(fill->path);
  }
  if (const auto* stroke = std::get_if<StrokeCommand>(&command)) {
    return PathBytes(stroke->path) + std::uint64_t{stroke->style.dash.size()} * sizeof(double);
  }
  if (const auto* clip = std::get_if<ClipCommand>(&command)) {
    return PathBytes(clip->path);
  }
  if (const auto* shading = std::get_if<ShadingCommand>(&command)) {
    return PathBytes(shading->area) + std::uint64_t{shading->ramp.size()} * sizeof(Rgb);
  }
  if (const auto* text = std::get_if<TextCommand>(&command)) {
    std::uint64_t bytes = std::uint64_t{text->glyphs.size()} * sizeof(TextCommand::Glyph);
    for (const TextCommand::Glyph& glyph : text->glyphs) {
      bytes += glyph.text.capacity() > 15 ? glyph.text.capacity() : 0;
    }
    return bytes;  // outlines are counted once per page (DrawingSink::Glyphs)
  }
  return 0;
}

}  // namespace

bool DrawingSink::Emit(DrawCommand command) {
  if (Full()) {
    out_.truncated = true;
    return false;
  }
  listBytes_ += sizeof(DrawCommand) + PayloadBytes(command);
  out_.commands.push_back(std::move(command));
  return true;
}

bool DrawingSink::UsePath(Path&& path, const PathUse& use, const GState& state) {
  // Each copy of the path's points counts as work.
  const std::size_t copies = (use.fill ? 1 : 0) + (use.stroke ? 1 : 0) + (use.clip ? 1 : 0);
  if (!SpendWork(std::uint64_t{path.points.size()} * copies)) {
    out_.truncated = true;
    return false;
  }
  if (use.fill && !path.Empty()) {
    FillPath(path, use.fillRule, state);
  }
  if (use.stroke && !path.Empty() && Paints(state.stroke)) {
    Emit(StrokeCommand{path, PageStyle(state), state.stroke.rgb, state.stroke.alpha});
  }
  if (!use.clip) {
    return false;
  }
  // An empty clipping path hides everything after it.
  return Emit(path.Empty() ? ClipCommand{Path{}, FillRule::kNonZero}
                           : ClipCommand{std::move(path), use.clipRule});
}

void DrawingSink::EndClips(std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    out_.commands.emplace_back(RestoreClip{});  // always kept, so that clips stay balanced
    listBytes_ += sizeof(DrawCommand);
  }
}

void DrawingSink::FillPath(const Path& path, FillRule rule, const GState& state) {
  const Paint& paint = state.fill;
  if (!Paints(paint)) {
    return;
  }
  if (paint.space->Kind() != ColourSpace::Family::kPattern) {
    Emit(FillCommand{path, rule, paint.rgb, paint.alpha});
    return;
  }
  const Object pattern = file_.Resolve(paint.pattern);
  const Dict& dict = pattern.AsDict();
  if (file_.Get(dict, "PatternType").AsInt(0) != 2) {
    // Tiling patterns as one flat colour: the given colour of an uncoloured pattern, else the
    // paint rgb set when the pattern was chosen.
    Emit(FillCommand{path, rule, paint.rgb, paint.alpha});
    return;
  }
  const Matrix toPage = MatrixEntry(file_, dict) * state.base;
  if (std::optional<ShadingCommand> shading =
          Finite(toPage) ? ReadShading(file_, dict.Get("Shading"), toPage) : std::nullopt) {
    if (shading->kind == ShadingCommand::Kind::kFlat) {
      Emit(FillCommand{path, rule, AverageColour(*shading), paint.alpha});
    } else {
      shading->area = path;
      shading->rule = rule;
      Emit(std::move(*shading));
    }
  }
}

void DrawingSink::Place(std::shared_ptr<const ImagePixels> pixels, bool smooth,
                        const GState& state) {
  Emit(ImageCommand{ToAffine(state.ctm), std::move(pixels), smooth});
}

void DrawingSink::Image(const Object& reference, const Stream& stream, const Object& resources,
                        const GState& state) {
  if (state.fill.alpha <= 0 || LengthScale(state.ctm) == 0) {
    return;
  }
  // Image masks take the fill colour, so only other images are decoded once per page.
  const bool mask = file_.Get(stream.dict, "ImageMask").AsBool(false);
  const std::uint32_t num = reference.IsRef() && !mask ? reference.AsRef().num : 0;
  if (const auto found = images_.find(num); num != 0 && found != images_.end()) {
    if (found->second.pixels) {
      Place(found->second.pixels, found->second.smooth, state);
    }
    return;
  }
  const ImageSource source = ImageFromStream(file_, stream);
  bool overBudget = false;
  std::optional<ImageCommand> image = DecodeImage(file_, source, resources, state.fill.rgb,
                                                  kPageImageBytes - imageBytes_, &overBudget);
  out_.truncated = out_.truncated || overBudget;
  std::shared_ptr<const ImagePixels> pixels = image ? image->pixels : nullptr;
  if (pixels) {
    imageBytes_ += pixels->Bytes();
  }
  if (num != 0) {
    images_[num] = {pixels, image && image->smooth};
  }
  if (pixels) {
    Place(std::move(pixels), image->smooth, state);
  }
}

void DrawingSink::InlineImage(const Dict& dict, std::span<const std::uint8_t> data,
                              const Object& resources, const GState& state) {
  const ImageSource source = ImageFromData(dict, data);
  bool overBudget = false;
  std::optional<ImageCommand> image = DecodeImage(file_, source, resources, state.fill.rgb,
                                                  kPageImageBytes - imageBytes_, &overBudget);
  out_.truncated = out_.truncated || overBudget;
  if (image) {
    imageBytes_ += image->pixels->Bytes();
    Place(std::move(image->pixels), image->smooth, state);
  }
}

void DrawingSink::Shade(const Object& shading, const GState& state) {
  if (std::optional<ShadingCommand> command = ReadShading(file_, shading, state.ctm)) {
    Emit(std::move(*command));
  }
}

void DrawingSink::Glyphs(const GState& state, std::span<const ShownGlyph> glyphs) {
  const TextParams& t = state.text;
  if (!t.drawing || t.mode == 3 || t.mode == 7) {
    return;
  }
  const bool fills = t.mode == 0 || t.mode == 2 || t.mode == 4 || t.mode == 6;
  const bool strokes = t.mode == 1 || t.mode == 2 || t.mode == 5 || t.mode == 6;
  TextCommand command;
  command.font = t.drawing->draw;
  command.colour = state.fill.rgb;
  command.strokeColour = state.stroke.rgb;
  command.fill = fills && Paints(state.fill);
  command.stroke = strokes && Paints(state.stroke);
  if (!command.fill && !command.stroke) {
    return;
  }
  for (const ShownGlyph& shown : glyphs) {
    if (!Finite(shown.render)) {
      continue;
    }
    TextCommand::Glyph placed;
    placed.origin = {shown.render.e, shown.render.f};
    placed.advance =
        shown.glyph->width * t.size * t.horizontalScale * std::hypot(shown.text.a, shown.text.b);
    for (const char32_t c : shown.glyph->text) {
      AppendUtf8(placed.text, c);
    }
    placed.glyphId = t.drawing->GlyphIdOf(shown.glyph->code);
    placed.outline = t.drawing->OutlineOf(shown.glyph->code);
    if (placed.outline && outlines_.insert(placed.outline.get()).second) {
      listBytes_ += PathFootprint(*placed.outline);
      heldOutlines_.push_back(placed.outline);
    }
    command.matrix = ToAffine(shown.render);
    command.glyphs.push_back(std::move(placed));
  }
  if (!command.glyphs.empty()) {
    Emit(std::move(command));
  }
}

}  // namespace lvx::pdf
