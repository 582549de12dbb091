// What INIT holds while it runs, released when it ends however it ends: the host window's pixel
// units, and the viewer window it created until the host has adopted it.
#ifndef LUMIVEX_WRAPPER_INIT_SCOPE_H
#define LUMIVEX_WRAPPER_INIT_SCOPE_H

#include <windows.h>

#include <cstdint>

#include "lumivexctl/host_window.h"
#include "viewer_channel.h"

namespace lvx {

// Pixel units on the host window from construction until Off(). Should INIT end early (an
// overridden operation threw), the units are switched off on the way out, so the host is not left
// in pixels.
class PixelUnits {
 public:
  explicit PixelUnits(LvxHostWindow& host) : host_(host) { host_.SetPixelUnits(1); }
  ~PixelUnits() {
    if (on_) {
      host_.SetPixelUnits(0);
    }
  }
  PixelUnits(const PixelUnits&) = delete;
  PixelUnits& operator=(const PixelUnits&) = delete;
  PixelUnits(PixelUnits&&) = delete;
  PixelUnits& operator=(PixelUnits&&) = delete;

  void Off() {
    on_ = false;
    host_.SetPixelUnits(0);
  }

 private:
  LvxHostWindow& host_;
  bool on_ = true;
};

// The viewer window INIT created, until the host reports it as the placeholder's window. A window
// the host did not adopt (no such control, a placeholder the host cannot reach, or INIT cut short)
// is destroyed when INIT ends: it would outlive the library that KILL unloads, and the next
// message to it would run code that is gone.
class CreatedViewer {
 public:
  // `field` is the object's HWINDOW: a destroyed window is not left in it.
  CreatedViewer(HWND window, std::int32_t& field) noexcept : window_(window), field_(field) {}
  ~CreatedViewer() {
    if (window_ != nullptr && !adopted_) {
      if (field_ == ToHandleValue(window_)) {
        field_ = 0;
      }
      DestroyWindow(window_);
    }
  }
  CreatedViewer(const CreatedViewer&) = delete;
  CreatedViewer& operator=(const CreatedViewer&) = delete;
  CreatedViewer(CreatedViewer&&) = delete;
  CreatedViewer& operator=(CreatedViewer&&) = delete;

  [[nodiscard]] HWND Window() const noexcept { return window_; }
  // The host reported `reported` as the placeholder's window: is that this window?
  [[nodiscard]] bool IsAdoptedAs(std::int32_t reported) const noexcept {
    return window_ != nullptr && reported == ToHandleValue(window_);
  }
  // INIT has finished with the window adopted: it is the object's now.
  void Keep() noexcept { adopted_ = true; }

 private:
  HWND window_;
  std::int32_t& field_;
  bool adopted_ = false;
};

}  // namespace lvx

#endif
