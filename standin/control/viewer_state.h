// Everything one viewer window knows: its parts, the document it shows, the zoom, the scroll
// position, the search, the marks and the print settings. Kept by the window (GWLP_USERDATA) from
// WM_NCCREATE to WM_NCDESTROY; used only on the window's thread.
#ifndef LUMIVEX_STANDIN_VIEWER_STATE_H
#define LUMIVEX_STANDIN_VIEWER_STATE_H

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "accessible_viewer.h"
#include "document_model.h"
#include "document_search.h"
#include "drawing_painter.h"
#include "gdi_objects.h"
#include "model_document.h"
#include "page_layout.h"
#include "page_painter.h"
#include "panel_layout.h"
#include "print_job.h"
#include "shown_document.h"
#include "viewer_dpi.h"
#include "zoom.h"

namespace lvx::standin {

// Control ids of the window's parts (see standin_api.h).
inline constexpr int kViewPanelId = 1001;
inline constexpr int kNavigationPanelId = 1002;
inline constexpr int kPropertyPanelId = 1003;
inline constexpr int kVerticalBarId = 1004;
inline constexpr int kHorizontalBarId = 1005;
inline constexpr int kPageAreaId = 1006;
inline constexpr int kPageListId = 1101;
inline constexpr int kPageLabelId = 1102;
inline constexpr int kPropertyTextId = 1103;
inline constexpr int kFirstZoomButtonId = 1111;  // one button per zoom command, in table order

struct ViewerParts {
  HWND viewPanel = nullptr;
  HWND navigationPanel = nullptr;
  HWND propertyPanel = nullptr;
  HWND verticalBar = nullptr;
  HWND horizontalBar = nullptr;
  HWND pageArea = nullptr;
  HWND pageLabel = nullptr;
  HWND pageList = nullptr;
  HWND propertyText = nullptr;
  std::vector<HWND> zoomButtons;
};

inline constexpr int kScrollLine = 40;  // pixels per arrow key or scroll-bar arrow, at 96 dpi

// The window's DPI and the sizes and font made for it (viewer_dpi.h): set when the window is
// created and again when the system moves it to a screen of another DPI.
struct ViewerScale {
  int dpi = kBaseDpi;
  GdiObject<HFONT> font;  // of every panel, button and list
  int inset = 3;          // around the controls inside a panel
  int buttonWidth = 74;   // of a zoom button, at least its widest label's width
  PanelMetrics panels;
  int sheetGap = kSheetGap;
  int scrollLine = kScrollLine;
};

struct ViewerState {
  HWND window = nullptr;
  std::int32_t viewOptions = -1;  // the last code-50 bit set, -1 before any
  ViewerParts parts;
  ViewerScale scale;
  PanelLayout panels;

  DocumentModel model;                      // the opened files (codes 100, 101, 102, 201, 260, 261)
  ModelDocument modelPages{model};          // the model's pages as the view reads them
  const ShownDocument* document = nullptr;  // what the view shows; null: nothing
  std::vector<SheetSize> sheets;            // each page's shown size

  ZoomSetting zoom{ZoomMode::kPageWidth, 100, 1};  // a new viewer fits the page width
  double screenPixelsPerPoint = 96.0 / 72.0;       // at 100 %: the window's DPI / 72
  PageLayout layout;
  int scrollX = 0;
  int scrollY = 0;
  int currentPage = -1;

  PageTextCache pageTexts;
  DocumentSearch search;
  MarkedText marks;

  RunCache runs;
  FontCache fonts;
  DrawingCache drawings;
  DrawingResources drawing;

  PrintSettings printing;

  AccessibleLink accessible;  // last, so destroyed first: clients are cut off before the rest goes
};

ViewerState* StateOf(HWND viewer);

}  // namespace lvx::standin

#endif
