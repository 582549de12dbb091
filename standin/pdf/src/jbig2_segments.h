// The JBIG2 segment headers of an embedded stream (no file header, segments one after the
// other), the region segment information field, and a reader of the big-endian fields.
#ifndef LVXPDF_JBIG2_SEGMENTS_H
#define LVXPDF_JBIG2_SEGMENTS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jbig2_bitmap.h"

namespace lvx::pdf::jbig2 {

// Reads big-endian fields; reading past the end is damage.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  // A signed byte.
  int S8() {
    const int value = U8();
    return value >= 128 ? value - 256 : value;
  }
  std::int32_t S32() { return static_cast<std::int32_t>(U32()); }
  std::span<const std::uint8_t> Take(std::size_t count);
  [[nodiscard]] std::span<const std::uint8_t> Rest() const { return data_.subspan(pos_); }
  [[nodiscard]] std::size_t Position() const { return pos_; }
  [[nodiscard]] bool AtEnd() const { return pos_ >= data_.size(); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

enum SegmentType : std::uint8_t {
  kSymbolDictionary = 0,
  kIntermediateText = 4,
  kImmediateText = 6,
  kImmediateLosslessText = 7,
  kPatternDictionary = 16,
  kIntermediateHalftone = 20,
  kImmediateHalftone = 22,
  kImmediateLosslessHalftone = 23,
  kIntermediateGeneric = 36,
  kImmediateGeneric = 38,
  kImmediateLosslessGeneric = 39,
  kIntermediateRefinement = 40,
  kImmediateRefinement = 42,
  kImmediateLosslessRefinement = 43,
  kPageInformation = 48,
  kEndOfPage = 49,
  kEndOfStripe = 50,
  kEndOfFile = 51,
  kProfiles = 52,
  kTables = 53,
  kExtension = 62,
};

// The most segments one image may refer to from one segment.
inline constexpr std::uint64_t kMaxReferred = 4096;

struct Segment {
  std::uint32_t number = 0;
  std::uint8_t type = 0;
  std::vector<std::uint32_t> referred;
  std::uint32_t page = 0;
  std::span<const std::uint8_t> data;
  bool unknownLength = false;  // a generic region's data that ends with its row count
};

// Reads the next segment (header and data) from `reader`; nothing at the end of the data. A
// generic region of unknown length ends at its marker and row count, which stay in its data.
std::optional<Segment> ReadSegment(ByteReader& reader);

struct RegionInfo {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  Combine op = Combine::kOr;
};

RegionInfo ReadRegionInfo(ByteReader& reader);

}  // namespace lvx::pdf::jbig2

#endif
