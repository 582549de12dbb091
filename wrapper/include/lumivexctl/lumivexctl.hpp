// lumivexctl.hpp: a C++ class over the C interface (lumivexctl_c.h), header-only, for C++
// compilers of any ABI (Microsoft's, clang-cl, MinGW). Needs C++17. The viewer is destroyed (and
// killed first, when still started) when the object goes out of scope; the call rules of
// lumivexctl_c.h apply: the user-interface thread only, and the object goes before its host
// window does, or after Kill().
//
//   lumivexctl::Viewer viewer;
//   viewer.SetSwitch(LVX_SWITCH_VERTICAL_SCROLL_BAR, true);
//   if (viewer.Init(dialog, IDC_PLACEHOLDER) == LVX_OK) {
//     viewer.LoadFile("C:\\docs\\report.pdf");
//     std::int32_t pages = viewer.PageCount();
//     std::string text = viewer.Text(1);
//   }
#ifndef LUMIVEXCTL_LUMIVEXCTL_HPP
#define LUMIVEXCTL_LUMIVEXCTL_HPP

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "lumivexctl_c.h"

namespace lumivexctl {

class Viewer {
 public:
  // A cleared viewer; throws std::bad_alloc when the library has no memory for one.
  Viewer() : viewer_(lvx_create()) {
    if (viewer_ == nullptr) {
      throw std::bad_alloc();
    }
  }

  // Starts the viewer over dialog item `placeholder` of `hostWindow` (an HWND). Answers LVX_OK or
  // an LVX_ERROR_ code; Window() is then the viewer window.
  std::int32_t Init(void* hostWindow, std::int32_t placeholder) {
    return lvx_init(Get(), hostWindow, placeholder, nullptr);
  }
  std::int32_t Init(const LvxHostServices& host, std::int32_t placeholder) {
    return lvx_init_with_host(Get(), &host, placeholder, nullptr);
  }
  void Kill() { lvx_kill(Get()); }

  // A file named by the caller, or (std::nullopt) chosen in the file-open dialog.
  std::int32_t LoadFile(std::optional<std::string_view> name) {
    return name ? lvx_load_file(Get(), 0, name->data(), Length(*name))
                : lvx_load_file(Get(), 1, nullptr, 0);
  }
  std::int32_t AppendFile(std::optional<std::string_view> name) {
    return name ? lvx_append_file(Get(), 0, name->data(), Length(*name))
                : lvx_append_file(Get(), 1, nullptr, 0);
  }
  // A file named in UTF-16, in any script (see lvx_load_file_w).
  std::int32_t LoadFile(std::wstring_view name) {
    return lvx_load_file_w(Get(), 0, name.data(), Length(name));
  }
  std::int32_t AppendFile(std::wstring_view name) {
    return lvx_append_file_w(Get(), 0, name.data(), Length(name));
  }
  void ClearView() { lvx_clear_view(Get()); }
  void ShowAbout() { lvx_show_about(Get()); }
  void DocumentProperties() { lvx_document_properties(Get()); }
  void SetZoom(std::int32_t zoomMode) { lvx_set_zoom(Get(), zoomMode); }
  void DisablePrint(std::int32_t printFeature) { lvx_disable_print(Get(), printFeature); }
  std::int32_t FindText(std::string_view text, bool markFound, bool useFind2, bool preset,
                        std::uint8_t optionValue) {
    return lvx_find_text(Get(), text.data(), Length(text), Flag(markFound), Flag(useFind2),
                         Flag(preset), optionValue);
  }
  // Pages omitted (std::nullopt): all of them.
  void Print(bool showDialog, std::optional<std::int32_t> firstPage = std::nullopt,
             std::optional<std::int32_t> lastPage = std::nullopt) {
    lvx_print(Get(), Flag(showDialog), Flag(!firstPage), firstPage.value_or(0), Flag(!lastPage),
              lastPage.value_or(0));
  }
  void PrintToPrinter(std::string_view printer,
                      std::optional<std::int32_t> firstPage = std::nullopt,
                      std::optional<std::int32_t> lastPage = std::nullopt) {
    lvx_print_to_printer(Get(), printer.data(), Length(printer), Flag(!firstPage),
                         firstPage.value_or(0), Flag(!lastPage), lastPage.value_or(0));
  }
  void SetViewControlProperties() { lvx_set_view_control_properties(Get()); }
  std::int32_t PageCount() { return lvx_get_page_count(Get()); }
  // Page (1-based), or the whole document (std::nullopt).
  std::int32_t TextLength(std::optional<std::int32_t> page) {
    return lvx_get_text_length(Get(), Flag(!page), page.value_or(0));
  }
  // Into the caller's field of `capacity` bytes, padded with spaces.
  void GetText(char* field, std::int32_t capacity, std::optional<std::int32_t> page) {
    lvx_get_text(Get(), field, capacity, Flag(!page), page.value_or(0));
  }
  // The text, measured first; empty when the viewer answers no length.
  std::string Text(std::optional<std::int32_t> page) {
    const std::int32_t length = TextLength(page);
    if (length <= 0) {
      return {};
    }
    std::string text(static_cast<std::size_t>(length), ' ');
    GetText(text.data(), length, page);
    return text;
  }

  void SetSwitch(std::int32_t which, bool on) { lvx_set_switch(Get(), which, Flag(on)); }
  [[nodiscard]] bool Switch(std::int32_t which) const { return lvx_get_switch(Get(), which) != 0; }
  [[nodiscard]] std::int32_t Window() const { return lvx_window(Get()); }
  [[nodiscard]] std::intptr_t Library() const { return lvx_library(Get()); }
  // The C handle, for calls of the C interface.
  [[nodiscard]] LvxViewer* Get() { return viewer_.get(); }
  [[nodiscard]] const LvxViewer* Get() const { return viewer_.get(); }

 private:
  struct Destroy {
    void operator()(LvxViewer* viewer) const { lvx_destroy(viewer); }
  };
  template <typename Text>
  static std::int32_t Length(Text text) {
    return text.size() > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<std::int32_t>(text.size());
  }
  static std::uint8_t Flag(bool on) { return on ? 1 : 0; }

  std::unique_ptr<LvxViewer, Destroy> viewer_;
};

}  // namespace lumivexctl

#endif
