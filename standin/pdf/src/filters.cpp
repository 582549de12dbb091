#include "filters.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "ccitt_decoder.h"
#include "char_classes.h"

namespace lvx::pdf {
namespace {

// Appends with the limit applied; answers false when the limit was reached.
bool Push(std::vector<std::uint8_t>& out, std::uint8_t byte, std::size_t limit,
          FilterStatus& status) {
  if (out.size() >= limit) {
    status = FilterStatus::kTruncated;
    return false;
  }
  out.push_back(byte);
  return true;
}

class Inflater {
 public:
  // stream_ is declared before ok_, so it is cleared before inflateInit2 sees it.
  explicit Inflater(int windowBits) : ok_(inflateInit2(&stream_, windowBits) == Z_OK) {}
  ~Inflater() {
    if (ok_) {
      inflateEnd(&stream_);
    }
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  Inflater(Inflater&&) = delete;
  Inflater& operator=(Inflater&&) = delete;

  // Inflates into `out`; answers zlib's last status.
  int Run(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out, std::size_t limit,
          FilterStatus& status) {
    if (!ok_) {
      return Z_STREAM_ERROR;
    }
    // zlib's interface takes a non-const pointer but does not write through it.
    stream_.next_in =
        const_cast<Bytef*>(input.data());  // NOLINT(cppcoreguidelines-pro-type-const-cast)
    stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), 0x7FFFFFFF));
    std::array<std::uint8_t, 65536> chunk{};
    int result = Z_OK;
    while (result == Z_OK) {
      stream_.next_out = chunk.data();
      stream_.avail_out = chunk.size();
      result = inflate(&stream_, Z_NO_FLUSH);
      const std::size_t produced = chunk.size() - stream_.avail_out;
      const std::size_t room = limit - std::min(limit, out.size());
      out.insert(out.end(), chunk.begin(),
                 chunk.begin() + static_cast<std::ptrdiff_t>(std::min(produced, room)));
      if (produced > room) {
        status = FilterStatus::kTruncated;
        return Z_STREAM_END;
      }
      if (result == Z_BUF_ERROR && stream_.avail_in == 0) {
        break;  // the input ended before the stream's end: keep what we have
      }
    }
    return result;
  }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) {
    return static_cast<std::uint8_t>(a);
  }
  if (pb <= pc) {
    return static_cast<std::uint8_t>(b);
  }
  return static_cast<std::uint8_t>(c);
}

}  // namespace

std::vector<std::uint8_t> FlateDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                      FilterStatus& status) {
  std::vector<std::uint8_t> out;
  int result = Z_DATA_ERROR;
  {
    Inflater zlibFormat(15 + 32);  // zlib or gzip header, detected
    result = zlibFormat.Run(input, out, limit, status);
  }
  if (result == Z_DATA_ERROR && out.empty()) {
    // Some writers leave out the zlib header: try raw deflate data.
    Inflater raw(-15);
    std::vector<std::uint8_t> rawOut;
    FilterStatus rawStatus = FilterStatus::kOk;
    const int rawResult = raw.Run(input, rawOut, limit, rawStatus);
    if (!rawOut.empty()) {
      out = std::move(rawOut);
      status = rawStatus;
      result = rawResult;
    }
  }
  if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR &&
      status == FilterStatus::kOk) {
    status = FilterStatus::kDamaged;
  }
  return out;
}

std::vector<std::uint8_t> LzwDecode(std::span<const std::uint8_t> input, bool earlyChange,
                                    std::size_t limit, FilterStatus& status) {
  std::vector<std::uint8_t> out;
  // Table entries: a prefix entry and a final byte; strings are rebuilt backwards.
  struct Entry {
    std::int32_t prefix;
    std::uint8_t byte;
    std::uint16_t length;
  };
  std::vector<Entry> table(4096);
  for (int i = 0; i < 256; ++i) {
    table[static_cast<std::size_t>(i)] = {-1, static_cast<std::uint8_t>(i), 1};
  }
  int next = 258;
  int codeBits = 9;
  int previous = -1;
  std::uint32_t buffer = 0;
  int bits = 0;
  std::size_t pos = 0;
  std::vector<std::uint8_t> scratch;
  for (;;) {
    while (bits < codeBits && pos < input.size()) {
      buffer = (buffer << 8) | input[pos++];
      bits += 8;
    }
    if (bits < codeBits) {
      break;
    }
    const int code = static_cast<int>((buffer >> (bits - codeBits)) & ((1U << codeBits) - 1));
    bits -= codeBits;
    if (code == 256) {  // clear
      next = 258;
      codeBits = 9;
      previous = -1;
      continue;
    }
    if (code == 257) {  // end of data
      break;
    }
    int firstByteOf = code;
    if (code > next || (code == next && previous < 0)) {
      status = FilterStatus::kDamaged;
      break;
    }
    // Rebuild the string of `code` (or of previous + its first byte when code is new).
    scratch.clear();
    const int walk = code == next ? previous : code;
    for (int c = walk; c >= 0; c = table[static_cast<std::size_t>(c)].prefix) {
      scratch.push_back(table[static_cast<std::size_t>(c)].byte);
      firstByteOf = c;
    }
    std::reverse(scratch.begin(), scratch.end());
    if (code == next) {
      scratch.push_back(scratch.front());
    }
    for (const std::uint8_t byte : scratch) {
      if (!Push(out, byte, limit, status)) {
        return out;
      }
    }
    (void)firstByteOf;
    if (previous >= 0 && next < 4096) {
      const auto& prev = table[static_cast<std::size_t>(previous)];
      table[static_cast<std::size_t>(next)] = {previous, scratch.front(),
                                               static_cast<std::uint16_t>(prev.length + 1)};
      ++next;
    }
    previous = code;
    const int early = earlyChange ? 1 : 0;
    if (next + early >= 512 && codeBits == 9) {
      codeBits = 10;
    } else if (next + early >= 1024 && codeBits == 10) {
      codeBits = 11;
    } else if (next + early >= 2048 && codeBits == 11) {
      codeBits = 12;
    }
  }
  return out;
}

std::vector<std::uint8_t> AsciiHexDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                         FilterStatus& status) {
  std::vector<std::uint8_t> out;
  int high = -1;
  for (const std::uint8_t c : input) {
    if (c == '>') {
      break;
    }
    const int value = HexDigitValue(c);
    if (value < 0) {
      if (!IsPdfWhitespace(c)) {
        status = FilterStatus::kDamaged;
        return out;
      }
      continue;
    }
    if (high < 0) {
      high = value;
    } else {
      if (!Push(out, static_cast<std::uint8_t>(high * 16 + value), limit, status)) {
        return out;
      }
      high = -1;
    }
  }
  if (high >= 0) {
    Push(out, static_cast<std::uint8_t>(high * 16), limit, status);
  }
  return out;
}

std::vector<std::uint8_t> Ascii85Decode(std::span<const std::uint8_t> input, std::size_t limit,
                                        FilterStatus& status) {
  std::vector<std::uint8_t> out;
  std::uint64_t group = 0;
  int count = 0;
  for (const std::uint8_t c : input) {
    if (IsPdfWhitespace(c)) {
      continue;
    }
    if (c == '~') {
      break;  // "~>" ends the data
    }
    if (c == 'z' && count == 0) {
      for (int k = 0; k < 4; ++k) {
        if (!Push(out, 0, limit, status)) {
          return out;
        }
      }
      continue;
    }
    if (c < '!' || c > 'u') {
      status = FilterStatus::kDamaged;
      return out;
    }
    group = group * 85 + (c - '!');
    if (++count == 5) {
      if (group > 0xFFFFFFFFULL) {
        status = FilterStatus::kDamaged;
        return out;
      }
      for (int shift = 24; shift >= 0; shift -= 8) {
        if (!Push(out, static_cast<std::uint8_t>(group >> shift), limit, status)) {
          return out;
        }
      }
      group = 0;
      count = 0;
    }
  }
  if (count > 1) {
    // A final partial group: pad with 'u' and keep count - 1 bytes.
    for (int k = count; k < 5; ++k) {
      group = group * 85 + 84;
    }
    for (int k = 0; k < count - 1; ++k) {
      if (!Push(out, static_cast<std::uint8_t>(group >> (24 - 8 * k)), limit, status)) {
        return out;
      }
    }
  }
  return out;
}

std::vector<std::uint8_t> RunLengthDecode(std::span<const std::uint8_t> input, std::size_t limit,
                                          FilterStatus& status) {
  std::vector<std::uint8_t> out;
  std::size_t pos = 0;
  while (pos < input.size()) {
    const std::uint8_t length = input[pos++];
    if (length == 128) {
      break;
    }
    if (length < 128) {
      const std::size_t count = length + 1U;
      if (pos + count > input.size()) {
        status = FilterStatus::kDamaged;
        return out;
      }
      for (std::size_t k = 0; k < count; ++k) {
        if (!Push(out, input[pos + k], limit, status)) {
          return out;
        }
      }
      pos += count;
    } else {
      if (pos >= input.size()) {
        status = FilterStatus::kDamaged;
        return out;
      }
      const std::uint8_t byte = input[pos++];
      for (int k = 0; k < 257 - length; ++k) {
        if (!Push(out, byte, limit, status)) {
          return out;
        }
      }
    }
  }
  return out;
}

std::vector<std::uint8_t> Unpredict(std::vector<std::uint8_t> data, const Dict& parms,
                                    FilterStatus& status) {
  const std::int64_t predictor = parms.Get("Predictor").AsInt(1);
  if (predictor <= 1) {
    return data;
  }
  const std::int64_t colors = std::clamp<std::int64_t>(parms.Get("Colors").AsInt(1), 1, 32);
  const std::int64_t bpc = std::clamp<std::int64_t>(parms.Get("BitsPerComponent").AsInt(8), 1, 16);
  const std::int64_t columns = std::clamp<std::int64_t>(parms.Get("Columns").AsInt(1), 1, 1 << 24);
  const auto bytesPerPixel =
      static_cast<std::size_t>(std::max<std::int64_t>(1, (colors * bpc + 7) / 8));
  const auto rowBytes = static_cast<std::size_t>((colors * bpc * columns + 7) / 8);
  std::vector<std::uint8_t> out;
  if (predictor == 2) {  // TIFF: each sample is the difference to the one on its left
    out = std::move(data);
    if (bpc == 8) {
      for (std::size_t row = 0; row + rowBytes <= out.size(); row += rowBytes) {
        for (std::size_t i = bytesPerPixel; i < rowBytes; ++i) {
          out[row + i] = static_cast<std::uint8_t>(out[row + i] + out[row + i - bytesPerPixel]);
        }
      }
    } else if (bpc == 16) {
      for (std::size_t row = 0; row + rowBytes <= out.size(); row += rowBytes) {
        for (std::size_t i = bytesPerPixel; i + 1 < rowBytes; i += 2) {
          const unsigned left =
              (out[row + i - bytesPerPixel] << 8U) | out[row + i - bytesPerPixel + 1];
          const unsigned here = ((out[row + i] << 8U) | out[row + i + 1]) + left;
          out[row + i] = static_cast<std::uint8_t>(here >> 8U);
          out[row + i + 1] = static_cast<std::uint8_t>(here);
        }
      }
    } else if (bpc != 1 && bpc != 2 && bpc != 4) {
      // Not a sample size of PDF: a sample could straddle two bytes. Left as it is.
      status = FilterStatus::kDamaged;
    } else {
      // Sub-byte samples: undo the differences sample by sample.
      const auto samplesPerRow = static_cast<std::size_t>(colors * columns);
      const auto bits = static_cast<unsigned>(bpc);
      const unsigned mask = (1U << bits) - 1;
      for (std::size_t row = 0; row + rowBytes <= out.size(); row += rowBytes) {
        std::vector<unsigned> left(static_cast<std::size_t>(colors), 0);
        for (std::size_t s = 0; s < samplesPerRow; ++s) {
          const std::size_t bit = s * bits;
          const std::size_t byte = row + bit / 8;
          const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
          const unsigned value = ((out[byte] >> shift) & mask);
          const unsigned sum = (value + left[s % static_cast<std::size_t>(colors)]) & mask;
          left[s % static_cast<std::size_t>(colors)] = sum;
          out[byte] = static_cast<std::uint8_t>((out[byte] & ~(mask << shift)) | (sum << shift));
        }
      }
    }
    return out;
  }
  if (predictor < 10) {
    status = FilterStatus::kDamaged;
    return data;
  }
  // PNG: every row starts with its own filter type byte. The rows held are no longer than the
  // data, whatever /Columns claims: a row the data cannot fill is its last, partial row.
  const std::size_t stride = rowBytes + 1;
  const std::size_t held = std::min(rowBytes, data.size());
  out.reserve(data.size() / stride * rowBytes);
  std::vector<std::uint8_t> prior(held, 0);
  std::vector<std::uint8_t> current(held, 0);
  for (std::size_t row = 0; row < data.size(); row += stride) {
    const std::uint8_t type = data[row];
    const std::size_t available = std::min(held, data.size() - row - 1);
    std::fill(current.begin(), current.end(), 0);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(row + 1), available, current.begin());
    for (std::size_t i = 0; i < available; ++i) {
      const int left = i >= bytesPerPixel ? current[i - bytesPerPixel] : 0;
      const int up = prior[i];
      const int upLeft = i >= bytesPerPixel ? prior[i - bytesPerPixel] : 0;
      switch (type) {
        case 0:
          break;
        case 1:
          current[i] = static_cast<std::uint8_t>(current[i] + left);
          break;
        case 2:
          current[i] = static_cast<std::uint8_t>(current[i] + up);
          break;
        case 3:
          current[i] = static_cast<std::uint8_t>(current[i] + (left + up) / 2);
          break;
        case 4:
          current[i] = static_cast<std::uint8_t>(current[i] + Paeth(left, up, upLeft));
          break;
        default:
          status = FilterStatus::kDamaged;
          return out;
      }
    }
    out.insert(out.end(), current.begin(),
               current.begin() + static_cast<std::ptrdiff_t>(available));
    prior.swap(current);
  }
  return out;
}

std::vector<std::uint8_t> ApplyFilter(std::string_view name, const Dict& parms,
                                      std::span<const std::uint8_t> input, std::size_t limit,
                                      FilterStatus& status) {
  status = FilterStatus::kOk;
  if (name == "FlateDecode" || name == "Fl") {
    return Unpredict(FlateDecode(input, limit, status), parms, status);
  }
  if (name == "LZWDecode" || name == "LZW") {
    const bool early = parms.Get("EarlyChange").AsInt(1) != 0;
    return Unpredict(LzwDecode(input, early, limit, status), parms, status);
  }
  if (name == "ASCIIHexDecode" || name == "AHx") {
    return AsciiHexDecode(input, limit, status);
  }
  if (name == "ASCII85Decode" || name == "A85") {
    return Ascii85Decode(input, limit, status);
  }
  if (name == "RunLengthDecode" || name == "RL") {
    return RunLengthDecode(input, limit, status);
  }
  if (name == "Crypt") {  // Identity crypt filter; decryption happened before
    return {input.begin(),
            input.begin() + static_cast<std::ptrdiff_t>(std::min(input.size(), limit))};
  }
  if (name == "CCITTFaxDecode" || name == "CCF") {
    return CcittFaxDecode(parms, input, limit, status);
  }
  if (name == "DCTDecode" || name == "DCT" || name == "JPXDecode" || name == "JBIG2Decode") {
    status = FilterStatus::kImage;
    return {input.begin(), input.end()};
  }
  status = FilterStatus::kUnknown;
  return {};
}

std::vector<std::uint8_t> DecodeFilterChain(const Dict& streamDict,
                                            std::span<const std::uint8_t> raw, std::size_t limit,
                                            FilterStatus& status) {
  status = FilterStatus::kOk;
  const Object& filter = streamDict.Get("Filter");
  const Object& parms = streamDict.Get("DecodeParms");
  std::vector<std::string> names;
  std::vector<const Dict*> parmList;
  static const Dict kNoParms;
  if (filter.IsName()) {
    names.push_back(filter.AsName());
    parmList.push_back(parms.IsDict() ? &parms.AsDict()
                                      : (parms.IsArray() && !parms.AsArray().empty()
                                             ? &parms.AsArray()[0].AsDict()
                                             : &kNoParms));
  } else if (filter.IsArray()) {
    const Array& list = filter.AsArray();
    for (std::size_t i = 0; i < list.size() && i < 16; ++i) {
      names.push_back(list[i].AsName());
      const Dict* p = &kNoParms;
      if (parms.IsArray() && i < parms.AsArray().size()) {
        p = &parms.AsArray()[i].AsDict();
      } else if (parms.IsDict() && list.size() == 1) {
        p = &parms.AsDict();
      }
      parmList.push_back(p);
    }
  }
  std::vector<std::uint8_t> data(
      raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(std::min(raw.size(), limit)));
  for (std::size_t i = 0; i < names.size(); ++i) {
    FilterStatus step = FilterStatus::kOk;
    data = ApplyFilter(names[i], *parmList[i], data, limit, step);
    if (step != FilterStatus::kOk) {
      status = step;
    }
    if (step == FilterStatus::kImage || step == FilterStatus::kUnknown) {
      break;
    }
  }
  return data;
}

}  // namespace lvx::pdf
