// The toolkit every unit type is written with: its property table, its
// descriptor, its interface function, its window, and the colours, fonts
// and borders the standard units share.
//
// Conventions of every unit type, written once here:
// - A unit type is one class U (a UnitObject) in one .cpp of units/ or
//   libraries/<name>/, with
//     U::Properties                       a plain record of its properties,
//     static std::optional<Properties> Read(std::span<const uint8_t> blob),
//     static std::vector<uint8_t> Write(const Properties&),
//     U(const CreateArgs&, Properties)     and bool Open(const CreateArgs&),
//   which makes the unit's window and binds it (false: no window). A type
//   without properties has neither Read nor Write and a U(const CreateArgs&).
// - Its operations are members with these names; UnitInterface<U> hands out
//   exactly the ones U has, each under its interface number:
//     4  bool SetProperty(int index, const PropertyValue&)  true: re-create me
//     5  std::vector<uint8_t> Serialize()                    the current blob
//     6  bool GetProperty(int index, PropertyValue*)         true: served
//     8  bool WantsKey(int virtualKey) const
//     9  static void VisitTexts(Properties&, const TextVisit&)
//     10 bool IsDefaultButton() const
//     11 bool FilterMessage(MSG&)
//   Operations 4 and 6 see the type's own properties as index − 8; the
//   framework serves 0–7. A type that declares a property serves it in both.
// - An empty blob gives the type's defaults (a freshly placed unit). A blob
//   newer than the reader knows, or one that ends inside the fields of its
//   own version, is refused; fields only a newer version has keep their
//   defaults when an older blob lacks them. The blob's field order is its
//   layout in windows/blob_layouts.h (ReadVersionedBlob, WriteVersionedBlob).
// - Texts are GBK byte strings in records and blobs; every Win32 call uses
//   the wide API after an explicit conversion (runtime/gbk.h).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "windows/blob.h"
#include "windows/events.h"
#include "windows/unit_object.h"
#include "windows/unit_type.h"

namespace win {

// ---- Property tables -----------------------------------------------------------

// Not interpreted at run time; kept for the design tool.
constexpr uint16_t kOwnPropertyState = 0x8000;
constexpr uint16_t kRunTimeOnlyPropertyState = 0x8008;

constexpr PropertyDescriptor Own(int16_t type, uint16_t state = kOwnPropertyState) {
  return {nullptr, nullptr, nullptr, type, state, nullptr};
}

// A visual unit type's table: the eight common properties (left, top,
// width, height, tag, visible, disabled, mouse pointer), then its own.
template <size_t N>
constexpr std::array<PropertyDescriptor, 8 + N> PropertyTable(const std::array<PropertyDescriptor, N>& own) {
  constexpr int16_t kCommon[8] = {PROP_INT,  PROP_INT,  PROP_INT,  PROP_INT,
                                  PROP_TEXT, PROP_BOOL, PROP_BOOL, PROP_MOUSE_POINTER};
  std::array<PropertyDescriptor, 8 + N> table{};
  for (size_t i = 0; i < 8; ++i) table[i] = Own(kCommon[i], kCommonPropertyState);
  for (size_t i = 0; i < N; ++i) table[8 + i] = own[i];
  return table;
}

struct UnitTypeFacts {
  const char* name = nullptr;  // GBK
  const char* englishName = nullptr;
  uint32_t state = 0;
  std::span<const PropertyDescriptor> properties = {};
  void* (*interfaceFunction)(int number) = nullptr;
};

// The descriptor record; description and reserved words stay zero.
constexpr UnitTypeDescriptor DescribeUnitType(const UnitTypeFacts& facts) {
  UnitTypeDescriptor descriptor{};
  descriptor.name = facts.name;
  descriptor.englishName = facts.englishName;
  descriptor.state = facts.state;
  descriptor.propertyCount = int32_t(facts.properties.size());
  descriptor.properties = facts.properties.data();
  descriptor.interfaceFunction = facts.interfaceFunction;
  return descriptor;
}

// ---- Property values -----------------------------------------------------------

inline PropertyValue WordValue(uint32_t word) { return {word, 0}; }
// Points into the string: valid while it is neither changed nor gone.
inline PropertyValue TextValue(const std::string& text) { return {0, 0, text.c_str(), uint32_t(text.size())}; }
inline PropertyValue BytesValue(std::span<const uint8_t> bytes) {
  return {0, 0, bytes.empty() ? nullptr : bytes.data(), uint32_t(bytes.size())};
}
std::string TextOf(const PropertyValue& value);
std::vector<uint8_t> BytesOf(const PropertyValue& value);
// The first word as a signed number, clamped into [low, high].
int32_t ClampedWord(const PropertyValue& value, int32_t low, int32_t high);

// The entry a pick value selects; a value outside the table selects nothing.
template <class T, size_t N>
constexpr T Pick(const T (&table)[N], int32_t value) {
  return value >= 0 && size_t(value) < N ? table[value] : T{};
}

// ---- Text visitors (operation 9) -------------------------------------------------

class TextVisit {
 public:
  TextVisit(TextVisitor visitor, void* user) : visitor_(visitor), user_(user) {}
  void operator()(std::string& text) const { visitor_(text, 0, user_); }
  // The face name of a stored 60-byte LOGFONTA, visited with flag 1; a
  // longer name is cut to the field on a character boundary.
  void FontFace(std::vector<uint8_t>& font) const;

 private:
  TextVisitor visitor_;
  void* user_;
};

// ---- The interface function ------------------------------------------------------

template <class U>
UnitObject* CreateUnit(const CreateArgs& args) {
  std::unique_ptr<U> unit;
  if constexpr (requires { U::Read(args.blob); }) {
    auto properties = U::Read(args.blob);
    if (!properties) return nullptr;
    unit = std::make_unique<U>(args, std::move(*properties));
  } else {
    unit = std::make_unique<U>(args);
  }
  return unit->Open(args) ? unit.release() : nullptr;
}

template <class U>
std::optional<std::vector<uint8_t>> VisitBlobTexts(std::span<const uint8_t> blob, TextVisitor visitor, void* user) {
  auto properties = U::Read(blob);
  if (!properties) return std::nullopt;
  U::VisitTexts(*properties, TextVisit(visitor, user));
  return U::Write(*properties);
}

template <int Number>
void* Erase(Operation<Number> operation) {
  return reinterpret_cast<void*>(operation);
}

// The interface function of unit type U: operation 1 and every operation U
// has a member for.
template <class U>
void* UnitInterface(int number) {
  switch (number) {
    case OP_CREATE: return Erase<OP_CREATE>(&CreateUnit<U>);
    case OP_SET_PROPERTY:
      if constexpr (requires(U& u, const PropertyValue& v) { u.SetProperty(0, v); })
        return Erase<OP_SET_PROPERTY>([](UnitObject* u, int i, const PropertyValue& v) { return static_cast<U*>(u)->SetProperty(i, v); });
      break;
    case OP_GET_ALL_PROPERTIES:
      if constexpr (requires(U& u) { u.Serialize(); })
        return Erase<OP_GET_ALL_PROPERTIES>([](UnitObject* u) { return static_cast<U*>(u)->Serialize(); });
      break;
    case OP_GET_PROPERTY:
      if constexpr (requires(U& u, PropertyValue* v) { u.GetProperty(0, v); })
        return Erase<OP_GET_PROPERTY>([](UnitObject* u, int i, PropertyValue* v) { return static_cast<U*>(u)->GetProperty(i, v); });
      break;
    case OP_WANTS_KEY:
      if constexpr (requires(const U& u) { u.WantsKey(0); })
        return Erase<OP_WANTS_KEY>([](UnitObject* u, int key) { return static_cast<U*>(u)->WantsKey(key); });
      break;
    case OP_TEXT_VISITOR:
      if constexpr (requires(typename U::Properties& p, const TextVisit& v) { U::VisitTexts(p, v); })
        return Erase<OP_TEXT_VISITOR>(&VisitBlobTexts<U>);
      break;
    case OP_IS_DEFAULT_BUTTON:
      if constexpr (requires(const U& u) { u.IsDefaultButton(); })
        return Erase<OP_IS_DEFAULT_BUTTON>([](UnitObject* u) { return static_cast<U*>(u)->IsDefaultButton(); });
      break;
    case OP_MESSAGE_FILTER:
      if constexpr (requires(U& u, MSG& m) { u.FilterMessage(m); })
        return Erase<OP_MESSAGE_FILTER>([](UnitObject* u, MSG& m) { return static_cast<U*>(u)->FilterMessage(m); });
      break;
  }
  return nullptr;
}

// ---- Events ----------------------------------------------------------------------

// Raises one of the unit's events with plain 32-bit arguments.
EventOutcome RaiseUnitEvent(const UnitObject& unit, int32_t event, std::initializer_list<int32_t> arguments = {});

// ---- Windows ---------------------------------------------------------------------

// Registers a window class of the runtime's own ("_QX_..."), once: the
// default window procedure (the unit object subclasses it).
void RegisterUnitClass(const wchar_t* name, UINT classStyle, HCURSOR cursor, HBRUSH background = nullptr);

// A system cursor by its IDC_ name: an integer resource ID, the same whether
// the headers spell it narrow or wide.
inline HCURSOR SystemCursor(const void* id) { return LoadCursorW(nullptr, static_cast<LPCWSTR>(id)); }

struct UnitWindow {
  const wchar_t* className;
  DWORD style = 0;  // besides WS_CHILD and the loader's style bits
  DWORD exStyle = 0;
  std::string_view text = {};
};

// Makes the unit's control, a child of args.parent with the loader's
// rectangle and control ID, created hidden (the loader shows it), and binds
// the unit to it. False when there is no window.
bool OpenUnitWindow(UnitObject& unit, const UnitWindow& window, const CreateArgs& args);

std::wstring WindowText(HWND window);
std::string WindowTextGbk(HWND window);

// The border styles the standard units share: 0 none, 1 sunken, 2 raised,
// 3 thin sunken, 4 framed, 5 single line; any other value none. The frame is
// recomputed at once.
void ApplyBorderStyle(HWND window, int32_t borderStyle);

// ---- Colours and brushes -----------------------------------------------------------

constexpr uint32_t kDefaultColor = 0xFF000000;

// 0xFF000000 stands for a system colour, the button face unless told.
COLORREF ResolveColor(uint32_t color, int systemColor = COLOR_BTNFACE);

struct GdiDeleter {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <class Handle>
using GdiPtr = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;

GdiPtr<HBRUSH> SolidBrush(uint32_t color);

// The answer to a reflected WM_CTLCOLOR* message: the unit's colours on the
// control's DC and its background brush.
LRESULT ControlColors(HDC dc, uint32_t textColor, uint32_t backColor, HBRUSH brush);

// ---- Fonts -------------------------------------------------------------------------

constexpr size_t kLogFontSize = 60;
static_assert(sizeof(LOGFONTA) == kLogFontSize);

// How a stored font is made: as stored, or for drawing with any character
// set, default precisions and pitch, and proof quality.
enum class FontMaking { AsStored, Proof };

// A unit's font: made from its stored LOGFONTA when that is exactly 60
// bytes, otherwise DEFAULT_GUI_FONT (a stock object, never deleted).
class UnitFont {
 public:
  UnitFont() = default;
  explicit UnitFont(std::span<const uint8_t> stored, FontMaking making = FontMaking::AsStored);
  HFONT get() const;

 private:
  GdiPtr<HFONT> owned_;
};

}  // namespace win
