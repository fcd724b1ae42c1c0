#include "libraries/drag_drop/drop_target.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "windows/blob.h"

namespace lib::drag_drop {
namespace {

constexpr uint32_t kBlobVersion = 1;
constexpr wchar_t kWindowClass[] = L"_QX_DropTarget";

// The blob: version, then one word per format in property order. An empty
// blob accepts nothing; a newer version or a truncated blob is refused.
std::optional<AcceptedFormats> ReadBlob(std::span<const uint8_t> blob) {
  AcceptedFormats accepts = {};
  if (blob.empty()) return accepts;
  win::BlobReader reader(blob);
  if (reader.word() > kBlobVersion) return std::nullopt;
  for (bool& accept : accepts) accept = reader.word() != 0;
  if (!reader.ok()) return std::nullopt;
  return accepts;
}

std::vector<uint8_t> WriteBlob(const AcceptedFormats& accepts) {
  win::BlobWriter writer;
  writer.word(kBlobVersion);
  for (bool accept : accepts) writer.word(accept);
  return writer.take();
}

class DropTarget final : public win::UnitObject {
 public:
  using Properties = AcceptedFormats;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& accepts) { return WriteBlob(accepts); }

  DropTarget(const win::CreateArgs& args, const AcceptedFormats& accepts)
      : UnitObject(args.windowId, args.unitId), accepts_(accepts) {}

  bool Open(const win::CreateArgs& args) {
    win::RegisterUnitClass(kWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, win::SystemCursor(IDC_ARROW),
                           HBRUSH(GetStockObject(WHITE_BRUSH)));
    return win::OpenUnitWindow(*this, {kWindowClass, WS_CLIPSIBLINGS}, args);
  }

  // A flag takes effect at the next drag: nothing to re-create.
  bool SetProperty(int index, const win::PropertyValue& value) {
    if (NamesAFormat(index)) accepts_[size_t(index)] = value.first != 0;
    return false;
  }

  std::vector<uint8_t> Serialize() const { return WriteBlob(accepts_); }

  bool GetProperty(int index, win::PropertyValue* value) const {
    if (!NamesAFormat(index)) return false;
    *value = win::WordValue(accepts_[size_t(index)]);
    return true;
  }

 private:
  static bool NamesAFormat(int index) { return index >= 0 && index < kAcceptedFormatCount; }

  AcceptedFormats accepts_;
};

}  // namespace

void* DropTargetInterface(int number) { return win::UnitInterface<DropTarget>(number); }

}  // namespace lib::drag_drop
