// A window template's unit list: one growable byte buffer kept exactly as the
// form data stores it, navigated and patched in place.
//
// Layout: C unit IDs, C record offsets (from the end of the offsets array;
// each points at the record's length word), then the records, each a u32
// length followed by its body. The object and cursor slots of a record are
// 32-bit words; they hold 1-based indexes into the runtime's slot tables (0 =
// none), so a 64-bit pointer never has to fit into them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace win {

constexpr uint32_t kUnitKindMask = 0xFF000000;
constexpr uint32_t kWindowRecordKind = 0x06000000;

// A record is a menu item when bits 24..27 are 6 and bits 28..31 are 2.
constexpr bool IsMenuItemId(uint32_t unitId) { return (unitId & 0x0F000000) == 0x06000000 && (unitId & 0xF0000000) == 0x20000000; }
// Lookups by ID find nothing unless both the low 24 bits and bits 24..27 are set.
constexpr bool IsSearchableId(uint32_t unitId) { return (unitId & 0x00FFFFFF) && (unitId & 0x0F000000); }

// The flags word of a unit record.
enum RecordFlags : uint32_t { RECORD_VISIBLE = 1, RECORD_DISABLED = 2, RECORD_TABSTOP = 4 };

// Field offsets inside a unit record body, once its variable parts are known.
struct UnitRecordLayout {
  size_t objectSlot;
  size_t geometry(int i) const { return objectSlot + 4 + 4 * size_t(i); }  // left, top, width, height
  size_t cursorSlot() const { return objectSlot + 20; }
  size_t parent() const { return objectSlot + 24; }
  size_t childCount() const { return objectSlot + 28; }
  size_t childIds;
  size_t pointerLength;
  size_t tag;
  size_t flags;           // reserved word before it
  size_t tabOrder;
  size_t eventCount;
  size_t bindings;
  size_t blob;
  size_t end;
};

struct MenuRecordLayout {
  size_t shortcut;
  size_t level;
  size_t flags;
  size_t caption;
  size_t handler;
  size_t end;
};

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
