// Where the viewer window's parts go: the view panel across the top, the navigation panel on the
// left, the property panel on the right, the page area in the middle with its vertical scroll bar
// on its right and its horizontal scroll bar below it. Pure arithmetic, no Windows API.
#ifndef LUMIVEX_STANDIN_PANEL_LAYOUT_H
#define LUMIVEX_STANDIN_PANEL_LAYOUT_H

#include <cstdint>

namespace lvx::standin {

// A rectangle in client pixels: left and top inside, right and bottom outside.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  [[nodiscard]] int Width() const { return right - left; }
  [[nodiscard]] int Height() const { return bottom - top; }
  [[nodiscard]] bool Empty() const { return right <= left || bottom <= top; }
  [[nodiscard]] bool Contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  friend bool operator==(const Box&, const Box&) = default;
};

// True when the two boxes share at least one pixel.
bool Overlap(const Box& a, const Box& b);

// Preferred sizes of the parts; a part never takes more than its share of a small window.
struct PanelMetrics {
  int viewPanelHeight = 30;
  int navigationWidth = 150;
  int propertyWidth = 210;
  int scrollBarWidth = 16;   // of the vertical bar
  int scrollBarHeight = 16;  // of the horizontal bar
};

struct PanelLayout {
  Box viewPanel;
  Box navigationPanel;
  Box propertyPanel;
  Box verticalBar;
  Box horizontalBar;
  Box corner;    // between the two scroll bars when both are shown, else empty
  Box pageArea;  // where the pages are drawn
};

// Lays out the parts selected by `options` (the view-option bits: 1 vertical bar, 2 horizontal
// bar, 4 view panel, 8 navigation panel, 16 property panel) in a client area of the given size.
// The boxes never overlap, stay inside the client area and together cover all of it; a part that
// is hidden, or that has no room, gets an empty box. Negative sizes count as 0.
PanelLayout LayOutPanels(int width, int height, std::int32_t options, const PanelMetrics& metrics);

}  // namespace lvx::standin

#endif
