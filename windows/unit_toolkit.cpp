#include "windows/unit_toolkit.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "runtime/gbk.h"

namespace win {

std::string TextOf(const PropertyValue& value) {
  return value.pointer ? static_cast<const char*>(value.pointer) : "";
}

std::vector<uint8_t> BytesOf(const PropertyValue& value) {
  auto* bytes = static_cast<const uint8_t*>(value.pointer);
  return bytes ? std::vector<uint8_t>(bytes, bytes + value.length) : std::vector<uint8_t>{};
}

int32_t ClampedWord(const PropertyValue& value, int32_t low, int32_t high) {
  return std::clamp(int32_t(value.first), low, high);
}

namespace {

// The bytes of a GBK text that fit in `limit` without splitting a character.
size_t WholeCharactersWithin(std::string_view text, size_t limit) {
  size_t at = 0;
  while (at < text.size()) {
    size_t width = rt::IsGbkLeadByte(uint8_t(text[at])) && at + 1 < text.size() ? 2 : 1;
    if (at + width > limit) break;
    at += width;
  }
  return at;
}

}  // namespace

void TextVisit::FontFace(std::vector<uint8_t>& font) const {
  if (font.size() != kLogFontSize) return;
  LOGFONTA stored;
  std::memcpy(&stored, font.data(), kLogFontSize);
  std::string face(stored.lfFaceName, strnlen(stored.lfFaceName, LF_FACESIZE));
  visitor_(face, 1, user_);
  std::memset(stored.lfFaceName, 0, LF_FACESIZE);
  std::memcpy(stored.lfFaceName, face.data(), WholeCharactersWithin(face, LF_FACESIZE - 1));
  std::memcpy(font.data(), &stored, kLogFontSize);
}

EventOutcome RaiseUnitEvent(const UnitObject& unit, int32_t event, std::initializer_list<int32_t> arguments) {
  return RaiseSimpleEvent(unit.windowId(), unit.unitId(), event, arguments);
}

void RegisterUnitClass(const wchar_t* name, UINT classStyle, HCURSOR cursor, HBRUSH background) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, name, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

bool OpenUnitWindow(UnitObject& unit, const UnitWindow& window, const CreateArgs& args) {
  // The control ID travels in the menu parameter, which is pointer-wide.
  HMENU id = reinterpret_cast<HMENU>(static_cast<intptr_t>(args.controlId));
  HWND handle = CreateWindowHandle(window.exStyle, window.className, rt::WideFromGbk(window.text).c_str(),
                                   WS_CHILD | args.style | window.style, args.left, args.top, args.width, args.height,
                                   args.parent, id);
  if (!handle) return false;
  unit.Subclass(handle);
  return true;
}

std::wstring WindowText(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

std::string WindowTextGbk(HWND window) { return rt::GbkFromWide(WindowText(window)); }

namespace {

constexpr DWORD kBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

struct BorderBits {
  DWORD style;
  DWORD exStyle;
};
constexpr BorderBits kBorderStyles[] = {
    {0, 0},
    {0, WS_EX_CLIENTEDGE},
    {0, WS_EX_DLGMODALFRAME},
    {0, WS_EX_STATICEDGE},
    {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},
    {WS_BORDER, 0},
};

}  // namespace

void ApplyBorderStyle(HWND window, int32_t borderStyle) {
  BorderBits bits = Pick(kBorderStyles, borderStyle);
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_STYLE, (style & ~LONG_PTR(WS_BORDER)) | LONG_PTR(bits.style));
  SetWindowLongPtrW(window, GWL_EXSTYLE, (exStyle & ~LONG_PTR(kBorderExStyles)) | LONG_PTR(bits.exStyle));
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

COLORREF ResolveColor(uint32_t color, int systemColor) {
  return color == kDefaultColor ? GetSysColor(systemColor) : COLORREF(color);
}

GdiPtr<HBRUSH> SolidBrush(uint32_t color) { return GdiPtr<HBRUSH>(CreateSolidBrush(ResolveColor(color))); }

LRESULT ControlColors(HDC dc, uint32_t textColor, uint32_t backColor, HBRUSH brush) {
  SetTextColor(dc, ResolveColor(textColor, COLOR_BTNTEXT));
  SetBkColor(dc, ResolveColor(backColor));
  return reinterpret_cast<LRESULT>(brush);
}

UnitFont::UnitFont(std::span<const uint8_t> stored, FontMaking making) {
  if (stored.size() != kLogFontSize) return;
  LOGFONTA narrow;
  std::memcpy(&narrow, stored.data(), kLogFontSize);
  LOGFONTW wide{};
  std::memcpy(&wide, &narrow, offsetof(LOGFONTA, lfFaceName));
  if (making == FontMaking::Proof) {
    wide.lfCharSet = DEFAULT_CHARSET;
    wide.lfOutPrecision = 0;
    wide.lfClipPrecision = 0;
    wide.lfQuality = PROOF_QUALITY;
    wide.lfPitchAndFamily = 0;
  }
  // The face name need not be terminated in stored data.
  std::wstring face = rt::WideFromGbk({narrow.lfFaceName, strnlen(narrow.lfFaceName, LF_FACESIZE)});
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  std::wmemcpy(wide.lfFaceName, face.c_str(), face.size() + 1);
  owned_.reset(CreateFontIndirectW(&wide));
}

HFONT UnitFont::get() const {
  return owned_ ? owned_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace win
