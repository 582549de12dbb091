#include "jbig2_segments.h"

#include <algorithm>

namespace lvx::pdf::jbig2 {

std::uint8_t ByteReader::U8() {
  if (pos_ >= data_.size()) {
    Damaged("segment data ends early");
  }
  return data_[pos_++];
}

std::uint16_t ByteReader::U16() {
  const std::uint16_t high = U8();
  return static_cast<std::uint16_t>((high << 8) | U8());
}

std::uint32_t ByteReader::U32() {
  const std::uint32_t high = U16();
  return (high << 16) | U16();
}

std::span<const std::uint8_t> ByteReader::Take(std::size_t count) {
  if (count > data_.size() - pos_) {
    Damaged("segment data ends early");
  }
  const std::span<const std::uint8_t> part = data_.subspan(pos_, count);
  pos_ += count;
  return part;
}

namespace {

// The length of a generic region's data whose length the header leaves unknown: up to its end
// marker (0xFF 0xAC for arithmetic coding, 0x00 0x00 for MMR) and the row count after it.
std::size_t UnknownLength(std::span<const std::uint8_t> rest) {
  // The region information field (17 bytes) and the region's flags come first.
  constexpr std::size_t kHeader = 18;
  if (rest.size() < kHeader) {
    Damaged("generic region ends early");
  }
  const bool mmr = (rest[17] & 1) != 0;
  const std::uint8_t first = mmr ? 0x00 : 0xFF;
  const std::uint8_t second = mmr ? 0x00 : 0xAC;
  for (std::size_t at = kHeader; at + 6 <= rest.size(); ++at) {
    if (rest[at] == first && rest[at + 1] == second) {
      return at + 6;
    }
  }
  Damaged("generic region of unknown length without its end marker");
}

}  // namespace

std::optional<Segment> ReadSegment(ByteReader& reader) {
  if (reader.AtEnd()) {
    return std::nullopt;
  }
  Segment segment;
  segment.number = reader.U32();
  const std::uint8_t flags = reader.U8();
  segment.type = flags & 0x3F;
  const bool longPage = (flags & 0x40) != 0;
  const std::uint8_t countByte = reader.U8();
  std::uint64_t referredCount = countByte >> 5;
  if (referredCount == 7) {
    // The long form: 29 bits of count, then one retention bit for this segment and each referred
    // one.
    const std::uint32_t rest = (static_cast<std::uint32_t>(countByte & 0x1FU) << 24) |
                               (std::uint32_t{reader.U8()} << 16) | reader.U16();
    referredCount = rest;
    if (referredCount > kMaxReferred) {
      Fail(FailureKind::kLimit, "too many referred-to segments");
    }
    reader.Take(static_cast<std::size_t>((referredCount + 8) / 8));
  } else if (referredCount > 4) {
    Damaged("invalid referred-to segment count");
  }
  // Referred-to segment numbers take as many bytes as this segment's number needs.
  const int numberSize = segment.number <= 256 ? 1 : (segment.number <= 65536 ? 2 : 4);
  for (std::uint64_t i = 0; i < referredCount; ++i) {
    const std::uint32_t number =
        numberSize == 1 ? reader.U8() : (numberSize == 2 ? reader.U16() : reader.U32());
    if (number >= segment.number) {
      Damaged("segment refers to a later segment");
    }
    segment.referred.push_back(number);
  }
  segment.page = longPage ? reader.U32() : reader.U8();
  const std::uint32_t length = reader.U32();
  std::size_t size = length;
  if (length == 0xFFFFFFFF) {
    if (segment.type != kImmediateGeneric && segment.type != kImmediateLosslessGeneric) {
      Damaged("unknown data length outside an immediate generic region");
    }
    size = UnknownLength(reader.Rest());
    segment.unknownLength = true;
  }
  segment.data = reader.Take(std::min(size, reader.Rest().size()));
  return segment;
}

RegionInfo ReadRegionInfo(ByteReader& reader) {
  RegionInfo info;
  info.width = reader.U32();
  info.height = reader.U32();
  info.x = reader.U32();
  info.y = reader.U32();
  const std::uint8_t flags = reader.U8() & 0x07;
  if (flags > 4) {
    Damaged("invalid combination operator");
  }
  info.op = static_cast<Combine>(flags);
  if (info.width > kMaxSide || (info.height > kMaxSide && info.height != 0xFFFFFFFF)) {
    Fail(FailureKind::kLimit, "region side over the limit");
  }
  return info;
}

}  // namespace lvx::pdf::jbig2
