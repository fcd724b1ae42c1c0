#include "libraries/multimedia/media_play.h"

#include <mmsystem.h>
#include <objbase.h>

#include <cstdio>
#include <memory>

#include "runtime/gbk.h"

namespace lib::multimedia {
namespace {

constexpr wchar_t kWindowClass[] = L"_QX_MediaPlay";

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

  // The unit has no properties: whatever blob the record holds is not read.
  bool Open(const win::CreateArgs& args) {
    win::RegisterUnitClass(kWindowClass, CS_DBLCLKS, nullptr);
    return win::OpenUnitWindow(*this, {kWindowClass, WS_CLIPSIBLINGS | WS_BORDER}, args);
  }

 private:
  MediaPlayer player_;  // its device is closed when the unit goes
};

}  // namespace

MediaPlayer::MediaPlayer() : alias_(NewAlias()) {}

// Nothing may be open; closing an alias that names no device just fails.
MediaPlayer::~MediaPlayer() {
  if (alias_.empty()) return;
  mciSendStringW((L"close " + rt::WideFromGbk(alias_)).c_str(), nullptr, 0, nullptr);
}

void* MediaPlayInterface(int number) { return win::UnitInterface<MediaPlay>(number); }

}  // namespace lib::multimedia
