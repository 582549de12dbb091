// A toolkit window built from a WindowDefinition: a modeless dialog whose controls are addressed
// by field number (menu entries by their menu id, which MENUEX gives popups too; other controls by
// their dialog item id), with an event loop that turns window messages into numbered events.
//
//   WindowDefinition definition(instance, "MAINWINDOW");
//   Window window(definition);
//   window.Open();
//   while (window.Accept()) {
//     switch (window.Event()) { ... }          // events.h
//     if (window.Field() != 0) { ... }         // the chosen menu item, with kEventAccepted
//   }
//   window.Close();
//
// Events: OpenWindow first; Accepted for a chosen menu item (an item with the standard close
// action closes the window instead); GainFocus when the window becomes active; Sized for every
// change of its size; CloseDown when it is asked to close by any path (close box, system menu,
// close action, WM_CLOSE), after which Accept() answers false. Minimising reports no Sized, and
// while the window is minimised its size reads as the size it had before, so a layout kept in
// proportion to the window stays as it is and restoring finds the same size.
//
// Units: positions and sizes are in dialog units (from the window's font) unless pixel units are
// switched on. The window's position is its outer top-left corner on the screen, its size that of
// its client area; a control's position is relative to the client area.
//
// DPI: the dialog units come from the definition's font at the window's DPI. A face that has no
// size for that DPI (a bitmap face such as MS Sans Serif above 120 dpi, which stays at a smaller
// size) is replaced when the window opens by the same face in outline form, made for the DPI, and
// the window and its controls are sized in its units. When the system moves the window to a
// screen of another DPI (WM_DPICHANGED), the window makes its font for the new DPI the same way,
// moves and sizes its controls so that they keep their places in dialog units, and takes the size
// the system suggests, which reports Sized: a layout kept in dialog units stays as it was.
#ifndef LUMIVEX_DEMO_TOOLKIT_WINDOW_H
#define LUMIVEX_DEMO_TOOLKIT_WINDOW_H

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "window_definition.h"

namespace lvx::toolkit {

// WM_DPICHANGED (not in every SDK's headers): the window's screen has another DPI now.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

struct Placement {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend constexpr bool operator==(const Placement&, const Placement&) = default;
};

// A value for MoveControl; std::nullopt leaves that coordinate as it is.
using Coordinate = std::optional<std::int32_t>;

class Window {
 public:
  explicit Window(const WindowDefinition& definition);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  Window(Window&&) = delete;
  Window& operator=(Window&&) = delete;

  // Creates the window from the definition and shows it. False when it could not be created.
  bool Open();
  // Destroys the window (nothing when it is not open).
  void Close() noexcept;
  [[nodiscard]] HWND Handle() const noexcept { return window_; }

  // --- event loop ---
  // Waits for the next event and makes it current; false once the loop has ended (the event
  // after CloseDown, or the window is gone).
  bool Accept();
  [[nodiscard]] std::int32_t Event() const noexcept { return current_.number; }
  // The chosen menu field with Accepted for a menu item; 0 with every other event.
  [[nodiscard]] std::int32_t Field() const noexcept { return current_.field; }
  // The control the event concerns (Accepted in the accept-all pass, Rejected), else 0.
  [[nodiscard]] std::int32_t EventControl() const noexcept { return current_.control; }
  // While the user drags the window's frame, the system runs a sizing loop of its own and
  // Accept() is not called until the drag ends. A handler set here is called for each size change
  // during the drag, with Sized as the current event, so the layout follows the frame live; the
  // change is then not queued again. Without a handler, Sized is reported after the drag.
  void SetLiveHandler(std::function<void()> handler) { liveHandler_ = std::move(handler); }

  // --- accept-all pass ---
  // Starts the pass: the loop reports Accepted for each control that is not a menu entry, in
  // number order, after checking it; the first control that fails its check is reported as
  // Rejected and ends the pass.
  void StartAcceptAll();
  // True while the events of the pass are being handled.
  [[nodiscard]] bool AcceptAllPass() const noexcept { return passActive_; }
  // A check of a control's text, run when the control loses the focus and in the accept-all
  // pass; a control without one always passes.
  void SetCheck(std::int32_t control, std::function<bool(std::string_view)> check);

  // --- controls ---
  [[nodiscard]] std::int32_t LowestControl() const;
  [[nodiscard]] std::int32_t HighestControl() const;
  // The type code (control_kinds.h), 0 when no control has the number.
  [[nodiscard]] std::int32_t ControlType(std::int32_t control) const;
  // The control's window, null for menu entries and missing controls.
  [[nodiscard]] HWND ControlHandle(std::int32_t control) const;
  // Gives the control the input focus.
  void Select(std::int32_t control) const;
  // Shows the control again from its value (all controls when `control` is 0).
  void Display(std::int32_t control = 0) const;
  // The value a control shows; Display puts it on the screen.
  void SetValue(std::int32_t control, std::string value);
  // Makes `window` the control's window in place of the one it had (see LvxAdoptWindow); the
  // control keeps its type. Answers 0, or a negative code when the control does not exist or
  // `window` is no window.
  std::int32_t AdoptWindow(std::int32_t control, HWND window);

  // --- units and geometry ---
  void SetPixelUnits(bool on) noexcept { pixels_ = on; }
  [[nodiscard]] bool PixelUnits() const noexcept { return pixels_; }
  [[nodiscard]] Placement WindowPlacement() const;
  // A control's position and size; all 0 for a menu entry or a missing control.
  [[nodiscard]] Placement ControlPlacement(std::int32_t control) const;
  // Moves and sizes a control through the toolkit's deferred-move count (deferred_moves.h). A
  // control without a window (a menu entry, a missing or destroyed control) is not moved, but
  // the move counts toward an open batch all the same.
  void MoveControl(std::int32_t control, Coordinate x, Coordinate y, Coordinate width,
                   Coordinate height) const;
  // Dialog units to pixels of this window and back (rounded as the dialog manager does).
  [[nodiscard]] std::int32_t ToPixelsX(std::int32_t units) const noexcept;
  [[nodiscard]] std::int32_t ToPixelsY(std::int32_t units) const noexcept;
  [[nodiscard]] std::int32_t FromPixelsX(std::int32_t pixels) const noexcept;
  [[nodiscard]] std::int32_t FromPixelsY(std::int32_t pixels) const noexcept;
  // The font the window's dialog units come from: its own for the DPI it was last moved to, else
  // the one the system made from the definition.
  [[nodiscard]] HFONT Font() const noexcept;

 private:
  struct DeleteFont {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
  };
  struct EventRecord {
    std::int32_t number = 0;
    std::int32_t control = 0;
    std::int32_t field = 0;
  };
  struct MenuEntry {
    std::int32_t kind = 0;
  };

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleCommand(WPARAM wParam, LPARAM lParam);
  void Queue(std::int32_t number, std::int32_t control = 0, std::int32_t field = 0);
  // Handles an event at once through the live handler, the current event restored afterwards.
  void RunLive(std::int32_t number);
  void CollectMenu(HMENU menu);
  // WM_DPICHANGED: the font, the dialog units and the controls for `dpi`, then `suggested`.
  void OnDpiChanged(int dpi, const RECT* suggested);
  // At opening: the outline font when the system's font is not of the size the DPI asks for.
  void FitFontToDpi();
  // Makes the definition's font for `dpi` the window's, with its dialog units, and moves and
  // sizes the controls to keep their dialog units. False when no font could be made or measured.
  bool UseFontFor(int dpi);
  void NextPassEvent();
  [[nodiscard]] std::int32_t NextPassControl() const;
  [[nodiscard]] bool Passes(std::int32_t control) const;
  bool PumpOne();
  [[nodiscard]] std::int32_t ToUnitsX(std::int32_t pixels) const noexcept;
  [[nodiscard]] std::int32_t ToUnitsY(std::int32_t pixels) const noexcept;

  const WindowDefinition& definition_;
  HWND window_ = nullptr;
  bool opened_ = false;
  bool closeRequested_ = false;
  bool closeDownTaken_ = false;
  bool pixels_ = false;
  bool destroyed_ = false;
  bool waiting_ = false;     // inside GetMessage
  bool sizingLoop_ = false;  // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
  std::function<void()> liveHandler_;
  int baseX_ = 4;  // pixels per 4 horizontal dialog units
  int baseY_ = 8;  // pixels per 8 vertical dialog units
  std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteFont> font_;  // made for a new DPI
  SIZE lastClient_{};
  std::map<std::int32_t, MenuEntry> menu_;
  std::map<std::int32_t, std::int32_t> kinds_;  // dialog items' kinds, taken when opened
  std::map<std::int32_t, std::function<bool(std::string_view)>> checks_;
  std::map<std::int32_t, std::string> values_;
  std::deque<EventRecord> events_;
  EventRecord current_;
  bool passActive_ = false;
  std::int32_t passNext_ = 0;
};

}  // namespace lvx::toolkit

#endif
