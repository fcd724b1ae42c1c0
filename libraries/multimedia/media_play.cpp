#include "libraries/multimedia/media_play.h"

#include <mmsystem.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "libraries/arguments.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"
#include "runtime/gbk.h"

namespace lib::multimedia {
namespace {

constexpr wchar_t kWindowClass[] = L"_QX_MediaPlay";

struct DeviceRow {
  std::string_view extension;
  std::string_view deviceType;
};

// rm, ra, mp3 and ram are MPEGvideo files, like every extension not listed.
constexpr DeviceRow kDeviceTypes[] = {
    {"avi", "avivideo"},   {"wav", "waveaudio"},  {"cda", "cdaudio"},    {"mid", "Sequencer"},
    {"rmi", "Sequencer"},  {"idi", "Sequencer"},  {"asf", "MPEGvideo2"}, {"wma", "MPEGvideo2"},
    {"asx", "MPEGvideo2"}, {"ivf", "MPEGvideo2"}, {"lsf", "MPEGvideo2"}, {"lsx", "MPEGvideo2"},
    {"p2v", "MPEGvideo2"}, {"wax", "MPEGvideo2"}, {"wvx", "MPEGvideo2"}, {"wmx", "MPEGvideo2"},
    {"wmp", "MPEGvideo2"},
};
constexpr std::string_view kDefaultDeviceType = "MPEGvideo";
constexpr std::string_view kAudioExtensions[] = {"mp3", "wav", "cda", "mid"};

// Bytes, not characters: GBK never uses "." as a trail byte, and only ASCII
// letters are lower-cased, so a two-byte character cut in half is harmless.
std::string ExtensionOf(std::string_view path) {
  size_t dot = path.rfind('.');
  std::string extension(dot == path.npos ? path.substr(0, 3) : path.substr(dot + 1, 3));
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return extension;
}

std::string_view DeviceTypeOf(std::string_view extension) {
  auto row = std::ranges::find(kDeviceTypes, extension, &DeviceRow::extension);
  return row == std::end(kDeviceTypes) ? kDefaultDeviceType : row->deviceType;
}

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

  MediaPlayer& player() { return player_; }

 private:
  MediaPlayer player_;  // its device is closed when the unit goes
};

// The player of the unit a command names; null when its window is gone (a
// worker's call while the program closes).
MediaPlayer* PlayerOf(const rt::ArgRecord& unit) {
  intptr_t object = CallRuntime<rt::LIB_MULTIMEDIA>(rt::REQ_WINDOW_OBJECT_OR_FAIL, unit.low, unit.high);
  return PlayerOfUnit(reinterpret_cast<win::UnitObject*>(object));
}

using Action = bool (*)(MediaPlayer&, const lib::Arguments&);

template <Action Act>
void RunOnPlayer(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  if (MediaPlayer* player = PlayerOf(args[0])) *result = rt::MakeBool(Act(*player, args));
}

bool StopPlayer(MediaPlayer& player, const lib::Arguments&) { return player.Stop(); }
bool OpenFile(MediaPlayer& player, const lib::Arguments& args) { return player.Open(args.text(1)); }
bool PauseOrResume(MediaPlayer& player, const lib::Arguments&) { return player.Pause(); }

// The video window is a handle as an integer, or omitted (null).
bool PlayFrom(MediaPlayer& player, const lib::Arguments& args) {
  auto videoWindow = static_cast<HWND>(LongToHandle(args.optionalInteger(2).value_or(0)));
  return player.Play(args.integer(1), videoWindow);
}

}  // namespace

MediaKind KindOf(std::string_view path) {
  std::string extension = ExtensionOf(path);
  std::string_view deviceType = DeviceTypeOf(extension);
  bool video = std::ranges::find(kAudioExtensions, extension) == std::end(kAudioExtensions);
  return {std::move(extension), deviceType, video};
}

MediaPlayer::MediaPlayer() : alias_(NewAlias()) {}

// Nothing may be open; closing an alias that names no device just fails.
MediaPlayer::~MediaPlayer() { Send("close"); }

// "verb alias rest"; never sent without an alias, which would name no
// device of this unit.
bool MediaPlayer::Send(std::string_view verb, std::string_view rest) const {
  if (alias_.empty()) return false;
  std::string command = std::string(verb) + ' ' + alias_;
  if (!rest.empty()) command.append(" ").append(rest);
  return mciSendStringW(rt::WideFromGbk(command).c_str(), nullptr, 0, nullptr) == 0;
}

// Opened through the command message rather than a string: the path needs no
// quoting, whatever it holds.
bool MediaPlayer::OpenDevice(std::string_view deviceType, std::string_view path) const {
  if (alias_.empty()) return false;
  std::wstring type = rt::WideFromGbk(deviceType), element = rt::WideFromGbk(path), alias = rt::WideFromGbk(alias_);
  MCI_OPEN_PARMSW open{};
  open.lpstrDeviceType = type.c_str();
  open.lpstrElementName = element.c_str();
  open.lpstrAlias = alias.c_str();
  return mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS, DWORD_PTR(&open)) == 0;
}

bool MediaPlayer::AttachWindow(HWND window) const {
  return Send("window", "handle " + std::to_string(HandleToLong(window)));
}

bool MediaPlayer::Open(std::string_view path) {
  Send("close");
  MediaKind kind = KindOf(path);
  video_ = kind.video;
  bool opened = OpenDevice(kind.deviceType, path);
  if (video_ && videoWindow_) AttachWindow(videoWindow_);
  return opened;
}

bool MediaPlayer::Play(int32_t from, HWND videoWindow) {
  paused_ = false;
  bool windowAttached = true;
  if (videoWindow && IsWindow(videoWindow)) {
    videoWindow_ = videoWindow;
    windowAttached = AttachWindow(videoWindow);
  }
  bool played = from == -1 ? Send("play") : Send("play", "from " + std::to_string(from));
  return windowAttached && played;
}

bool MediaPlayer::Pause() {
  std::string_view verb = paused_ ? "resume" : "pause";
  paused_ = !paused_;
  return Send(verb);
}

bool MediaPlayer::Stop() {
  if (!Send("stop")) return false;
  Send("seek", "to start");
  return true;
}

int32_t MediaPlayer::PlayingPosition() const {
  if (Status("mode") != "playing") return -1;
  std::string position = Status("position");
  return position.empty() ? -1 : std::atoi(position.c_str());
}

std::string MediaPlayer::Status(std::string_view item) const {
  if (alias_.empty()) return {};
  std::wstring command = rt::WideFromGbk("status " + alias_ + ' ' + std::string(item));
  wchar_t answer[64] = {};
  if (mciSendStringW(command.c_str(), answer, DWORD(std::size(answer)), nullptr) != 0) return {};
  return rt::GbkFromWide(answer);
}

MediaPlayer* PlayerOfUnit(win::UnitObject* unit) {
  auto* mediaPlay = dynamic_cast<MediaPlay*>(unit);
  return mediaPlay ? &mediaPlay->player() : nullptr;
}

void StopCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  RunOnPlayer<StopPlayer>(result, count, arguments);
}
void OpenCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  RunOnPlayer<OpenFile>(result, count, arguments);
}
void PlayCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  RunOnPlayer<PlayFrom>(result, count, arguments);
}
void PauseCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  RunOnPlayer<PauseOrResume>(result, count, arguments);
}

void PlayingPositionCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  if (MediaPlayer* player = PlayerOf(args[0])) *result = rt::MakeInt(player->PlayingPosition());
}

void* MediaPlayInterface(int number) { return win::UnitInterface<MediaPlay>(number); }

}  // namespace lib::multimedia
