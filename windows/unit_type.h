// Unit types: the descriptor a support library registers for each of its data
// types, its property table, and the operations its interface function hands
// out.
//
// Conventions for every unit type, written once here:
// - A unit type lives in one .cpp (units/ or libraries/<name>/) with one
//   interface function: a flat switch from interface number to operation.
// - A unit object is a UnitObject bound to one window for its whole life;
//   units without a window of their own (state bit 0x8000) make a hidden
//   one, so every unit has a handle.
// - Property indexes 0–7 are served by the framework; operations 4 and 6 see
//   the unit type's own properties as index − 8.
// - A property blob starts with its version word; a blob newer than the
//   reader knows is refused (create fails).
// - At the end of its window's life every unit tells the runtime through
//   callback request 2000, except while it is being re-created.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windows/unit_object.h"

namespace win {

// Property types: how a property value travels. The nine text types
// (PROP_TEXT, PROP_TEXT_2 to _9) differ only to the design tool: at run time
// each travels as text, and the format says nothing more of them, so they
// are numbered, not named.
enum PropertyType : int16_t {
  PROP_INT = 1000,
  PROP_INT_ALT = 1001,
  PROP_DOUBLE = 1002,
  PROP_BOOL = 1003,
  PROP_DATETIME = 1004,
  PROP_TEXT = 1005,
  PROP_PICK = 1006,
  PROP_TEXT_2 = 1007,
  PROP_TEXT_3 = 1008,
  PROP_PICTURE = 1009,
  PROP_ICON = 1010,
  PROP_MOUSE_POINTER = 1011,
  PROP_SOUND = 1012,
  PROP_FONT = 1013,
  PROP_COLOR = 1014,
  PROP_COLOR_2 = 1015,
  PROP_TEXT_4 = 1016,
  PROP_COLOR_3 = 1017,
  PROP_TEXT_5 = 1018,
  PROP_TEXT_6 = 1019,
  PROP_TEXT_7 = 1020,
  PROP_TEXT_8 = 1021,
  PROP_TEXT_9 = 1022,
  PROP_BYTES = 1023,
  PROP_BYTES_2 = 1024,
};

enum class PropertyKind { Integer, Double, Logical, DateTime, Text, Pick, Bytes, MousePointer, Font, Color, Unknown };
PropertyKind KindOf(int16_t type);

constexpr uint16_t kCommonPropertyState = 0xE000;

struct PropertyDescriptor {
  const char* name;
  const char* englishName;
  const char* description;
  int16_t type;
  uint16_t state;
  const void* pickList;
};
static_assert(sizeof(void*) != 4 || sizeof(PropertyDescriptor) == 20);

// State bits of a unit type.
enum UnitState : uint32_t {
  UNIT_MENU_EVENTS = 0x00000004,
  UNIT_NO_RECREATE = 0x00000010,
  UNIT_MESSAGE_FILTER = 0x00000020,
  UNIT_VISUAL_EVENTS = 0x00000040,
  UNIT_CONTAINER = 0x00000080,
  UNIT_PAGED = 0x00000100,
  UNIT_RADIO_MNEMONIC = 0x00000400,
  UNIT_BUTTON_MNEMONIC = 0x00000800,
  UNIT_CHECK_MNEMONIC = 0x00001000,
  UNIT_LABEL_MNEMONIC = 0x00002000,
  UNIT_LABEL_MNEMONIC_2 = 0x00004000,
  UNIT_WINDOWLESS = 0x00008000,
  UNIT_NEVER_FOCUS = 0x00010000,
  UNIT_BAR = 0x00100000,
  UNIT_OWNS_CHILD_FOCUS = 0x00200200,
  UNIT_DRAGS_WINDOW = 0x04000000,
};
constexpr uint32_t kMnemonicStates = 0x7C00;

// The 56-byte descriptor (on the 32-bit target).
struct UnitTypeDescriptor {
  const char* name;
  const char* englishName;
  const char* description;
  uint32_t reserved1[2];
  uint32_t state;
  uint32_t reserved2[3];
  int32_t propertyCount;
  const PropertyDescriptor* properties;
  void* (*interfaceFunction)(int number);
  uint32_t reserved3[2];
};
static_assert(sizeof(void*) != 4 || sizeof(UnitTypeDescriptor) == 56);

// The unit type descriptor of a library data-type code (request 1002), or
// null when the code is not a library type code or names no type.
const UnitTypeDescriptor* FindUnitType(uint32_t typeCode);

enum InterfaceNumber : int {
  OP_CREATE = 1,
  OP_SET_PROPERTY = 4,
  OP_GET_ALL_PROPERTIES = 5,
  OP_GET_PROPERTY = 6,
  OP_WINDOW = 7,
  OP_WANTS_KEY = 8,
  OP_TEXT_VISITOR = 9,
  OP_IS_DEFAULT_BUTTON = 10,
  OP_MESSAGE_FILTER = 11,
};

struct CreateArgs {
  std::span<const uint8_t> blob;
  DWORD style = 0;
  HWND parent = nullptr;      // the window's handle; for a window, its owner
  int controlId = 0;
  HMENU menu = nullptr;
  int left = 0, top = 0, width = 0, height = 0;
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  HWND designWindow = nullptr;
  bool designMode = false;
};

// The property value record. Numbers travel in the two words (a double in
// both); texts, byte data and fonts travel as a pointer and a length, so a
// 64-bit pointer never has to share a word with the length.
struct PropertyValue {
  uint32_t first = 0;
  uint32_t second = 0;
  const void* pointer = nullptr;
  uint32_t length = 0;
};

// Called for each text inside a property blob; it may change the text. Flag
// 1 marks a font's face name, 0 any other text.
using TextVisitor = void (*)(std::string& text, int flag, void* user);

// The signature of each operation, by interface number.
template <int Number>
struct OperationOf;
template <>
struct OperationOf<OP_CREATE> {
  using type = UnitObject* (*)(const CreateArgs& args);
};
// Answers true when the unit must be re-created to show the new value.
template <>
struct OperationOf<OP_SET_PROPERTY> {
  using type = bool (*)(UnitObject* unit, int index, const PropertyValue& value);
};
// The serialized property blob, as operation 1 reads it.
template <>
struct OperationOf<OP_GET_ALL_PROPERTIES> {
  using type = std::vector<uint8_t> (*)(UnitObject* unit);
};
// Fills the value; pointers it hands out stay owned by the unit until the
// next call. Answers true when served.
template <>
struct OperationOf<OP_GET_PROPERTY> {
  using type = bool (*)(UnitObject* unit, int index, PropertyValue* value);
};
template <>
struct OperationOf<OP_WANTS_KEY> {
  using type = bool (*)(UnitObject* unit, int virtualKey);
};
// The blob again, with every text visited; nullopt for a refused blob.
template <>
struct OperationOf<OP_TEXT_VISITOR> {
  using type = std::optional<std::vector<uint8_t>> (*)(std::span<const uint8_t> blob, TextVisitor visitor, void* user);
};
template <>
struct OperationOf<OP_IS_DEFAULT_BUTTON> {
  using type = bool (*)(UnitObject* unit);
};
template <>
struct OperationOf<OP_MESSAGE_FILTER> {
  using type = bool (*)(UnitObject* unit, MSG& message);
};
template <int Number>
using Operation = typename OperationOf<Number>::type;

// The operation a unit type's interface function hands out for a number,
// typed by that number; null when the type has none.
template <int Number>
Operation<Number> FindOperation(const UnitTypeDescriptor* type) {
  return type && type->interfaceFunction ? reinterpret_cast<Operation<Number>>(type->interfaceFunction(Number))
                                         : nullptr;
}

}  // namespace win
