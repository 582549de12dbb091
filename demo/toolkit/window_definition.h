// A window definition stored in the program's resources: a dialog template (DIALOGEX, with its
// MENUEX menu, font, size and controls) and, under the same name with resource type LVXACTIONS,
// an optional table of standard actions as pairs of 16-bit numbers (menu field, action).
//
// Loading copies the definition out of the module; the copy is released with the object.
#ifndef LUMIVEX_DEMO_TOOLKIT_WINDOW_DEFINITION_H
#define LUMIVEX_DEMO_TOOLKIT_WINDOW_DEFINITION_H

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace lvx::toolkit {

inline constexpr const char* kActionsResourceType = "LVXACTIONS";

class WindowDefinition {
 public:
  // Loads definition `name` from `module`. Loaded() is false when there is no such dialog.
  WindowDefinition(HINSTANCE module, const char* name);

  [[nodiscard]] bool Loaded() const noexcept { return !dialog_.empty(); }
  [[nodiscard]] HINSTANCE Module() const noexcept { return module_; }
  // The dialog template, valid while the object lives.
  [[nodiscard]] const DLGTEMPLATE* Template() const noexcept;
  // The window's font (DS_SETFONT: points, weight, italic, character set, face) made for `dpi`;
  // nothing when the template names no font or cannot be read.
  [[nodiscard]] std::optional<LOGFONTW> FontAt(int dpi) const;
  // The standard action of menu field `field`, 0 when it has none.
  [[nodiscard]] std::int32_t StandardAction(std::int32_t field) const;
  void Release() noexcept;

 private:
  HINSTANCE module_ = nullptr;
  std::vector<std::uint8_t> dialog_;
  std::map<std::int32_t, std::int32_t> actions_;
};

}  // namespace lvx::toolkit

#endif
