// The flat C interface (lumivexctl_c.h): every function reaches the same LUMIVEXCONTROL object and
// calls its operations through the object's operation table, so the C interface and the C++ class
// send the viewer the same messages. Names are exported undecorated through lumivexctl.def.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "ansi_file_name.h"
#include "c_file_names.h"
#include "c_host.h"
#include "c_viewer.h"
#include "error_message.h"
#include "lumivexctl/lumivexctl_c.h"
#include "lumivexctl/win32_host.h"

namespace {

// Text of the C interface: a length of -1 (any negative length) means a NUL-terminated string.
LvxText Text(const char* data, std::int32_t length) noexcept {
  if (data != nullptr && length < 0) {
    return LvxText{data, static_cast<std::int32_t>(std::strlen(data))};
  }
  return LvxText{data, length};
}

LvxOptionalText OptionalText(std::uint8_t omitted, const char* data, std::int32_t length) noexcept {
  return omitted != 0 ? LvxOmittedText() : LvxGivenText(Text(data, length));
}

LvxOptionalInt32 OptionalInt32(std::uint8_t omitted, std::int32_t value) noexcept {
  return omitted != 0 ? LvxOmittedInt32() : LvxGivenInt32(value);
}

// The switch field `which` of `control` (const or not), null for an unknown switch.
template <typename Control>
auto* Switch(Control& control, std::int32_t which) noexcept {
  using Field = decltype(&control.TVHORZSCROLLBAR);
  switch (which) {
    case LVX_SWITCH_HORIZONTAL_SCROLL_BAR:
      return Field{&control.TVHORZSCROLLBAR};
    case LVX_SWITCH_VERTICAL_SCROLL_BAR:
      return Field{&control.TVVERTSCROLLBAR};
    case LVX_SWITCH_PROPERTY_PANEL:
      return Field{&control.TVPROPERTYPANEL};
    case LVX_SWITCH_NAVIGATION_PANEL:
      return Field{&control.TVNAVIGATIONPANEL};
    case LVX_SWITCH_VIEW_PANEL:
      return Field{&control.TVVIEWPANEL};
    default:
      return Field{nullptr};
  }
}

// Opens or appends a file named in UTF-16 (`name` null: UTF-8 in `utf8`), through the same
// operations as the 8-bit names: a name the code page cannot write goes as the file's short name.
// A name that reaches the viewer in no form is shown in a box and answers 0.
std::int32_t OpenFile(LvxViewer* viewer, bool append, std::uint8_t omitted,
                      std::wstring_view name) noexcept {
  if (viewer == nullptr) {
    return 0;
  }
  LUMIVEXCONTROL& control = viewer->control;
  if (omitted != 0) {
    return append ? control.APPENDFILE(LvxOmittedText()) : control.LOADFILE(LvxOmittedText());
  }
  try {
    const std::optional<std::string> ansi = lvx::AnsiFileName(name);
    if (!ansi) {
      lvx::ShowErrorMessage(control.HWINDOW, lvx::kNoAnsiFileName);
      return 0;
    }
    const LvxOptionalText text =
        LvxGivenText(LvxText{ansi->c_str(), static_cast<std::int32_t>(ansi->size())});
    return append ? control.APPENDFILE(text) : control.LOADFILE(text);
  } catch (const std::bad_alloc&) {
    lvx::ShowErrorMessage(control.HWINDOW, lvx::kOutOfMemory);
    return 0;
  }
}

std::int32_t OpenUtf8File(LvxViewer* viewer, bool append, std::uint8_t omitted, const char* name,
                          std::int32_t length) noexcept {
  if (viewer == nullptr || omitted != 0) {
    return OpenFile(viewer, append, omitted, {});
  }
  try {
    const std::optional<std::wstring> wide = lvx::WideFromUtf8(lvx::NarrowText(name, length));
    if (!wide) {
      lvx::ShowErrorMessage(viewer->control.HWINDOW, lvx::kInvalidUtf8FileName);
      return 0;
    }
    return OpenFile(viewer, append, omitted, *wide);
  } catch (const std::bad_alloc&) {
    lvx::ShowErrorMessage(viewer->control.HWINDOW, lvx::kOutOfMemory);
    return 0;
  }
}

// INIT through the operation table with the given host, and the C result: the class shows its
// boxes as it always does; the code says which step failed.
std::int32_t Start(LvxViewer& viewer, LvxHostWindow& host, std::int32_t placeholder,
                   std::int32_t* window) noexcept {
  lvx::ObservedHost observed(host);
  viewer.started = true;
  const std::int32_t placed = viewer.control.INIT(observed, static_cast<std::int16_t>(placeholder));
  if (window != nullptr) {
    *window = placed;
  }
  if (placed != 0) {
    return LVX_OK;
  }
  if (viewer.control.LIBHANDLE == 0) {
    return LVX_ERROR_LIBRARY;
  }
  return observed.ReachedPlacement() ? LVX_ERROR_PLACEHOLDER : LVX_ERROR_CLASS;
}

}  // namespace

extern "C" {

LVX_C_API LvxViewer* LVX_CALL lvx_create(void) {
  try {
    return std::make_unique<LvxViewer>().release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

LVX_C_API void LVX_CALL lvx_destroy(LvxViewer* viewer) {
  const std::unique_ptr<LvxViewer> owned(viewer);
  if (owned != nullptr && owned->started) {
    owned->control.KILL();
  }
}

LVX_C_API std::int32_t LVX_CALL lvx_init(LvxViewer* viewer, void* host_window,
                                         std::int32_t placeholder, std::int32_t* window) {
  if (window != nullptr) {
    *window = 0;
  }
  if (viewer == nullptr || host_window == nullptr) {
    return LVX_ERROR_ARGUMENT;
  }
  LvxWin32Host host(static_cast<HWND>(host_window));
  return Start(*viewer, host, placeholder, window);
}

LVX_C_API std::int32_t LVX_CALL lvx_init_with_host(LvxViewer* viewer, const LvxHostServices* host,
                                                   std::int32_t placeholder, std::int32_t* window) {
  if (window != nullptr) {
    *window = 0;
  }
  if (viewer == nullptr || host == nullptr || !lvx::ServiceTableHost::IsComplete(*host)) {
    return LVX_ERROR_ARGUMENT;
  }
  lvx::ServiceTableHost services(*host);
  return Start(*viewer, services, placeholder, window);
}

LVX_C_API void LVX_CALL lvx_kill(LvxViewer* viewer) {
  if (viewer != nullptr) {
    viewer->control.KILL();
    viewer->started = false;
  }
}

LVX_C_API std::int32_t LVX_CALL lvx_load_file(LvxViewer* viewer, std::uint8_t omitted,
                                              const char* name, std::int32_t length) {
  return viewer == nullptr ? 0 : viewer->control.LOADFILE(OptionalText(omitted, name, length));
}

LVX_C_API std::int32_t LVX_CALL lvx_append_file(LvxViewer* viewer, std::uint8_t omitted,
                                                const char* name, std::int32_t length) {
  return viewer == nullptr ? 0 : viewer->control.APPENDFILE(OptionalText(omitted, name, length));
}

LVX_C_API std::int32_t LVX_CALL lvx_load_file_w(LvxViewer* viewer, std::uint8_t omitted,
                                                const wchar_t* name, std::int32_t length) {
  return OpenFile(viewer, false, omitted, lvx::WideText(name, length));
}

LVX_C_API std::int32_t LVX_CALL lvx_append_file_w(LvxViewer* viewer, std::uint8_t omitted,
                                                  const wchar_t* name, std::int32_t length) {
  return OpenFile(viewer, true, omitted, lvx::WideText(name, length));
}

LVX_C_API std::int32_t LVX_CALL lvx_load_file_utf8(LvxViewer* viewer, std::uint8_t omitted,
                                                   const char* name, std::int32_t length) {
  return OpenUtf8File(viewer, false, omitted, name, length);
}

LVX_C_API std::int32_t LVX_CALL lvx_append_file_utf8(LvxViewer* viewer, std::uint8_t omitted,
                                                     const char* name, std::int32_t length) {
  return OpenUtf8File(viewer, true, omitted, name, length);
}

LVX_C_API void LVX_CALL lvx_clear_view(LvxViewer* viewer) {
  if (viewer != nullptr) {
    viewer->control.CLEARVIEW();
  }
}

LVX_C_API void LVX_CALL lvx_show_about(LvxViewer* viewer) {
  if (viewer != nullptr) {
    viewer->control.SHOWABOUT();
  }
}

LVX_C_API void LVX_CALL lvx_document_properties(LvxViewer* viewer) {
  if (viewer != nullptr) {
    viewer->control.DOCUMENTPROPERTIES();
  }
}

LVX_C_API void LVX_CALL lvx_set_zoom(LvxViewer* viewer, std::int32_t zoom_mode) {
  if (viewer != nullptr) {
    viewer->control.SETZOOM(zoom_mode);
  }
}

LVX_C_API void LVX_CALL lvx_disable_print(LvxViewer* viewer, std::int32_t print_feature) {
  if (viewer != nullptr) {
    viewer->control.DISABLEPRINT(print_feature);
  }
}

LVX_C_API std::int32_t LVX_CALL lvx_find_text(LvxViewer* viewer, const char* text,
                                              std::int32_t length, std::uint8_t mark_found,
                                              std::uint8_t use_find2, std::uint8_t preset,
                                              std::uint8_t option_value) {
  return viewer == nullptr ? 0
                           : viewer->control.FINDTEXT(Text(text, length), mark_found, use_find2,
                                                      preset, option_value);
}

LVX_C_API void LVX_CALL lvx_print(LvxViewer* viewer, std::uint8_t show_dialog,
                                  std::uint8_t first_page_omitted, std::int32_t first_page,
                                  std::uint8_t last_page_omitted, std::int32_t last_page) {
  if (viewer != nullptr) {
    viewer->control._PRINT(show_dialog, OptionalInt32(first_page_omitted, first_page),
                           OptionalInt32(last_page_omitted, last_page));
  }
}

LVX_C_API void LVX_CALL lvx_print_to_printer(LvxViewer* viewer, const char* printer,
                                             std::int32_t length, std::uint8_t first_page_omitted,
                                             std::int32_t first_page,
                                             std::uint8_t last_page_omitted,
                                             std::int32_t last_page) {
  if (viewer != nullptr) {
    viewer->control.PRINTTOPRINTER(Text(printer, length),
                                   OptionalInt32(first_page_omitted, first_page),
                                   OptionalInt32(last_page_omitted, last_page));
  }
}

LVX_C_API void LVX_CALL lvx_set_view_control_properties(LvxViewer* viewer) {
  if (viewer != nullptr) {
    viewer->control.SETVIEWCONTROLPROPERTIES();
  }
}

LVX_C_API std::int32_t LVX_CALL lvx_get_page_count(LvxViewer* viewer) {
  return viewer == nullptr ? 0 : viewer->control.GETPAGECOUNT();
}

LVX_C_API std::int32_t LVX_CALL lvx_get_text_length(LvxViewer* viewer, std::uint8_t page_omitted,
                                                    std::int32_t page) {
  return viewer == nullptr ? 0 : viewer->control.GETTEXTLENGTH(OptionalInt32(page_omitted, page));
}

LVX_C_API void LVX_CALL lvx_get_text(LvxViewer* viewer, char* field, std::int32_t capacity,
                                     std::uint8_t page_omitted, std::int32_t page) {
  if (viewer != nullptr) {
    viewer->control.GETTEXT(LvxTextField{field, capacity}, OptionalInt32(page_omitted, page));
  }
}

LVX_C_API void LVX_CALL lvx_set_switch(LvxViewer* viewer, std::int32_t which, std::uint8_t value) {
  std::uint8_t* const target = viewer == nullptr ? nullptr : Switch(viewer->control, which);
  if (target != nullptr) {
    *target = value;
  }
}

LVX_C_API std::uint8_t LVX_CALL lvx_get_switch(const LvxViewer* viewer, std::int32_t which) {
  const std::uint8_t* const source = viewer == nullptr ? nullptr : Switch(viewer->control, which);
  return source == nullptr ? 0 : *source;
}

LVX_C_API std::int32_t LVX_CALL lvx_window(const LvxViewer* viewer) {
  return viewer == nullptr ? 0 : viewer->control.HWINDOW;
}

LVX_C_API intptr_t LVX_CALL lvx_library(const LvxViewer* viewer) {
  return viewer == nullptr ? 0 : viewer->control.LIBHANDLE;
}

}  // extern "C"
