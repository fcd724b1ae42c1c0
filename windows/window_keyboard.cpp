#include "windows/window_keyboard.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/state.h"
#include "windows/events.h"
#include "windows/input.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace win {
namespace {

struct FocusUnit {
  uint32_t index;
  HWND window;
};

bool CanHoldFocus(const WindowTemplate& t, uint32_t index, UnitObject* unit) {
  const UnitTypeDescriptor* type = UnitTypeOf(t, index);
  if (!unit || !type || (type->state & UNIT_WINDOWLESS)) return false;
  HWND h = unit->handle();
  return IsWindowVisible(h) && IsWindowEnabled(h) && (GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP);
}

// Units in tab order (their tab-order word, then list order).
std::vector<FocusUnit> TabOrder(WindowTemplate& t) {
  std::vector<std::pair<uint32_t, FocusUnit>> ordered;
  for (uint32_t i = 1; i < t.units.count(); ++i) {
    if (t.units.isMenuItem(i)) continue;
    UnitObject* unit = RecordObject(t, i);
    if (!CanHoldFocus(t, i, unit)) continue;
    ordered.push_back({t.units.word(i, t.units.unitLayout(i).tabOrder), {i, unit->handle()}});
  }
  std::stable_sort(ordered.begin(), ordered.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::vector<FocusUnit> units;
  for (auto& entry : ordered) units.push_back(entry.second);
  return units;
}

std::optional<uint32_t> FocusedIndex(WindowTemplate& t) {
  HWND focus = GetFocus();
  return focus ? UnitIndexOfHandle(t, focus) : std::nullopt;
}

bool MoveFocus(WindowTemplate& t, int step) {
  std::vector<FocusUnit> order = TabOrder(t);
  if (order.empty()) return false;
  auto focused = FocusedIndex(t);
  auto at = std::find_if(order.begin(), order.end(), [&](const FocusUnit& u) { return focused && u.index == *focused; });
  ptrdiff_t n = ptrdiff_t(order.size());
  ptrdiff_t next = at == order.end() ? (step > 0 ? 0 : n - 1) : ((at - order.begin()) + step + n) % n;
  SetFocus(order[size_t(next)].window);
  return true;
}

uint32_t KeyState() {
  return (GetKeyState(VK_CONTROL) < 0 ? 1u : 0u) | (GetKeyState(VK_SHIFT) < 0 ? 2u : 0u) |
         (GetKeyState(VK_MENU) < 0 ? 4u : 0u);
}

// A key the focused control handles itself: its unit type says so, or the
// control asks for arrow keys (edit boxes move their caret with them).
bool FocusedUnitWantsKey(WindowTemplate& t, WPARAM key, const MSG& message) {
  auto index = FocusedIndex(t);
  if (!index) return false;
  UnitObject* unit = RecordObject(t, *index);
  if (auto wants = FindOperation<OP_WANTS_KEY>(UnitTypeOf(t, *index)); wants && wants(unit, int(key)))
    return true;
  bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
  MSG copy = message;
  return arrow && (SendMessageW(GetFocus(), WM_GETDLGCODE, key, LPARAM(&copy)) & DLGC_WANTARROWS);
}

bool IsDefaultButton(WindowTemplate& t, uint32_t index) {
  const UnitTypeDescriptor* type = UnitTypeOf(t, index);
  UnitObject* unit = RecordObject(t, index);
  if (!type || !unit || !(type->state & UNIT_BUTTON_MNEMONIC) || !IsWindowEnabled(unit->handle())) return false;
  auto isDefault = FindOperation<OP_IS_DEFAULT_BUTTON>(type);
  return isDefault && isDefault(unit);
}

bool OnEnter(WindowUnit& w, WindowTemplate& t) {
  auto focused = FocusedIndex(t);
  if (focused && IsDefaultButton(t, *focused)) {
    RaiseSimpleEvent(w.windowId(), t.units.idAt(*focused), 0);
    return true;
  }
  if (w.properties().enterMovesFocus) return MoveFocus(t, 1), true;
  for (uint32_t i = 1; i < t.units.count(); ++i) {
    if (t.units.isMenuItem(i) || !IsDefaultButton(t, i)) continue;
    RaiseSimpleEvent(w.windowId(), t.units.idAt(i), 0);
    return true;
  }
  return false;
}

std::wstring HelpFilePath(const WindowProperties& p) {
  if (!p.helpFile.empty()) return rt::WideFromGbk(p.helpFile);
  const rt::RuntimeState& state = rt::State();
  std::string path = state.directoryWithBackslash + state.fileName;
  size_t dot = path.rfind('.');
  return rt::WideFromGbk((dot == std::string::npos ? path : path.substr(0, dot)) + ".hlp");
}

bool OnF1(WindowUnit& w) {
  const WindowProperties& p = w.properties();
  if (!p.f1OpensHelp) return false;
  std::wstring file = HelpFilePath(p);
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  if (p.helpContext) WinHelpW(w.handle(), file.c_str(), HELP_CONTEXT, p.helpContext);
  else WinHelpW(w.handle(), file.c_str(), HELP_FINDER, 0);
  w.NoteHelpOpened();
  return true;
}

bool OnKeyDown(WindowUnit& w, WindowTemplate& t, MSG& message) {
  WPARAM key = message.wParam;
  if (FocusedUnitWantsKey(t, key, message)) return false;
  switch (key) {
    case VK_TAB: return MoveFocus(t, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    case VK_RETURN: return OnEnter(w, t);
    case VK_ESCAPE:
      if (!w.properties().escCloses) return false;
      SendMessageW(w.handle(), WM_CLOSE, 0, 0);
      return true;
    case VK_LEFT: case VK_UP: return MoveFocus(t, -1);
    case VK_RIGHT: case VK_DOWN: return MoveFocus(t, 1);
    case VK_F1: return OnF1(w);
    default: return false;
  }
}

bool OnDragAnywhere(WindowUnit& w, WindowTemplate& t, const MSG& message) {
  if (!w.properties().dragAnywhere) return false;
  bool onClient = message.hwnd == w.handle();
  auto index = onClient ? std::nullopt : UnitIndexOfHandle(t, message.hwnd);
  const UnitTypeDescriptor* type = index ? UnitTypeOf(t, *index) : nullptr;
  if (!onClient && !(type && (type->state & UNIT_DRAGS_WINDOW))) return false;
  ReleaseCapture();
  PostMessageW(w.handle(), WM_NCLBUTTONDOWN, HTCAPTION, message.lParam);
  return true;
}

bool RunMessageFilters(WindowTemplate& t, MSG& message) {
  for (uint32_t i = 1; i < t.units.count(); ++i) {
    if (t.units.isMenuItem(i)) continue;
    const UnitTypeDescriptor* type = UnitTypeOf(t, i);
    if (!type || !(type->state & UNIT_MESSAGE_FILTER)) continue;
    auto filter = FindOperation<OP_MESSAGE_FILTER>(type);
    if (filter && filter(RecordObject(t, i), message)) return true;
  }
  return false;
}

}  // namespace

HWND FirstFocusUnit(WindowUnit& window) {
  std::vector<FocusUnit> order = TabOrder(window.windowTemplate());
  return order.empty() ? nullptr : order.front().window;
}

bool PreTranslateWindowMessage(WindowUnit& w, MSG& message) {
  bool keyboard = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
  if (keyboard && !IsWindowEnabled(message.hwnd)) return true;
  if (w.accelerators() && TranslateAcceleratorW(w.handle(), w.accelerators(), &message)) return true;
  WindowTemplate& t = w.windowTemplate();
  if (RunMessageFilters(t, message)) return true;
  if (message.message == WM_KEYDOWN && OnKeyDown(w, t, message)) return true;
  if (message.message == WM_SYSKEYDOWN && !FocusedUnitWantsKey(t, message.wParam, message) &&
      HandleMnemonic(w, t, message))
    return true;
  if (message.message == WM_LBUTTONDOWN && OnDragAnywhere(w, t, message)) return true;
  return RaiseCommonEvent(t, message, KeyState());
}

}  // namespace win
