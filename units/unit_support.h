// What the standard unit types share: property table entries, colours,
// fonts, border styles and the creation of their windows.
//
// Conventions of units/, written once here:
// - Each unit type has a plain property record with a blob reader and
//   writer, and a unit object (a win::UnitObject bound to its control) that
//   holds the record. Operation 5 writes the record.
// - An empty blob gives the type's defaults (a freshly placed unit). A blob
//   that ends inside the fields of its own version is refused; fields that
//   only a newer version has keep their defaults when an older blob lacks
//   them.
// - Numbers are kept in the record exactly as the blob holds them, so a
//   read-then-write round trip reproduces the blob; ranges are enforced
//   where a value is used.
// - Texts are GBK byte strings in records and blobs; every Win32 call uses
//   the wide API after an explicit conversion (runtime/gbk.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "windows/blob.h"
#include "windows/unit_type.h"

namespace units {

// ---- Property tables -----------------------------------------------------------

// Not interpreted at run time; kept for the design tool.
constexpr uint16_t kOwnPropertyState = 0x8000;
constexpr uint16_t kRunTimeOnlyPropertyState = 0x8008;

constexpr win::PropertyDescriptor Common(int16_t type) {
  return {nullptr, nullptr, nullptr, type, win::kCommonPropertyState, nullptr};
}
constexpr win::PropertyDescriptor Own(int16_t type, uint16_t state = kOwnPropertyState) {
  return {nullptr, nullptr, nullptr, type, state, nullptr};
}

// Operations leave the interface function as untyped pointers.
template <class Operation>
void* AsInterface(Operation operation) {
  return reinterpret_cast<void*>(operation);
}

// The entry a pick value selects; a value outside the table selects nothing.
template <class T, size_t N>
constexpr T Pick(const T (&table)[N], int32_t value) {
  return value >= 0 && size_t(value) < N ? table[value] : T{};
}

// Operations 1 and 5 for a unit class U with
//   U(const win::CreateArgs&, Properties), bool U::Open(const win::CreateArgs&),
//   std::vector<uint8_t> U::Serialize()
// and a blob reader Read: std::optional<Properties>(std::span<const uint8_t>).
// A refused blob or a control that cannot be made creates nothing.
template <class U, auto Read>
win::UnitObject* CreateUnit(const win::CreateArgs& args) {
  auto properties = Read(args.blob);
  if (!properties) return nullptr;
  auto unit = std::make_unique<U>(args, std::move(*properties));
  return unit->Open(args) ? unit.release() : nullptr;
}

template <class U>
std::vector<uint8_t> SerializeUnit(win::UnitObject* unit) {
  return static_cast<U*>(unit)->Serialize();
}

// Reads a blob that opens with its version word; readFields reads the rest
// over the defaults. An empty blob gives the defaults; a version newer than
// `newest` or a blob that ends inside its fields is refused.
template <class Properties>
std::optional<Properties> ReadVersionedBlob(std::span<const uint8_t> blob, uint32_t newest,
                                            void (*readFields)(win::BlobReader&, uint32_t version, Properties&)) {
  Properties p;
  if (blob.empty()) return p;
  win::BlobReader in(blob);
  uint32_t version = in.word();
  if (!in.ok() || version > newest) return std::nullopt;
  readFields(in, version, p);
  if (!in.ok()) return std::nullopt;
  return p;
}

// ---- Colours and brushes -------------------------------------------------------

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

// ---- Fonts -------------------------------------------------------------------

constexpr size_t kLogFontSize = 60;
static_assert(sizeof(LOGFONTA) == kLogFontSize);

// A unit's font: made from its stored LOGFONTA when that is exactly 60
// bytes, otherwise DEFAULT_GUI_FONT (a stock object, never deleted).
class UnitFont {
 public:
  UnitFont() = default;
  explicit UnitFont(std::span<const uint8_t> stored);
  HFONT get() const;

 private:
  GdiPtr<HFONT> owned_;
};

// ---- Windows -------------------------------------------------------------------

// The border styles the standard units share: 0 none, 1 sunken, 2 raised,
// 3 thin sunken, 4 framed, 5 single line; any other value none. The frame is
// recomputed at once.
void ApplyBorderStyle(HWND window, int32_t borderStyle);

// Registers a window class of the runtime's own ("_QX_..."), once: the
// default window procedure (the unit object subclasses it) and no
// background brush, since the units paint their whole client area.
void RegisterUnitClass(const wchar_t* name, UINT classStyle, HCURSOR cursor);

// A system cursor by its IDC_ name: an integer resource ID, the same whether
// the headers spell it narrow or wide.
inline HCURSOR SystemCursor(const void* id) { return LoadCursorW(nullptr, static_cast<LPCWSTR>(id)); }

// A unit's control: a child of args.parent with the loader's rectangle and
// control ID, created hidden (the loader shows it).
HWND CreateUnitWindow(DWORD exStyle, const wchar_t* className, std::string_view text, DWORD style,
                      const win::CreateArgs& args);

std::wstring WindowText(HWND window);
std::string WindowTextGbk(HWND window);

}  // namespace units
