#include "windows/loader.h"

#include <algorithm>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/hidden_owner.h"
#include "runtime/library_registry.h"
#include "runtime/message_loop.h"
#include "runtime/state.h"
#include "windows/events.h"
#include "windows/menu.h"
#include "windows/window_unit.h"

namespace win {
namespace {

constexpr int kFirstControlId = 100;
constexpr int kControlIdStep = 10;

struct RecordRect {
  int left, top, width, height;
};

RecordRect RectOf(const UnitList& units, uint32_t index, const UnitRecordLayout& l) {
  return {int(units.word(index, l.geometry[0])), int(units.word(index, l.geometry[1])),
          int(units.word(index, l.geometry[2])), int(units.word(index, l.geometry[3]))};
}

// Everything one load creates, so that a failure can take it back.
class Load {
 public:
  Load(WindowTemplate& t, bool modal, HWND owner) : t_(t), modal_(modal), owner_(owner) {}

  // The caller has pumped pending messages (request 2009's first half).
  bool run() {
    SuppressEvents();
    t_.snapshot = t_.units;
    menu_ = BuildMenu(t_.units);
    if (!createAll()) return fail();
    fixParents();
    fixStacking();
    createCursors();
    sendToUnits(kUnitsCreatedMessage);
    SendMessageW(window_->handle(), kLayoutBarsMessage, 0, 0);
    showUnits();
    window_->SetAccelerators(menu_.accelerators);
    rt::DoEvents();
    ResumeEvents();
    return finish();
  }

 private:
  UnitList& units() { return t_.units; }

  bool createAll() {
    if (!createRecord(0, owner_, menu_.bar)) return false;
    int controlId = kFirstControlId;
    for (uint32_t i = units().count(); i-- > 1;) {
      if (units().isMenuItem(i)) continue;
      if (!createRecord(i, window_->handle(), nullptr, controlId)) return false;
      controlId += kControlIdStep;
    }
    return true;
  }

  bool createRecord(uint32_t index, HWND parent, HMENU menu, int controlId = 0) {
    const UnitTypeDescriptor* type = UnitTypeOf(t_, index);
    auto create = FindOperation<OP_CREATE>(type);
    if (!create) return false;
    UnitRecordLayout layout = units().unitLayout(index);
    uint32_t flags = units().word(index, layout.flags);
    DWORD style = 0;
    bool visible = false;
    if (!(type->state & UNIT_WINDOWLESS)) {
      style = (flags & RECORD_DISABLED ? WS_DISABLED : 0) | (flags & RECORD_TABSTOP ? WS_TABSTOP : 0);
      visible = flags & RECORD_VISIBLE;
    }
    RecordRect r = RectOf(units(), index, layout);
    std::vector<uint8_t> blob(units().blob(index).begin(), units().blob(index).end());
    CreateArgs args{blob, style, parent, controlId, menu, r.left, r.top, r.width, r.height, t_.windowId, units().idAt(index)};
    if (index == 0) Registry().modalCreation = modal_;
    UnitObject* object = create(args);
    Registry().modalCreation = false;
    if (!object) return false;
    units().setWord(index, layout.objectSlot, StoreObject(object));
    created_.push_back({index, visible});
    if (index != 0) return true;
    t_.loadedOnce = true;
    menu_.bar = nullptr;  // the window holds it now and destroys it with itself
    window_ = WindowUnit::From(object);
    return window_ && window_->alive();
  }

  // Units naming a container go into it; pages after the first start hidden.
  void fixParents() {
    for (uint32_t i = 1; i < units().count(); ++i) {
      if (units().isMenuItem(i)) continue;
      UnitRecordLayout layout = units().unitLayout(i);
      uint32_t parentId = units().word(i, layout.parent);
      auto parent = parentId ? units().indexOf(parentId) : std::nullopt;
      UnitObject* container = parent ? RecordObject(t_, *parent) : nullptr;
      SetParent(RecordObject(t_, i)->handle(), container ? container->handle() : window_->handle());
      hideLaterPages(i, layout);
    }
  }

  void hideLaterPages(uint32_t index, const UnitRecordLayout& layout) {
    uint32_t count = units().word(index, layout.childCount);
    bool laterPage = false;
    for (uint32_t c = 0; c < count; ++c) {
      uint32_t child = units().word(index, layout.childIds + 4 * c);
      if (child == 0) laterPage = true;
      else if (laterPage) markHidden(child);
    }
  }

  void markHidden(uint32_t unitId) {
    auto index = units().indexOf(unitId);
    for (auto& c : created_)
      if (index && c.index == *index) c.visible = false;
  }

  void fixStacking() {
    std::vector<std::pair<HWND, HWND>> placed;  // (parent, window) in list order
    for (uint32_t i = 1; i < units().count(); ++i) {
      if (units().isMenuItem(i)) continue;
      HWND unit = RecordObject(t_, i)->handle();
      HWND parent = GetParent(unit);
      auto above = std::find_if(placed.rbegin(), placed.rend(), [&](auto& p) { return p.first == parent; });
      HWND after = above == placed.rend() ? HWND_TOP : above->second;
      SetWindowPos(unit, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      placed.push_back({parent, unit});
    }
  }

  void createCursors() {
    for (uint32_t i = 0; i < units().count(); ++i) {
      if (units().isMenuItem(i)) continue;
      UnitRecordLayout layout = units().unitLayout(i);
      uint32_t length = units().word(i, layout.pointerLength);
      auto data = units().body(i).subspan(layout.pointerData, length);
      units().setWord(i, layout.cursorSlot, length ? StoreCursor(CursorFromPointerData(data)) : 0);
    }
  }

  void sendToUnits(UINT message) {
    for (uint32_t i = units().count(); i-- > 0;)
      if (UnitObject* unit = RecordObject(t_, i); unit && unit->alive()) SendMessageW(unit->handle(), message, 0, 0);
  }

  void showUnits() {
    for (auto& c : created_)
      if (c.index != 0) ShowWindow(RecordObject(t_, c.index)->handle(), c.visible ? SW_SHOWNA : SW_HIDE);
  }

  // A handler may destroy the window it was loaded for; the pin keeps the
  // object readable, and what is left to do only happens while it lives.
  // The load itself has succeeded either way.
  bool finish() {
    UnitObject::Pin pin(window_);
    uint32_t id = t_.windowId;
    for (int32_t event : {WE_CREATED, WE_MOVED, WE_RESIZED})
      if (window_->alive()) RaiseSimpleEvent(id, 0, event);
    if (!window_->alive()) return true;
    if (modal_) window_->BeginModal();
    HWND focus = GetFocus();
    sendToUnits(kWindowReadyMessage);
    if (GetFocus() != focus && focus && IsWindow(focus)) SetFocus(focus);
    window_->SetFirstShowPending();
    return true;
  }

  // Takes back what the load made: a created window is destroyed with its
  // units (which puts the snapshot back); otherwise the snapshot is dropped.
  // Events stay suppressed meanwhile: a window that never loaded has no
  // handler to tell of its end.
  bool fail() {
    if (menu_.accelerators && !(window_ && window_->accelerators() == menu_.accelerators))
      DestroyAcceleratorTable(menu_.accelerators);
    if (window_ && window_->alive()) DestroyWindow(window_->handle());
    else dropUnits();
    ResumeEvents();
    return false;
  }

  void dropUnits() {
    for (auto& c : created_)
      if (UnitObject* unit = RecordObject(t_, c.index); unit && unit->alive()) DestroyWindow(unit->handle());
    // A creation that failed inside the window's own creation messages has
    // destroyed the menu with the half-made window.
    if (menu_.bar && IsMenu(menu_.bar)) DestroyMenu(menu_.bar);
    if (t_.snapshot) t_.units = std::move(*t_.snapshot);
    t_.snapshot.reset();
  }

  struct Created {
    uint32_t index;
    bool visible;
  };
  WindowTemplate& t_;
  bool modal_;
  HWND owner_;
  BuiltMenu menu_;
  WindowUnit* window_ = nullptr;
  std::vector<Created> created_;
};

void QuitWhenNoWindowLeft() {
  if (rt::State().started && Registry().loadsUnderway == 0 && !AnyLoadedWindowAlive()) PostQuitMessage(0);
}

struct LoadUnderway {
  LoadUnderway() { ++Registry().loadsUnderway; }
  ~LoadUnderway() {
    --Registry().loadsUnderway;
    QuitWhenNoWindowLeft();
  }
};

bool WindowRecordVisible(const WindowTemplate& t) {
  return t.units.word(0, t.units.unitLayout(0).flags) & RECORD_VISIBLE;
}

// A live instance that is not pending close is brought forward and stays
// the only one; one pending close is destroyed to be loaded anew.
bool BringForwardLoaded(WindowTemplate& t) {
  auto* loaded = WindowUnit::From(LoadedWindow(t));
  if (!loaded) return false;
  if (loaded->closing()) {
    loaded->DestroyNow();
    return false;
  }
  if (IsIconic(loaded->handle())) ShowWindow(loaded->handle(), SW_RESTORE);
  else SetActiveWindow(loaded->handle());
  return true;
}

}  // namespace

// The messages pumped before the load may run handlers that load this very
// window: it is looked for again after them.
bool LoadWindow(WindowTemplate& t, bool modal, HWND owner) {
  LoadUnderway underway;
  if (BringForwardLoaded(t)) return true;
  if (modal) owner = nullptr;
  else if (owner && !IsWindow(owner)) return false;
  rt::DoEvents();
  if (BringForwardLoaded(t)) return true;
  return Load(t, modal, owner).run();
}

intptr_t LoadWindowRequest(const LoadRequest& request) {
  WindowTemplate* t = FindTemplate(request.windowId);
  HWND owner = request.owner ? request.owner->handle() : nullptr;
  if (!t || !LoadWindow(*t, request.modal != 0, owner)) return -1;
  auto* window = WindowUnit::From(LoadedWindow(*t));
  if (window && WindowRecordVisible(*t)) window->Show();
  return 0;
}

void LoadStartWindow(uint32_t windowId) {
  WindowTemplate* t = FindTemplate(windowId);
  if (!t || !LoadWindow(*t, false, nullptr)) rt::ReportFatalError("载入启动窗口失败");
  auto* window = WindowUnit::From(LoadedWindow(*t));
  if (window && WindowRecordVisible(*t)) window->Show();
}

UnitLocation Locate(uint32_t windowId, uint32_t unitId) {
  WindowTemplate* t = FindTemplate(windowId);
  if (!t) return {nullptr, 0};
  auto index = t->units.indexOf(unitId);
  return index ? UnitLocation{t, *index} : UnitLocation{nullptr, 0};
}

UnitObject* LiveUnitObject(uint32_t windowId, uint32_t unitId) {
  UnitLocation at = Locate(windowId, unitId);
  if (!at.window) return nullptr;
  UnitObject* unit = RecordObject(*at.window, at.index);
  return unit && unit->alive() ? unit : nullptr;
}

bool WindowGoneForWorker(uint32_t windowId) {
  WindowTemplate* t = FindTemplate(windowId);
  bool forWorker = GetCurrentThreadId() != rt::State().mainThreadId || rt::RunningCarriedWork();
  return t && t->loadedOnce && forWorker && !LoadedWindow(*t);
}

UnitObject* RequireUnitObject(uint32_t windowId, uint32_t unitId) {
  UnitObject* unit = LiveUnitObject(windowId, unitId);
  if (!unit && !WindowGoneForWorker(windowId)) rt::ReportFatalError("指定窗口或窗口组件不存在或尚未载入");
  return unit;
}

UnitObject::Pin PinLiveUnit(uint32_t windowId, uint32_t unitId) {
  std::optional<UnitObject::Pin> pin;
  rt::RunOnMainThread([&] { pin.emplace(RequireUnitObject(windowId, unitId)); });
  return pin ? std::move(*pin) : UnitObject::Pin(nullptr);
}

// A unit's end clears its slots (the object deletes itself); the window's
// end also puts the unit list back as it was when the load began and ends
// every modal loop waiting for it.
void ForgetUnit(uint32_t windowId, uint32_t unitId) {
  UnitLocation at = Locate(windowId, unitId);
  if (!at.window || at.window->units.isMenuItem(at.index)) return;
  WindowTemplate& t = *at.window;
  UnitRecordLayout layout = t.units.unitLayout(at.index);
  ReleaseCursorSlot(t.units.word(at.index, layout.cursorSlot));
  t.units.setWord(at.index, layout.cursorSlot, 0);
  ReleaseObjectSlot(t.units.word(at.index, layout.objectSlot));
  t.units.setWord(at.index, layout.objectSlot, 0);
  if (at.index != 0) return;
  if (t.snapshot) t.units = std::move(*t.snapshot);
  t.snapshot.reset();
  EndModalWaits(windowId);
  QuitWhenNoWindowLeft();
}

uint32_t UnitTypeCodeOf(const UnitObject& unit) {
  UnitLocation at = Locate(unit.windowId(), unit.unitId());
  return at.window ? at.window->units.word(at.index, 0) : 0;
}

intptr_t WindowUnitKind(uint32_t typeCode) {
  const UnitTypeDescriptor* type = FindUnitType(typeCode);
  if (!type) return 0;
  if (type->state & UNIT_MENU_EVENTS) return 2;
  return (type->state & UNIT_NO_RECREATE) ? 1 : 0;
}

HWND TemplateWindowHandle(size_t index) {
  auto& templates = Templates();
  if (index >= templates.size()) return nullptr;
  UnitObject* window = LoadedWindow(templates[index]);
  return window ? window->handle() : nullptr;
}

}  // namespace win
