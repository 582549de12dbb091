#include "png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace lvx::standin {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

void Put32(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 24U);
  out[1] = static_cast<std::uint8_t>(value >> 16U);
  out[2] = static_cast<std::uint8_t>(value >> 8U);
  out[3] = static_cast<std::uint8_t>(value);
}

// A chunk: length, type, data, and the CRC of type and data.
bool PutChunk(std::FILE* file, const char (&type)[5], std::span<const std::uint8_t> data) {
  std::array<std::uint8_t, 8> head{};
  Put32(head.data(), static_cast<std::uint32_t>(data.size()));
  std::copy(type, type + 4, head.begin() + 4);
  uLong crc = crc32(0, head.data() + 4, 4);
  if (!data.empty()) {  // crc32 with a null pointer answers its initial value, not the CRC
    crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  }
  std::array<std::uint8_t, 4> tail{};
  Put32(tail.data(), static_cast<std::uint32_t>(crc));
  return std::fwrite(head.data(), 1, head.size(), file) == head.size() &&
         std::fwrite(data.data(), 1, data.size(), file) == data.size() &&
         std::fwrite(tail.data(), 1, tail.size(), file) == tail.size();
}

// A deflate stream that ends itself.
class Deflater {
 public:
  Deflater() : ready_(deflateInit(&stream_, Z_BEST_SPEED) == Z_OK) {}
  ~Deflater() {
    if (ready_) {
      deflateEnd(&stream_);
    }
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  Deflater(Deflater&&) = delete;
  Deflater& operator=(Deflater&&) = delete;

  [[nodiscard]] bool Ready() const { return ready_; }
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

bool WritePng(const std::string& path, int width, int height,
              std::span<const std::uint32_t> pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() / static_cast<std::size_t>(width) < static_cast<std::size_t>(height)) {
    return false;
  }
  const File file(std::fopen(path.c_str(), "wb"), std::fclose);
  Deflater deflater;
  if (!file || !deflater.Ready()) {
    return false;
  }
  static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P',  'N',  'G',
                                                             '\r', '\n', 0x1A, '\n'};
  // A picture whose every pixel is grey is written as grey: a third of the bytes to compress,
  // and the same pixels read back.
  const auto columns = static_cast<std::size_t>(width);
  const std::size_t count = columns * static_cast<std::size_t>(height);
  const bool grey = std::all_of(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(count),
                                [](std::uint32_t pixel) {
                                  return ((pixel >> 16U) & 0xFFU) == (pixel & 0xFFU) &&
                                         ((pixel >> 8U) & 0xFFU) == (pixel & 0xFFU);
                                });
  const std::size_t channels = grey ? 1 : 3;
  std::array<std::uint8_t, 13> header{};
  Put32(header.data(), static_cast<std::uint32_t>(width));
  Put32(header.data() + 4, static_cast<std::uint32_t>(height));
  header[8] = 8;  // 8 bits, grey (0) or RGB (2), deflate, no filter, no interlace
  header[9] = grey ? 0 : 2;
  if (std::fwrite(kSignature.data(), 1, kSignature.size(), file.get()) != kSignature.size() ||
      !PutChunk(file.get(), "IHDR", header)) {
    return false;
  }
  // Each row is converted into `row` (a filter byte, then grey or RGB) and compressed; whenever
  // `packed` is full it goes out as an IDAT chunk.
  std::vector<std::uint8_t> row(1 + columns * channels);
  std::vector<std::uint8_t> packed(std::size_t{1} << 16U);
  z_stream& stream = deflater.Stream();
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(y) * columns;
    std::uint8_t* target = row.data() + 1;
    if (grey) {
      for (std::size_t x = 0; x < columns; ++x) {
        target[x] = static_cast<std::uint8_t>(source[x]);
      }
    } else {
      for (std::size_t x = 0; x < columns; ++x, target += 3) {
        const std::uint32_t pixel = source[x];
        target[0] = static_cast<std::uint8_t>(pixel >> 16U);
        target[1] = static_cast<std::uint8_t>(pixel >> 8U);
        target[2] = static_cast<std::uint8_t>(pixel);
      }
    }
    const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
    stream.next_in = row.data();
    stream.avail_in = static_cast<uInt>(row.size());
    int result = Z_OK;
    do {
      result = deflate(&stream, flush);
      if (result == Z_STREAM_ERROR) {
        return false;
      }
      if (stream.avail_out == 0 || result == Z_STREAM_END) {
        const std::size_t used = packed.size() - stream.avail_out;
        if (used > 0 && !PutChunk(file.get(), "IDAT", {packed.data(), used})) {
          return false;
        }
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
      }
    } while (stream.avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  }
  return PutChunk(file.get(), "IEND", {}) && std::fflush(file.get()) == 0;
}

}  // namespace lvx::standin
