// What the resizer needs of a window toolkit: the current window's size, its controls by number,
// moving them, and the toolkit-wide deferred-move count. All values are in the window's own units,
// the same for reading and for moving.
#ifndef LUMIVEX_DEMO_RESIZER_WINDOW_SERVICES_H
#define LUMIVEX_DEMO_RESIZER_WINDOW_SERVICES_H

#include <cstdint>
#include <optional>

namespace lvx::resize {

// NOLINTBEGIN(readability-identifier-naming)
// Position and size; the field names are those of the resize record's groups.
struct Geometry {
  std::int32_t XPOS = 0;
  std::int32_t YPOS = 0;
  std::int32_t WIDTH = 0;
  std::int32_t HEIGHT = 0;
  friend constexpr bool operator==(const Geometry&, const Geometry&) = default;
};
// NOLINTEND(readability-identifier-naming)

// Control type codes the resizer looks at.
inline constexpr std::int32_t kTypeNone = 0;
inline constexpr std::int32_t kTypeRegion = 4;
inline constexpr std::int32_t kTypeButton = 9;
inline constexpr std::int32_t kTypeMenu = 19;
inline constexpr std::int32_t kTypeMenuItem = 20;

// A coordinate for MoveControl; std::nullopt leaves that value as it is.
using Coordinate = std::optional<std::int32_t>;

class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // The window's position and size.
  virtual Geometry WindowGeometry() = 0;
  // Lowest and highest control number of the window; both 0 when it has no control.
  virtual std::int32_t LowestControl() = 0;
  virtual std::int32_t HighestControl() = 0;
  // The control's type code, 0 when no control has that number.
  virtual std::int32_t ControlType(std::int32_t control) = 0;
  virtual Geometry ControlGeometry(std::int32_t control) = 0;
  virtual void MoveControl(std::int32_t control, Coordinate x, Coordinate y, Coordinate width,
                           Coordinate height) = 0;
  // The deferred-move count, one setting for the whole toolkit. Writing it first applies a batch
  // still open; N > 0 gathers the next N moves and applies them together (then the count is 0);
  // a negative count gathers moves in standing batches of its magnitude.
  virtual std::int32_t DeferredMoveCount() = 0;
  virtual void SetDeferredMoveCount(std::int32_t count) = 0;

 protected:
  WindowServices() = default;
  WindowServices(const WindowServices&) = default;
  WindowServices& operator=(const WindowServices&) = default;
  WindowServices(WindowServices&&) = default;
  WindowServices& operator=(WindowServices&&) = default;
};

}  // namespace lvx::resize

#endif
