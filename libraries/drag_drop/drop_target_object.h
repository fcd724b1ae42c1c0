// KDropTarget: the drop target object inside every DropTarget unit. It turns
// OLE drags onto the window its unit registered into the unit's events.
//
// - It lives exactly as long as its unit. The count starts at 1 for the
//   unit's own reference; OLE holds more while the window is registered.
//   Release never deletes it.
// - OLE calls it on the thread that registered the window (the window
//   thread), one call at a time; the unit's handlers run inside Drop while
//   the drag source waits.
// - A drag is acceptable when the data offers a format the unit accepts.
//   The effect it shows follows the keys held and what the source allows:
//   Ctrl+Shift (a link) is never granted; Ctrl asks for a copy, Shift for a
//   move; with no key, a copy, a move, then a link, whichever the source
//   allows first.
// - A drop raises one event per accepted format it delivers, in format order
//   (text 0, HTML 1, URL 2, files 3), with the data as one text; a drop that
//   carries HTML raises no text event. The source always sees the drop fail
//   (E_FAIL): it must not delete what it dragged.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shobjidl.h>

#include <memory>

#include "libraries/drag_drop/drop_target.h"
#include "windows/unit_object.h"

namespace lib::drag_drop {

class KDropTarget final : public IDropTarget {
 public:
  explicit KDropTarget(const AcceptedFormats& accepts);
  KDropTarget(const KDropTarget&) = delete;
  KDropTarget& operator=(const KDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  const AcceptedFormats& accepts() const { return accepts_; }
  void SetAccept(AcceptedFormat format, bool accept) { accepts_[format] = accept; }

  // The unit whose events drops raise; none in design mode.
  void RaiseEventsFor(win::UnitObject* unit) { source_ = unit; }

  // Stores the window, then registers it for drops. False when a window is
  // stored already, or when the registration failed; the window stays
  // stored either way.
  bool Register(HWND window);
  // Undoes a registration that succeeded, and cuts the connections other
  // processes still hold, before the object goes.
  void Revoke();

 private:
  struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
  };

  bool OffersAnAcceptedFormat(IDataObject& data) const;
  bool Deliver(IDataObject& data);

  ULONG references_ = 1;
  bool acceptable_ = false;
  std::unique_ptr<IDropTargetHelper, Releaser> dragImage_;
  HWND window_ = nullptr;
  bool registered_ = false;
  AcceptedFormats accepts_;
  win::UnitObject* source_ = nullptr;
};

}  // namespace lib::drag_drop
