#include "libraries/drag_drop/drop_target.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "windows/blob.h"

namespace lib::drag_drop {
namespace {

constexpr uint32_t kBlobVersion = 1;
constexpr wchar_t kWindowClass[] = L"_QX_DropTarget";

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
  using Properties = Accepts;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& accepts) { return WriteBlob(accepts); }

  DropTarget(const win::CreateArgs& args, const Accepts& accepts)
      : UnitObject(args.windowId, args.unitId), accepts_(accepts) {}

  bool Open(const win::CreateArgs& args) {
    win::RegisterUnitClass(kWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, win::SystemCursor(IDC_ARROW),
                           HBRUSH(GetStockObject(WHITE_BRUSH)));
    return win::OpenUnitWindow(*this, {kWindowClass, WS_CLIPSIBLINGS}, args);
  }

  std::vector<uint8_t> Serialize() const { return WriteBlob(accepts_); }

 private:
  Accepts accepts_;
};

}  // namespace

void* DropTargetInterface(int number) { return win::UnitInterface<DropTarget>(number); }

}  // namespace lib::drag_drop
