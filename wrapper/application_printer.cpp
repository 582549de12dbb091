#include "application_printer.h"

#include <commdlg.h>

#include <cstring>
#include <string_view>

#include "text_field.h"

namespace lvx {
namespace {

// The device name inside a DEVNAMES block, read without leaving the block.
std::string_view DeviceNameIn(std::span<const std::byte> block) noexcept {
  if (block.size() < sizeof(DEVNAMES)) {
    return {};
  }
  DEVNAMES names{};
  std::memcpy(&names, block.data(), sizeof names);
  const std::size_t offset = names.wDeviceOffset;  // in characters, from the block's start
  if (offset >= block.size()) {
    return {};
  }
  const char* start = reinterpret_cast<const char*>(block.data()) + offset;
  const std::size_t room = block.size() - offset;
  const void* nul = std::memchr(start, '\0', room);
  return {start,
          nul == nullptr ? room : static_cast<std::size_t>(static_cast<const char*>(nul) - start)};
}

}  // namespace

void ApplicationPrinter::LoadDefaultPrinter() noexcept {
  PRINTDLGA query{};
  query.lStructSize = sizeof query;
  query.Flags = PD_RETURNDEFAULT;  // no dialog: the default printer's settings
  if (PrintDlgA(&query) != FALSE) {
    devMode_.Reset(query.hDevMode);
    devNames_.Reset(query.hDevNames);
  }
}

bool ApplicationPrinter::ChooseInPrintDialog(HWND owner) noexcept {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.Flags = PD_ALLPAGES;
  // The dialog starts from the current settings and may free them and hand back new blocks, on
  // confirmation and on cancel alike: lend them, then own whatever comes back.
  dialog.hDevMode = devMode_.Release();
  dialog.hDevNames = devNames_.Release();
  const BOOL confirmed = PrintDlgA(&dialog);
  devMode_.Reset(dialog.hDevMode);
  devNames_.Reset(dialog.hDevNames);
  if (dialog.hDC != nullptr) {  // not asked for; released should a dialog return one anyway
    DeleteDC(dialog.hDC);
  }
  return confirmed != FALSE;
}

void ApplicationPrinter::CopyDeviceName(std::span<char> buffer) noexcept {
  if (devNames_.Get() == nullptr) {
    LoadDefaultPrinter();
  }
  const GlobalView names(devNames_.Get());
  CopyCut(TrimTrailingSpaces(DeviceNameIn(names.Bytes())), buffer);
}

ApplicationPrinter& CurrentPrinter() noexcept {
  static ApplicationPrinter printer;
  return printer;
}

}  // namespace lvx
