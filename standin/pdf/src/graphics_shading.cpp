#include "graphics_shading.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "file.h"
#include "graphics_colour.h"
#include "graphics_function.h"
#include "object_numbers.h"

namespace lvx::pdf {
namespace {

constexpr std::size_t kMaxMeshVertices = 1U << 20;

// Reads bit fields from mesh shading data.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}
  bool Read(int bits, double& value) {
    if (bits <= 0 || bits > 32 || bit_ + static_cast<std::size_t>(bits) > data_.size() * 8) {
      return false;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < bits; ++i, ++bit_) {
      v = (v << 1U) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1U);
    }
    value = static_cast<double>(v) / (std::ldexp(1.0, bits) - 1);
    return true;
  }
  void Align() { bit_ = (bit_ + 7) / 8 * 8; }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t bit_ = 0;
};

// The colours and extent of a mesh shading's vertices (types 4 to 7), averaged.
void AverageMesh(PdfFile& file, const Stream& stream, int type, const ColourSpace& space,
                 const FunctionSet& function, ShadingCommand& out) {
  const Dict& dict = stream.dict;
  const int coordBits = static_cast<int>(file.Get(dict, "BitsPerCoordinate").AsInt(0));
  const int compBits = static_cast<int>(file.Get(dict, "BitsPerComponent").AsInt(0));
  const int flagBits = static_cast<int>(file.Get(dict, "BitsPerFlag").AsInt(0));
  const std::vector<double> decode = Numbers(file, dict, "Decode");
  const std::size_t colours = function.Valid() ? 1 : space.Components();
  if (decode.size() < 4 + 2 * colours) {
    return;
  }
  const std::vector<std::uint8_t> data = file.Decode(stream);
  BitReader reader(data);
  double sum[3] = {};
  std::size_t count = 0;
  double minX = std::numeric_limits<double>::max();
  double minY = minX;
  double maxX = -minX;
  double maxY = -minX;
  std::vector<double> values(colours);
  std::vector<double> converted;
  // Reads one vertex's colour and adds it to the sum.
  const auto colour = [&]() {
    for (std::size_t c = 0; c < colours; ++c) {
      double v = 0;
      if (!reader.Read(compBits, v)) {
        return false;
      }
      values[c] = decode[4 + 2 * c] + v * (decode[5 + 2 * c] - decode[4 + 2 * c]);
    }
    Rgb rgb;
    if (function.Valid()) {
      function.Evaluate(values, converted);
      rgb = space.ToRgb(converted);
    } else {
      rgb = space.ToRgb(values);
    }
    sum[0] += rgb.r;
    sum[1] += rgb.g;
    sum[2] += rgb.b;
    ++count;
    return true;
  };
  const auto vertex = [&](bool withColour) {
    double x = 0;
    double y = 0;
    if (!reader.Read(coordBits, x) || !reader.Read(coordBits, y)) {
      return false;
    }
    x = decode[0] + x * (decode[1] - decode[0]);
    y = decode[2] + y * (decode[3] - decode[2]);
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
    if (!withColour) {
      return true;
    }
    return colour();
  };
  double flag = 0;
  for (std::size_t n = 0; n < kMaxMeshVertices; ++n) {
    if (type == 4) {
      if (!reader.Read(flagBits, flag) || !vertex(true)) {
        break;
      }
      reader.Align();
    } else if (type == 5) {
      if (!vertex(true)) {
        break;
      }
    } else {
      if (!reader.Read(flagBits, flag)) {
        break;
      }
      const bool first = flag == 0;
      const int points = (type == 6 ? 12 : 16) - (first ? 0 : 4);
      const int corners = first ? 4 : 2;
      bool ok = true;
      for (int i = 0; i < points && ok; ++i) {
        ok = vertex(false);
      }
      for (int i = 0; i < corners && ok; ++i) {
        ok = colour();  // the corner colours follow the points
      }
      if (!ok) {
        break;
      }
      reader.Align();
    }
  }
  if (count == 0) {
    return;
  }
  out.ramp = {Rgb{static_cast<std::uint8_t>(sum[0] / static_cast<double>(count)),
                  static_cast<std::uint8_t>(sum[1] / static_cast<double>(count)),
                  static_cast<std::uint8_t>(sum[2] / static_cast<double>(count))}};
  Path& area = out.area;
  area.verbs = {PathVerb::kMove, PathVerb::kLine, PathVerb::kLine, PathVerb::kLine,
                PathVerb::kClose};
  area.points = {{minX, minY}, {maxX, minY}, {maxX, maxY}, {minX, maxY}};
}

// The shading in its own space (shadingSpace the identity, the area in shading space).
std::optional<ShadingCommand> ReadInShadingSpace(PdfFile& file, const Object& shading) {
  const Object resolved = file.Resolve(shading);
  const Dict& dict = resolved.AsDict();
  const std::int64_t type = file.Get(dict, "ShadingType").AsInt(0);
  const auto space = ColourSpace::Load(file, dict.Get("ColorSpace"), Object{});
  const FunctionSet function(file, dict.Get("Function"));
  ShadingCommand out;
  std::vector<double> values;
  std::vector<double> input(1);
  if (type == 2 || type == 3) {
    const std::vector<double> coords = Numbers(file, dict, "Coords");
    if (coords.size() != (type == 2 ? 4U : 6U) || !function.Valid()) {
      return std::nullopt;
    }
    std::vector<double> domain = Numbers(file, dict, "Domain");
    if (domain.size() != 2) {
      domain = {0, 1};
    }
    const Array& extend = file.Get(dict, "Extend").AsArray();
    out.extendStart = extend.size() == 2 && file.Resolve(extend[0]).AsBool(false);
    out.extendEnd = extend.size() == 2 && file.Resolve(extend[1]).AsBool(false);
    if (type == 2) {
      out.kind = ShadingCommand::Kind::kAxial;
      out.from = {coords[0], coords[1]};
      out.to = {coords[2], coords[3]};
    } else {
      out.kind = ShadingCommand::Kind::kRadial;
      out.from = {coords[0], coords[1]};
      out.r0 = coords[2];
      out.to = {coords[3], coords[4]};
      out.r1 = coords[5];
    }
    for (std::size_t i = 0; i < kRampSteps; ++i) {
      input[0] = domain[0] + (domain[1] - domain[0]) * static_cast<double>(i) /
                                 static_cast<double>(kRampSteps - 1);
      function.Evaluate(input, values);
      out.ramp.push_back(space->ToRgb(values));
    }
    return out;
  }
  out.kind = ShadingCommand::Kind::kFlat;
  if (type == 1) {
    std::vector<double> domain = Numbers(file, dict, "Domain");
    if (domain.size() != 4) {
      domain = {0, 1, 0, 1};
    }
    if (!function.Valid()) {
      return std::nullopt;
    }
    double sum[3] = {};
    constexpr int kGrid = 8;
    std::vector<double> point(2);
    for (int i = 0; i < kGrid; ++i) {
      for (int j = 0; j < kGrid; ++j) {
        point[0] = domain[0] + (domain[1] - domain[0]) * (i + 0.5) / kGrid;
        point[1] = domain[2] + (domain[3] - domain[2]) * (j + 0.5) / kGrid;
        function.Evaluate(point, values);
        const Rgb rgb = space->ToRgb(values);
        sum[0] += rgb.r;
        sum[1] += rgb.g;
        sum[2] += rgb.b;
      }
    }
    constexpr double kCells = kGrid * kGrid;
    out.ramp = {Rgb{static_cast<std::uint8_t>(sum[0] / kCells),
                    static_cast<std::uint8_t>(sum[1] / kCells),
                    static_cast<std::uint8_t>(sum[2] / kCells)}};
    const Matrix full = MatrixEntry(file, dict);
    Path& area = out.area;
    area.verbs = {PathVerb::kMove, PathVerb::kLine, PathVerb::kLine, PathVerb::kLine,
                  PathVerb::kClose};
    for (const auto& [x, y] : {std::pair{domain[0], domain[2]}, std::pair{domain[1], domain[2]},
                               std::pair{domain[1], domain[3]}, std::pair{domain[0], domain[3]}}) {
      area.points.push_back({full.X(x, y), full.Y(x, y)});
    }
    return out;
  }
  if (type >= 4 && type <= 7) {
    if (const Stream* stream = resolved.AsStream()) {
      AverageMesh(file, *stream, static_cast<int>(type), *space, function, out);
    }
    if (out.ramp.empty()) {
      return std::nullopt;
    }
    return out;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ShadingCommand> ReadShading(PdfFile& file, const Object& shading,
                                          const Matrix& toPage) {
  // A shading that is an object of its own is read once (its colours evaluated once), then
  // placed on the page.
  std::shared_ptr<const ShadingCommand> read;
  if (shading.IsRef()) {
    if (auto held =
            file.Derived().Find<ShadingCommand>(DerivedCache::Kind::kShading, shading.AsRef())) {
      read = *held;
    } else {
      std::optional<ShadingCommand> made = ReadInShadingSpace(file, shading);
      read = made ? std::make_shared<const ShadingCommand>(std::move(*made)) : nullptr;
      file.Derived().Put(DerivedCache::Kind::kShading, shading.AsRef(), read,
                         sizeof(ShadingCommand) + (read ? read->ramp.size() * sizeof(Rgb) : 0));
    }
  } else if (std::optional<ShadingCommand> made = ReadInShadingSpace(file, shading)) {
    read = std::make_shared<const ShadingCommand>(std::move(*made));
  }
  if (!read) {
    return std::nullopt;
  }
  ShadingCommand placed = *read;
  placed.shadingSpace = ToAffine(toPage);
  for (Point& point : placed.area.points) {
    point = {toPage.X(point.x, point.y), toPage.Y(point.x, point.y)};
  }
  return placed;
}

Rgb AverageColour(const ShadingCommand& shading) {
  if (shading.ramp.empty()) {
    return {128, 128, 128};
  }
  double sum[3] = {};
  for (const Rgb& c : shading.ramp) {
    sum[0] += c.r;
    sum[1] += c.g;
    sum[2] += c.b;
  }
  const auto n = static_cast<double>(shading.ramp.size());
  return {static_cast<std::uint8_t>(sum[0] / n), static_cast<std::uint8_t>(sum[1] / n),
          static_cast<std::uint8_t>(sum[2] / n)};
}

}  // namespace lvx::pdf
