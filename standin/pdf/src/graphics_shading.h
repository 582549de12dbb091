// Shadings for the display list: axial and radial ones as a ramp of colours along their
// parameter, the others (function-based and the meshes) as their average colour over the area
// they cover.
#ifndef LVXPDF_GRAPHICS_SHADING_H
#define LVXPDF_GRAPHICS_SHADING_H

#include <optional>

#include "lvxpdf/display_list.h"
#include "matrix.h"
#include "object.h"

namespace lvx::pdf {

class PdfFile;

// Colours in an axial or radial ramp.
inline constexpr std::size_t kRampSteps = 256;

// The shading dictionary or stream `shading`, with shading space mapped to page space by
// `toPage`. Nothing when it cannot be read.
std::optional<ShadingCommand> ReadShading(PdfFile& file, const Object& shading,
                                          const Matrix& toPage);

// The single colour that stands for a shading where only one can be drawn.
Rgb AverageColour(const ShadingCommand& shading);

}  // namespace lvx::pdf

#endif
