// When another program shows its frames, seen from outside: the moments its
// status bar's part 1 turns to "Playing...<n>Item", each with the frame
// number n, timestamped on the performance counter (which all processes
// share, so the times compare with the runner's own).
//
// The text is read on a dedicated thread every pollMs (1: about once a
// millisecond), with
// SB_GETTEXTW into a buffer kept in the program's memory (the message is not
// marshalled across processes). An out-of-context WinEvent hook would cost
// the program nothing, but this Wine's status bar raises no name or value
// change events, so the hook never hears of a frame.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "clock.h"
#include "driver.h"

namespace bench {

struct FrameTime {
  int frame;
  double ms;  // performance counter, milliseconds
};

// The frame number of a "Playing...<n>Item" text; nothing for other texts.
std::optional<int> PlayingFrame(const std::wstring& text);

class FrameWatcher {
 public:
  // Each read is a message the program's window thread answers: a watcher
  // that measures the program's own cost reads seldom.
  FrameWatcher(HWND statusBar, DWORD pollMs);
  ~FrameWatcher();
  FrameWatcher(const FrameWatcher&) = delete;
  FrameWatcher& operator=(const FrameWatcher&) = delete;

  // Every change of the frame number seen so far, in order.
  std::vector<FrameTime> times();
  // The last frame seen, 0 before the first.
  int lastFrame();
  // How many reads were made.
  long looks();

 private:
  void poll();
  void look();

  HWND bar_;
  DWORD pollMs_;
  driver::RemoteBuffer buffer_;
  std::mutex lock_;
  std::vector<FrameTime> times_;
  long looks_ = 0;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace bench
