// The services the resizer needs, provided by a toolkit window in the window's current units.
#ifndef LUMIVEX_DEMO_TOOLKIT_RESIZE_ADAPTER_H
#define LUMIVEX_DEMO_TOOLKIT_RESIZE_ADAPTER_H

#include "window.h"
#include "window_services.h"

namespace lvx::toolkit {

class ResizeAdapter final : public resize::WindowServices {
 public:
  explicit ResizeAdapter(Window& window) noexcept : window_(window) {}

  resize::Geometry WindowGeometry() override;
  std::int32_t LowestControl() override;
  std::int32_t HighestControl() override;
  std::int32_t ControlType(std::int32_t control) override;
  resize::Geometry ControlGeometry(std::int32_t control) override;
  void MoveControl(std::int32_t control, resize::Coordinate x, resize::Coordinate y,
                   resize::Coordinate width, resize::Coordinate height) override;
  std::int32_t DeferredMoveCount() override;
  void SetDeferredMoveCount(std::int32_t count) override;

 private:
  Window& window_;
};

}  // namespace lvx::toolkit

#endif
