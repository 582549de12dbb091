// The resizer: keeps a window's controls in proportion when the window changes size. INITRESIZE
// takes a snapshot of the window's size and of each control right after the window has opened;
// RESIZE places every recorded control again from that snapshot and the window's current size,
// so repeated resizing gathers no error and the first size brings every control back exactly;
// KILLRESIZE frees the snapshot.
#ifndef LUMIVEX_DEMO_RESIZER_RESIZER_H
#define LUMIVEX_DEMO_RESIZER_RESIZER_H

#include <cstdint>
#include <memory>
#include <vector>

#include "fixed_decimal.h"
#include "window_services.h"

namespace lvx::resize {

// Horizontal strategies: the low byte of POSITIONALSTRATEGY.
inline constexpr std::uint16_t kHScale = 0;
inline constexpr std::uint16_t kHFixed = 1;
inline constexpr std::uint16_t kHRight = 2;
inline constexpr std::uint16_t kHLeft = 4;
inline constexpr std::uint16_t kHCentre = 8;
inline constexpr std::uint16_t kHAuto = 0x10;
// Vertical strategies: POSITIONALSTRATEGY with its low byte cleared.
inline constexpr std::uint16_t kVScale = 0;
inline constexpr std::uint16_t kVFixed = 0x100;
inline constexpr std::uint16_t kVBottom = 0x200;
inline constexpr std::uint16_t kVTop = 0x400;
inline constexpr std::uint16_t kVCentre = 0x800;
inline constexpr std::uint16_t kVAuto = 0x1000;
// RESIZESTRATEGY bits.
inline constexpr std::uint16_t kKeepWidth = 1;
inline constexpr std::uint16_t kKeepHeight = 2;

// The mode that chooses each control's strategies by its type code.
inline constexpr std::int32_t kModeByType = 2;

// NOLINTBEGIN(readability-identifier-naming)
struct ControlRecord {
  std::int32_t ID = 0;
  std::int32_t TYPE = 0;
  std::uint16_t POSITIONALSTRATEGY = 0;
  std::uint16_t RESIZESTRATEGY = 0;
  Geometry POS;
};

// A dynamic list of control records, positions 1-based.
class ControlList {
 public:
  void Append(const ControlRecord& record) { records_.push_back(record); }
  [[nodiscard]] std::int32_t Count() const noexcept {
    return static_cast<std::int32_t>(records_.size());
  }
  // The record at `position` (1 to Count()), null outside that range.
  [[nodiscard]] const ControlRecord* Fetch(std::int32_t position) const noexcept;
  void SortById();

 private:
  std::vector<ControlRecord> records_;
};

struct RESIZER {
  Geometry ORIGWIN;
  Geometry PREVIOUSWIN;
  std::unique_ptr<ControlList> CONTROLQUEUE;  // null before INITRESIZE and after KILLRESIZE
};
// NOLINTEND(readability-identifier-naming)

// Strategies chosen for a control of type `type` under mode 2.
struct Strategies {
  std::uint16_t positional = 0;
  std::uint16_t resize = 0;
};
Strategies StrategiesForType(std::int32_t type) noexcept;

// Where a recorded control goes when the window captured at `original` now measures
// `width` × `height`, with the window's ratios rx and ry. Pure arithmetic.
Geometry PlaceControl(const ControlRecord& record, const Geometry& original, std::int32_t width,
                      std::int32_t height, Ratio rx, Ratio ry) noexcept;

// NOLINTBEGIN(readability-identifier-naming)
void INITRESIZE(RESIZER& resizer, WindowServices& window, std::int32_t mode);
void RESIZE(RESIZER& resizer, WindowServices& window);
void KILLRESIZE(RESIZER& resizer) noexcept;
// NOLINTEND(readability-identifier-naming)

}  // namespace lvx::resize

#endif
