#include "process_resources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace lvx::test {
namespace {

// One entry of Wine's GDI handle table (include/ntgdi.h: GDI_HANDLE_ENTRY); Type 0 is a free
// entry.
#pragma pack(push, 1)
struct WineGdiEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t user;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24);
constexpr std::size_t kWineGdiEntries = 0x10000;
constexpr std::size_t kPebGdiTableOffset = 0x94;  // GdiSharedHandleTable in the 32-bit PEB

long CountGdiTable() {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                                nullptr) != 0 ||
      basic.PebBaseAddress == nullptr) {
    return -1;
  }
  const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<const WineGdiEntry* const*>(peb + kPebGdiTableOffset);
  if (table == nullptr) {
    return -1;
  }
  long live = 0;
  for (std::size_t i = 0; i < kWineGdiEntries; ++i) {
    live += table[i].type != 0 ? 1 : 0;
  }
  return live;
}

BOOL CALLBACK CountChild(HWND /*child*/, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountChild, count);
  }
  return TRUE;
}

std::size_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::size_t total = 0;
  for (const HANDLE heap : heaps) {
    if (HeapLock(heap) == FALSE) {
      continue;
    }
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry) != FALSE) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
        total += entry.cbData;
      }
    }
    HeapUnlock(heap);
  }
  return total;
}

}  // namespace

ProcessResources MeasureResources() {
  ProcessResources resources;
  SetLastError(0);
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const bool implemented = gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
  if (implemented) {
    resources.gdiObjects = static_cast<long>(gdi);
    resources.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    resources.gdiSource = resources.userSource = "GetGuiResources";
  } else {
    resources.gdiObjects = CountGdiTable();
    resources.gdiSource = "GDI handle table";
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&resources.userObjects));
    resources.userSource = "windows of the process";
  }
  resources.heapBytes = HeapBytesInUse();
  return resources;
}

}  // namespace lvx::test
