#include "units/unit_support.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "runtime/gbk.h"

namespace units {

COLORREF ResolveColor(uint32_t color, int systemColor) {
  return color == kDefaultColor ? GetSysColor(systemColor) : COLORREF(color);
}

GdiPtr<HBRUSH> SolidBrush(uint32_t color) { return GdiPtr<HBRUSH>(CreateSolidBrush(ResolveColor(color))); }

LRESULT ControlColors(HDC dc, uint32_t textColor, uint32_t backColor, HBRUSH brush) {
  SetTextColor(dc, ResolveColor(textColor, COLOR_BTNTEXT));
  SetBkColor(dc, ResolveColor(backColor));
  return reinterpret_cast<LRESULT>(brush);
}

UnitFont::UnitFont(std::span<const uint8_t> stored) {
  if (stored.size() != kLogFontSize) return;
  LOGFONTA narrow;
  std::memcpy(&narrow, stored.data(), kLogFontSize);
  LOGFONTW wide{};
  std::memcpy(&wide, &narrow, offsetof(LOGFONTA, lfFaceName));
  // The face name need not be terminated in stored data.
  std::wstring face = rt::WideFromGbk({narrow.lfFaceName, strnlen(narrow.lfFaceName, LF_FACESIZE)});
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  std::wmemcpy(wide.lfFaceName, face.c_str(), face.size() + 1);
  owned_.reset(CreateFontIndirectW(&wide));
}

HFONT UnitFont::get() const {
  return owned_ ? owned_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

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

void RegisterUnitClass(const wchar_t* name, UINT classStyle, HCURSOR cursor) {
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
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HWND CreateUnitWindow(DWORD exStyle, const wchar_t* className, std::string_view text, DWORD style,
                      const win::CreateArgs& args) {
  // The control ID travels in the menu parameter, which is pointer-wide.
  HMENU id = reinterpret_cast<HMENU>(static_cast<intptr_t>(args.controlId));
  return CreateWindowExW(exStyle, className, rt::WideFromGbk(text).c_str(), style, args.left, args.top, args.width,
                         args.height, args.parent, id, GetModuleHandleW(nullptr), nullptr);
}

std::wstring WindowText(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

std::string WindowTextGbk(HWND window) { return rt::GbkFromWide(WindowText(window)); }

}  // namespace units
