#include "libraries/multimedia/media_play.h"

#include <mmsystem.h>
#include <objbase.h>

#include <cstdio>
#include <memory>

#include "libraries/unit_window.h"
#include "runtime/gbk.h"

namespace lib::multimedia {
namespace {

constexpr UnitClass kWindowClass = {L"_QX_MediaPlay", CS_DBLCLKS, false, false};

// The GUID's text form (lower-case 8-4-4-4-12) without its dashes. Formatted
// here: the same text as the RPC runtime's UUID-to-string, without that DLL.
std::string NewAlias() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return {};
  char text[33];
  std::snprintf(text, sizeof text, "%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x", guid.Data1, guid.Data2,
                guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

class MediaPlay final : public win::UnitObject {
 public:
  explicit MediaPlay(const win::CreateArgs& args) : UnitObject(args.windowId, args.unitId) {}

 private:
  MediaPlayer player_;  // its device is closed when the unit goes
};

// The unit has no properties: whatever blob the record holds is not read.
win::UnitObject* Create(const win::CreateArgs& args) {
  auto unit = std::make_unique<MediaPlay>(args);
  HWND window = CreateUnitWindow(kWindowClass, WS_CLIPSIBLINGS | WS_BORDER, args);
  return BindUnitWindow(*unit, window) ? unit.release() : nullptr;
}

}  // namespace

MediaPlayer::MediaPlayer() : alias_(NewAlias()) {}

// Nothing may be open; closing an alias that names no device just fails.
MediaPlayer::~MediaPlayer() {
  if (alias_.empty()) return;
  mciSendStringW((L"close " + rt::WideFromGbk(alias_)).c_str(), nullptr, 0, nullptr);
}

void* MediaPlayInterface(int number) {
  switch (number) {
    case win::OP_CREATE: return reinterpret_cast<void*>(&Create);
    default: return nullptr;
  }
}

}  // namespace lib::multimedia
