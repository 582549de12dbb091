#include "screen_capture.h"

#include "png_writer.h"

namespace lvx::test {

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
  return standin::WritePng(path, picture.width, picture.height, picture.pixels);
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
