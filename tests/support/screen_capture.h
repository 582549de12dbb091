// Pictures of what is on the screen: a window's area read back from the display, its pixels
// examined by tests and saved as PNG files for people to look at.
#ifndef LUMIVEX_TESTS_SCREEN_CAPTURE_H
#define LUMIVEX_TESTS_SCREEN_CAPTURE_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lvx::test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top

  [[nodiscard]] std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  // Pixels inside `box` (clipped to the picture) for which `test` holds.
  template <typename Test>
  [[nodiscard]] int Count(const RECT& box, Test test) const {
    int count = 0;
    for (int y = std::max(0, static_cast<int>(box.top));
         y < std::min(height, static_cast<int>(box.bottom)); ++y) {
      for (int x = std::max(0, static_cast<int>(box.left));
           x < std::min(width, static_cast<int>(box.right)); ++x) {
        count += test(At(x, y)) ? 1 : 0;
      }
    }
    return count;
  }
};

// The window's client area as painted now (after painting what is pending), children included.
Picture CaptureClient(HWND window);

// Writes the picture as an RGB PNG file; false when it cannot be written.
bool SavePng(const Picture& picture, const std::string& path);

// The folder for pictures of this build's tests (artifacts/screenshots next to the programs),
// created when missing; ends with a backslash.
std::string ScreenshotFolder();

inline int Red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

}  // namespace lvx::test

#endif
