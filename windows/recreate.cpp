#include "windows/recreate.h"

#include <vector>

#include "runtime/message_loop.h"
#include "windows/events.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace win {
namespace {

struct OldControl {
  HWND window;
  HWND parent;
  RECT rect;  // in the parent's client coordinates
  int controlId;
  DWORD style;
  bool visible;
  bool hadFocus;
};

OldControl Describe(HWND window) {
  OldControl old{window, GetParent(window)};
  GetWindowRect(window, &old.rect);
  MapWindowPoints(nullptr, old.parent, reinterpret_cast<POINT*>(&old.rect), 2);
  old.controlId = GetDlgCtrlID(window);
  old.style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
  // The unit's own shown state: IsWindowVisible would also ask about its
  // window, which is hidden until its first show.
  old.visible = (old.style & WS_VISIBLE) != 0;
  HWND focus = GetFocus();
  old.hadFocus = focus && (focus == window || IsChild(window, focus));
  return old;
}

// Directly below the nearest preceding unit of the list with the same parent.
void RestoreStacking(const WindowTemplate& t, uint32_t index, HWND window) {
  HWND after = HWND_TOP;
  for (uint32_t i = index; i-- > 1;) {
    UnitObject* previous = t.units.isMenuItem(i) ? nullptr : RecordObject(t, i);
    if (previous && previous->alive() && GetParent(previous->handle()) == GetParent(window)) {
      after = previous->handle();
      break;
    }
  }
  SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MoveChildren(HWND from, HWND to) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(from, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (HWND c : children) SetParent(c, to);
}

}  // namespace

void RecreateUnit(WindowTemplate& t, uint32_t index) {
  const UnitTypeDescriptor* type = UnitTypeOf(t, index);
  UnitObject* oldUnit = RecordObject(t, index);
  auto create = FindOperation<OP_CREATE>(type);
  auto serialize = FindOperation<OP_GET_ALL_PROPERTIES>(type);
  if (!type || (type->state & UNIT_NO_RECREATE) || !oldUnit || !create || !serialize) return;
  rt::DoEvents();
  // A handler run by those messages may have ended the unit.
  if (!oldUnit->alive()) return;
  SuppressEvents();
  HWND focusBefore = GetFocus();
  OldControl old = Describe(oldUnit->handle());
  std::vector<uint8_t> blob = serialize(oldUnit);
  CreateArgs args{blob, old.style & (WS_DISABLED | WS_TABSTOP), old.parent, old.controlId, nullptr,
                  int(old.rect.left), int(old.rect.top), int(old.rect.right - old.rect.left),
                  int(old.rect.bottom - old.rect.top), t.windowId, t.units.idAt(index)};
  UnitObject* newUnit = create(args);
  if (newUnit) {
    if (type->state & UNIT_CONTAINER) MoveChildren(old.window, newUnit->handle());
    size_t slot = t.units.unitLayout(index).objectSlot;
    ReleaseObjectSlot(t.units.word(index, slot));
    t.units.setWord(index, slot, StoreObject(newUnit));
    RestoreStacking(t, index, newUnit->handle());
    SendMessageW(newUnit->handle(), kUnitsCreatedMessage, 0, 0);
    SendMessageW(newUnit->handle(), kWindowReadyMessage, 0, 0);
    if (type->state & UNIT_BAR) SendMessageW(old.parent, kLayoutBarsMessage, 0, 0);
    if (old.visible) ShowWindow(newUnit->handle(), SW_SHOWNA);
    Registry().recreating = true;
    DestroyWindow(old.window);  // the old object deletes itself
    Registry().recreating = false;
    if (old.hadFocus) SetFocus(newUnit->handle());
    else if (focusBefore && IsWindow(focusBefore)) SetFocus(focusBefore);
  }
  rt::DoEvents();
  ResumeEvents();
}

}  // namespace win
