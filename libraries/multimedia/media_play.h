// The MediaPlay unit type, type 6 of the multimedia library: a unit without
// a window of its own that plays one media file at a time through MCI string
// commands, under a device alias of its own. It has no properties, not even
// the common ones.
//
// Threads: this Wine's MCI knows a device only on the thread that opened it
// (another thread's command gets "invalid device name"), so every command of
// the library runs on the window thread, which opens, commands and, when the
// unit goes, closes each device. One thread also means no command ever sees a
// device another one is still opening.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "libraries/multimedia/library.h"
#include "runtime/values.h"
#include "windows/unit_toolkit.h"

namespace lib::multimedia {

void* MediaPlayInterface(int number);

inline constexpr win::UnitTypeDescriptor kMediaPlayType = win::DescribeUnitType({
    .name = "媒体播放",
    .englishName = "MediaPlay",
    .state = 0x80000000 | win::UNIT_WINDOWLESS | win::UNIT_VISUAL_EVENTS,
    .interfaceFunction = &MediaPlayInterface,
});

// What a file is taken for: the (at most) three characters after the last
// "." of its path, or its first three without one, lower-cased; the MCI
// device type they choose; and whether it counts as video (anything but
// mp3, wav, cda and mid).
struct MediaKind {
  std::string extension;
  std::string_view deviceType;
  bool video;
};
MediaKind KindOf(std::string_view path);

// The media player record: whatever is open is open under the alias, so
// units play independently, and destroying the record closes it. Each
// command's result is whether MCI accepted it; nothing else is reported.
class MediaPlayer {
 public:
  MediaPlayer();
  // With the empty alias (no GUID could be made) every command fails.
  explicit MediaPlayer(std::string alias) : alias_(std::move(alias)) {}
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  // Closes what was open, then opens the file (a GBK path).
  bool Open(std::string_view path);
  // From the current position when `from` is -1. A live video window is
  // remembered and attached first; any other handle is not looked at.
  bool Play(int32_t from, HWND videoWindow);
  // Pauses, or resumes after a pause; the choice flips even when MCI fails,
  // and only Play sets it back to pausing.
  bool Pause();
  // Stops and rewinds to the start.
  bool Stop();
  // The position in milliseconds while the device plays; -1 otherwise.
  int32_t PlayingPosition() const;

  // 32 lower-case hexadecimal digits of a new GUID, or empty.
  const std::string& alias() const { return alias_; }

 private:
  // Each true when MCI accepted the command.
  bool Send(std::string_view verb, std::string_view rest = {}) const;
  // The answer to "status <alias> <item>"; empty when MCI refused.
  std::string Status(std::string_view item) const;
  bool OpenDevice(std::string_view deviceType, std::string_view path) const;
  bool AttachWindow(HWND window) const;

  std::string alias_;
  HWND videoWindow_ = nullptr;
  bool video_ = false;
  bool paused_ = false;
};

// The player of a MediaPlay unit; null for null or any other unit.
MediaPlayer* PlayerOfUnit(win::UnitObject* unit);

// The library's commands. Argument 0 is the unit; a unit whose window is gone does nothing, and the
// result stays as the caller left it.
void StopCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
void OpenCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
void PlayCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
void PauseCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// Its result is an integer, not a logical.
void PlayingPositionCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace lib::multimedia
