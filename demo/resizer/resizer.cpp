#include "resizer.h"

#include <algorithm>

namespace lvx::resize {
namespace {

// Type code of a one-pixel line-like control whose width is left alone when it is moved.
constexpr std::int32_t kTypeThinControl = 1;
constexpr std::uint16_t kLowByte = 0x00FF;

std::int32_t HorizontalRule(std::uint16_t rule, bool keepWidth, std::int32_t scaled,
                            std::int32_t x0, std::int32_t w0, std::int32_t width, Ratio rx) {
  switch (rule) {
    case kHFixed:
      return x0;
    case kHRight:
      return keepWidth ? width - (w0 - x0) : AnchorTrunc(width, w0 - x0, rx);
    case kHLeft:
      return keepWidth ? x0 : scaled;
    case kHCentre: {
      const std::int32_t offset = OffsetFromCentre(x0, w0);
      return keepWidth ? CentreTrunc(width, offset) : CentreScaledTrunc(width, offset, rx);
    }
    default:  // kHScale and values that name no rule
      return scaled;
  }
}

std::int32_t VerticalRule(std::uint16_t rule, bool keepHeight, std::int32_t scaled, std::int32_t y0,
                          std::int32_t h0, std::int32_t height, Ratio ry) {
  switch (rule) {
    case kVFixed:
      return y0;
    case kVBottom:
      return keepHeight ? height - (h0 - y0) : AnchorTrunc(height, h0 - y0, ry);
    case kVTop:
      return keepHeight ? y0 : scaled;
    case kVCentre: {
      const std::int32_t offset = OffsetFromCentre(y0, h0);
      return keepHeight ? CentreTrunc(height, offset) : CentreScaledTrunc(height, offset, ry);
    }
    default:  // kVScale and values that name no rule
      return scaled;
  }
}

}  // namespace

const ControlRecord* ControlList::Fetch(std::int32_t position) const noexcept {
  if (position < 1 || position > Count()) {
    return nullptr;
  }
  return &records_[static_cast<std::size_t>(position - 1)];
}

void ControlList::SortById() {
  std::stable_sort(records_.begin(), records_.end(),
                   [](const ControlRecord& a, const ControlRecord& b) { return a.ID < b.ID; });
}

Strategies StrategiesForType(std::int32_t type) noexcept {
  switch (type) {
    case kTypeButton:
      return {kHAuto | kVAuto, kKeepWidth | kKeepHeight};
    case 12:
    case 21:
      return {0, kKeepWidth | kKeepHeight};
    case 8:
    case 15:
    case 16:
    case 34:
      return {0, kKeepHeight};
    default:
      return {0, 0};
  }
}

Geometry PlaceControl(const ControlRecord& record, const Geometry& original, std::int32_t width,
                      std::int32_t height, Ratio rx, Ratio ry) noexcept {
  const Geometry& pos = record.POS;
  const bool keepWidth = (record.RESIZESTRATEGY & kKeepWidth) != 0;
  const bool keepHeight = (record.RESIZESTRATEGY & kKeepHeight) != 0;
  Geometry placed;
  placed.XPOS = ScaleTrunc(pos.XPOS, rx);
  placed.YPOS = ScaleTrunc(pos.YPOS, ry);
  placed.WIDTH = keepWidth ? pos.WIDTH : ScaleTrunc(pos.WIDTH, rx);
  placed.HEIGHT = keepHeight ? pos.HEIGHT : ScaleTrunc(pos.HEIGHT, ry);

  auto hs = static_cast<std::uint16_t>(record.POSITIONALSTRATEGY & kLowByte);
  auto vs = static_cast<std::uint16_t>(record.POSITIONALSTRATEGY & ~kLowByte);
  // The automatic strategies anchor to the nearer edge; equal margins count as the near one.
  if (hs == kHAuto) {
    hs = pos.XPOS > original.WIDTH - pos.XPOS - pos.WIDTH ? kHRight : kHLeft;
  }
  if (vs == kVAuto) {
    vs = pos.YPOS > original.HEIGHT - pos.YPOS - pos.HEIGHT ? kVBottom : kVTop;
  }
  if (rx != kRatioOne) {
    placed.XPOS = HorizontalRule(hs, keepWidth, placed.XPOS, pos.XPOS, original.WIDTH, width, rx);
  }
  if (ry != kRatioOne) {
    placed.YPOS = VerticalRule(vs, keepHeight, placed.YPOS, pos.YPOS, original.HEIGHT, height, ry);
  }
  return placed;
}

void INITRESIZE(RESIZER& resizer, WindowServices& window, std::int32_t mode) {
  auto list = std::make_unique<ControlList>();
  resizer.ORIGWIN = window.WindowGeometry();
  resizer.PREVIOUSWIN = resizer.ORIGWIN;
  const std::int32_t lowest = window.LowestControl();
  const std::int32_t highest = window.HighestControl();
  for (std::int32_t n = lowest; n <= highest; ++n) {
    const std::int32_t type = window.ControlType(n);
    if (type == kTypeNone || type == kTypeMenu || type == kTypeMenuItem) {
      continue;
    }
    ControlRecord record;
    record.ID = n;
    record.TYPE = type;
    record.POS = window.ControlGeometry(n);
    if (mode == kModeByType) {
      const Strategies chosen = StrategiesForType(type);
      record.POSITIONALSTRATEGY = chosen.positional;
      record.RESIZESTRATEGY = chosen.resize;
    }
    list->Append(record);
    if (n == highest) {
      break;  // n + 1 would overflow when highest is the largest number
    }
  }
  list->SortById();
  resizer.CONTROLQUEUE = std::move(list);
}

void RESIZE(RESIZER& resizer, WindowServices& window) {
  const std::int32_t savedCount = window.DeferredMoveCount();
  const Geometry now = window.WindowGeometry();
  if (now.WIDTH == resizer.PREVIOUSWIN.WIDTH && now.HEIGHT == resizer.PREVIOUSWIN.HEIGHT) {
    return;
  }
  resizer.PREVIOUSWIN = now;
  const Ratio rx = RatioOf(now.WIDTH, resizer.ORIGWIN.WIDTH);
  const Ratio ry = RatioOf(now.HEIGHT, resizer.ORIGWIN.HEIGHT);
  const ControlList empty;
  const ControlList& list = resizer.CONTROLQUEUE != nullptr ? *resizer.CONTROLQUEUE : empty;

  window.SetDeferredMoveCount(list.Count());
  for (std::int32_t position = 1; position <= list.Count(); ++position) {
    const ControlRecord& record = *list.Fetch(position);
    const Geometry placed = PlaceControl(record, resizer.ORIGWIN, now.WIDTH, now.HEIGHT, rx, ry);
    const bool keepsCurrentWidth = record.TYPE == kTypeThinControl && record.POS.WIDTH == 1;
    window.MoveControl(record.ID, placed.XPOS, placed.YPOS,
                       keepsCurrentWidth ? Coordinate{} : Coordinate{placed.WIDTH}, placed.HEIGHT);
  }
  if (savedCount < 0) {
    window.SetDeferredMoveCount(savedCount);
  }
}

void KILLRESIZE(RESIZER& resizer) noexcept { resizer.CONTROLQUEUE.reset(); }

}  // namespace lvx::resize
