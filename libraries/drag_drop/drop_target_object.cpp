#include "libraries/drag_drop/drop_target_object.h"

#include <shlguid.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "libraries/drag_drop/dropped_data.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"
#include "windows/events.h"

namespace lib::drag_drop {
namespace {

// The order in which a drag's data is searched for an accepted format.
constexpr AcceptedFormat kSearchOrder[] = {ACCEPT_TEXT, ACCEPT_FILES, ACCEPT_URL, ACCEPT_HTML};
// The order of a drop's events; a format's event number is its own number.
constexpr AcceptedFormat kDeliveryOrder[] = {ACCEPT_TEXT, ACCEPT_HTML, ACCEPT_URL, ACCEPT_FILES};

// A drop event's argument flags: its value is the address of a variable.
constexpr uint32_t kVariableAddress = 1;

// The drag image is a nicety: without the platform's helper, drags work the same.
IDropTargetHelper* CreateDragImage() {
  void* helper = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper, &helper)))
    return nullptr;
  return static_cast<IDropTargetHelper*>(helper);
}

DWORD Granted(DWORD wanted, DWORD allowed) { return allowed & wanted ? wanted : DROPEFFECT_NONE; }

DWORD EffectOf(bool acceptable, DWORD keys, DWORD allowed) {
  bool control = keys & MK_CONTROL, shift = keys & MK_SHIFT;
  if (!acceptable || (control && shift)) return DROPEFFECT_NONE;
  if (control) return Granted(DROPEFFECT_COPY, allowed);
  if (shift) return Granted(DROPEFFECT_MOVE, allowed);
  for (DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
    if (allowed & effect) return effect;
  return DROPEFFECT_NONE;
}

intptr_t Ask(int request, intptr_t parameter) { return CallRuntime<rt::LIB_DRAG_DROP>(request, parameter); }

// A copy in runtime memory; the empty text is null.
char* RuntimeCopy(const std::string& text) {
  if (text.empty()) return nullptr;
  auto* copy = reinterpret_cast<char*>(Ask(rt::REQ_ALLOC, intptr_t(text.size() + 1)));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The event's one argument is a variable holding a copy of the text; what
// the variable holds once the handler has returned is freed.
void RaiseDropEvent(const win::UnitObject& unit, int32_t event, const std::string& text) {
  char* variable = RuntimeCopy(text);
  rt::ArgRecord address;
  address.setPointer(&variable);
  win::ExtendedEventRecord record{unit.windowId(), unit.unitId(), event, 1};
  record.arguments[0] = {address.low, address.high, rt::TYPE_TEXT, kVariableAddress};
  Ask(rt::REQ_RAISE_EVENT_EXTENDED, reinterpret_cast<intptr_t>(&record));
  Ask(rt::REQ_FREE, reinterpret_cast<intptr_t>(variable));
}

}  // namespace

KDropTarget::KDropTarget(const AcceptedFormats& accepts) : dragImage_(CreateDragImage()), accepts_(accepts) {}

HRESULT KDropTarget::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget);
  *object = known ? static_cast<IDropTarget*>(this) : nullptr;
  if (!known) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG KDropTarget::AddRef() { return ++references_; }

ULONG KDropTarget::Release() { return references_ > 0 ? --references_ : 0; }

HRESULT KDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  POINT at{point.x, point.y};
  if (dragImage_) dragImage_->DragEnter(window_, data, &at, *effect);
  acceptable_ = data && OffersAnAcceptedFormat(*data);
  *effect = EffectOf(acceptable_, keys, *effect);
  return S_OK;
}

HRESULT KDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  POINT at{point.x, point.y};
  if (dragImage_) dragImage_->DragOver(&at, *effect);
  *effect = EffectOf(acceptable_, keys, *effect);
  return S_OK;
}

HRESULT KDropTarget::DragLeave() {
  if (dragImage_) dragImage_->DragLeave();
  acceptable_ = false;
  return S_OK;
}

// A drop that could not deliver all its data shows no effect. Deliver may
// end this object (a handler closed the unit's window): nothing of it is
// touched afterwards.
HRESULT KDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  POINT at{point.x, point.y};
  if (dragImage_) dragImage_->Drop(data, &at, *effect);
  *effect = EffectOf(acceptable_, keys, *effect);
  if (*effect != DROPEFFECT_NONE && data && !Deliver(*data)) *effect = DROPEFFECT_NONE;
  return E_FAIL;
}

bool KDropTarget::Register(HWND window) {
  if (window_) return false;
  window_ = window;
  registered_ = RegisterDragDrop(window, this) == S_OK;
  return registered_;
}

void KDropTarget::Revoke() {
  if (registered_) RevokeDragDrop(window_);
  registered_ = false;
  CoDisconnectObject(static_cast<IDropTarget*>(this), 0);
}

bool KDropTarget::OffersAnAcceptedFormat(IDataObject& data) const {
  return std::any_of(std::begin(kSearchOrder), std::end(kSearchOrder),
                     [&](AcceptedFormat format) { return accepts_[format] && Offers(data, format); });
}

// A handler may close the unit's window: the pin keeps the unit, and this
// object in it, until the drop is over, and no event follows the window's
// end. True when every format was delivered whole.
bool KDropTarget::Deliver(IDataObject& data) {
  win::UnitObject::Pin pin(source_);
  bool whole = true;
  for (AcceptedFormat format : kDeliveryOrder) {
    if (!source_ || !source_->alive()) break;
    if (!accepts_[format] || (format == ACCEPT_TEXT && Delivers(data, ACCEPT_HTML))) continue;
    DroppedText dropped = ReadDropped(data, format);
    whole = whole && !dropped.leftOut;
    if (dropped.text) RaiseDropEvent(*source_, format, *dropped.text);
  }
  return whole;
}

}  // namespace lib::drag_drop
