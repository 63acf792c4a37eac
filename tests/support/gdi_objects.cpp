#include "tests/support/gdi_objects.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

namespace {

#ifdef _WIN64
// The entries in use in the process's GDI handle table, which the process maps for itself and
// names in its PEB.
int CountGdiTable(HANDLE process, int (*byType)[256]) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
          0 ||
      !basic.PebBaseAddress) {
    return -1;
  }
  constexpr size_t kTableOffset = 0xF8;
  uint64_t table = 0;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + kTableOffset,
                         &table, sizeof table, &got) ||
      !table) {
    return -1;
  }
  struct Entry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
  };
  static_assert(sizeof(Entry) == 24);
  constexpr size_t kEntries = 0x10000;
  std::vector<Entry> entries(kEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         kEntries * sizeof(Entry), &got)) {
    return -1;
  }
  int used = 0;
  for (const Entry& e : entries) {
    if (e.type == 0) continue;
    ++used;
    // The type byte folds pens into brushes; the low 7 bits of `unique` keep the full kind.
    if (byType) ++(*byType)[e.unique & 0x7f];
  }
  return used;
}
#else
int CountGdiTable(HANDLE, int (*)[256]) {
  return -1;
}
#endif

}  // namespace

GdiObjectCount CountGdiObjects(HANDLE process, int (*byType)[256]) {
  GdiObjectCount count;
  count.objects = static_cast<int>(GetGuiResources(process, GR_GDIOBJECTS));
  count.source = L"GetGuiResources";
  if (count.objects == 0) {
    count.objects = CountGdiTable(process, byType);
    count.source = L"GDI handle table";
  }
  return count;
}

const char* GdiTypeName(int type) {
  // The kinds as Wine numbers them in its handle table. Kind 05 comes with each window's device
  // context, and has no name here.
  switch (type) {
    case 0x01:
      return "DC";
    case 0x04:
      return "region";
    case 0x08:
      return "palette";
    case 0x09:
      return "bitmap";
    case 0x0a:
      return "font";
    case 0x10:
      return "brush";
    case 0x21:
      return "enhanced metafile DC";
    case 0x26:
      return "metafile";
    case 0x30:
      return "pen";
    case 0x41:
      return "memory DC";
    case 0x46:
      return "enhanced metafile";
    case 0x50:
      return "extended pen";
    case 0x66:
      return "metafile DC";
    default:
      return nullptr;
  }
}
