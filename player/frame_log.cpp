#include "player/frame_log.h"

#include <cstdio>

namespace player {

FrameLog::FrameLog(const std::wstring& path) {
  if (path.empty()) return;
  file_ = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FrameLog::~FrameLog() {
  if (open()) CloseHandle(file_);
}

void FrameLog::Write(int32_t frame, double sinceFirstMs, int32_t trackMs) {
  if (!open()) return;
  char line[64];
  int length = std::snprintf(line, sizeof line, "%ld %.3f %ld\r\n", long(frame), sinceFirstMs, long(trackMs));
  DWORD written = 0;
  WriteFile(file_, line, DWORD(length), &written, nullptr);
}

}  // namespace player
