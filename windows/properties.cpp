#include "windows/properties.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/hidden_owner.h"
#include "runtime/values.h"
#include "windows/font_value.h"
#include "windows/loader.h"
#include "windows/menu.h"
#include "windows/mouse_pointer.h"
#include "windows/recreate.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace win {
namespace {

struct Target {
  WindowTemplate& t;
  uint32_t index;
  UnitList& units() const { return t.units; }
  UnitObject* live() const {
    UnitObject* unit = RecordObject(t, index);
    return unit && unit->alive() ? unit : nullptr;
  }
};

Target Find(uint32_t windowId, uint32_t unitId) {
  WindowTemplate* t = FindTemplate(windowId);
  if (!t) rt::ReportFatalError("未载入欲访问窗口组件所在的窗口");
  auto index = t->units.indexOf(unitId);
  if (!index) rt::ReportFatalError("指定窗口或窗口组件不存在或尚未载入");
  return {*t, *index};
}

const void* PointerOf(uint32_t low, uint32_t high) {
  uint64_t bits = low;
  if constexpr (sizeof(void*) == 8) bits |= uint64_t(high) << 32;
  return reinterpret_cast<const void*>(uintptr_t(bits));
}

int64_t NewText(std::string_view text) { return reinterpret_cast<intptr_t>(rt::MakeTextN(text.data(), int64_t(text.size()))); }
int64_t NewByteSet(std::span<const uint8_t> bytes) {
  return reinterpret_cast<intptr_t>(rt::MakeByteSet(bytes.data(), int64_t(bytes.size())));
}

std::span<const uint8_t> ByteSetSpan(const void* set) {
  if (!set) return {};
  return {rt::ByteSetData(set), size_t(std::max(rt::ByteSetLength(set), 0))};
}

std::span<const uint8_t> ZeroTerminated(const char* text) {
  static const char empty = '\0';
  if (!text) text = &empty;
  return {reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1};
}

// ---- menu items ----

uint32_t MenuFlagsWord(const Target& at) { return at.units().word(at.index, at.units().menuLayout(at.index).flags); }

int64_t ReadMenuItem(const Target& at, int property) {
  uint32_t flags = MenuFlagsWord(at);
  switch (property) {
    case MP_CAPTION: return NewText(at.units().zText(at.index, at.units().menuLayout(at.index).caption));
    case MP_CHECKED: return (flags & MENU_CHECKED) != 0;
    case MP_DISABLED: return (flags & MENU_DISABLED) != 0;
    case MP_VISIBLE: return (flags & MENU_HIDDEN) == 0;
    default: return 0;
  }
}

bool SetMenuFlag(const Target& at, uint32_t bit, bool on) {
  uint32_t flags = MenuFlagsWord(at);
  uint32_t changed = on ? flags | bit : flags & ~bit;
  if (changed == flags) return false;
  at.units().setWord(at.index, at.units().menuLayout(at.index).flags, changed);
  return true;
}

bool SetMenuCaption(const Target& at, const char* caption) {
  MenuRecordLayout l = at.units().menuLayout(at.index);
  std::string_view old = at.units().zText(at.index, l.caption);
  if (old == std::string_view(caption ? caption : "")) return false;
  at.units().replace(at.index, l.caption, old.size() + 1, ZeroTerminated(caption));
  return true;
}

void WriteMenuItem(const Target& at, int property, uint32_t low, uint32_t high) {
  bool changed = false;
  switch (property) {
    case MP_CAPTION: changed = SetMenuCaption(at, static_cast<const char*>(PointerOf(low, high))); break;
    case MP_CHECKED: changed = SetMenuFlag(at, MENU_CHECKED, low != 0); break;
    case MP_DISABLED: changed = SetMenuFlag(at, MENU_DISABLED, low != 0); break;
    case MP_VISIBLE: changed = SetMenuFlag(at, MENU_HIDDEN, low == 0); break;
    default: break;
  }
  if (auto* window = WindowUnit::From(LoadedWindow(at.t)); changed && window) window->RebuildMenu();
}

// ---- common properties ----

bool Windowless(const Target& at) {
  const UnitTypeDescriptor* type = UnitTypeOf(at.t, at.index);
  return type && (type->state & UNIT_WINDOWLESS);
}

RECT LiveRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int64_t ReadCommon(const Target& at, int property) {
  UnitRecordLayout l = at.units().unitLayout(at.index);
  UnitObject* live = at.live();
  uint32_t flags = at.units().word(at.index, l.flags);
  RECT r = live ? LiveRect(live->handle()) : RECT{};
  switch (property) {
    case CP_LEFT: return live ? r.left : int32_t(at.units().word(at.index, l.geometry[0]));
    case CP_TOP: return live ? r.top : int32_t(at.units().word(at.index, l.geometry[1]));
    case CP_WIDTH: return live ? r.right - r.left : int32_t(at.units().word(at.index, l.geometry[2]));
    case CP_HEIGHT: return live ? r.bottom - r.top : int32_t(at.units().word(at.index, l.geometry[3]));
    case CP_TAG: return NewText(at.units().zText(at.index, l.tag));
    case CP_VISIBLE: return live && !Windowless(at) ? IsWindowVisible(live->handle()) != 0 : (flags & RECORD_VISIBLE) != 0;
    case CP_DISABLED: return live ? !IsWindowEnabled(live->handle()) : (flags & RECORD_DISABLED) != 0;
    case CP_MOUSE_POINTER: {
      uint32_t length = at.units().word(at.index, l.pointerLength);
      return NewByteSet(PointerDataForRead(at.units().body(at.index).subspan(l.pointerData, length)));
    }
    default: return 0;
  }
}

int32_t ClampCoordinate(int32_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }
int32_t ClampSize(int32_t v) { return std::clamp(v, 0, kCoordinateLimit); }

void WriteGeometry(const Target& at, int property, int32_t value) {
  UnitRecordLayout l = at.units().unitLayout(at.index);
  value = property <= CP_TOP ? ClampCoordinate(value) : ClampSize(value);
  at.units().setWord(at.index, l.geometry[property], uint32_t(value));
  UnitObject* live = at.live();
  if (!live) return;
  RECT r = LiveRect(live->handle());
  int left = property == CP_LEFT ? value : r.left, top = property == CP_TOP ? value : r.top;
  int width = property == CP_WIDTH ? value : r.right - r.left, height = property == CP_HEIGHT ? value : r.bottom - r.top;
  UINT keep = property <= CP_TOP ? SWP_NOSIZE : SWP_NOMOVE;
  SetWindowPos(live->handle(), nullptr, left, top, width, height, keep | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetRecordFlag(const Target& at, uint32_t bit, bool on) {
  size_t offset = at.units().unitLayout(at.index).flags;
  uint32_t flags = at.units().word(at.index, offset);
  at.units().setWord(at.index, offset, on ? flags | bit : flags & ~bit);
}

void WriteVisible(const Target& at, bool visible) {
  SetRecordFlag(at, RECORD_VISIBLE, visible);
  UnitObject* live = at.live();
  if (!live || Windowless(at)) return;
  if (!visible) ShowWindow(live->handle(), SW_HIDE);
  else if (auto* window = WindowUnit::From(live)) window->Show();
  else ShowWindow(live->handle(), SW_SHOW);
}

void WriteMousePointer(const Target& at, std::span<const uint8_t> data) {
  std::vector<uint8_t> stored = PointerDataForStore(data);
  UnitRecordLayout l = at.units().unitLayout(at.index);
  uint32_t oldLength = at.units().word(at.index, l.pointerLength);
  std::vector<uint8_t> field(4 + stored.size());
  uint32_t length = uint32_t(stored.size());
  std::memcpy(field.data(), &length, 4);
  std::copy(stored.begin(), stored.end(), field.begin() + 4);
  at.units().replace(at.index, l.pointerLength, 4 + oldLength, field);
  // A unit without a window has no cursor: the loader makes it from the
  // record, and the window's end gives it back with the slot.
  if (!at.live()) return;
  size_t cursorSlot = at.units().unitLayout(at.index).cursorSlot;
  ReleaseCursorSlot(at.units().word(at.index, cursorSlot));
  at.units().setWord(at.index, cursorSlot, StoreCursor(CursorFromPointerData(stored)));
  POINT p;
  if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
}

void WriteCommon(const Target& at, int property, uint32_t low, uint32_t high) {
  switch (property) {
    case CP_LEFT: case CP_TOP: case CP_WIDTH: case CP_HEIGHT: WriteGeometry(at, property, int32_t(low)); break;
    case CP_TAG: {
      UnitRecordLayout l = at.units().unitLayout(at.index);
      size_t oldLength = at.units().zText(at.index, l.tag).size() + 1;
      at.units().replace(at.index, l.tag, oldLength, ZeroTerminated(static_cast<const char*>(PointerOf(low, high))));
      break;
    }
    case CP_VISIBLE: WriteVisible(at, low != 0); break;
    case CP_DISABLED:
      SetRecordFlag(at, RECORD_DISABLED, low != 0);
      if (UnitObject* live = at.live(); live && !Windowless(at)) EnableWindow(live->handle(), low == 0);
      break;
    case CP_MOUSE_POINTER: WriteMousePointer(at, ByteSetSpan(PointerOf(low, high))); break;
    default: break;
  }
}

// ---- the unit type's own properties ----

// A property a type declares but cannot serve is a fault of the program, not
// something to read as 0 or to drop: it ends the program with a message that
// names the type and the property.
[[noreturn]] void MissingOperation(const char* what, const UnitTypeDescriptor* type, int property) {
  std::string message = what;
  message += ": ";
  message += type && type->englishName ? type->englishName : "?";
  message += ' ';
  message += std::to_string(property);
  rt::ReportFatalError(message);
}

struct OwnProperty {
  UnitObject* unit;
  const UnitTypeDescriptor* type;
  int16_t propertyType;
};

OwnProperty RequireOwnProperty(const Target& at, int property) {
  if (!LoadedWindow(at.t) || !at.live()) rt::ReportFatalError("指定窗口尚未载入");
  const UnitTypeDescriptor* type = UnitTypeOf(at.t, at.index);
  if (!type || property >= type->propertyCount) MissingOperation("窗口组件没有指定的属性", type, property);
  return {at.live(), type, type->properties[property].type};
}

PropertyValue GetOwn(const OwnProperty& own, int property) {
  auto get = FindOperation<OP_GET_PROPERTY>(own.type);
  UnitObject::Pin pin(own.unit);
  PropertyValue value;
  if (!get || !get(own.unit, property - kCommonPropertyCount, &value))
    MissingOperation("窗口组件不能读取此属性", own.type, property);
  return value;
}

std::span<const uint8_t> ValueBytes(const PropertyValue& v) {
  return {static_cast<const uint8_t*>(v.pointer), v.pointer ? v.length : 0};
}

int64_t ConvertRead(const PropertyValue& v, int16_t type, int element) {
  switch (KindOf(type)) {
    case PropertyKind::Double: case PropertyKind::DateTime: return int64_t(uint64_t(v.first) | uint64_t(v.second) << 32);
    case PropertyKind::Logical: return v.first == 1;
    case PropertyKind::Text: return NewText(v.pointer ? static_cast<const char*>(v.pointer) : "");
    case PropertyKind::Bytes: return NewByteSet(ValueBytes(v));
    case PropertyKind::MousePointer: return NewByteSet(PointerDataForRead(ValueBytes(v)));
    case PropertyKind::Font: return ReadFontElement(FontOrDefault(ValueBytes(v)), element);
    default: return int32_t(v.first);
  }
}

// The unit may raise events while it takes the value, and a handler may
// destroy its window: the pin keeps the object readable until the end.
void SetOwn(const Target& at, const OwnProperty& own, int property, const PropertyValue& value) {
  auto set = FindOperation<OP_SET_PROPERTY>(own.type);
  if (!set) MissingOperation("窗口组件不能设置此属性", own.type, property);
  UnitObject::Pin pin(own.unit);
  bool recreate = set(own.unit, property - kCommonPropertyCount, value);
  if (recreate && at.index != 0 && own.unit->alive()) RecreateUnit(at.t, at.index);
}

// Builds the value record from the argument and hands it to the unit.
void WriteOwn(const Target& at, int property, int element, uint32_t low, uint32_t high) {
  OwnProperty own = RequireOwnProperty(at, property);
  const void* pointer = PointerOf(low, high);
  PropertyValue value{low, 0};
  std::vector<uint8_t> bytes;
  LOGFONTA font;
  switch (KindOf(own.propertyType)) {
    case PropertyKind::Double: case PropertyKind::DateTime: value.second = high; break;
    case PropertyKind::Logical: value.first = low != 0; break;
    case PropertyKind::Pick: value.first = int32_t(low) < 0 ? 0 : low; break;
    case PropertyKind::Text: value = {0, 0, pointer ? pointer : "", 0}; break;
    case PropertyKind::Bytes: value = {0, 0, ByteSetSpan(pointer).data(), uint32_t(ByteSetSpan(pointer).size())}; break;
    case PropertyKind::MousePointer:
      bytes = PointerDataForStore(ByteSetSpan(pointer));
      value = {0, 0, bytes.data(), uint32_t(bytes.size())};
      break;
    case PropertyKind::Font:
      if (element == FONT_WHOLE) {
        auto built = FontFromRecord(static_cast<const FontRecord*>(pointer));
        if (built) font = *built;
        value = built ? PropertyValue{0, 0, &font, sizeof font} : PropertyValue{};
      } else {
        font = FontOrDefault(ValueBytes(GetOwn(own, property)));
        WriteFontElement(font, element, element == FONT_FACE ? int64_t(intptr_t(pointer)) : int64_t(int32_t(low)));
        value = {0, 0, &font, sizeof font};
      }
      break;
    default: break;
  }
  SetOwn(at, own, property, value);
}

// Negative indexes, and indexes past a menu item's four, name no property.
void RequireKnownIndex(const Target& at, int property) {
  bool known = property >= 0 && (!at.units().isMenuItem(at.index) || property <= MP_VISIBLE);
  if (!known) MissingOperation("窗口组件没有指定的属性", UnitTypeOf(at.t, at.index), property);
}

int64_t ReadOnMainThread(uint32_t windowId, uint32_t unitId, int property, int element) {
  if (WindowGoneForWorker(windowId)) return 0;
  Target at = Find(windowId, unitId);
  RequireKnownIndex(at, property);
  if (at.units().isMenuItem(at.index)) return ReadMenuItem(at, property);
  if (property < kCommonPropertyCount) return ReadCommon(at, property);
  OwnProperty own = RequireOwnProperty(at, property);
  return ConvertRead(GetOwn(own, property), own.propertyType, element);
}

void WriteOnMainThread(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low, uint32_t high) {
  if (WindowGoneForWorker(windowId)) return;
  Target at = Find(windowId, unitId);
  RequireKnownIndex(at, property);
  if (at.units().isMenuItem(at.index)) return WriteMenuItem(at, property, low, high);
  if (property < kCommonPropertyCount) return WriteCommon(at, property, low, high);
  WriteOwn(at, property, element, low, high);
}

}  // namespace

int64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element) {
  int64_t result = 0;
  rt::RunOnMainThread([&] { result = ReadOnMainThread(windowId, unitId, property, element); });
  return result;
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low, uint32_t high) {
  rt::RunOnMainThread([&] { WriteOnMainThread(windowId, unitId, property, element, low, high); });
}

}  // namespace win
