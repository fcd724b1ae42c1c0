// When another program shows its frames, seen from outside: the moments its
// status bar's part 1 turns to "Playing...<n>Item", each with the frame
// number n, timestamped on the performance counter (which all processes
// share, so the times compare with the runner's own).
//
// Two ways to see the change, both without touching the program:
// - Events: an out-of-context WinEvent hook on the program's name and value
//   changes, which the system delivers to the watching thread as messages;
//   the text is read when one comes.
// - Poll: the text is read on a dedicated thread about once a millisecond.
// The text is read with SB_GETTEXTW into a buffer kept in the program's
// memory (the message is not marshalled across processes).
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "driver.h"

namespace bench {

enum class Observe { Events, Poll };

struct FrameTime {
  int frame;
  double ms;  // performance counter, milliseconds
};

double NowMs();

// The frame number of a "Playing...<n>Item" text; nothing for other texts.
std::optional<int> PlayingFrame(const std::wstring& text);

class FrameWatcher {
 public:
  FrameWatcher(DWORD pid, HWND statusBar, Observe how);
  ~FrameWatcher();
  FrameWatcher(const FrameWatcher&) = delete;
  FrameWatcher& operator=(const FrameWatcher&) = delete;

  // Every change of the frame number seen so far, in order.
  std::vector<FrameTime> times();
  // The last frame seen, 0 before the first.
  int lastFrame();
  // How many notifications came (Events) or reads were made (Poll).
  long looks();

 private:
  void watchEvents();
  void poll();
  void look();
  static void CALLBACK onEvent(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD);

  DWORD pid_;
  HWND bar_;
  driver::RemoteBuffer buffer_;
  std::mutex lock_;
  std::vector<FrameTime> times_;
  long looks_ = 0;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace bench
