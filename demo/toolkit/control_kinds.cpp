#include "control_kinds.h"

#include <array>
#include <cstring>

namespace lvx::toolkit {
namespace {

bool Is(const char* actual, const char* expected) { return _stricmp(actual, expected) == 0; }

std::int32_t ButtonKind(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return kKindCheck;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return kKindRadio;
    case BS_GROUPBOX:
      return kKindGroup;
    default:
      return kKindButton;
  }
}

std::int32_t StaticKind(LONG style) {
  switch (style & SS_TYPEMASK) {
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
      return kKindLine;
    case SS_ICON:
    case SS_BITMAP:
    case SS_ENHMETAFILE:
      return kKindImage;
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDFRAME:
      return kKindBox;
    default:
      return kKindLabel;
  }
}

}  // namespace

std::int32_t KindOfWindow(HWND control) {
  std::array<char, 64> klass{};
  if (control == nullptr ||
      GetClassNameA(control, klass.data(), static_cast<int>(klass.size())) == 0) {
    return kKindNone;
  }
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const char* name = klass.data();
  if (Is(name, kRegionClass)) {
    return kKindRegion;
  }
  if (Is(name, "Button")) {
    return ButtonKind(style);
  }
  if (Is(name, "Static")) {
    return StaticKind(style);
  }
  if (Is(name, "Edit")) {
    return (style & ES_MULTILINE) != 0 ? kKindText : kKindEntry;
  }
  if (Is(name, "ComboBox")) {
    return (style & 0x3) == CBS_DROPDOWNLIST ? kKindDropList : kKindCombo;
  }
  if (Is(name, "ListBox")) {
    return kKindList;
  }
  if (Is(name, "msctls_updown32")) {
    return kKindSpin;
  }
  return kKindOther;
}

}  // namespace lvx::toolkit
