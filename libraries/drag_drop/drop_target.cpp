#include "libraries/drag_drop/drop_target.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "libraries/unit_window.h"
#include "windows/blob.h"

namespace lib::drag_drop {
namespace {

constexpr uint32_t kBlobVersion = 1;
constexpr UnitClass kWindowClass = {L"_QX_DropTarget", CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, true, true};

using Accepts = std::array<bool, kAcceptedFormatCount>;

// The blob: version, then one word per format in property order. An empty
// blob accepts nothing; a newer version or a truncated blob is refused.
std::optional<Accepts> ReadBlob(std::span<const uint8_t> blob) {
  Accepts accepts = {};
  if (blob.empty()) return accepts;
  win::BlobReader reader(blob);
  if (reader.word() > kBlobVersion) return std::nullopt;
  for (bool& accept : accepts) accept = reader.word() != 0;
  if (!reader.ok()) return std::nullopt;
  return accepts;
}

std::vector<uint8_t> WriteBlob(const Accepts& accepts) {
  win::BlobWriter writer;
  writer.word(kBlobVersion);
  for (bool accept : accepts) writer.word(accept);
  return writer.take();
}

class DropTarget final : public win::UnitObject {
 public:
  DropTarget(const win::CreateArgs& args, const Accepts& accepts)
      : UnitObject(args.windowId, args.unitId), accepts_(accepts) {}

  std::vector<uint8_t> Serialize() const { return WriteBlob(accepts_); }

 private:
  Accepts accepts_;
};

win::UnitObject* Create(const win::CreateArgs& args) {
  std::optional<Accepts> accepts = ReadBlob(args.blob);
  if (!accepts) return nullptr;
  auto unit = std::make_unique<DropTarget>(args, *accepts);
  HWND window = CreateUnitWindow(kWindowClass, WS_CLIPSIBLINGS, args);
  return BindUnitWindow(*unit, window) ? unit.release() : nullptr;
}

std::vector<uint8_t> GetAllProperties(win::UnitObject* unit) { return static_cast<DropTarget*>(unit)->Serialize(); }

}  // namespace

void* DropTargetInterface(int number) {
  switch (number) {
    case win::OP_CREATE: return reinterpret_cast<void*>(&Create);
    case win::OP_GET_ALL_PROPERTIES: return reinterpret_cast<void*>(&GetAllProperties);
    default: return nullptr;
  }
}

}  // namespace lib::drag_drop
