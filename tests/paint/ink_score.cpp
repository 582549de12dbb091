// inkscore: how well two pictures of a page agree in their ink. Pixels darker than a threshold
// are ink; our ink counts as right where the reference has ink within one pixel (precision), the
// reference's as found where ours has ink within one pixel (recall); the score is their F1.
//   inkscore LIST        LIST holds lines "OURS.png REFERENCE.png"; prints for each line
//                        "f1 precision recall our-ink reference-ink" (or "error")
// PNG files of 8-bit grey, grey with alpha, RGB or RGBA, not interlaced.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Darker than this (0 black, 255 white) is ink.
constexpr int kInkThreshold = 160;

struct Grey {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

std::uint32_t Be32(const std::string& data, std::size_t at) {
  return (std::uint32_t{static_cast<std::uint8_t>(data[at])} << 24U) |
         (std::uint32_t{static_cast<std::uint8_t>(data[at + 1])} << 16U) |
         (std::uint32_t{static_cast<std::uint8_t>(data[at + 2])} << 8U) |
         std::uint32_t{static_cast<std::uint8_t>(data[at + 3])};
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

bool ReadPng(const std::string& path, Grey& out) {
  std::ifstream file(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (data.size() < 8 || data.compare(1, 3, "PNG") != 0) {
    return false;
  }
  int depth = 0;
  int type = 0;
  std::string packed;
  for (std::size_t at = 8; at + 8 <= data.size();) {
    const std::uint32_t length = Be32(data, at);
    const std::string kind = data.substr(at + 4, 4);
    if (at + 12 + length > data.size()) {
      return false;
    }
    if (kind == "IHDR") {
      out.width = static_cast<int>(Be32(data, at + 8));
      out.height = static_cast<int>(Be32(data, at + 12));
      depth = static_cast<std::uint8_t>(data[at + 16]);
      type = static_cast<std::uint8_t>(data[at + 17]);
      if (static_cast<std::uint8_t>(data[at + 20]) != 0) {
        return false;  // interlaced
      }
    } else if (kind == "IDAT") {
      packed.append(data, at + 8, length);
    }
    at += 12 + length;
  }
  const int channels = type == 0 ? 1 : type == 4 ? 2 : type == 2 ? 3 : type == 6 ? 4 : 0;
  if (depth != 8 || channels == 0 || out.width <= 0 || out.height <= 0 ||
      static_cast<long long>(out.width) * out.height > (1LL << 28)) {
    return false;
  }
  const auto stride = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(channels);
  std::vector<std::uint8_t> raw((stride + 1) * static_cast<std::size_t>(out.height));
  auto size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                 static_cast<uLong>(packed.size())) != Z_OK ||
      size != raw.size()) {
    return false;
  }
  std::vector<std::uint8_t> previous(stride, 0);
  std::vector<std::uint8_t> row(stride);
  out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  const auto bpp = static_cast<std::size_t>(channels);
  for (int y = 0; y < out.height; ++y) {
    const std::uint8_t* line = &raw[static_cast<std::size_t>(y) * (stride + 1)];
    const int filter = line[0];
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0;
      const int b = previous[i];
      const int c = i >= bpp ? previous[i - bpp] : 0;
      int value = line[1 + i];
      switch (filter) {
        case 1:
          value += a;
          break;
        case 2:
          value += b;
          break;
        case 3:
          value += (a + b) / 2;
          break;
        case 4:
          value += Paeth(a, b, c);
          break;
        default:
          break;
      }
      row[i] = static_cast<std::uint8_t>(value);
    }
    for (int x = 0; x < out.width; ++x) {
      const std::uint8_t* p = &row[static_cast<std::size_t>(x) * bpp];
      // Luminance as the reference renderer's grey output weighs it; alpha over white.
      int grey = channels >= 3 ? (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100 : p[0];
      if (channels == 2 || channels == 4) {
        const int alpha = p[channels - 1];
        grey = (grey * alpha + 255 * (255 - alpha)) / 255;
      }
      out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                 static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(grey);
    }
    previous = row;
  }
  return true;
}

// Ink of `picture` over the common width and height, and the same grown by one pixel each way.
std::vector<std::uint8_t> Ink(const Grey& picture, int width, int height) {
  std::vector<std::uint8_t> ink(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      ink[static_cast<std::size_t>(y * width + x)] =
          picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                         static_cast<std::size_t>(x)] < kInkThreshold
              ? 1
              : 0;
    }
  }
  return ink;
}

std::vector<std::uint8_t> Grown(const std::vector<std::uint8_t>& ink, int width, int height) {
  std::vector<std::uint8_t> grown(ink.size(), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (ink[static_cast<std::size_t>(y * width + x)] == 0) {
        continue;
      }
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx;
          const int ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < width && ny < height) {
            grown[static_cast<std::size_t>(ny * width + nx)] = 1;
          }
        }
      }
    }
  }
  return grown;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: inkscore LIST\n");
    return 2;
  }
  std::ifstream list(argv[1]);
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    std::string oursPath;
    std::string refPath;
    if (!(fields >> oursPath >> refPath)) {
      continue;
    }
    Grey ours;
    Grey ref;
    if (!ReadPng(oursPath, ours) || !ReadPng(refPath, ref)) {
      std::printf("error\n");
      continue;
    }
    const int width = std::min(ours.width, ref.width);
    const int height = std::min(ours.height, ref.height);
    const std::vector<std::uint8_t> ourInk = Ink(ours, width, height);
    const std::vector<std::uint8_t> refInk = Ink(ref, width, height);
    const std::vector<std::uint8_t> ourNear = Grown(ourInk, width, height);
    const std::vector<std::uint8_t> refNear = Grown(refInk, width, height);
    long long ourCount = 0;
    long long refCount = 0;
    long long right = 0;
    long long found = 0;
    for (std::size_t i = 0; i < ourInk.size(); ++i) {
      ourCount += ourInk[i];
      refCount += refInk[i];
      right += ourInk[i] & refNear[i];
      found += refInk[i] & ourNear[i];
    }
    double precision =
        ourCount > 0 ? static_cast<double>(right) / static_cast<double>(ourCount) : 0;
    double recall = refCount > 0 ? static_cast<double>(found) / static_cast<double>(refCount) : 0;
    if (ourCount == 0 && refCount == 0) {
      precision = recall = 1;  // two blank pages agree
    }
    const double f1 = precision + recall > 0 ? 2 * precision * recall / (precision + recall) : 0;
    std::printf("%.4f %.4f %.4f %lld %lld\n", f1, precision, recall, ourCount, refCount);
  }
  return 0;
}
