#include "menu_dispatch.h"

#include <new>
#include <string_view>

#include "main_window_fields.h"
#include "message_box.h"
#include "text_field.h"
#include "viewer_protocol.h"

namespace ostrada {
namespace {

// The zoom and print-feature codes the menu sends, from the viewer's command table.
constexpr std::int32_t kZoom100 = lvx::VCMD_ZOOM100.code;
constexpr std::int32_t kZoomIn = lvx::VCMD_ZOOMIN.code;
constexpr std::int32_t kZoomOut = lvx::VCMD_ZOOMOUT.code;
constexpr std::int32_t kZoomWidth = lvx::VCMD_ZOOMWIDTH.code;
constexpr std::int32_t kZoomPage = lvx::VCMD_ZOOMPAGE.code;
constexpr std::int32_t kZoomTwoPages = lvx::VCMD_ZOOMTWOPAGES.code;
constexpr std::int32_t kDisablePrint = lvx::VCMD_DISABLEPRINT.code;
constexpr std::int32_t kDisableHighQualityPrint = lvx::VCMD_DISABLEHQPRINT.code;
constexpr std::int32_t kDisableSelectPrinter = lvx::VCMD_DISABLESELECTPRINTER.code;
constexpr std::int32_t kDisableDcPrint = lvx::VCMD_DISABLEDCPRINT.code;
constexpr const char* kPageTextCaption = "1st page text";

// Releases the "Page Text" buffer when the command ends, however it ends.
class PageTextRelease {
 public:
  explicit PageTextRelease(PageText& pageText) noexcept : pageText_(pageText) {}
  ~PageTextRelease() { pageText_.buffer.reset(); }
  PageTextRelease(const PageTextRelease&) = delete;
  PageTextRelease& operator=(const PageTextRelease&) = delete;
  PageTextRelease(PageTextRelease&&) = delete;
  PageTextRelease& operator=(PageTextRelease&&) = delete;

 private:
  PageText& pageText_;
};

void ShowFirstPageText(LUMIVEXCONTROL& viewer, PageText& pageText, HWND owner) {
  const PageTextRelease release(pageText);
  const std::int32_t length = viewer.GETTEXTLENGTH(LvxGivenInt32(1));
  std::string_view shown;
  if (length >= 0 && length <= kPageTextLimit) {
    try {
      pageText.buffer.emplace(static_cast<std::size_t>(length), ' ');
    } catch (const std::bad_alloc&) {
      pageText.buffer.reset();
    }
  }
  if (pageText.buffer) {
    std::vector<char>& buffer = *pageText.buffer;
    viewer.GETTEXT(LvxTextField{buffer.data(), length}, LvxGivenInt32(1));
    shown = lvx::TrimTrailingSpaces(std::string_view(buffer.data(), buffer.size()));
  }
  lvx::toolkit::ShowMessage(owner, shown, kPageTextCaption);
}

}  // namespace

std::string PageCountMessage(std::int32_t pages) { return std::to_string(pages) + " total pages."; }

std::string PageTextLengthMessage(std::int32_t length) {
  return "1st Page Text Length = " + std::to_string(length);
}

std::string DocumentTextLengthMessage(std::int32_t length) {
  return "Document Text Length = " + std::to_string(length);
}

void DispatchCommand(std::int32_t field, LUMIVEXCONTROL& viewer, PageText& pageText, HWND owner) {
  switch (field) {
    case FIELD_OPEN:
      viewer.LOADFILE(LvxOmittedText());
      break;
    case FIELD_APPEND:
      viewer.APPENDFILE(LvxOmittedText());
      break;
    case FIELD_CLEAR:
      viewer.CLEARVIEW();
      break;
    case FIELD_PRINT:
      viewer._PRINT(1, LvxOmittedInt32(), LvxOmittedInt32());
      break;
    case FIELD_ZOOM_100:
      viewer.SETZOOM(kZoom100);
      break;
    case FIELD_ZOOM_IN:
      viewer.SETZOOM(kZoomIn);
      break;
    case FIELD_ZOOM_OUT:
      viewer.SETZOOM(kZoomOut);
      break;
    case FIELD_FULL_WIDTH:
      viewer.SETZOOM(kZoomWidth);
      break;
    case FIELD_FULL_PAGE:
      viewer.SETZOOM(kZoomPage);
      break;
    case FIELD_TWO_PAGES:
      viewer.SETZOOM(kZoomTwoPages);
      break;
    case FIELD_DISABLE_PRINT:
      viewer.DISABLEPRINT(kDisablePrint);
      break;
    case FIELD_DISABLE_HQ_PRINT:
      viewer.DISABLEPRINT(kDisableHighQualityPrint);
      break;
    case FIELD_DISABLE_SELECT_PRINTER:
      viewer.DISABLEPRINT(kDisableSelectPrinter);
      break;
    case FIELD_DISABLE_DC_PRINT:
      viewer.DISABLEPRINT(kDisableDcPrint);
      break;
    case FIELD_PAGE_COUNT:
      lvx::toolkit::ShowMessage(owner, PageCountMessage(viewer.GETPAGECOUNT()));
      break;
    case FIELD_PAGE_TEXT_LENGTH:
      lvx::toolkit::ShowMessage(owner,
                                PageTextLengthMessage(viewer.GETTEXTLENGTH(LvxGivenInt32(1))));
      break;
    case FIELD_PAGE_TEXT:
      ShowFirstPageText(viewer, pageText, owner);
      break;
    case FIELD_DOCUMENT_TEXT_LENGTH:
      lvx::toolkit::ShowMessage(owner,
                                DocumentTextLengthMessage(viewer.GETTEXTLENGTH(LvxOmittedInt32())));
      break;
    case FIELD_DOCUMENT_PROPERTIES:
      viewer.DOCUMENTPROPERTIES();
      break;
    case FIELD_ABOUT:
      viewer.SHOWABOUT();
      break;
    default:
      // 0 (no menu item chosen), the menu titles, "&Exit" (closed by its standard action) and
      // the host region do nothing here.
      break;
  }
}

}  // namespace ostrada
