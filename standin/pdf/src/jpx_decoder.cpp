#include "jpx_decoder.h"

#include <openjpeg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "checked_size.h"
#include "page_limits.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

// Components and tiles accepted, checked in the codestream's size marker before openjpeg reads
// it (openjpeg allocates per tile and per component from that marker alone).
constexpr std::uint32_t kMaxComponents = 33;  // 32 colourants and an opacity channel
constexpr std::uint64_t kMaxTiles = 4096;
constexpr std::size_t kStreamChunk = std::size_t{64} << 10;

constexpr std::array<std::uint8_t, 12> kJp2Signature = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50,
                                                        0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
constexpr std::array<std::uint8_t, 4> kCodestreamStart = {0xFF, 0x4F, 0xFF, 0x51};

std::uint32_t Read32(std::span<const std::uint8_t> data, std::size_t at) {
  return (std::uint32_t{data[at]} << 24U) | (std::uint32_t{data[at + 1]} << 16U) |
         (std::uint32_t{data[at + 2]} << 8U) | data[at + 3];
}

bool StartsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix) {
  return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// The codestream inside a JP2 file: the contents of its top-level 'jp2c' box.
std::span<const std::uint8_t> Jp2Codestream(std::span<const std::uint8_t> data) {
  std::size_t at = 0;
  while (data.size() - at >= 8) {
    std::uint64_t length = Read32(data, at);
    const std::uint32_t type = Read32(data, at + 4);
    std::size_t header = 8;
    if (length == 1) {
      if (data.size() - at < 16) {
        return {};
      }
      length = (std::uint64_t{Read32(data, at + 8)} << 32U) | Read32(data, at + 12);
      header = 16;
    } else if (length == 0) {
      length = data.size() - at;
    }
    if (length < header || length > data.size() - at) {
      length = data.size() - at;  // a box running past the end: openjpeg reads what is there
    }
    if (type == 0x6A703263) {  // 'jp2c'
      return data.subspan(at + header, static_cast<std::size_t>(length) - header);
    }
    at += static_cast<std::size_t>(length);
  }
  return {};
}

void Write32(std::vector<std::uint8_t>& data, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    data[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
  }
}

// openjpeg, reading damaged data leniently, allocates the length a tile-part header (SOT) claims,
// and finds tile-parts by searching past markers it does not know. A copy of the data in which
// every tile-part header whose length runs past the end is marked as the last tile-part ("to the
// end of the data", length 0); nothing when every length fits. The search looks at every FF90
// (SOT) with its fixed length 10: coded data never holds FF followed by a byte above 8F.
std::optional<std::vector<std::uint8_t>> ClampTileParts(std::span<const std::uint8_t> data,
                                                        std::size_t codestream) {
  std::optional<std::vector<std::uint8_t>> copy;
  constexpr std::size_t kSotBytes = 12;
  for (std::size_t at = codestream; data.size() - at >= kSotBytes; ++at) {
    if (data[at] != 0xFF || data[at + 1] != 0x90 || data[at + 2] != 0 || data[at + 3] != 10) {
      continue;
    }
    if (Read32(data, at + 6) > data.size() - at) {
      if (!copy) {
        copy.emplace(data.begin(), data.end());
      }
      Write32(*copy, at + 6, 0);
    }
  }
  return copy;
}

// The size marker's grid, components and tiles, held against the limits.
bool SizeMarkerAcceptable(std::span<const std::uint8_t> codestream) {
  // SOC, SIZ marker, Lsiz, Rsiz, then eight 32-bit numbers and Csiz.
  constexpr std::size_t kSizFields = 4 + 2 + 2 + 32 + 2;
  if (!StartsWith(codestream, kCodestreamStart) || codestream.size() < kSizFields) {
    return false;
  }
  const std::size_t base = 8;
  const std::uint64_t width = Read32(codestream, base);
  const std::uint64_t height = Read32(codestream, base + 4);
  const std::uint64_t left = Read32(codestream, base + 8);
  const std::uint64_t top = Read32(codestream, base + 12);
  const std::uint64_t tileWidth = Read32(codestream, base + 16);
  const std::uint64_t tileHeight = Read32(codestream, base + 20);
  const std::uint64_t tileLeft = Read32(codestream, base + 24);
  const std::uint64_t tileTop = Read32(codestream, base + 28);
  const std::uint32_t components =
      (std::uint32_t{codestream[base + 32]} << 8U) | codestream[base + 33];
  if (width <= left || height <= top || width - left > kMaxImageSide ||
      height - top > kMaxImageSide || components == 0 || components > kMaxComponents ||
      tileWidth == 0 || tileHeight == 0 || tileLeft > left || tileTop > top) {
    return false;
  }
  const std::uint64_t across = (width - tileLeft + tileWidth - 1) / tileWidth;
  const std::uint64_t down = (height - tileTop + tileHeight - 1) / tileHeight;
  return across <= kMaxTiles && down <= kMaxTiles && across * down <= kMaxTiles;
}

// openjpeg's stream over a byte span.
struct Reader {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
};

OPJ_SIZE_T ReadBytes(void* buffer, OPJ_SIZE_T count, void* user) {
  auto& reader = *static_cast<Reader*>(user);
  if (reader.position >= reader.data.size()) {
    return static_cast<OPJ_SIZE_T>(-1);
  }
  const std::size_t n = std::min<std::size_t>(count, reader.data.size() - reader.position);
  std::memcpy(buffer, reader.data.data() + reader.position, n);
  reader.position += n;
  return n;
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
  auto& reader = *static_cast<Reader*>(user);
  if (count < 0) {
    const auto back = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(-(count + 1)) + 1, reader.position));
    reader.position -= back;
    return -static_cast<OPJ_OFF_T>(back);
  }
  if (reader.position >= reader.data.size()) {
    return -1;
  }
  const auto ahead = static_cast<std::size_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(count), reader.data.size() - reader.position));
  reader.position += ahead;
  return static_cast<OPJ_OFF_T>(ahead);
}

OPJ_BOOL SeekTo(OPJ_OFF_T position, void* user) {
  auto& reader = *static_cast<Reader*>(user);
  if (position < 0 || static_cast<std::uint64_t>(position) > reader.data.size()) {
    return OPJ_FALSE;
  }
  reader.position = static_cast<std::size_t>(position);
  return OPJ_TRUE;
}

void Quiet(const char* /*message*/, void* /*client*/) {}

struct StreamFree {
  void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct CodecFree {
  void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct ImageFree {
  void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
struct InfoFree {
  void operator()(opj_codestream_info_v2_t* info) const { opj_destroy_cstr_info(&info); }
};

// A component's samples as numbers from 0 to 1.
struct Plane {
  const opj_image_comp_t* comp;
  double offset;
  double scale;
  std::int64_t most;

  explicit Plane(const opj_image_comp_t& c)
      : comp(&c),
        offset(c.sgnd != 0 ? std::ldexp(1.0, static_cast<int>(c.prec) - 1) : 0),
        scale(1 / (std::ldexp(1.0, static_cast<int>(c.prec)) - 1)),
        most((std::int64_t{1} << c.prec) - 1) {}
  // The raw value (signed ones moved up) at a pixel of an output grid of `width` by `height`.
  [[nodiscard]] std::int64_t Raw(std::uint64_t x, std::uint64_t y, std::uint64_t width,
                                 std::uint64_t height) const {
    const std::uint64_t sx = x * comp->w / width;
    const std::uint64_t sy = y * comp->h / height;
    const std::int64_t value = comp->data[sy * comp->w + sx] + static_cast<std::int64_t>(offset);
    return std::clamp<std::int64_t>(value, 0, most);
  }
  [[nodiscard]] double Unit(std::int64_t raw) const { return static_cast<double>(raw) * scale; }
  [[nodiscard]] std::uint8_t Byte(std::int64_t raw) const {
    return static_cast<std::uint8_t>((raw * 255 + most / 2) / most);
  }
};

std::uint8_t UnitByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

}  // namespace

std::optional<JpxImage> DecodeJpx(std::span<const std::uint8_t> data, const JpxOptions& options,
                                  JpxFailure* failure) {
  JpxFailure ignored = JpxFailure::kNone;
  JpxFailure& why = failure != nullptr ? *failure : ignored;
  why = JpxFailure::kDamaged;
  OPJ_CODEC_FORMAT format = OPJ_CODEC_J2K;
  std::span<const std::uint8_t> codestream = data;
  if (StartsWith(data, kJp2Signature)) {
    format = OPJ_CODEC_JP2;
    codestream = Jp2Codestream(data);
  }
  if (!SizeMarkerAcceptable(codestream)) {
    return std::nullopt;
  }
  const std::optional<std::vector<std::uint8_t>> clamped =
      ClampTileParts(data, static_cast<std::size_t>(codestream.data() - data.data()));
  if (clamped) {
    data = *clamped;
  }

  Reader reader{data, 0};
  const std::unique_ptr<opj_stream_t, StreamFree> stream(opj_stream_create(kStreamChunk, OPJ_TRUE));
  const std::unique_ptr<opj_codec_t, CodecFree> codec(opj_create_decompress(format));
  if (!stream || !codec) {
    return std::nullopt;
  }
  opj_stream_set_read_function(stream.get(), ReadBytes);
  opj_stream_set_skip_function(stream.get(), SkipBytes);
  opj_stream_set_seek_function(stream.get(), SeekTo);
  opj_stream_set_user_data(stream.get(), &reader, nullptr);
  opj_stream_set_user_data_length(stream.get(), data.size());
  opj_set_info_handler(codec.get(), Quiet, nullptr);
  opj_set_warning_handler(codec.get(), Quiet, nullptr);
  opj_set_error_handler(codec.get(), Quiet, nullptr);
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  if (options.rawIndices) {
    parameters.flags |= OPJ_DPARAMETERS_IGNORE_PCLR_CMAP_CDEF_FLAG;
  }
  if (!opj_setup_decoder(codec.get(), &parameters)) {
    return std::nullopt;
  }
  opj_decoder_set_strict_mode(codec.get(), OPJ_FALSE);  // truncated data shows what it holds
  opj_image_t* header = nullptr;
  const bool read = opj_read_header(stream.get(), codec.get(), &header) != 0;
  const std::unique_ptr<opj_image_t, ImageFree> image(header);
  if (!read || !image || image->numcomps == 0 || image->numcomps > kMaxComponents ||
      image->x1 <= image->x0 || image->y1 <= image->y0) {
    return std::nullopt;
  }
  const std::uint64_t width = image->x1 - image->x0;
  const std::uint64_t height = image->y1 - image->y0;
  if (width > kMaxImageSide || height > kMaxImageSide) {
    why = JpxFailure::kTooLarge;
    return std::nullopt;
  }
  std::uint32_t resolutions = 33;
  {
    const std::unique_ptr<opj_codestream_info_v2_t, InfoFree> info(opj_get_cstr_info(codec.get()));
    if (!info || info->m_default_tile_info.tccp_info == nullptr) {
      return std::nullopt;
    }
    for (std::uint32_t c = 0; c < image->numcomps; ++c) {
      resolutions = std::min(resolutions, info->m_default_tile_info.tccp_info[c].numresolutions);
    }
  }
  for (std::uint32_t c = 0; c < image->numcomps; ++c) {
    const opj_image_comp_t& comp = image->comps[c];
    if (comp.dx == 0 || comp.dy == 0 || comp.prec == 0 || comp.prec > 31) {
      return std::nullopt;
    }
  }
  // The lowest reduction whose pixels and decoded planes fit (every size in 64 bits).
  std::uint32_t reduction = 0;
  std::uint64_t work = 0;
  for (;; ++reduction) {
    if (resolutions == 0 || reduction >= resolutions) {
      why = JpxFailure::kTooLarge;
      return std::nullopt;
    }
    const auto reduce = [reduction](std::uint64_t side) {
      return ((side + (std::uint64_t{1} << reduction) - 1) >> reduction) + 1;
    };
    std::uint64_t samples = 0;
    for (std::uint32_t c = 0; c < image->numcomps; ++c) {
      const opj_image_comp_t& comp = image->comps[c];
      samples += reduce((width + comp.dx - 1) / comp.dx) * reduce((height + comp.dy - 1) / comp.dy);
    }
    const std::uint64_t pixels = reduce(width) * reduce(height);
    if (pixels <= options.maxPixels && samples * sizeof(OPJ_INT32) <= options.maxDecodeBytes) {
      work = samples;
      break;
    }
  }
  if (!SpendWork(work)) {
    why = JpxFailure::kTooLarge;
    return std::nullopt;
  }
  if ((reduction > 0 && !opj_set_decoded_resolution_factor(codec.get(), reduction)) ||
      !opj_decode(codec.get(), stream.get(), image.get())) {
    return std::nullopt;
  }
  opj_end_decompress(codec.get(), stream.get());

  // The output grid: the largest component (subsampled ones are stretched over it).
  JpxImage out;
  out.reduction = reduction;
  int alphaIndex = -1;
  std::vector<std::uint32_t> colours;
  for (std::uint32_t c = 0; c < image->numcomps; ++c) {
    const opj_image_comp_t& comp = image->comps[c];
    if (comp.data == nullptr || comp.w == 0 || comp.h == 0) {
      return std::nullopt;
    }
    out.width = std::max(out.width, comp.w);
    out.height = std::max(out.height, comp.h);
    if (comp.alpha != 0 && alphaIndex < 0) {
      alphaIndex = static_cast<int>(c);
    } else {
      colours.push_back(c);
    }
  }
  // Colour components wanted, and which of the file's give them.
  std::size_t wanted = options.colourComponents;
  if (wanted == 0) {
    wanted = colours.size() == 2 ? 1 : std::min<std::size_t>(colours.size(), 4);
    if (wanted == 4 && image->color_space != OPJ_CLRSPC_CMYK &&
        image->color_space != OPJ_CLRSPC_UNKNOWN && image->color_space != OPJ_CLRSPC_UNSPECIFIED) {
      wanted = 3;  // RGB with further channels
    }
  }
  if (alphaIndex < 0 && colours.size() == wanted + 1) {
    alphaIndex = static_cast<int>(colours.back());  // an opacity channel without its box
    colours.pop_back();
  }
  if (colours.size() < wanted && colours.size() != 1) {
    return std::nullopt;
  }
  out.components = static_cast<std::uint32_t>(wanted);
  if (wanted == 1) {
    out.colour = JpxColour::kGray;
  } else if (wanted == 3) {
    out.colour = JpxColour::kRgb;
  } else if (wanted == 4) {
    out.colour = JpxColour::kCmyk;
  }
  const std::optional<std::size_t> count = CheckedProduct(
      {out.width, out.height, std::max<std::size_t>(wanted, 1) + (alphaIndex >= 0 ? 1 : 0)},
      options.maxPixels * (kMaxComponents + 1));
  if (!count || std::uint64_t{out.width} * out.height > options.maxPixels) {
    why = JpxFailure::kTooLarge;
    return std::nullopt;
  }

  std::vector<Plane> planes;
  for (std::size_t i = 0; i < wanted; ++i) {
    planes.emplace_back(image->comps[colours[std::min(i, colours.size() - 1)]]);
  }
  // sYCC (and a three-component codestream whose chroma is subsampled, which is how such data
  // comes without a JP2 header) becomes RGB.
  const bool ycc =
      wanted == 3 && !options.rawIndices && colours.size() >= 3 &&
      (image->color_space == OPJ_CLRSPC_SYCC || image->color_space == OPJ_CLRSPC_EYCC ||
       (image->color_space != OPJ_CLRSPC_SRGB && image->comps[colours[0]].dx == 1 &&
        (image->comps[colours[1]].dx > 1 || image->comps[colours[1]].dy > 1)));
  const std::uint64_t w = out.width;
  const std::uint64_t h = out.height;
  out.samples.resize(static_cast<std::size_t>(w * h * wanted));
  std::size_t at = 0;
  for (std::uint64_t y = 0; y < h; ++y) {
    for (std::uint64_t x = 0; x < w; ++x) {
      if (ycc) {
        const double luma = planes[0].Unit(planes[0].Raw(x, y, w, h));
        const double cb = planes[1].Unit(planes[1].Raw(x, y, w, h)) - 0.5;
        const double cr = planes[2].Unit(planes[2].Raw(x, y, w, h)) - 0.5;
        out.samples[at++] = UnitByte(luma + 1.402 * cr);
        out.samples[at++] = UnitByte(luma - 0.344136 * cb - 0.714136 * cr);
        out.samples[at++] = UnitByte(luma + 1.772 * cb);
        continue;
      }
      for (const Plane& plane : planes) {
        const std::int64_t raw = plane.Raw(x, y, w, h);
        out.samples[at++] = options.rawIndices
                                ? static_cast<std::uint8_t>(std::min<std::int64_t>(raw, 255))
                                : plane.Byte(raw);
      }
    }
  }
  if (alphaIndex >= 0) {
    const Plane alpha(image->comps[alphaIndex]);
    out.alpha.resize(static_cast<std::size_t>(w * h));
    at = 0;
    for (std::uint64_t y = 0; y < h; ++y) {
      for (std::uint64_t x = 0; x < w; ++x) {
        out.alpha[at++] = alpha.Byte(alpha.Raw(x, y, w, h));
      }
    }
  }
  why = JpxFailure::kNone;
  return out;
}

}  // namespace lvx::pdf
