// The MediaPlay unit type, type 6 of the multimedia library: a unit without
// a window of its own that plays one media file at a time through MCI string
// commands, under a device alias of its own. It has no properties, not even
// the common ones.
#pragma once

#include <string>

#include "windows/unit_toolkit.h"

namespace lib::multimedia {

void* MediaPlayInterface(int number);

inline constexpr win::UnitTypeDescriptor kMediaPlayType = win::DescribeUnitType({
    .name = "媒体播放",
    .englishName = "MediaPlay",
    .state = 0x80000000 | win::UNIT_WINDOWLESS | win::UNIT_VISUAL_EVENTS,
    .interfaceFunction = &MediaPlayInterface,
});

// The media player record: whatever is open is open under the alias, so
// units play independently, and destroying the record closes it.
class MediaPlayer {
 public:
  MediaPlayer();
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  // 32 lower-case hexadecimal digits of a new GUID; empty when no GUID could
  // be made, which makes every command of the unit fail.
  const std::string& alias() const { return alias_; }

 private:
  std::string alias_;
};

}  // namespace lib::multimedia
