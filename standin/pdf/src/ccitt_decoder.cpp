#include "ccitt_decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "checked_size.h"
#include "work_budget.h"

namespace lvx::pdf {
namespace {

// libtiff allocates per row of runs, never per image: this bounds any one of its allocations.
constexpr tmsize_t kTiffAllocationLimit = tmsize_t{16} << 20;

// TIFF tag numbers and values used by the wrapper (TIFF 6.0).
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kCompressionModifiedHuffman = 2;  // 1-D rows without end-of-line codes
constexpr std::uint16_t kCompressionGroup3 = 3;
constexpr std::uint16_t kCompressionGroup4 = 4;
constexpr std::uint32_t kGroup3TwoDimensional = 1;
constexpr std::uint32_t kGroup3FillBits = 4;

// The TIFF file in memory, and libtiff's view of it.
struct MemoryFile {
  std::vector<std::uint8_t> bytes;
  std::uint64_t position = 0;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  auto& file = *static_cast<MemoryFile*>(handle);
  if (size <= 0 || file.position >= file.bytes.size()) {
    return 0;
  }
  const std::size_t count = std::min(static_cast<std::size_t>(size),
                                     file.bytes.size() - static_cast<std::size_t>(file.position));
  std::memcpy(buffer, file.bytes.data() + file.position, count);
  file.position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t /*handle*/, void* /*buffer*/, tmsize_t /*size*/) { return 0; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  auto& file = *static_cast<MemoryFile*>(handle);
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) {
    base = file.position;
  } else if (whence == SEEK_END) {
    base = file.bytes.size();
  }
  if (offset > file.bytes.size() || base + offset > file.bytes.size()) {
    return static_cast<toff_t>(-1);
  }
  file.position = base + offset;
  return file.position;
}

int CloseProc(thandle_t /*handle*/) { return 0; }

toff_t SizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }

int MapProc(thandle_t handle, void** base, toff_t* size) {
  auto& file = *static_cast<MemoryFile*>(handle);
  *base = file.bytes.data();
  *size = file.bytes.size();
  return 1;
}

void UnmapProc(thandle_t /*handle*/, void* /*base*/, toff_t /*size*/) {}

// Errors and warnings end up nowhere: a damaged stream shows what decoded, without output.
int Silent(TIFF* /*tif*/, void* /*user*/, const char* /*module*/, const char* /*format*/,
           va_list /*arguments*/) {
  return 1;
}

// Messages libtiff sends without an open file's handlers go nowhere either (once per process).
void SilenceGlobalHandlers() {
  static const bool kSilenced = [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
  }();
  (void)kSilenced;
}

struct TiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8U));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFFU);
  Put16(out, value >> 16U);
}

// True when the data starts with an end-of-line code (at least 11 zero bits, then a 1).
bool StartsWithEndOfLine(std::span<const std::uint8_t> data) {
  int zeros = 0;
  for (const std::uint8_t byte : data) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((byte >> static_cast<unsigned>(bit) & 1U) != 0) {
        return zeros >= 11;
      }
      ++zeros;
    }
  }
  return false;
}

// A little-endian TIFF of one strip holding `data`: header, one directory, then the data.
MemoryFile WrapInTiff(std::span<const std::uint8_t> data, const CcittParams& params,
                      std::uint32_t rows, std::uint16_t compression) {
  struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t value;
  };
  std::vector<Entry> entries = {
      {256, kTypeLong, params.columns},  // ImageWidth
      {257, kTypeLong, rows},            // ImageLength
      {258, kTypeShort, 1},              // BitsPerSample
      {259, kTypeShort, compression},    // Compression
      {262, kTypeShort, 0},              // PhotometricInterpretation: 0 is white
      {273, kTypeLong, 0},               // StripOffsets (filled in below)
      {277, kTypeShort, 1},              // SamplesPerPixel
      {278, kTypeLong, rows},            // RowsPerStrip
      {279, kTypeLong, static_cast<std::uint32_t>(data.size())},  // StripByteCounts
  };
  if (compression == kCompressionGroup3) {
    std::uint32_t options = params.k > 0 ? kGroup3TwoDimensional : 0;
    if (params.encodedByteAlign) {
      options |= kGroup3FillBits;
    }
    entries.push_back({292, kTypeLong, options});  // T4Options
  } else if (compression == kCompressionGroup4) {
    entries.push_back({293, kTypeLong, 0});  // T6Options
  }
  constexpr std::uint32_t kHeader = 8;
  const auto dataOffset = static_cast<std::uint32_t>(kHeader + 2 + entries.size() * 12 + 4);
  entries[5].value = dataOffset;

  MemoryFile file;
  file.bytes.reserve(dataOffset + data.size());
  file.bytes = {'I', 'I', 42, 0};
  Put32(file.bytes, kHeader);
  Put16(file.bytes, static_cast<std::uint32_t>(entries.size()));
  for (const Entry& entry : entries) {
    Put16(file.bytes, entry.tag);
    Put16(file.bytes, entry.type);
    Put32(file.bytes, 1);
    if (entry.type == kTypeShort) {
      Put16(file.bytes, entry.value);
      Put16(file.bytes, 0);
    } else {
      Put32(file.bytes, entry.value);
    }
  }
  Put32(file.bytes, 0);  // no next directory
  file.bytes.insert(file.bytes.end(), data.begin(), data.end());
  return file;
}

}  // namespace

std::optional<FaxBitmap> DecodeCcitt(std::span<const std::uint8_t> data, const CcittParams& params,
                                     std::size_t byteLimit) {
  if (data.empty() || params.columns == 0 || params.columns > kMaxFaxSide ||
      params.rows > kMaxFaxSide || data.size() > kLargestLimit) {
    return std::nullopt;
  }
  FaxBitmap bitmap;
  bitmap.width = params.columns;
  const std::size_t stride = bitmap.Stride();
  // With no row count, as many rows as the bytes allow: every coded row takes at least one bit.
  std::uint64_t rows = params.rows;
  if (rows == 0) {
    rows =
        std::min<std::uint64_t>({kMaxFaxSide, byteLimit / stride, std::uint64_t{8} * data.size()});
  }
  if (rows == 0 || !CheckedProduct({stride, rows}, byteLimit)) {
    return std::nullopt;
  }

  std::uint16_t compression = kCompressionGroup4;
  if (params.k == 0) {
    // Rows without end-of-line codes are what TIFF calls Modified Huffman.
    compression = params.endOfLine || StartsWithEndOfLine(data) ? kCompressionGroup3
                                                                : kCompressionModifiedHuffman;
  } else if (params.k > 0) {
    compression = kCompressionGroup3;
  }
  MemoryFile file = WrapInTiff(data, params, static_cast<std::uint32_t>(rows), compression);

  SilenceGlobalHandlers();
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) {
    return std::nullopt;
  }
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kTiffAllocationLimit);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silent, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Silent, nullptr);
  const std::unique_ptr<TIFF, TiffCloser> tif(
      TIFFClientOpenExt("ccitt", "r", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                        MapProc, UnmapProc, options.get()));
  if (!tif || TIFFScanlineSize(tif.get()) != static_cast<tmsize_t>(stride)) {
    return std::nullopt;
  }
  if (compression == kCompressionModifiedHuffman) {
    // libtiff's Modified Huffman aligns rows to bytes; PDF's only when asked.
    int mode = FAXMODE_NORTC | FAXMODE_NOEOL;
    if (params.encodedByteAlign) {
      mode |= FAXMODE_BYTEALIGN;
    }
    TIFFSetField(tif.get(), TIFFTAG_FAXMODE, mode);
  }

  if (params.rows != 0) {
    bitmap.bits.assign(stride * static_cast<std::size_t>(rows), 0);
  }
  std::vector<std::uint8_t> row(stride);
  for (std::uint32_t y = 0; y < rows; ++y) {
    if (!SpendWork(params.columns)) {
      break;
    }
    std::fill(row.begin(), row.end(), 0);
    const bool decoded = TIFFReadScanline(tif.get(), row.data(), y, 0) == 1;
    // A known height keeps the row that broke (what decoded of it); an open one ends before it.
    if (!decoded && params.rows == 0) {
      break;
    }
    if (params.rows == 0) {
      bitmap.bits.resize(bitmap.bits.size() + stride);
    }
    std::copy(row.begin(), row.end(),
              bitmap.bits.begin() + static_cast<std::ptrdiff_t>(std::size_t{y} * stride));
    if (!decoded) {
      break;
    }
    ++bitmap.rowsDecoded;
  }
  if (params.rows == 0) {
    // Past the end of its data the Group 4 decoder keeps giving white rows: with no row count,
    // the trailing white rows are dropped (the image's own height leaves them unpainted).
    std::size_t used = bitmap.bits.size() / stride;
    while (used > 0 &&
           std::all_of(bitmap.bits.begin() + static_cast<std::ptrdiff_t>((used - 1) * stride),
                       bitmap.bits.begin() + static_cast<std::ptrdiff_t>(used * stride),
                       [](std::uint8_t byte) { return byte == 0; })) {
      --used;
    }
    bitmap.bits.resize(used * stride);
    bitmap.rowsDecoded =
        static_cast<std::uint32_t>(std::min<std::size_t>(bitmap.rowsDecoded, used));
    bitmap.height = static_cast<std::uint32_t>(used);
  } else {
    bitmap.height = params.rows;
  }
  if (bitmap.height == 0 || (bitmap.rowsDecoded == 0 && params.rows == 0)) {
    return std::nullopt;
  }
  return bitmap;
}

std::optional<FaxBitmap> DecodeMmr(std::span<const std::uint8_t> data, std::uint32_t width,
                                   std::uint32_t height, std::size_t byteLimit) {
  if (height == 0) {
    return std::nullopt;
  }
  CcittParams params;
  params.k = -1;
  params.columns = width;
  params.rows = height;
  return DecodeCcitt(data, params, byteLimit);
}

std::vector<std::uint8_t> CcittFaxDecode(const Dict& parms, std::span<const std::uint8_t> input,
                                         std::size_t limit, FilterStatus& status) {
  CcittParams params;
  params.k = parms.Get("K").AsInt(0);
  const std::int64_t columns = parms.Get("Columns").AsInt(1728);
  const std::int64_t rows = parms.Get("Rows").AsInt(0);
  if (columns <= 0 || columns > kMaxFaxSide || rows > kMaxFaxSide) {
    status = FilterStatus::kDamaged;
    return {};
  }
  params.columns = static_cast<std::uint32_t>(columns);
  params.rows = rows > 0 ? static_cast<std::uint32_t>(rows) : 0;
  params.endOfLine = parms.Get("EndOfLine").AsBool(false);
  params.encodedByteAlign = parms.Get("EncodedByteAlign").AsBool(false);
  params.endOfBlock = parms.Get("EndOfBlock").AsBool(true);
  std::optional<FaxBitmap> bitmap = DecodeCcitt(input, params, limit);
  if (!bitmap) {
    status = FilterStatus::kDamaged;
    return {};
  }
  if (bitmap->rowsDecoded < bitmap->height) {
    status = FilterStatus::kDamaged;
  }
  // The decoder's 1 is black; the filter's samples are 0 for black unless /BlackIs1.
  if (!parms.Get("BlackIs1").AsBool(false)) {
    for (std::uint8_t& byte : bitmap->bits) {
      byte = static_cast<std::uint8_t>(~byte);
    }
  }
  return std::move(bitmap->bits);
}

}  // namespace lvx::pdf
