// ostrada_longrun: ostrada.exe under a long run of random use, driven from this separate program
// through its window as a user would: menu items with every dialog answered or cancelled (files
// opened and appended, damaged and encrypted ones among them; the print dialog; the information
// and viewer boxes), zooms, frame resizes, keyboard scrolling and the mouse wheel, chosen at
// random from a fixed seed. Each action is followed by a zoom item, also chosen at random, as its
// end marker: once the stand-in has logged the marker's command, everything before it has been
// handled (the program handles its events in order).
//
//   ostrada_longrun [--seed N] [--actions N] [--report N] [--files FOLDER]... [--program PATH]
//
// FOLDER: PDF files below it are opened and appended as well (the corpus: files/real, files/gen);
// a Unix path is taken as Wine's Z: drive. The figures printed are ostrada's GDI objects, USER
// objects (its windows) and private memory after the first document was opened, and at the end
// with the same document open again at the same size and zoom. Exit code 0 when ostrada neither
// crashed nor hung, ended with exit code 0 after File > Exit, and its end figures are within the
// bounds below of the first ones; 1 otherwise; 2 for wrong arguments.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "longrun_documents.h"
#include "main_window_fields.h"
#include "ostrada_driver.h"
#include "process_resources.h"
#include "standin_api.h"

namespace lvx::test {
namespace {

// How far the end figures may lie above the first ones. GDI objects: Wine makes some objects when
// they are first needed and keeps them (system colour brushes, the bitmaps of frames and
// controls, the file dialog's icons), and the viewer's font cache holds the fonts of the pages
// shown; runs of 200 to 5,000 actions ended 17 to 24 above, with no growth after the first
// thousand actions. A leak of one object in any kind of action passes the bound within the full
// run. Windows: not one more. Private memory: the heap
// keeps some of the pages that very long documents needed; a document or a page's text leaked
// per load would pass the bound within a few hundred loads.
constexpr long kGdiBound = 32;
constexpr long kUserBound = 0;
constexpr std::size_t kPrivateBound = std::size_t{48} << 20;

constexpr DWORD kActionTimeoutMs = 180000;  // one action, a 5,000-page document included
constexpr ULONGLONG kAnswerAgainMs = 3000;  // a dialog still there this long is answered again
constexpr int kMostAppends = 3;             // appends in a row before an append opens instead
constexpr std::uint32_t kNumberMessage = WM_USER + 79;
constexpr std::int32_t kViewOptionsCode = 50;
constexpr int kPrinterCombo = 0x473;  // the print dialog's printer list

// The kinds of action; a plain menu item (chosen, its dialog answered) is kMenu with its field.
enum class Action {
  kOpen,
  kOpenCancelled,
  kAppend,
  kAppendCancelled,
  kClear,
  kZoom,
  kDisable,
  kMenu,
  kResize,
  kKeys,
  kWheel,
};

struct Choice {
  Action action;
  int weight;  // out of 100
  const char* name;
  std::int32_t field = 0;  // the menu item of kMenu
};
constexpr std::array<Choice, 17> kChoices{{
    {Action::kOpen, 8, "open"},
    {Action::kOpenCancelled, 2, "open, cancelled"},
    {Action::kAppend, 6, "append"},
    {Action::kAppendCancelled, 1, "append, cancelled"},
    {Action::kClear, 3, "clear"},
    {Action::kMenu, 3, "print", FIELD_PRINT},
    {Action::kZoom, 12, "zoom"},
    {Action::kDisable, 1, "disable a print feature"},
    {Action::kMenu, 4, "page count", FIELD_PAGE_COUNT},
    {Action::kMenu, 3, "page text length", FIELD_PAGE_TEXT_LENGTH},
    {Action::kMenu, 3, "page text", FIELD_PAGE_TEXT},
    {Action::kMenu, 2, "document text length", FIELD_DOCUMENT_TEXT_LENGTH},
    {Action::kMenu, 2, "document properties", FIELD_DOCUMENT_PROPERTIES},
    {Action::kMenu, 2, "about", FIELD_ABOUT},
    {Action::kResize, 15, "resize the frame"},
    {Action::kKeys, 25, "scroll with keys"},
    {Action::kWheel, 8, "mouse wheel"},
}};

constexpr std::array<std::int32_t, 6> kZoomFields{FIELD_ZOOM_100,  FIELD_ZOOM_IN,
                                                  FIELD_ZOOM_OUT,  FIELD_FULL_WIDTH,
                                                  FIELD_FULL_PAGE, FIELD_TWO_PAGES};
constexpr std::array<std::int32_t, 6> kZoomCodes{41, 42, 44, 45, 46, 47};
constexpr std::size_t kFullWidth = 3;  // index of Full Width in the two arrays above
constexpr std::array<std::int32_t, 4> kDisableFields{FIELD_DISABLE_PRINT, FIELD_DISABLE_HQ_PRINT,
                                                     FIELD_DISABLE_SELECT_PRINTER,
                                                     FIELD_DISABLE_DC_PRINT};
constexpr std::array<WPARAM, 8> kScrollKeys{VK_DOWN, VK_UP,  VK_NEXT, VK_PRIOR,
                                            VK_HOME, VK_END, VK_LEFT, VK_RIGHT};

struct Options {
  std::uint32_t seed = 1;
  long actions = 300;
  long report = 1000;  // figures every this many actions
  std::vector<std::string> folders;
  std::string program;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  options.program = ProgramFolder() + "ostrada.exe";
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) {
      return std::nullopt;
    }
    const std::string value = argv[++i];
    char* end = nullptr;
    if (name == "--seed") {
      options.seed = static_cast<std::uint32_t>(std::strtoul(value.c_str(), &end, 10));
    } else if (name == "--actions") {
      options.actions = std::strtol(value.c_str(), &end, 10);
      if (options.actions < 0) {
        return std::nullopt;
      }
    } else if (name == "--report") {
      options.report = std::strtol(value.c_str(), &end, 10);
      if (options.report <= 0) {
        return std::nullopt;
      }
    } else if (name == "--files") {
      options.folders.push_back(value);
      continue;
    } else if (name == "--program") {
      options.program = WindowsPath(value);
      continue;
    } else {
      return std::nullopt;
    }
    if (end == nullptr || *end != '\0') {
      return std::nullopt;
    }
  }
  return options;
}

// The kinds of document a run must meet, told by their names (the corpus's stress files and the
// run's own).
const char* KindOf(const std::string& path) {
  for (const char* damaged : {"-dmg-", "damaged", "no-pdf"}) {
    if (path.find(damaged) != std::string::npos) {
      return "a damaged file or no PDF";
    }
  }
  for (const char* encrypted : {"-enc-", "password", "Protection"}) {
    if (path.find(encrypted) != std::string::npos) {
      return "an encrypted file";
    }
  }
  return nullptr;
}

double Mebibytes(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void PrintFigures(const char* when, const ProcessResources& figures) {
  std::printf("  %-28s GDI objects %5ld, windows %4ld, private memory %8.1f MiB\n", when,
              figures.gdiObjects, figures.userObjects, Mebibytes(figures.privateBytes));
  std::fflush(stdout);
}

class LongRun {
 public:
  LongRun(OstradaProcess& program, LongRunDocuments documents, std::uint32_t seed)
      : program_(program),
        log_(program.LogPath()),
        documents_(std::move(documents)),
        random_(seed) {}

  // Waits for the viewer, shows each dialog once (their first use loads libraries that stay for
  // the program's life), then opens the first document at page width: the first figures.
  bool Start() {
    main_ = program_.MainWindow(30000);
    if (main_ == nullptr) {
      error_ = "no VIEW PDF window";
      return false;
    }
    if (!WaitForCommand(kViewOptionsCode)) {
      return false;
    }
    RECT outer{};
    GetWindowRect(main_, &outer);
    firstSize_ = SIZE{outer.right - outer.left, outer.bottom - outer.top};
    fileAnswer_.clear();
    for (const std::int32_t field :
         {FIELD_OPEN, FIELD_PRINT, FIELD_PAGE_COUNT, FIELD_DOCUMENT_PROPERTIES, FIELD_ABOUT}) {
      if (!Step([this, field] { program_.Choose(field); }, kFullWidth)) {
        return false;
      }
    }
    if (!OpenFirstDocument()) {
      return false;
    }
    first_ = Measure();
    return true;
  }

  // One random action, handled to its end.
  bool Act() {
    const Choice& choice = PickAction();
    switch (choice.action) {
      case Action::kOpen:
      case Action::kAppend: {
        const bool append = choice.action == Action::kAppend && appends_ < kMostAppends;
        appends_ = append ? appends_ + 1 : 0;
        fileAnswer_ = documents_.all[Pick(documents_.all.size())];
        return Menu(append ? FIELD_APPEND : FIELD_OPEN);
      }
      case Action::kOpenCancelled:
      case Action::kAppendCancelled:
        fileAnswer_.clear();
        return Menu(choice.action == Action::kOpenCancelled ? FIELD_OPEN : FIELD_APPEND);
      case Action::kClear:
        appends_ = 0;
        return Menu(FIELD_CLEAR);
      case Action::kZoom: {
        const std::size_t zoom = Pick(kZoomFields.size());
        return Step([this, zoom] { program_.Choose(kZoomFields[zoom]); }, RandomMarker(zoom));
      }
      case Action::kDisable: {
        const std::int32_t field = kDisableFields[Pick(kDisableFields.size())];
        // Printing switched off: from now on the print dialog is answered with OK too, and
        // nothing is printed.
        printingOff_ = printingOff_ || field == FIELD_DISABLE_PRINT;
        return Menu(field);
      }
      case Action::kMenu:
        return Menu(choice.field);
      case Action::kResize:
        return Step([this] { Resize(); }, RandomMarker());
      case Action::kKeys:
        return Step([this] { Keys(); }, RandomMarker());
      case Action::kWheel:
        return Step([this] { Wheel(); }, RandomMarker());
    }
    return false;
  }

  // The first document again at the first size and page width (the end figures), then
  // File > Exit.
  bool Finish() {
    if (!Step([this] { SetSize(firstSize_); }, kFullWidth) ||
        !Step([this] { program_.Choose(FIELD_CLEAR); }, kFullWidth) || !OpenFirstDocument()) {
      return false;
    }
    end_ = Measure();
    program_.Choose(FIELD_EXIT);
    exitCode_ = program_.WaitForExit(60000);
    if (!exitCode_) {
      error_ = "ostrada did not end after File > Exit";
      return false;
    }
    return true;
  }

  [[nodiscard]] ProcessResources Measure() const {
    // Settled: everything posted so far has been handled and painted.
    for (int i = 0; i < 2; ++i) {
      SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
      Sleep(200);
    }
    return MeasureResources(program_.Process());
  }

  [[nodiscard]] const std::string& Error() const { return error_; }
  [[nodiscard]] const std::string& LastAction() const { return lastAction_; }
  [[nodiscard]] const ProcessResources& First() const { return first_; }
  [[nodiscard]] const ProcessResources& End() const { return end_; }
  [[nodiscard]] std::optional<DWORD> ExitCode() const { return exitCode_; }
  [[nodiscard]] const std::map<std::string, long>& Counts() const { return counts_; }
  [[nodiscard]] int MostPages() const { return mostPages_; }

 private:
  std::size_t Pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
  }

  const Choice& PickAction() {
    int roll = static_cast<int>(Pick(100));
    for (const Choice& choice : kChoices) {
      if (roll < choice.weight) {
        lastAction_ = choice.name;
        ++counts_[std::string("action: ") + choice.name];
        return choice;
      }
      roll -= choice.weight;
    }
    return kChoices.back();
  }

  // A zoom item as the end marker, other than the zoom `avoid` that the action itself chooses.
  std::size_t RandomMarker(std::size_t avoid = kZoomFields.size()) {
    for (;;) {
      const std::size_t marker = Pick(kZoomFields.size());
      if (marker != avoid) {
        return marker;
      }
    }
  }

  bool Menu(std::int32_t field) {
    return Step([this, field] { program_.Choose(field); }, RandomMarker());
  }

  bool OpenFirstDocument() {
    fileAnswer_ = documents_.first;
    appends_ = 0;
    return Step([this] { program_.Choose(FIELD_OPEN); }, kFullWidth);
  }

  // Does `act`, then chooses the zoom item `marker` and waits until its command has reached the
  // viewer, answering every dialog shown meanwhile.
  bool Step(const std::function<void()>& act, std::size_t marker) {
    answered_.clear();
    act();
    program_.Choose(kZoomFields[marker]);
    return WaitForCommand(kZoomCodes[marker]);
  }

  bool WaitForCommand(std::int32_t code) {
    const ULONGLONG end = GetTickCount64() + kActionTimeoutMs;
    for (;;) {
      bool found = false;
      for (const LogLine& line : log_.ReadNew()) {
        found =
            found || (line.kind == "msg" && line.message == kNumberMessage && line.code == code);
      }
      if (found) {
        return true;
      }
      if (WaitForSingleObject(program_.Process(), 0) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        GetExitCodeProcess(program_.Process(), &exit);
        char text[64];
        std::snprintf(text, sizeof text, "ostrada ended (exit code 0x%lx)",
                      static_cast<unsigned long>(exit));
        error_ = text;
        return false;
      }
      AnswerDialogs();
      if (GetTickCount64() > end) {
        error_ =
            "the action was not handled within " + std::to_string(kActionTimeoutMs / 1000) + " s";
        return false;
      }
      Sleep(5);
    }
  }

  void AnswerDialogs() {
    for (const HWND dialog : program_.Dialogs()) {
      if (IsWindowEnabled(dialog) == FALSE) {
        continue;  // a box of its own is up, answered first
      }
      const ULONGLONG now = GetTickCount64();
      const auto [seen, first] = answered_.try_emplace(dialog, now);
      if (!first) {
        if (now - seen->second < kAnswerAgainMs) {
          continue;
        }
        seen->second = now;
      }
      Answer(dialog, !first);
    }
  }

  void Answer(HWND dialog, bool again) {
    if (const HWND name = FileNameEdit(dialog); name != nullptr) {
      if (fileAnswer_.empty() || again) {
        ++counts_["file dialog: cancelled"];
        Press(dialog, IDCANCEL);
        return;
      }
      SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileAnswer_.c_str()),
                          SMTO_ABORTIFHUNG, 10000, nullptr);
      ++counts_["file dialog: a file chosen"];
      if (const char* kind = KindOf(fileAnswer_); kind != nullptr) {
        ++counts_[std::string("file dialog: ") + kind];
      }
      Press(dialog, IDOK);
      return;
    }
    if (GetDlgItem(dialog, kPrinterCombo) != nullptr) {
      const bool print = printingOff_ && !again;
      ++counts_[print ? "print dialog: OK (printing off)" : "print dialog: cancelled"];
      Press(dialog, print ? IDOK : IDCANCEL);
      return;
    }
    const BoxContents box = ReadBox(dialog);
    int pages = 0;
    if (std::sscanf(box.text.c_str(), "%d total pages.", &pages) == 1) {
      mostPages_ = std::max(mostPages_, pages);
    }
    ++counts_["message box: OK"];
    Press(dialog, GetDlgItem(dialog, IDOK) != nullptr ? IDOK : IDCANCEL);
  }

  // Clicks a dialog's button without waiting for the dialog to go.
  static void Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }

  void SetSize(SIZE size) const {
    // Asynchronous: a program that hangs must not hang the driver.
    SetWindowPos(main_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  }

  void Resize() {
    if (Pick(10) == 0) {
      SetSize(firstSize_);
      return;
    }
    SetSize(SIZE{static_cast<LONG>(250 + Pick(1000)), static_cast<LONG>(200 + Pick(780))});
  }

  [[nodiscard]] HWND PageArea() const {
    return GetDlgItem(GetDlgItem(main_, FIELD_HOSTREGION), LVX_STANDIN_PAGE_AREA);
  }

  void Keys() {
    const HWND area = PageArea();
    const std::size_t count = 1 + Pick(5);
    for (std::size_t i = 0; i < count; ++i) {
      const WPARAM key = kScrollKeys[Pick(kScrollKeys.size())];
      PostMessageA(area, WM_KEYDOWN, key, 1);
      PostMessageA(area, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001U));
    }
  }

  void Wheel() {
    const HWND area = PageArea();
    RECT box{};
    GetWindowRect(area, &box);
    const int notches = static_cast<int>(1 + Pick(3)) * (Pick(2) == 0 ? 1 : -1);
    const WORD keys = Pick(5) == 0 ? MK_CONTROL : 0;  // Ctrl zooms
    PostMessageA(area, WM_MOUSEWHEEL,
                 MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(notches * WHEEL_DELTA))),
                 MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
  }

  OstradaProcess& program_;
  LogTail log_;
  LongRunDocuments documents_;
  std::mt19937 random_;
  HWND main_ = nullptr;
  SIZE firstSize_{};
  std::string fileAnswer_;  // the file the next file dialog gets; empty: cancel it
  bool printingOff_ = false;
  int appends_ = 0;
  int mostPages_ = 0;
  std::map<HWND, ULONGLONG> answered_;  // dialogs of this step, when last answered
  std::map<std::string, long> counts_;
  std::string error_;
  std::string lastAction_;
  ProcessResources first_;
  ProcessResources end_;
  std::optional<DWORD> exitCode_;
};

bool Within(const ProcessResources& first, const ProcessResources& end) {
  return end.gdiObjects > 0 && end.gdiObjects - first.gdiObjects <= kGdiBound &&
         end.userObjects - first.userObjects <= kUserBound &&
         end.privateBytes <= first.privateBytes + kPrivateBound;
}

int Run(const Options& options) {
  const auto started = std::chrono::steady_clock::now();
  const auto seconds = [&started] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  };
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string scratch =
      std::string(temp) + "lvx-longrun-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(scratch.c_str(), nullptr);
  LongRunDocuments documents = GatherDocuments(options.folders, scratch);
  std::printf("ostrada long run: seed %lu, %ld actions, %zu documents\n",
              static_cast<unsigned long>(options.seed), options.actions, documents.all.size());
  for (const std::string& note : documents.notes) {
    std::printf("  note: %s\n", note.c_str());
  }
  std::fflush(stdout);

  OstradaProcess program(options.program, ArtifactFolder() + "ostrada-longrun.log");
  if (!program.Started()) {
    std::printf("FAILED: %s did not start\n", options.program.c_str());
    return 1;
  }
  LongRun run(program, documents, options.seed);
  bool completed = run.Start();
  long done = 0;
  if (completed) {
    PrintFigures("after the first document:", run.First());
  }
  for (; completed && done < options.actions; ++done) {
    completed = run.Act();
    if (completed && (done + 1) % options.report == 0 && done + 1 < options.actions) {
      const std::string when = "after " + std::to_string(done + 1) + " actions:";
      PrintFigures(when.c_str(), run.Measure());
    }
  }
  if (completed) {
    completed = run.Finish();
  }
  if (!completed) {
    std::printf("FAILED after %ld of %ld actions (last: %s): %s\n", done, options.actions,
                run.LastAction().c_str(), run.Error().c_str());
    return 1;
  }
  PrintFigures("at the end (same document):", run.End());
  const ProcessResources& first = run.First();
  const ProcessResources& end = run.End();
  std::printf(
      "  change: GDI objects %+ld (bound %+ld), windows %+ld (bound %+ld), private memory "
      "%+.1f MiB (bound %+.1f MiB)\n",
      end.gdiObjects - first.gdiObjects, kGdiBound, end.userObjects - first.userObjects, kUserBound,
      Mebibytes(end.privateBytes) - Mebibytes(first.privateBytes), Mebibytes(kPrivateBound));
  std::printf("  (GDI: %s; windows: %s)\n  first: %s\n  end:   %s\n", first.gdiSource.c_str(),
              first.userSource.c_str(), first.details.c_str(), end.details.c_str());
  for (const auto& [what, count] : run.Counts()) {
    std::printf("  %-36s %6ld\n", what.c_str(), count);
  }
  std::printf("  most pages shown at once: %d\n", run.MostPages());
  const bool within = Within(first, end);
  const DWORD exitCode = run.ExitCode().value_or(1);
  std::printf("%s: %ld actions in %.0f s, ostrada's exit code %lu, figures %s the bounds\n",
              within && exitCode == 0 ? "PASSED" : "FAILED", done, seconds(),
              static_cast<unsigned long>(exitCode), within ? "within" : "OUTSIDE");
  for (const std::string& path : documents.all) {
    if (path.rfind(scratch, 0) == 0) {
      DeleteFileA(path.c_str());
    }
  }
  return within && exitCode == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lvx::test

int main(int argc, char** argv) {
  const std::optional<lvx::test::Options> options = lvx::test::ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: ostrada_longrun [--seed N] [--actions N] [--report N] "
                 "[--files FOLDER]... [--program PATH]\n");
    return 2;
  }
  return lvx::test::Run(*options);
}
