// Owners of GDI resources: each releases its handle the way GDI wants, exactly once.
#ifndef LUMIVEX_STANDIN_GDI_OBJECTS_H
#define LUMIVEX_STANDIN_GDI_OBJECTS_H

#include <windows.h>

#include <utility>

namespace lvx::standin {

// A handle that `Release` (a function object) gives back exactly once.
template <typename Handle, typename Release>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  ~OwnedHandle() { Reset(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  [[nodiscard]] Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset() {
    if (handle_ != nullptr) {
      Release{}(handle_);
      handle_ = nullptr;
    }
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// A pen, brush, font, bitmap or region (DeleteObject).
template <typename Handle>
using GdiObject = OwnedHandle<Handle, DeleteGdiObject>;

// A device context made with CreateCompatibleDC or CreateDC (DeleteDC).
class OwnedDc {
 public:
  OwnedDc() = default;
  explicit OwnedDc(HDC dc) : dc_(dc) {}
  ~OwnedDc() {
    if (dc_ != nullptr) {
      DeleteDC(dc_);
    }
  }
  OwnedDc(const OwnedDc&) = delete;
  OwnedDc& operator=(const OwnedDc&) = delete;
  OwnedDc(OwnedDc&&) = delete;
  OwnedDc& operator=(OwnedDc&&) = delete;

  [[nodiscard]] HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_ = nullptr;
};

// A window's device context from GetDC (ReleaseDC).
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) {
      ReleaseDC(window_, dc_);
    }
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&&) = delete;
  WindowDc& operator=(WindowDc&&) = delete;

  [[nodiscard]] HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT: the paint ends (and the window is validated) however
// the drawing ends, an exception included.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  PaintScope(PaintScope&&) = delete;
  PaintScope& operator=(PaintScope&&) = delete;

  [[nodiscard]] HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context for one scope; the previous one comes back after.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) {
      SelectObject(dc_, previous_);
    }
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  Selection(Selection&&) = delete;
  Selection& operator=(Selection&&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// SaveDC / RestoreDC around drawing that changes the context's modes.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_ != 0) {
      RestoreDC(dc_, saved_);
    }
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  SavedDcState(SavedDcState&&) = delete;
  SavedDcState& operator=(SavedDcState&&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace lvx::standin

#endif
