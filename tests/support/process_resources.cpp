#include "process_resources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <map>
#include <string>
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
// GdiSharedHandleTable in the PEB: 0x94 in a 32-bit process, 0xF8 in a 64-bit one.
constexpr std::size_t kPebGdiTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;

bool ReadFrom(HANDLE process, const void* address, void* into, std::size_t bytes) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, into, bytes, &read) != FALSE && read == bytes;
}

long CountGdiTable(HANDLE process, std::map<int, long>* byType) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
          0 ||
      basic.PebBaseAddress == nullptr) {
    return -1;
  }
  const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
  std::uintptr_t table = 0;  // an address in `process`
  if (!ReadFrom(process, peb + kPebGdiTableOffset, &table, sizeof table) || table == 0) {
    return -1;
  }
  std::vector<WineGdiEntry> entries(kWineGdiEntries);
  if (!ReadFrom(process, reinterpret_cast<const void*>(table), entries.data(),
                entries.size() * sizeof(WineGdiEntry))) {
    return -1;
  }
  long live = 0;
  for (const WineGdiEntry& entry : entries) {
    if (entry.type != 0) {
      ++live;
      if (byType != nullptr) {
        ++(*byType)[entry.type];
      }
    }
  }
  return live;
}

// Windows of one process by class name.
struct WindowClasses {
  DWORD process = 0;
  std::map<std::string, long> byClass;
};

BOOL CALLBACK CountChild(HWND child, LPARAM classes) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  ++reinterpret_cast<WindowClasses*>(classes)->byClass[name];
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM classes) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == reinterpret_cast<WindowClasses*>(classes)->process) {
    CountChild(window, classes);
    EnumChildWindows(window, CountChild, classes);
  }
  return TRUE;
}

// Committed memory of the process's own (not mapped files or images).
std::size_t PrivateBytes(HANDLE process) {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  const char* address = nullptr;
  while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
      total += region.RegionSize;
    }
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) {
      break;
    }
    address = next;
  }
  return total;
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

ProcessResources MeasureResources(HANDLE process) {
  ProcessResources resources;
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const bool implemented = gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
  if (implemented) {
    resources.gdiObjects = static_cast<long>(gdi);
    resources.userObjects = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    resources.gdiSource = resources.userSource = "GetGuiResources";
  } else {
    std::map<int, long> byType;
    resources.gdiObjects = CountGdiTable(process, &byType);
    resources.gdiSource = "GDI handle table";
    WindowClasses classes;
    classes.process = GetProcessId(process);
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&classes));
    for (const auto& [name, count] : classes.byClass) {
      resources.userObjects += count;
      resources.details.append(name).append(":").append(std::to_string(count)).append(" ");
    }
    resources.details += "| GDI types";
    for (const auto& [type, count] : byType) {
      resources.details.append(" ")
          .append(std::to_string(type))
          .append(":")
          .append(std::to_string(count));
    }
    resources.userSource = "windows of the process";
  }
  resources.privateBytes = PrivateBytes(process);
  return resources;
}

ProcessResources MeasureResources() {
  ProcessResources resources = MeasureResources(GetCurrentProcess());
  resources.heapBytes = HeapBytesInUse();
  return resources;
}

void WarmUpActivationDrawing(HWND window) {
  const auto redraw = [window] {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    UpdateWindow(window);
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  };
  const HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  SetActiveWindow(other);
  redraw();
  DestroyWindow(other);
  SetForegroundWindow(window);
  SetActiveWindow(window);
  redraw();
}

}  // namespace lvx::test
