// The viewer window's parts never overlap, stay inside the window and fill it, at any size and
// with any choice of parts; hidden parts take no room.
#include <gtest/gtest.h>

#include <array>

#include "panel_layout.h"

namespace lvx::standin {
namespace {

std::array<Box, 7> Parts(const PanelLayout& l) {
  return {l.viewPanel,     l.navigationPanel, l.propertyPanel, l.verticalBar,
          l.horizontalBar, l.corner,          l.pageArea};
}

long long Area(const Box& b) {
  return b.Empty() ? 0 : static_cast<long long>(b.Width()) * b.Height();
}

TEST(PanelLayoutTest, PartsTileTheWindowWithoutOverlapAtEverySize) {
  const PanelMetrics metrics;
  const std::array<int, 14> sizes{0, 1, 2, 7, 15, 16, 17, 30, 31, 64, 100, 333, 640, 1920};
  for (const int w : sizes) {
    for (const int h : sizes) {
      for (std::int32_t options = 0; options < 32; ++options) {
        SCOPED_TRACE(testing::Message() << w << " x " << h << " options " << options);
        const auto parts = Parts(LayOutPanels(w, h, options, metrics));
        long long covered = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
          const Box& part = parts[i];
          if (!part.Empty()) {
            EXPECT_GE(part.left, 0);
            EXPECT_GE(part.top, 0);
            EXPECT_LE(part.right, w);
            EXPECT_LE(part.bottom, h);
          }
          covered += Area(part);
          for (std::size_t j = i + 1; j < parts.size(); ++j) {
            EXPECT_FALSE(Overlap(part, parts[j])) << "parts " << i << " and " << j;
          }
        }
        EXPECT_EQ(covered, static_cast<long long>(w) * h);
      }
    }
  }
}

TEST(PanelLayoutTest, HiddenPartsTakeNoRoomAndTheWholeWindowShowsPages) {
  const PanelLayout layout = LayOutPanels(500, 400, 0, PanelMetrics{});
  EXPECT_EQ(layout.pageArea, (Box{0, 0, 500, 400}));
  for (const Box& part : {layout.viewPanel, layout.navigationPanel, layout.propertyPanel,
                          layout.verticalBar, layout.horizontalBar, layout.corner}) {
    EXPECT_TRUE(part.Empty());
  }
}

TEST(PanelLayoutTest, AllPartsOnAWideWindowTakeTheirPreferredSizes) {
  const PanelMetrics metrics;
  const PanelLayout layout = LayOutPanels(1200, 800, 31, metrics);
  EXPECT_EQ(layout.viewPanel, (Box{0, 0, 1200, metrics.viewPanelHeight}));
  EXPECT_EQ(layout.navigationPanel.Width(), metrics.navigationWidth);
  EXPECT_EQ(layout.propertyPanel.Width(), metrics.propertyWidth);
  EXPECT_EQ(layout.propertyPanel.right, 1200);
  // The scroll bars border the page area, not the window's edge next to the property panel.
  EXPECT_EQ(layout.verticalBar.left, layout.pageArea.right);
  EXPECT_EQ(layout.verticalBar.right, layout.propertyPanel.left);
  EXPECT_EQ(layout.horizontalBar.top, layout.pageArea.bottom);
  EXPECT_EQ(layout.horizontalBar.left, layout.navigationPanel.right);
  EXPECT_EQ(layout.corner.Width(), metrics.scrollBarWidth);
  EXPECT_EQ(layout.corner.Height(), metrics.scrollBarHeight);
}

TEST(PanelLayoutTest, SidePanelsShrinkOnANarrowWindowSoPagesKeepHalf) {
  const PanelLayout layout = LayOutPanels(200, 300, 8 | 16, PanelMetrics{});
  EXPECT_EQ(layout.navigationPanel.Width(), 50);
  EXPECT_EQ(layout.propertyPanel.Width(), 50);
  EXPECT_EQ(layout.pageArea.Width(), 100);
}

}  // namespace
}  // namespace lvx::standin
