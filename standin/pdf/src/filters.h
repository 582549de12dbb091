// Stream filters: FlateDecode and LZWDecode (with PNG and TIFF predictors), ASCIIHexDecode,
// ASCII85Decode, RunLengthDecode and CCITTFaxDecode (ccitt_decoder.h). The other image codecs
// (DCT, JPX, JBIG2) stop the chain without error: the image code decodes their data. Every decoder
// bounds its output.
#ifndef LVXPDF_FILTERS_H
#define LVXPDF_FILTERS_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "object.h"

namespace lvx::pdf {

enum class FilterStatus : std::uint8_t {
  kOk,
  kTruncated,  // the output reached the limit and was cut there
  kDamaged,    // the data is corrupt; the output holds what decoded before the damage
  kImage,      // an image-only filter: the data was left encoded
  kUnknown,    // a filter this reader does not know
};

// Output bound of one stream, a defence against decompression bombs.
inline constexpr std::size_t kMaxDecodedStream = std::size_t{256} << 20;

// Applies one filter (full or abbreviated name) with its decode parameters.
std::vector<std::uint8_t> ApplyFilter(std::string_view name, const Dict& parms,
                                      std::span<const std::uint8_t> input, std::size_t limit,
                                      FilterStatus& status);

// Applies a stream dictionary's /Filter chain (a name or an array, with /DecodeParms) to `raw`.
// `status` is the worst status met; an image-only filter ends the chain.
std::vector<std::uint8_t> DecodeFilterChain(const Dict& streamDict,
                                            std::span<const std::uint8_t> raw, std::size_t limit,
                                            FilterStatus& status);

// The individual decoders, exposed for tests.
std::vector<std::uint8_t> FlateDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                      FilterStatus& status);
std::vector<std::uint8_t> LzwDecode(std::span<const std::uint8_t> input, bool earlyChange,
                                    std::size_t limit, FilterStatus& status);
std::vector<std::uint8_t> AsciiHexDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                         FilterStatus& status);
std::vector<std::uint8_t> Ascii85Decode(std::span<const std::uint8_t> input, std::size_t limit,
                                        FilterStatus& status);
std::vector<std::uint8_t> RunLengthDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                          FilterStatus& status);
// Undoes a PNG (10 to 15) or TIFF (2) predictor; other values leave the data as it is.
std::vector<std::uint8_t> Unpredict(std::vector<std::uint8_t> data, const Dict& parms,
                                    FilterStatus& status);

}  // namespace lvx::pdf

#endif
