// Play and stop, over and over: what the player holds (kernel handles by
// type, GDI objects, windows; process_census.h says how they are counted
// from outside) comes back to what it held after the first cycle. A
// stopped playback's thread ends a moment after Stop, and its handle is
// closed by the next Start: so the player is counted while a cycle's frames
// play, once the cycles before it are wholly over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"
#include "process_census.h"

namespace {

using e2e::Census;
using e2e::FrameFolder;

constexpr int kCycles = 20;
// Threads end a moment after Stop.
constexpr DWORD kSettleMs = 5000;
// The system keeps a small cache of the device contexts that painting
// borrows, each a DC, its region and a bitmap, and adds one the first time
// more are in use at once: that can happen in any of the first cycles. GDI
// objects are compared with the most of those cycles.
constexpr int kGdiWarmUpCycles = 3;

bool operator==(const Census& a, const Census& b) {
  return a.handles == b.handles && a.gdiObjects == b.gdiObjects && a.windows == b.windows;
}

struct LeakCase {
  const char* name;
  std::wstring options;
  // Handle types not compared. This Wine's MCI player leaks 72 registry
  // keys and an event on every open and close of an MP3, in a bare program
  // too: with a track they grow whatever the player does.
  std::set<std::wstring> platformLeaks;
};

// Whether `now` holds no more than `level`: handles of each type compared,
// windows and GDI objects counted.
bool NoMoreThan(const Census& now, const Census& level, size_t gdiLevel, const std::set<std::wstring>& ignored) {
  for (const auto& [type, count] : now.handles) {
    auto before = level.handles.find(type);
    if (!ignored.count(type) && count > (before == level.handles.end() ? 0 : before->second)) return false;
  }
  return now.windows <= level.windows && now.gdiCount() <= gdiLevel;
}

class Leaks : public e2e::PlayerTest {
 protected:
  Census Now() const { return e2e::TakeCensus(player_->pid(), PlayerWindows().size()); }
  // The same twice in a row: nothing is still ending.
  Census Steady() const {
    Census previous = Now(), now;
    WaitUntil([&] {
      now = Now();
      bool same = now == previous;
      previous = now;
      return same;
    }, kSettleMs, 250);
    return now;
  }

  void Play(const FrameFolder& folder) {
    Drop({folder.path()});
    StartThroughConfig();
    std::wstring before = Frame();
    ASSERT_TRUE(WaitUntil([&] { return Frame() != before; })) << "no frame came";
  }
  void Stop() {
    Command(e2e::kStopCommand);
    Settle();
  }
};

TEST_F(Leaks, TwentyPlayStopCyclesHoldNoMoreThanTheFirst) {
  const LeakCase cases[] = {
      {"without a track", L"", {}},
      {"with a track", L"--track " + e2e::Quoted(e2e::Beside(L"sine.mp3")), {L"Key", L"Event"}},
  };
  FrameFolder folder(L"leaks");
  for (int i = 1; i <= 100; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  for (const LeakCase& c : cases) {
    SCOPED_TRACE(c.name);
    StartPlayer(L"--prefix a --rate 5 " + c.options);
    Play(folder);
    Stop();
    Play(folder);
    const Census first = Steady();
    ASSERT_NE(first.handleCount(), 0u) << "handles cannot be counted";
    ASSERT_NE(first.gdiCount(), 0u) << "GDI objects cannot be counted";
    std::vector<Census> cycles{first};
    size_t gdiLevel = first.gdiCount();
    for (int cycle = 2; cycle <= kCycles && !HasFatalFailure(); ++cycle) {
      Stop();
      Play(folder);
      cycles.push_back(Now());
      if (cycle <= kGdiWarmUpCycles) gdiLevel = std::max(gdiLevel, Steady().gdiCount());
    }
    Census last;
    bool back = WaitUntil([&] { return NoMoreThan(last = Now(), first, gdiLevel, c.platformLeaks); }, kSettleMs, 100);
    std::string series;
    for (const Census& each : cycles) series += testing::PrintToString(each) + "\n";
    EXPECT_TRUE(back) << "after cycle 1: " << first << " (GDI level " << gdiLevel << ")\nafter cycle " << kCycles
                      << ": " << last << "\neach cycle:\n" << series;
    std::printf("leaks %s: after cycle 1 %s; after cycle %d %s\n", c.name, testing::PrintToString(first).c_str(),
                kCycles, testing::PrintToString(last).c_str());
    CloseAndExpectExitCodeZero();
  }
}

}  // namespace
