// What another process holds, counted from outside under this Wine, where
// GetGuiResources answers 0 and GetProcessTimes zeros:
// - kernel handles: the system's list of every process's handles
//   (NtQuerySystemInformation); the count in its process list is the size
//   of the handle table here, which only grows;
// - GDI objects: the live entries of the process's GDI handle table, which
//   the system maps into it and names in its PEB (GdiSharedHandleTable), as
//   on Windows; read with ReadProcessMemory;
// - windows: every window of its threads, hidden ones and children included.
// Menus and other USER objects cannot be counted from outside here.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>


namespace e2e {

struct Census {
  std::map<std::wstring, ULONG> handles;  // by object type
  std::map<int, size_t> gdiObjects;  // by type
  size_t windows = 0;

  ULONG handleCount() const {
    ULONG total = 0;
    for (const auto& [type, count] : handles) total += count;
    return total;
  }
  size_t gdiCount() const {
    size_t total = 0;
    for (auto [type, count] : gdiObjects) total += count;
    return total;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Census& c) {
  out << c.handleCount() << " handles (";
  for (const auto& [type, count] : c.handles) {
    std::string name(type.begin(), type.end());  // the system's type names are ASCII
    out << " " << name << " " << count;
  }
  out << " ), " << c.gdiCount() << " GDI objects (";
  for (auto [type, count] : c.gdiObjects) out << " " << type << ": " << count;
  return out << " ), " << c.windows << " windows";
}

namespace census_detail {

// One entry of the GDI handle table; a free entry has type 0.
struct GdiHandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's layout");
constexpr size_t kGdiHandles = 0x10000;
// Where the PEB keeps the table's address.
constexpr size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

// An entry of the system's handle list (SystemHandleInformation).
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  void* object;
  ACCESS_MASK access;
};
constexpr auto kSystemHandleInformation = SYSTEM_INFORMATION_CLASS(16);

// The name of a handle's object type ("Event", "Thread"), read from a copy
// of the handle; its number when the copy cannot be made.
inline std::wstring TypeName(HANDLE process, const HandleEntry& entry) {
  HANDLE copy = nullptr;
  std::wstring name = L"type " + std::to_wstring(entry.objectType);
  if (!DuplicateHandle(process, HANDLE(uintptr_t(entry.value)), GetCurrentProcess(), &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return name;
  alignas(8) uint8_t info[1024];
  if (NtQueryObject(copy, ObjectTypeInformation, info, sizeof info, nullptr) == 0) {
    const UNICODE_STRING& type = reinterpret_cast<PUBLIC_OBJECT_TYPE_INFORMATION*>(info)->TypeName;
    name.assign(type.Buffer, type.Length / sizeof(wchar_t));
  }
  CloseHandle(copy);
  return name;
}

// The process's handles, by the name of their object type.
inline std::map<std::wstring, ULONG> Handles(DWORD pid) {
  std::vector<uint8_t> list(1 << 20);
  ULONG needed = 0;
  while (NtQuerySystemInformation(kSystemHandleInformation, list.data(), ULONG(list.size()), &needed) != 0) {
    if (list.size() >= (256u << 20)) return {};
    list.resize(std::max<size_t>(list.size() * 2, needed));
  }
  ULONG count = *reinterpret_cast<ULONG*>(list.data());
  auto* entries = reinterpret_cast<HandleEntry*>(list.data() + sizeof(void*));
  HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
  std::map<int, std::wstring> names;
  std::map<std::wstring, ULONG> byType;
  for (ULONG i = 0; i < count; ++i) {
    if (entries[i].ownerPid != pid) continue;
    auto known = names.find(entries[i].objectType);
    if (known == names.end()) known = names.emplace(entries[i].objectType, TypeName(process, entries[i])).first;
    ++byType[known->second];
  }
  if (process) CloseHandle(process);
  return byType;
}

// GDI objects by the table's type number: 1 DC, 4 region, 5 bitmap, 8
// palette, 10 font, 16 brush, 48 pen.
inline std::map<int, size_t> GdiObjects(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return {};
  PROCESS_BASIC_INFORMATION basic{};
  void* table = nullptr;
  std::vector<GdiHandleEntry> entries(kGdiHandles);
  bool read = NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
              ReadProcessMemory(process, static_cast<uint8_t*>(static_cast<void*>(basic.PebBaseAddress)) + kGdiTableOffset,
                                &table, sizeof table, nullptr) &&
              table &&
              ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), nullptr);
  CloseHandle(process);
  std::map<int, size_t> live;
  if (!read) return live;
  for (const GdiHandleEntry& entry : entries)
    if (entry.type) ++live[entry.type];
  return live;
}

}  // namespace census_detail

inline Census TakeCensus(DWORD pid, size_t windows) {
  return {census_detail::Handles(pid), census_detail::GdiObjects(pid), windows};
}

}  // namespace e2e
