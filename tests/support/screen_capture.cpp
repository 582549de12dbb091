#include "screen_capture.h"

#include <zlib.h>

#include <array>
#include <fstream>

namespace lvx::test {
namespace {

void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  Put32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                              static_cast<uInt>(body.size()))));
}

}  // namespace

Picture CaptureClient(HWND window) {
  UpdateWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Picture picture;
  RECT client{};
  GetClientRect(window, &client);
  picture.width = client.right;
  picture.height = client.bottom;
  if (picture.width <= 0 || picture.height <= 0) {
    return picture;
  }
  // Read from the window's own device context: its pixels as painted, children included.
  const HDC screen = GetDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(source, source + static_cast<std::size_t>(picture.width) *
                                               static_cast<std::size_t>(picture.height));
    for (std::uint32_t& pixel : picture.pixels) {
      pixel &= 0xFFFFFFU;
    }
    SelectObject(memory, previous);
  }
  if (bitmap != nullptr) {
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return picture;
}

bool SavePng(const Picture& picture, const std::string& path) {
  if (picture.width <= 0 || picture.height <= 0) {
    return false;
  }
  std::string raw;
  raw.reserve(static_cast<std::size_t>(picture.height) *
              (1 + 3 * static_cast<std::size_t>(picture.width)));
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back('\0');  // no filter
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t c = picture.At(x, y);
      raw.push_back(static_cast<char>(Red(c)));
      raw.push_back(static_cast<char>(Green(c)));
      raw.push_back(static_cast<char>(Blue(c)));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
               reinterpret_cast<const Bytef*>(raw.data()),
               static_cast<uLong>(raw.size())) != Z_OK) {
    return false;
  }
  packed.resize(packedSize);
  std::string header;
  Put32(header, static_cast<std::uint32_t>(picture.width));
  Put32(header, static_cast<std::uint32_t>(picture.height));
  header +=
      std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  std::string file = "\x89PNG\r\n\x1A\n";
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", packed);
  Chunk(file, "IEND", "");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

std::string ScreenshotFolder() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string folder(program);
  folder.resize(folder.find_last_of('\\') + 1);
  folder += "..\\artifacts\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  folder += "screenshots\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

}  // namespace lvx::test
