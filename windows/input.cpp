#include "windows/input.h"

#include <cwctype>
#include <optional>
#include <string>

#include "runtime/gbk.h"
#include "windows/events.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace win {
namespace {

std::optional<int32_t> CommonEventOf(UINT message) {
  switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: return EV_KEY_DOWN;
    case WM_KEYUP: case WM_SYSKEYUP: return EV_KEY_UP;
    case WM_CHAR: return EV_CHAR;
    case WM_MOUSEMOVE: return EV_MOUSE_MOVE;
    case WM_LBUTTONDOWN: return EV_LBUTTON_DOWN;
    case WM_LBUTTONUP: return EV_LBUTTON_UP;
    case WM_LBUTTONDBLCLK: return EV_LBUTTON_DBLCLK;
    case WM_RBUTTONDOWN: return EV_RBUTTON_DOWN;
    case WM_RBUTTONUP: return EV_RBUTTON_UP;
    case WM_MOUSEWHEEL: return EV_WHEEL;
    default: return std::nullopt;
  }
}

EventOutcome Raise(uint32_t windowId, uint32_t unitId, int32_t event, const MSG& m, uint32_t keyState) {
  switch (event) {
    case EV_KEY_DOWN: case EV_KEY_UP: return RaiseSimpleEvent(windowId, unitId, event, {int32_t(m.wParam & 0x1FFF), int32_t(keyState)});
    case EV_CHAR: return RaiseSimpleEvent(windowId, unitId, event, {rt::GbkCharCode(wchar_t(m.wParam))});
    case EV_WHEEL: return RaiseSimpleEvent(windowId, unitId, event, {GET_WHEEL_DELTA_WPARAM(m.wParam) / WHEEL_DELTA, int32_t(keyState)});
    default:
      return RaiseSimpleEvent(windowId, unitId, event,
                              {int32_t(int16_t(LOWORD(m.lParam))), int32_t(int16_t(HIWORD(m.lParam))), int32_t(keyState)});
  }
}

// The target window itself must be a unit's (or the form window's) handle.
std::optional<uint32_t> UnitOfTarget(const WindowTemplate& t, HWND target) {
  for (uint32_t i = 0; i < t.units.count(); ++i)
    if (UnitObject* unit = RecordObject(t, i); unit && unit->handle() == target) return i;
  return std::nullopt;
}

bool CaptionMarks(HWND window, wchar_t key) {
  int length = GetWindowTextLengthW(window);
  std::wstring caption(size_t(length) + 1, L'\0');
  GetWindowTextW(window, caption.data(), length + 1);
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (std::towupper(caption[i + 1]) == std::towupper(key)) return true;
    ++i;  // "&&" is a literal ampersand
  }
  return false;
}

void ActOnMnemonic(WindowUnit& w, WindowTemplate& t, uint32_t index, uint32_t state) {
  HWND unit = RecordObject(t, index)->handle();
  if (state & (UNIT_LABEL_MNEMONIC | UNIT_LABEL_MNEMONIC_2)) {
    if (HWND next = GetNextDlgTabItem(w.handle(), unit, FALSE)) SetFocus(next);
    return;
  }
  if (state & UNIT_CHECK_MNEMONIC) {
    LRESULT checked = SendMessageW(unit, BM_GETCHECK, 0, 0);
    SendMessageW(unit, BM_SETCHECK, checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (state & UNIT_RADIO_MNEMONIC) {
    for (HWND sibling = GetWindow(GetParent(unit), GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT))
      if (sibling != unit && (GetWindowLongPtrW(sibling, GWL_STYLE) & 0x0F) == BS_AUTORADIOBUTTON)
        SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(unit, BM_SETCHECK, BST_CHECKED, 0);
  }
  RaiseSimpleEvent(w.windowId(), t.units.idAt(index), 0);
}

}  // namespace

bool RaiseCommonEvent(WindowTemplate& t, MSG& message, uint32_t keyState) {
  auto event = CommonEventOf(message.message);
  if (!event) return false;
  auto index = UnitOfTarget(t, message.hwnd);
  if (!index) return false;
  HWND target = message.hwnd;
  EventOutcome outcome = Raise(t.windowId, t.units.idAt(*index), *event, message, keyState);
  if (!IsWindow(target)) return true;
  if (!outcome.handled || !outcome.result) return false;
  if (*event == EV_CHAR && *outcome.result != 0) {
    message.wParam = WPARAM(rt::CharOfGbkCode(*outcome.result));
    return false;
  }
  return *outcome.result == 0;
}

bool HandleMnemonic(WindowUnit& w, WindowTemplate& t, const MSG& message) {
  wchar_t key = wchar_t(message.wParam);
  bool letterOrDigit = (key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9');
  if (!letterOrDigit || GetKeyState(VK_MENU) >= 0) return false;
  for (uint32_t i = 1; i < t.units.count(); ++i) {
    if (t.units.isMenuItem(i)) continue;
    const UnitTypeDescriptor* type = UnitTypeOf(t, i);
    UnitObject* unit = RecordObject(t, i);
    if (!type || !unit || !(type->state & kMnemonicStates) || (type->state & UNIT_WINDOWLESS)) continue;
    if (!IsWindowVisible(unit->handle()) || !IsWindowEnabled(unit->handle())) continue;
    if (!CaptionMarks(unit->handle(), key)) continue;
    ActOnMnemonic(w, t, i, type->state);
    return true;
  }
  return false;
}

}  // namespace win
