// A stand-in viewer window inside a plain top-level host window, driven the way the wrapper drives
// it (SendMessageA of the two viewer messages) and read back through the stand-in's exported test
// interface.
#ifndef LUMIVEX_TESTS_VIEWER_FIXTURE_H
#define LUMIVEX_TESTS_VIEWER_FIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "standin_api.h"
#include "test_pdf.h"

namespace lvx::test {

// The stand-in library, loaded for the fixture's life, and its exported functions.
class StandinLibrary {
 public:
  StandinLibrary();
  ~StandinLibrary();
  StandinLibrary(const StandinLibrary&) = delete;
  StandinLibrary& operator=(const StandinLibrary&) = delete;
  StandinLibrary(StandinLibrary&&) = delete;
  StandinLibrary& operator=(StandinLibrary&&) = delete;

  [[nodiscard]] bool Loaded() const { return module_ != nullptr; }
  LvxStandinViewState ViewState(HWND viewer) const;
  LvxStandinPrintState PrintState(HWND viewer) const;
  RECT PageBox(HWND viewer, int page) const;  // empty when there is no such page
  int PageHighlights(HWND viewer, int page) const;

 private:
  template <typename Function>
  Function Export(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

class ViewerTest : public ::testing::Test {
 protected:
  static constexpr int kHostWidth = 900;
  static constexpr int kHostHeight = 700;

  void SetUp() override;
  void TearDown() override;

  // Send a command to the viewer (which it may change) and answer its result.
  LRESULT Command(std::int32_t code, std::int32_t argument = 0);
  LRESULT StringCommand(std::int32_t code, const std::string& text);
  [[nodiscard]] LvxStandinViewState View() const { return library_.ViewState(viewer_); }
  // The view state of the viewer as it was created, before the fixture set 100 %.
  [[nodiscard]] const LvxStandinViewState& StartView() const { return startView_; }
  [[nodiscard]] LvxStandinPrintState Printing() const { return library_.PrintState(viewer_); }
  [[nodiscard]] RECT PageBox(int page) const { return library_.PageBox(viewer_, page); }
  [[nodiscard]] int PageHighlights(int page) const {
    return library_.PageHighlights(viewer_, page);
  }
  [[nodiscard]] HWND Part(int id) const { return GetDlgItem(viewer_, id); }
  // Rectangle of a child window in the viewer's client coordinates.
  RECT PartRect(HWND part) const;

  // Writes `document` to a file of this test's own and loads it (code 101).
  std::string Show(const TestDocument& document, const std::string& name = "doc");
  // A path in the temporary folder, unique to this process.
  static std::string TempPath(const std::string& name);
  void Resize(int width, int height) const;
  // Sends the message to the page area and lets it repaint.
  void Key(WPARAM key) const;
  void Wheel(int delta, WPARAM keys = 0) const;
  static void Pump();

  StandinLibrary library_;
  HWND host_ = nullptr;
  HWND viewer_ = nullptr;
  LvxStandinViewState startView_{};
};

}  // namespace lvx::test

#endif
