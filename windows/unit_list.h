// A window template's unit list: one growable byte buffer kept exactly as the
// form data stores it, navigated and patched in place.
//
// Layout: C unit IDs, C record offsets (from the end of the offsets array;
// each points at the record's length word), then the records, each a u32
// length followed by its body. The fields of a unit or menu item record body
// are found by the walk of the generated windows/record_layouts.h (from
// scripts/record_layouts.py, which the form compiler writes the records
// with). The object and cursor slots of a record are 32-bit words; they
// hold 1-based indexes into the runtime's slot tables (0 = none), so a
// 64-bit pointer never has to fit into them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "windows/record_layouts.h"

namespace win {

constexpr uint32_t kUnitKindMask = 0xFF000000;
constexpr uint32_t kWindowRecordKind = 0x06000000;

// A record is a menu item when bits 24..27 are 6 and bits 28..31 are 2.
constexpr bool IsMenuItemId(uint32_t unitId) { return (unitId & 0x0F000000) == 0x06000000 && (unitId & 0xF0000000) == 0x20000000; }
// Lookups by ID find nothing unless both the low 24 bits and bits 24..27 are set.
constexpr bool IsSearchableId(uint32_t unitId) { return (unitId & 0x00FFFFFF) && (unitId & 0x0F000000); }

// The flags word of a unit record.
enum RecordFlags : uint32_t { RECORD_VISIBLE = 1, RECORD_DISABLED = 2, RECORD_TABSTOP = 4 };

class UnitList {
 public:
  UnitList() = default;
  // Checks the buffer's structure; nullopt when it is not a valid unit list.
  static std::optional<UnitList> FromBytes(std::vector<uint8_t> bytes, uint32_t recordCount);

  uint32_t count() const { return count_; }
  uint32_t idAt(uint32_t index) const;
  std::optional<uint32_t> indexOf(uint32_t unitId) const;  // 0 = the window's own record
  bool isMenuItem(uint32_t index) const { return IsMenuItemId(idAt(index)); }

  std::span<uint8_t> body(uint32_t index);
  std::span<const uint8_t> body(uint32_t index) const;
  UnitRecordLayout unitLayout(uint32_t index) const;
  MenuRecordLayout menuLayout(uint32_t index) const;

  uint32_t word(uint32_t index, size_t offset) const;
  void setWord(uint32_t index, size_t offset, uint32_t value);
  std::string_view zText(uint32_t index, size_t offset) const;  // without its terminator
  std::span<const uint8_t> blob(uint32_t index) const;

  // Replaces `length` bytes at `offset` of a record body; later records move.
  void replace(uint32_t index, size_t offset, size_t length, std::span<const uint8_t> bytes);

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  size_t recordStart(uint32_t index) const;  // offset of the record's length word
  void setRecordOffset(uint32_t index, uint32_t offset);

  std::vector<uint8_t> bytes_;
  uint32_t count_ = 0;
};

// Record layouts computed without trusting the bytes: nullopt when a field
// would run past the body.
std::optional<UnitRecordLayout> ParseUnitRecord(std::span<const uint8_t> body);
std::optional<MenuRecordLayout> ParseMenuRecord(std::span<const uint8_t> body);

}  // namespace win
