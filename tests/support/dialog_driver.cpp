#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "message_box_watcher.h"

namespace lvx::test {
namespace {

constexpr int kFindDialogMs = 15000;
constexpr int kCloseDialogMs = 5000;
constexpr int kPollMs = 20;
constexpr int kFileNameId = 0x47C;
constexpr int kFileTypeId = 0x470;
constexpr int kPrinterComboId = 0x473;

struct Search {
  const std::string* title;
  HWND owner;
  HWND found;
};

std::string ClassOf(HWND window) {
  std::array<char, 64> name{};
  GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  return name.data();
}

bool OursAndVisible(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() && IsWindowVisible(window) != FALSE;
}

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (OursAndVisible(window) && ClassOf(window) == "#32770" && TextOf(window) == *search->title &&
      !IsMessageBox(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (OursAndVisible(window) && IsMessageBox(window) &&
      GetWindow(window, GW_OWNER) == search->owner) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

template <typename Find>
HWND Poll(int milliseconds, Find find) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (const HWND found = find(); found != nullptr) {
      return found;
    }
    if (std::chrono::steady_clock::now() >= end) {
      return nullptr;
    }
    Sleep(kPollMs);
  }
}

BOOL CALLBACK FindChildOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<const char*, HWND>*>(data);
  if (ClassOf(window) == search->first) {
    search->second = window;
    return FALSE;
  }
  return TRUE;
}

HWND DescendantOfClass(HWND parent, const char* klass) {
  std::pair<const char*, HWND> search{klass, nullptr};
  EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::array<char, 512> text{};
    const auto length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length >= 0 && static_cast<std::size_t>(length) < text.size()) {
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text.data()));
    }
    items.emplace_back(text.data());
  }
  return items;
}

}  // namespace

std::string TextOf(HWND window) {
  std::array<char, 1024> text{};
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

HWND WaitForDialog(const std::string& title, int milliseconds) {
  return Poll(milliseconds, [&title] {
    Search search{&title, nullptr, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

HWND WaitForMessageBox(HWND owner, int milliseconds) {
  return Poll(milliseconds, [owner] {
    Search search{nullptr, owner, nullptr};
    EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

bool WaitUntilClosed(HWND window, int milliseconds) {
  bool closed = false;
  Poll(milliseconds, [window, &closed] {
    closed = IsWindow(window) == FALSE;
    return closed ? GetDesktopWindow() : nullptr;
  });
  return closed;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

// The file name field's edit control: the field is a combo box (possibly inside a ComboBoxEx)
// around an edit control.
HWND FileNameEdit(HWND dialog) {
  const HWND field = GetDlgItem(dialog, kFileNameId);
  if (field == nullptr) {
    return nullptr;
  }
  return ClassOf(field) == "Edit" ? field : DescendantOfClass(field, "Edit");
}

}  // namespace

bool SetFileName(HWND dialog, const std::string& path) {
  const HWND edit = FileNameEdit(dialog);
  if (edit == nullptr) {
    return false;
  }
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  return TextOf(edit) == path;
}

bool SetFileName(HWND dialog, const std::wstring& path) {
  const HWND edit = FileNameEdit(dialog);
  if (edit == nullptr) {
    return false;
  }
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  std::wstring text(path.size() + 2, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text == path;
}

std::vector<std::string> FileTypes(HWND dialog) {
  const HWND combo = GetDlgItem(dialog, kFileTypeId);
  return combo != nullptr ? ComboItems(combo) : std::vector<std::string>{};
}

std::vector<std::string> ListedFiles(HWND dialog) {
  std::vector<std::string> names;
  const HWND list = DescendantOfClass(dialog, WC_LISTVIEWA);
  const auto count =
      list != nullptr ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) {
    std::array<char, MAX_PATH> text{};
    LVITEMA item{};
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    names.emplace_back(text.data());
  }
  return names;
}

bool WaitForListedFile(HWND dialog, const std::string& name, int milliseconds) {
  return Poll(milliseconds, [&] {
           const std::vector<std::string> names = ListedFiles(dialog);
           const bool listed = std::find(names.begin(), names.end(), name) != names.end();
           return listed ? dialog : nullptr;
         }) != nullptr;
}

std::vector<std::string> OfferedPrinters(HWND dialog) {
  const HWND combo = GetDlgItem(dialog, kPrinterComboId);
  return combo != nullptr ? ComboItems(combo) : std::vector<std::string>{};
}

std::string SelectedPrinter(HWND dialog) {
  const HWND combo = GetDlgItem(dialog, kPrinterComboId);
  if (combo == nullptr) {
    return {};
  }
  const auto selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (selected < 0) {
    return {};
  }
  const std::vector<std::string> items = ComboItems(combo);
  return static_cast<std::size_t>(selected) < items.size()
             ? items[static_cast<std::size_t>(selected)]
             : std::string();
}

bool SelectPrinter(HWND dialog, const std::string& printer) {
  const HWND combo = GetDlgItem(dialog, kPrinterComboId);
  if (combo == nullptr) {
    return false;
  }
  const auto index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(printer.c_str()));
  if (index < 0) {
    return false;
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // A user's choice reaches the dialog as a selection-change notification.
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPrinterComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return SelectedPrinter(dialog) == printer;
}

std::string SystemDefaultPrinter() {
  std::array<char, 256> name{};
  auto size = static_cast<DWORD>(name.size());
  return GetDefaultPrinterA(name.data(), &size) != FALSE ? std::string(name.data()) : std::string();
}

void RequireDefaultPrinter(const std::string& printer) {
  const std::string found = SystemDefaultPrinter();
  if (found == printer) {
    return;
  }
  const std::string missing =
      "Wine lists no printer \"" + printer + "\" as its default (default: \"" + found + "\")";
  if (std::getenv("CI") != nullptr) {
    FAIL() << missing << ", and CI must test printing";
  }
  GTEST_SKIP() << missing << "; run scripts/start-printer.sh before the tests";
}

DialogDriver::DialogDriver(std::string title, Script script)
    : thread_(
          [this, title = std::move(title), script = std::move(script)] { Run(title, script); }) {}

DialogDriver::~DialogDriver() { Finish(); }

bool DialogDriver::Finish() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
  return found_;
}

void DialogDriver::Run(const std::string& title, const Script& script) {
  HWND dialog = nullptr;
  for (int waited = 0; dialog == nullptr && !stop_ && waited < kFindDialogMs; waited += kPollMs) {
    dialog = WaitForDialog(title, 0);
    if (dialog == nullptr) {
      Sleep(kPollMs);
    }
  }
  if (dialog == nullptr) {
    return;
  }
  found_ = true;
  script(dialog);
  // Whatever the script did, the test thread must get out of the modal loop.
  if (!WaitUntilClosed(dialog, kCloseDialogMs)) {
    PressButton(dialog, IDCANCEL);
    if (!WaitUntilClosed(dialog, kCloseDialogMs)) {
      PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
  }
}

}  // namespace lvx::test
