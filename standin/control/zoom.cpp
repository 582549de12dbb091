#include "zoom.h"

#include <algorithm>
#include <array>

#include "viewer_protocol.h"

namespace lvx::standin {
namespace {

constexpr std::array<double, 14> kLadder{10,  25,  33,  50,  67,  75,  100,
                                         125, 150, 200, 300, 400, 800, 1600};
// Factors within this ratio of a step count as that step (fitting modes give odd factors).
constexpr double kSameStep = 1.001;

}  // namespace

double NextZoomStep(double percent) {
  for (const double step : kLadder) {
    if (step > percent * kSameStep) {
      return step;
    }
  }
  return kMaxZoomPercent;
}

double PreviousZoomStep(double percent) {
  for (std::size_t i = kLadder.size(); i-- > 0;) {
    if (kLadder[i] * kSameStep < percent) {
      return kLadder[i];
    }
  }
  return kMinZoomPercent;
}

bool ApplyZoomCommand(ZoomSetting& setting, std::int32_t code) {
  if (code == VCMD_ZOOM100.code) {
    setting = {ZoomMode::kFixed, 100, 1};
  } else if (code == VCMD_ZOOMIN.code) {
    setting.mode = ZoomMode::kFixed;
    setting.percent = NextZoomStep(setting.percent);
  } else if (code == VCMD_ZOOMOUT.code) {
    setting.mode = ZoomMode::kFixed;
    setting.percent = PreviousZoomStep(setting.percent);
  } else if (code == VCMD_ZOOMWIDTH.code) {
    setting.mode = ZoomMode::kPageWidth;
    setting.columns = 1;
  } else if (code == VCMD_ZOOMPAGE.code) {
    setting.mode = ZoomMode::kWholePage;
    setting.columns = 1;
  } else if (code == VCMD_ZOOMTWOPAGES.code) {
    setting.mode = ZoomMode::kTwoPages;
    setting.columns = 2;
  } else {
    return false;
  }
  setting.percent = std::clamp(setting.percent, kMinZoomPercent, kMaxZoomPercent);
  return true;
}

}  // namespace lvx::standin
