// The frame log of --frame-log: one line for each frame shown,
//   <frame number> <milliseconds since the first frame> <track position in ms, -1 when not heard>
// appended to a file so a benchmark can see, from outside, when each frame
// came and where the track was then. Written by the playback thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace player {

class FrameLog {
 public:
  // Without a path, or when the file cannot be opened, nothing is written.
  explicit FrameLog(const std::wstring& path);
  ~FrameLog();
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  bool open() const { return file_ != INVALID_HANDLE_VALUE; }
  void Write(int32_t frame, double sinceFirstMs, int32_t trackMs);

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace player
