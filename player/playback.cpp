#include "player/playback.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "libraries/threads/library.h"
#include "libraries/utilities/library.h"
#include "player/frame_clock.h"
#include "player/frame_log.h"
#include "player/frame_text.h"
#include "player/main_window.h"
#include "player/playback_gate.h"
#include "player/runtime_calls.h"
#include "player/state.h"
#include "runtime/helpers.h"

namespace player {
namespace {

using Holds = PlaybackGate::Holds;

constexpr int32_t kMaxPacedRate = 1000;
constexpr int32_t kUnpacedDelayMs = 10;
// A worker past this at the end of the program is left to the process's end.
constexpr DWORD kEndBackstopMs = 10000;

struct Playback {
  explicit Playback(int32_t id) : id(id) {}
  ~Playback() { CloseHandle(ended); }
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  const int32_t id;
  PlaybackGate gate;
  int32_t frameRate = 0;
  bool useBgm = false;
  std::string bgmPath;
  std::wstring frameLogPath;
  int32_t playThread = 0;   // StartThread's variable, on the window thread
  int32_t countThread = 0;  // StartThread's variable, on the playback thread only
  std::atomic<int> workers = 0;
  HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set when the last worker is done
};

// The playbacks whose threads may run, by ID. A thread routine takes a
// 32-bit parameter, so a thread gets its playback's ID and looks it up
// here. Only the window thread adds and removes playbacks.
class Registry {
 public:
  std::shared_ptr<Playback> Add() {
    std::lock_guard lock(lock_);
    auto playback = std::make_shared<Playback>(nextId_++);
    running_[playback->id] = playback;
    newest_ = playback;
    return playback;
  }
  std::shared_ptr<Playback> Find(int32_t id) {
    std::lock_guard lock(lock_);
    auto found = running_.find(id);
    return found == running_.end() ? nullptr : found->second;
  }
  std::vector<std::shared_ptr<Playback>> All() {
    std::lock_guard lock(lock_);
    std::vector<std::shared_ptr<Playback>> all;
    for (auto& [id, playback] : running_) all.push_back(playback);
    return all;
  }
  std::shared_ptr<Playback> Newest() {
    std::lock_guard lock(lock_);
    return newest_;
  }
  void Remove(int32_t id) {
    std::lock_guard lock(lock_);
    running_.erase(id);
  }

 private:
  std::mutex lock_;
  std::map<int32_t, std::shared_ptr<Playback>> running_;
  std::shared_ptr<Playback> newest_;
  int32_t nextId_ = 1;
};

Registry& Playbacks() {
  static Registry registry;
  return registry;
}

bool Ended(const Playback& playback) { return WaitForSingleObject(playback.ended, 0) == WAIT_OBJECT_0; }

void WorkerDone(Playback& playback) {
  if (--playback.workers == 0) SetEvent(playback.ended);
}

bool StartWorker(LPTHREAD_START_ROUTINE routine, Playback& playback, int32_t& handle) {
  ++playback.workers;
  rt::ArgRecord started =
      CallLibrary(rt::LIB_THREADS, lib::threads::CMD_START_THREAD,
                  {rt::MakeBlock(rt::TYPE_SUBPTR, reinterpret_cast<const void*>(routine)), rt::MakeInt(playback.id),
                   rt::MakeReference(rt::TYPE_INT, &handle)});
  if (started.low) return true;
  WorkerDone(playback);
  return false;
}

void CloseThreadHandle(int32_t& handle) {
  CallLibrary(rt::LIB_THREADS, lib::threads::CMD_CLOSE_THREAD_HANDLE, {rt::MakeInt(handle)});
  handle = 0;
}

// The window thread closes the handles of ended playbacks.
void RemoveEnded() {
  for (auto& playback : Playbacks().All()) {
    if (!Ended(*playback)) continue;
    if (playback->playThread) CloseThreadHandle(playback->playThread);
    Playbacks().Remove(playback->id);
  }
}

// The name of the next ".txt" file of the search, files only; empty once
// the search runs out.
OwnedText FindFile(const char* pattern, HANDLE& search) {
  uint64_t name = Runtime().CallRuntimeHelper(rt::HELPER_FIND_FILE, pattern, uint32_t(0), 1, &search);
  return OwnedText(reinterpret_cast<char*>(uintptr_t(name)));
}

// Counts the ".txt" files of the frame directory, shows the count text and
// hands it to the playback thread.
void CountFrames(Playback& playback) {
  std::string pattern = CopyText(State().txtDir) + "\\*.txt";
  HANDLE search = nullptr;
  int32_t count = 0;
  for (OwnedText name = FindFile(pattern.c_str(), search); !name.empty() && !playback.gate.stopped();
       name = FindFile("", search))
    ++count;
  Runtime().CallRuntimeHelper(rt::HELPER_CLOSE_FIND, &search);
  std::string countText = CountText(count);
  playback.gate.ShowStep(Holds::Ignore, [&] { ShowStatus(countText.c_str()); });
  playback.gate.HandOver(countText);
}

DWORD WINAPI CountFramesThread(void* parameter) {
  if (auto playback = Playbacks().Find(PtrToLong(parameter))) {
    CountFrames(*playback);
    WorkerDone(*playback);
  }
  return 0;
}

// The count, from the counting thread, or from this thread when no thread
// could be started; nothing once the playback is stopped. The counting
// thread's handle is closed here: StartThread stores it on this thread,
// possibly after the counting thread has finished.
std::optional<int32_t> TakeFrameCount(Playback& playback) {
  bool counting = StartWorker(&CountFramesThread, playback, playback.countThread);
  if (!counting) CountFrames(playback);
  std::optional<std::string> countText = playback.gate.TakeHandedOver();
  if (counting) CloseThreadHandle(playback.countThread);
  if (!countText) return std::nullopt;
  return CountFromText(countText->c_str());
}

OwnedText ReadFrame(int32_t frame) {
  PlayerState& state = State();
  std::string path = FramePath(CopyText(state.txtDir), CopyText(state.filePrefix), frame);
  OwnedBytes bytes(CallCore(core::CMD_READ_FILE_BYTES, {TextArgument(path)}));
  return Utf8ToCp936(bytes);
}

bool Paced(const Playback& playback) { return playback.frameRate >= 1 && playback.frameRate <= kMaxPacedRate; }
double IntervalMs(const Playback& playback) { return 1000.0 / playback.frameRate; }

bool DelayUnpaced(Playback& playback) {
  CallLibrary(rt::LIB_SPECIAL, lib::utilities::CMD_DELAY, {rt::MakeInt(kUnpacedDelayMs)});
  return !playback.gate.stopped();
}

// A frame already a whole interval late is skipped unread, so the frames
// keep the clock's pace; the first frame starts the clock and the last one
// always shows.
bool SkipLateFrame(const Playback& playback, FrameClock& clock, int32_t frame, int32_t frames) {
  if (!Paced(playback) || frame == 1 || frame == frames) return false;
  return clock.EstimateMs() >= frame * IntervalMs(playback);
}

void ShowFrames(Playback& playback, int32_t frames) {
  FrameClock clock(playback.gate, playback.useBgm ? &TrackPlayingPosition : FrameClock::TrackPosition());
  FrameLog log(playback.frameLogPath);
  for (int32_t frame = 1; frame <= frames; ++frame) {
    if (!playback.gate.WaitWhileHeld()) return;
    if (SkipLateFrame(playback, clock, frame, frames)) continue;
    OwnedText text = ReadFrame(frame);
    std::string status = PlayingText(frame);
    if (frame == 1) clock.Start();
    if (!playback.gate.ShowStep(Holds::Respect, [&] {
          ShowFrame(text.c_str());
          ShowStatus(status.c_str());
        }))
      return;
    if (log.open()) log.Write(frame, clock.EstimateMs(), playback.useBgm ? TrackPlayingPosition() : -1);
    bool going = Paced(playback) ? clock.WaitUntil(frame * IntervalMs(playback)) : DelayUnpaced(playback);
    if (!going) return;
  }
}

void Play(Playback& playback) {
  std::optional<int32_t> frames = TakeFrameCount(playback);
  if (!frames) return;
  if (playback.useBgm &&
      !playback.gate.ShowStep(Holds::Respect, [&] { OpenAndPlayTrack(playback.bgmPath.c_str()); }))
    return;
  ShowFrames(playback, *frames);
}

DWORD WINAPI PlaybackThread(void* parameter) {
  if (auto playback = Playbacks().Find(PtrToLong(parameter))) {
    Play(*playback);
    WorkerDone(*playback);
  }
  return 0;
}

}  // namespace

void StartPlayback() {
  RemoveEnded();
  std::shared_ptr<Playback> playback = Playbacks().Add();
  const PlayerState& state = State();
  playback->frameRate = state.frameRate;
  playback->useBgm = state.useBgm == 1;
  playback->bgmPath = CopyText(state.bgmPath);
  playback->frameLogPath = state.commandLine.frameLog.value_or(L"");
  StartWorker(&PlaybackThread, *playback, playback->playThread);
}

void HoldNewestPlayback() {
  if (auto newest = Playbacks().Newest()) newest->gate.Hold();
}

void ReleaseNewestPlayback() {
  if (auto newest = Playbacks().Newest()) newest->gate.Release();
}

void StopAllPlaybacks() {
  for (auto& playback : Playbacks().All()) playback->gate.Stop();
  RemoveEnded();
}

void EndAllPlaybacks() {
  StopAllPlaybacks();
  for (auto& playback : Playbacks().All()) ServeWorkersUntil(playback->ended, kEndBackstopMs);
  RemoveEnded();
}

}  // namespace player
