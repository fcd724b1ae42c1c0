// How the window thread and the threads of one playback meet: pause and
// stop by cooperation, never by suspending or ending a thread (a thread
// stopped inside the heap or a unit's lock would hang the program).
//
// The rules, written once here:
// - Everything a playback shows (a frame, a status text, the start of the
//   track) is a visible step, run through ShowStep. A step runs only while
//   the playback is not stopped and, unless it ignores holds, not held.
// - Hold and Stop run on the window thread and return once no step is under
//   way. Waiting there cannot deadlock: a step's runtime calls are carried
//   out on the window thread, and the wait carries them out as they come
//   (ServeWorkersUntil). So once Hold returns nothing shows until Release,
//   and once Stop returns nothing shows ever again.
// - The window thread never waits for a worker to get anywhere else.
// - Holds belong to this playback, and Release never takes them below zero.
// - The playback clock stands still while the playback is held, so paused
//   time does not count towards the frames' due times.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace player {

class PlaybackGate {
 public:
  enum class Holds { Respect, Ignore };

  PlaybackGate();
  ~PlaybackGate();
  PlaybackGate(const PlaybackGate&) = delete;
  PlaybackGate& operator=(const PlaybackGate&) = delete;

  // Window thread.
  void Hold();
  void Release();
  void Stop();

  // Worker threads. Each answers false once the playback is stopped.
  bool ShowStep(Holds holds, const std::function<void()>& step);
  bool WaitWhileHeld();
  // Waits until the playback clock reaches `dueMs`, without spinning.
  bool WaitUntil(double dueMs);
  double ClockMs();
  // Hands a text from one worker to another; Take waits for it.
  void HandOver(std::string text);
  std::optional<std::string> TakeHandedOver();

  bool stopped();
  int holds();

 private:
  class Locked;
  double ClockMsLocked() const;
  void WaitForNoStep();

  SRWLOCK lock_ = SRWLOCK_INIT;
  CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
  HANDLE noStep_;  // manual reset: set while no step is under way
  bool stopped_ = false;
  int holds_ = 0;
  int steps_ = 0;
  std::optional<std::string> handedOver_;
  int64_t origin_ = 0, heldSince_ = 0, heldTotal_ = 0;  // performance counter ticks
};

// Waits until `event` is set, carrying out meanwhile the window work that
// other threads send to this thread. Gives up after `backstopMs`: a worker
// that never finishes its step must not hang the window thread. True when
// the event was set.
bool ServeWorkersUntil(HANDLE event, DWORD backstopMs);

}  // namespace player
