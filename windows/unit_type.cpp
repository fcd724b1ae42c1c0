#include "windows/unit_type.h"

#include "runtime/library_registry.h"

namespace win {

PropertyKind KindOf(int16_t type) {
  switch (type) {
    case PROP_INT: case PROP_INT_ALT: return PropertyKind::Integer;
    case PROP_DOUBLE: return PropertyKind::Double;
    case PROP_BOOL: return PropertyKind::Logical;
    case PROP_DATETIME: return PropertyKind::DateTime;
    case PROP_TEXT: case PROP_TEXT_2: case PROP_TEXT_3: case PROP_TEXT_4: case PROP_TEXT_5:
    case PROP_TEXT_6: case PROP_TEXT_7: case PROP_TEXT_8: case PROP_TEXT_9:
      return PropertyKind::Text;
    case PROP_PICK: return PropertyKind::Pick;
    case PROP_PICTURE: case PROP_ICON: case PROP_SOUND: case PROP_BYTES: case PROP_BYTES_2: return PropertyKind::Bytes;
    case PROP_MOUSE_POINTER: return PropertyKind::MousePointer;
    case PROP_FONT: return PropertyKind::Font;
    case PROP_COLOR: case PROP_COLOR_2: case PROP_COLOR_3: return PropertyKind::Color;
    default: return PropertyKind::Unknown;
  }
}

const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
  if (rt::ClassifyTag(typeCode) != rt::TagClass::Library) return nullptr;
  const rt::LibraryDescriptor* library = rt::Library(int(typeCode >> 16) - 1);
  int typeIndex = int(typeCode & 0xFFFF) - 1;
  if (!library || typeIndex < 0 || typeIndex >= library->dataTypeCount) return nullptr;
  return &library->dataTypes[typeIndex];
}

}  // namespace win
