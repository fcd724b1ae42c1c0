#include "player/playback_gate.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace player {
namespace {

// Long enough for any step (opening a track takes under a second); only a
// fault ever reaches it.
constexpr DWORD kStepBackstopMs = 10000;

// The longest single wait for a due time. A wait the system's millisecond
// count cannot hold (infinite, or beyond 2^32 ms) is cut into waits of this
// length rather than converted, which would wrap to a short or zero wait
// and spin.
constexpr double kLongestDueWaitMs = 3600e3;

int64_t CounterNow() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double CounterTicksPerMs() {
  static const double perMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(frequency.QuadPart) / 1000.0;
  }();
  return perMs;
}

}  // namespace

class PlaybackGate::Locked {
 public:
  explicit Locked(PlaybackGate& gate) : gate_(gate) { AcquireSRWLockExclusive(&gate_.lock_); }
  ~Locked() { ReleaseSRWLockExclusive(&gate_.lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  // Waits for a change, at most `ms`.
  void Wait(DWORD ms = INFINITE) { SleepConditionVariableSRW(&gate_.changed_, &gate_.lock_, ms, 0); }

 private:
  PlaybackGate& gate_;
};

PlaybackGate::PlaybackGate() : noStep_(CreateEventW(nullptr, TRUE, TRUE, nullptr)), origin_(CounterNow()) {}

PlaybackGate::~PlaybackGate() { CloseHandle(noStep_); }

void PlaybackGate::Hold() {
  {
    Locked locked(*this);
    if (holds_++ == 0) heldSince_ = CounterNow();
  }
  WaitForNoStep();
}

void PlaybackGate::Release() {
  Locked locked(*this);
  if (holds_ == 0) return;
  if (--holds_ == 0) heldTotal_ += CounterNow() - heldSince_;
  WakeAllConditionVariable(&changed_);
}

void PlaybackGate::Stop() {
  {
    Locked locked(*this);
    stopped_ = true;
    WakeAllConditionVariable(&changed_);
  }
  WaitForNoStep();
}

bool PlaybackGate::ShowStep(Holds holds, const std::function<void()>& step) {
  {
    Locked locked(*this);
    while (!stopped_ && holds == Holds::Respect && holds_ > 0) locked.Wait();
    if (stopped_) return false;
    if (steps_++ == 0) ResetEvent(noStep_);
  }
  step();
  Locked locked(*this);
  if (--steps_ == 0) SetEvent(noStep_);
  return true;
}

bool PlaybackGate::WaitWhileHeld() {
  Locked locked(*this);
  while (!stopped_ && holds_ > 0) locked.Wait();
  return !stopped_;
}

bool PlaybackGate::WaitUntil(double dueMs) {
  Locked locked(*this);
  for (;;) {
    if (stopped_) return false;
    if (holds_ > 0) {
      locked.Wait();
      continue;
    }
    double left = dueMs - ClockMsLocked();
    if (left <= 0) return true;
    locked.Wait(DWORD(std::ceil(std::min(left, kLongestDueWaitMs))));
  }
}

double PlaybackGate::ClockMs() {
  Locked locked(*this);
  return ClockMsLocked();
}

double PlaybackGate::ClockMsLocked() const {
  int64_t now = CounterNow();
  int64_t held = heldTotal_ + (holds_ > 0 ? now - heldSince_ : 0);
  return double(now - origin_ - held) / CounterTicksPerMs();
}

void PlaybackGate::HandOver(std::string text) {
  Locked locked(*this);
  handedOver_ = std::move(text);
  WakeAllConditionVariable(&changed_);
}

std::optional<std::string> PlaybackGate::TakeHandedOver() {
  Locked locked(*this);
  while (!stopped_ && !handedOver_) locked.Wait();
  if (stopped_) return std::nullopt;
  return std::exchange(handedOver_, std::nullopt);
}

bool PlaybackGate::stopped() {
  Locked locked(*this);
  return stopped_;
}

int PlaybackGate::holds() {
  Locked locked(*this);
  return holds_;
}

void PlaybackGate::WaitForNoStep() { ServeWorkersUntil(noStep_, kStepBackstopMs); }

bool ServeWorkersUntil(HANDLE event, DWORD backstopMs) {
  const ULONGLONG end = GetTickCount64() + backstopMs;
  for (;;) {
    ULONGLONG now = GetTickCount64();
    DWORD left = now < end ? DWORD(end - now) : 0;
    // Wakes for sent messages already waiting too, not only for new ones: a
    // message the thread has seen (GetQueueStatus, say) but not carried out
    // would otherwise wait for the backstop, and its sender with it.
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &event, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace player
