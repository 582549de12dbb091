#include "jbig2.h"

#include <map>
#include <memory>
#include <new>

#include "jbig2_bitmap.h"
#include "jbig2_halftone.h"
#include "jbig2_regions.h"
#include "jbig2_segments.h"
#include "jbig2_symbols.h"

namespace lvx::pdf {
namespace {

using jbig2::Allowance;
using jbig2::Bitmap;
using jbig2::ByteReader;
using jbig2::Damaged;
using jbig2::RegionInfo;
using jbig2::Segment;
using jbig2::Symbol;

// What a segment leaves for later ones: its symbols or patterns, or an intermediate region.
struct Stored {
  std::vector<Symbol> symbols;
  std::vector<Symbol> patterns;
  std::shared_ptr<Bitmap> region;
};

class PageDecoder {
 public:
  explicit PageDecoder(Allowance& allowance) : allowance_(allowance) {}

  // Decodes the segments of `data`; false once the page or the file has ended.
  bool Run(std::span<const std::uint8_t> data) {
    ByteReader reader(data);
    while (std::optional<Segment> segment = jbig2::ReadSegment(reader)) {
      if (!Handle(*segment)) {
        return false;
      }
    }
    return true;
  }

  std::optional<Bitmap>& Page() { return page_; }

 private:
  bool Handle(const Segment& segment) {
    jbig2::Work(64);
    ByteReader reader(segment.data);
    switch (segment.type) {
      case jbig2::kPageInformation:
        StartPage(reader);
        break;
      case jbig2::kEndOfPage:
      case jbig2::kEndOfFile:
        return false;
      case jbig2::kEndOfStripe:
        if (unknownHeight_ && page_) {
          page_->GrowTo(std::uint64_t{reader.U32()} + 1, defaultPixel_, allowance_);
        }
        break;
      case jbig2::kSymbolDictionary: {
        const std::vector<Symbol> inputs = Referred(segment, &Stored::symbols);
        Store(segment).symbols = jbig2::DecodeSymbolDictionary(segment.data, inputs, allowance_);
        break;
      }
      case jbig2::kPatternDictionary:
        Store(segment).patterns = jbig2::DecodePatternDictionary(segment.data, allowance_);
        break;
      case jbig2::kIntermediateText:
      case jbig2::kImmediateText:
      case jbig2::kImmediateLosslessText: {
        RegionInfo info = jbig2::ReadRegionInfo(reader);
        const std::vector<Symbol> symbols = Referred(segment, &Stored::symbols);
        Place(segment, info, jbig2::DecodeTextRegion(reader, info, symbols, allowance_));
        break;
      }
      case jbig2::kIntermediateHalftone:
      case jbig2::kImmediateHalftone:
      case jbig2::kImmediateLosslessHalftone: {
        RegionInfo info = jbig2::ReadRegionInfo(reader);
        const std::vector<Symbol> patterns = Referred(segment, &Stored::patterns);
        Place(segment, info, jbig2::DecodeHalftone(reader, info, patterns, allowance_));
        break;
      }
      case jbig2::kIntermediateGeneric:
      case jbig2::kImmediateGeneric:
      case jbig2::kImmediateLosslessGeneric: {
        RegionInfo info = jbig2::ReadRegionInfo(reader);
        Bitmap region = jbig2::DecodeGenericRegion(reader, info, segment.unknownLength, allowance_);
        Place(segment, info, std::move(region));
        break;
      }
      case jbig2::kIntermediateRefinement:
      case jbig2::kImmediateRefinement:
      case jbig2::kImmediateLosslessRefinement:
        Refine(segment, reader);
        break;
      default:
        break;  // tables, profiles, extensions and unknown types carry nothing drawn here
    }
    return true;
  }

  void StartPage(ByteReader& reader) {
    if (page_) {
      Damaged("a second page information segment");
    }
    const std::uint32_t width = reader.U32();
    const std::uint32_t height = reader.U32();
    reader.U32();  // resolutions
    reader.U32();
    const std::uint8_t flags = reader.U8();
    defaultPixel_ = (flags >> 2) & 1;
    unknownHeight_ = height == 0xFFFFFFFF;
    page_.emplace(width, unknownHeight_ ? 0 : height, allowance_);
    page_->Fill(defaultPixel_);
  }

  Stored& Store(const Segment& segment) {
    allowance_.Take(sizeof(Stored) + jbig2::kBitmapOverhead);
    return stored_[segment.number];
  }

  // The symbols (or patterns) of the segments `segment` refers to, in their order.
  std::vector<Symbol> Referred(const Segment& segment, std::vector<Symbol> Stored::*member) {
    std::vector<Symbol> all;
    for (const std::uint32_t number : segment.referred) {
      const auto found = stored_.find(number);
      if (found == stored_.end()) {
        continue;
      }
      const std::vector<Symbol>& more = found->second.*member;
      jbig2::CheckedCount(all.size() + std::uint64_t{more.size()}, "too many symbols");
      allowance_.Take(std::uint64_t{more.size()} * sizeof(Symbol));
      all.insert(all.end(), more.begin(), more.end());
    }
    return all;
  }

  // An intermediate region is kept for a refinement; an immediate one goes onto the page.
  void Place(const Segment& segment, const RegionInfo& info, Bitmap region) {
    const bool intermediate = segment.type == jbig2::kIntermediateText ||
                              segment.type == jbig2::kIntermediateHalftone ||
                              segment.type == jbig2::kIntermediateGeneric ||
                              segment.type == jbig2::kIntermediateRefinement;
    if (intermediate) {
      Store(segment).region = std::make_shared<Bitmap>(std::move(region));
      return;
    }
    if (!page_) {
      Damaged("region before the page information");
    }
    if (unknownHeight_) {
      page_->GrowTo(std::uint64_t{info.y} + region.Height(), defaultPixel_, allowance_);
    }
    page_->Compose(region, info.x, info.y, info.op);
  }

  void Refine(const Segment& segment, ByteReader& reader) {
    const RegionInfo info = jbig2::ReadRegionInfo(reader);
    // The reference: an intermediate region referred to, else the page where the region lies.
    std::shared_ptr<Bitmap> reference;
    for (const std::uint32_t number : segment.referred) {
      const auto found = stored_.find(number);
      if (found != stored_.end() && found->second.region) {
        reference = found->second.region;
      }
    }
    if (!reference) {
      if (!page_) {
        Damaged("refinement before the page information");
      }
      reference = std::make_shared<Bitmap>(
          page_->Part(info.x, info.y, info.width, info.height, allowance_));
    }
    Place(segment, info, jbig2::DecodeRefinementRegion(reader, info, *reference, allowance_));
  }

  Allowance& allowance_;
  std::map<std::uint32_t, Stored> stored_;
  std::optional<Bitmap> page_;
  bool unknownHeight_ = false;
  int defaultPixel_ = 0;
};

}  // namespace

Jbig2Result DecodeJbig2(std::span<const std::uint8_t> data, std::span<const std::uint8_t> globals,
                        std::uint64_t byteBudget) {
  Jbig2Result result;
  try {
    Allowance allowance(byteBudget);
    PageDecoder decoder(allowance);
    if (decoder.Run(globals)) {
      decoder.Run(data);
    }
    std::optional<Bitmap>& page = decoder.Page();
    if (!page) {
      result.problem = "no page information";
      return result;
    }
    Jbig2Image image;
    image.width = page->Width();
    image.height = page->Height();
    image.bits.assign(page->Bits().begin(), page->Bits().end());
    result.image = std::move(image);
  } catch (const jbig2::Failure& failure) {
    result.problem = failure.reason;
  } catch (const std::bad_alloc&) {
    result.problem = "out of memory";
  }
  return result;
}

}  // namespace lvx::pdf
