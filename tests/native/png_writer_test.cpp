// The PNG writer read back: every chunk's CRC, the colour type it chose, and the pixels after
// inflating its IDAT chunks, for a grey picture and a coloured one large enough to span chunks.
#include "png_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct ReadBack {
  int width = 0;
  int height = 0;
  int colourType = -1;
  std::vector<std::string> chunks;  // the types, in order
  std::vector<std::uint8_t> rows;   // the inflated image data: a filter byte, then the samples
};

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) << 24U |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 16U |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 8U |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3]));
}

ReadBack Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ReadBack out;
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  std::string packed;
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint32_t length = Get32(bytes, at);
    const std::string type = bytes.substr(at + 4, 4);
    const std::string data = bytes.substr(at + 8, length);
    const auto* start = reinterpret_cast<const Bytef*>(bytes.data() + at + 4);
    EXPECT_EQ(crc32(0, start, length + 4), Get32(bytes, at + 8 + length)) << type;
    out.chunks.push_back(type);
    if (type == "IHDR") {
      out.width = static_cast<int>(Get32(data, 0));
      out.height = static_cast<int>(Get32(data, 4));
      out.colourType = static_cast<std::uint8_t>(data[9]);
    } else if (type == "IDAT") {
      packed += data;
    }
    at += 12 + length;
  }
  out.rows.resize(4 << 20);
  uLongf size = out.rows.size();
  EXPECT_EQ(uncompress(out.rows.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                       packed.size()),
            Z_OK);
  out.rows.resize(size);
  return out;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

TEST(PngWriter, GreyPicturesAreWrittenGreyAndColouredOnesRgb) {
  // 0x00RRGGBB with a top byte that must be ignored; the coloured picture's last pixel is the
  // only one that is not grey, so a check that stops early would miss it.
  const int width = 600;
  const int height = 400;  // 240 KB of noise: several 64 KiB IDAT chunks
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  std::uint32_t noise = 12345;
  for (std::uint32_t& pixel : pixels) {
    noise = noise * 1103515245U + 12345U;
    const std::uint32_t level = (noise >> 16U) & 0xFFU;
    pixel = 0xAB000000U | level << 16U | level << 8U | level;
  }
  const std::string greyPath = TempPath("lvx-png-grey.png");
  ASSERT_TRUE(lvx::standin::WritePng(greyPath, width, height, pixels));
  const ReadBack grey = Read(greyPath);
  EXPECT_EQ(grey.colourType, 0);
  ASSERT_EQ(grey.rows.size(), static_cast<std::size_t>(height) * (1 + width));
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * (1 + width);
    ASSERT_EQ(grey.rows[row], 0);
    for (int x = 0; x < width; ++x) {
      ASSERT_EQ(grey.rows[row + 1 + x], pixels[static_cast<std::size_t>(y) * width + x] & 0xFFU);
    }
  }
  EXPECT_GT(grey.chunks.size(), 5U);
  EXPECT_EQ(grey.chunks.front(), "IHDR");
  EXPECT_EQ(grey.chunks.back(), "IEND");

  pixels.back() = 0x00123456U;
  const std::string colourPath = TempPath("lvx-png-colour.png");
  ASSERT_TRUE(lvx::standin::WritePng(colourPath, width, height, pixels));
  const ReadBack colour = Read(colourPath);
  EXPECT_EQ(colour.colourType, 2);
  ASSERT_EQ(colour.rows.size(), static_cast<std::size_t>(height) * (1 + 3 * width));
  const std::size_t last = colour.rows.size() - 3;
  EXPECT_EQ(colour.rows[last], 0x12);
  EXPECT_EQ(colour.rows[last + 1], 0x34);
  EXPECT_EQ(colour.rows[last + 2], 0x56);
  EXPECT_EQ(colour.rows[1 + 3 * 7], pixels[7] & 0xFFU);  // a grey pixel, three equal samples
  EXPECT_EQ(colour.rows[1 + 3 * 7 + 1], pixels[7] & 0xFFU);

  EXPECT_FALSE(lvx::standin::WritePng(colourPath, width, height + 1, pixels));  // too few pixels
  EXPECT_FALSE(lvx::standin::WritePng(TempPath("no-such-folder/x.png"), width, height, pixels));
  std::remove(greyPath.c_str());
  std::remove(colourPath.c_str());
}

}  // namespace
