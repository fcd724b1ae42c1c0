#include "libraries/drag_drop/drop_target.h"

#include <optional>
#include <span>
#include <vector>

#include "libraries/arguments.h"
#include "libraries/drag_drop/drop_target_object.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"
#include "windows/blob_layouts.h"

namespace lib::drag_drop {
namespace {

constexpr wchar_t kWindowClass[] = L"_QX_DropTarget";

// The blob: version, then one word per format in property order. An empty
// blob accepts nothing; a newer version or a truncated blob is refused.
std::optional<AcceptedFormats> ReadBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::DropTarget, AcceptedFormats>(blob);
}

std::vector<uint8_t> WriteBlob(const AcceptedFormats& accepts) {
  return win::WriteVersionedBlob<win::layout::DropTarget>(accepts);
}

class DropTarget final : public win::UnitObject {
 public:
  using Properties = AcceptedFormats;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& accepts) { return WriteBlob(accepts); }

  DropTarget(const win::CreateArgs& args, const AcceptedFormats& accepts)
      : UnitObject(args.windowId, args.unitId), target_(accepts) {}

  bool Open(const win::CreateArgs& args) {
    win::RegisterUnitClass(kWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, win::SystemCursor(IDC_ARROW),
                           HBRUSH(GetStockObject(WHITE_BRUSH)));
    if (!win::OpenUnitWindow(*this, {kWindowClass, WS_CLIPSIBLINGS}, args)) return false;
    if (!args.designMode) target_.RaiseEventsFor(this);
    return true;
  }

  // A flag takes effect at the next drag: nothing to re-create.
  bool SetProperty(int index, const win::PropertyValue& value) {
    if (NamesAFormat(index)) target_.SetAccept(AcceptedFormat(index), value.first != 0);
    return false;
  }

  std::vector<uint8_t> Serialize() const { return WriteBlob(target_.accepts()); }

  bool GetProperty(int index, win::PropertyValue* value) const {
    if (!NamesAFormat(index)) return false;
    *value = win::WordValue(target_.accepts()[size_t(index)]);
    return true;
  }

  KDropTarget& target() { return target_; }

 protected:
  void OnFinalDestroy() override { target_.Revoke(); }

 private:
  static bool NamesAFormat(int index) { return index >= 0 && index < kAcceptedFormatCount; }

  KDropTarget target_;
};

// A window handle travels as a 32-bit integer; handles fit in one, sign-extended.
HWND WindowHandle(int32_t handle) { return static_cast<HWND>(LongToHandle(handle)); }

}  // namespace

void* DropTargetInterface(int number) { return win::UnitInterface<DropTarget>(number); }

KDropTarget* DropTargetObject(win::UnitObject& unit) {
  auto* dropTarget = dynamic_cast<DropTarget*>(&unit);
  return dropTarget ? &dropTarget->target() : nullptr;
}

// A unit that is not loaded ends the program (request 2007); a reference
// whose IDs name a unit of another type registers nothing.
void RegisterDropWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  *result = rt::MakeBool(false);
  auto* unit = reinterpret_cast<win::UnitObject*>(
      CallRuntime<rt::LIB_DRAG_DROP>(rt::REQ_WINDOW_OBJECT_OR_FAIL, args[0].low, args[0].high));
  KDropTarget* target = unit ? DropTargetObject(*unit) : nullptr;
  if (target) *result = rt::MakeBool(target->Register(WindowHandle(args.integer(1))));
}

}  // namespace lib::drag_drop
