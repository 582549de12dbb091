#include "resize_adapter.h"

#include "deferred_moves.h"

namespace lvx::toolkit {
namespace {

resize::Geometry ToGeometry(const Placement& placement) {
  return {placement.x, placement.y, placement.width, placement.height};
}

}  // namespace

resize::Geometry ResizeAdapter::WindowGeometry() { return ToGeometry(window_.WindowPlacement()); }

std::int32_t ResizeAdapter::LowestControl() { return window_.LowestControl(); }

std::int32_t ResizeAdapter::HighestControl() { return window_.HighestControl(); }

std::int32_t ResizeAdapter::ControlType(std::int32_t control) {
  return window_.ControlType(control);
}

resize::Geometry ResizeAdapter::ControlGeometry(std::int32_t control) {
  return ToGeometry(window_.ControlPlacement(control));
}

void ResizeAdapter::MoveControl(std::int32_t control, resize::Coordinate x, resize::Coordinate y,
                                resize::Coordinate width, resize::Coordinate height) {
  window_.MoveControl(control, x, y, width, height);
}

std::int32_t ResizeAdapter::DeferredMoveCount() { return toolkit::DeferredMoveCount(); }

void ResizeAdapter::SetDeferredMoveCount(std::int32_t count) {
  toolkit::SetDeferredMoveCount(count);
}

}  // namespace lvx::toolkit
