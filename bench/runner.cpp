// The benchmark runner: plays generated frames with the player and with the
// baseline, one program at a time, watches their frames from outside and
// prints one table of figures, player / baseline.
//
//   bench_runner.exe [--quick] [--only N] [--track FILE.mp3]
//                    WORK_FOLDER PLAYER.exe BASELINE.exe
//
// --quick plays a few frames of each benchmark (a smoke run of the runner);
// --only N runs benchmark N (1 to 7) alone;
// WORK_FOLDER receives the frames and must have no "." in its path (the
// player refuses such a folder). Nothing is asserted: the table is the
// result. Exit code 0 once the table is printed, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "frame_watch.h"
#include "media.h"
#include "process_stats.h"
#include "table.h"

namespace bench {
namespace {

constexpr int kPauseCommand = 20003;  // the player's File/Pause-Continue
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 10000;
constexpr DWORD kWaitPollMs = 10;
// Frames are watched this seldom while the programs' CPU time is measured.
constexpr DWORD kCostPollMs = 100;

struct Options {
  bool quick = false;
  int only = 0;  // 1 to 7: that benchmark alone
  std::wstring track, work, player, baseline;
};

struct Program {
  std::wstring exe;
  const wchar_t* windowClass;
};

// A program playing a folder: started, its window and status bar found, its
// frames watched; closed as a user closes it when it goes.
class Session {
 public:
  Session(const Program& program, const std::vector<std::wstring>& arguments, DWORD pollMs = 1)
      : exe_(program.exe), launchedMs_(NowMs()), process_(driver::Process::start(program.exe, driver::argumentLine(arguments))) {
    main_ = WaitShown(program.windowClass);
    shownMs_ = NowMs();
    status_ = main_ ? driver::waitChild(main_, STATUSCLASSNAMEW, -1, kWindowTimeoutMs) : nullptr;
    if (!status_) throw std::runtime_error("the program's window or status bar did not appear");
    watcher_.emplace(status_, pollMs);
    stats_ = ProcessStats::find(program.exe, process_.pid());
  }
  ~Session() {
    std::fwprintf(stderr, L"  %ls: %zu frame changes seen in %ld looks\n", exeName().c_str(), watcher_->times().size(),
                  watcher_->looks());
    watcher_.reset();
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (!process_.waitExit(kCloseTimeoutMs, nullptr)) process_.kill();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  double startUpMs() const { return shownMs_ - launchedMs_; }
  FrameWatcher& frames() { return *watcher_; }
  const std::optional<ProcessStats>& stats() const { return stats_; }
  void command(int id) { PostMessageW(main_, WM_COMMAND, WPARAM(id), 0); }

  // Whether the frame (or a later one) shows within the timeout.
  bool waitFrame(int frame, DWORD timeoutMs) {
    for (ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() < end; Sleep(kWaitPollMs))
      if (watcher_->lastFrame() >= frame) return true;
    return false;
  }

 private:
  // The main window once it is visible, polled about once a millisecond.
  HWND WaitShown(const wchar_t* windowClass) {
    for (ULONGLONG end = GetTickCount64() + kWindowTimeoutMs; GetTickCount64() < end; Sleep(1))
      for (HWND window : driver::topWindows(process_.pid()))
        if (driver::className(window) == windowClass) return window;
    return nullptr;
  }

  std::wstring exeName() const { return exe_.substr(exe_.find_last_of(L'\\') + 1); }

  std::wstring exe_;
  double launchedMs_, shownMs_ = 0;
  driver::Process process_;
  HWND main_ = nullptr, status_ = nullptr;
  std::optional<FrameWatcher> watcher_;
  std::optional<ProcessStats> stats_;
};

std::vector<std::wstring> PlayArguments(const std::wstring& folder, int rate) {
  return {L"--prefix", L"f", L"--rate", std::to_wstring(rate), L"--play", folder};
}

// How long N frames at a rate may take before a run is given up.
DWORD Patience(int frames, int rate) { return DWORD(frames * 3000.0 / rate) + 60000; }

struct Pacing {
  int shown = 0;
  double fps = 0, meanErrorMs = 0, p99JitterMs = 0, driftMs = 0;
};

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(std::ceil(fraction * double(values.size()))) - 1)];
}

// Figures of the frames seen: intervals between consecutive frame numbers
// against the nominal one; drift of the last frame against the first.
Pacing Analyse(const std::vector<FrameTime>& times, double intervalMs) {
  Pacing pacing;
  pacing.shown = int(times.size());
  if (times.size() < 2) return pacing;
  std::vector<double> errors;
  for (size_t at = 1; at < times.size(); ++at)
    if (times[at].frame == times[at - 1].frame + 1) errors.push_back(std::fabs(times[at].ms - times[at - 1].ms - intervalMs));
  double sum = 0;
  for (double error : errors) sum += error;
  const FrameTime &first = times.front(), &last = times.back();
  // Frame numbers, not changes seen: two frames shown between two reads
  // are seen as one change.
  pacing.fps = (last.frame - first.frame) * 1000.0 / (last.ms - first.ms);
  pacing.meanErrorMs = errors.empty() ? 0 : sum / double(errors.size());
  pacing.p99JitterMs = Percentile(errors, 0.99);
  pacing.driftMs = (last.ms - first.ms) - (last.frame - first.frame) * intervalMs;
  return pacing;
}

class Runner {
 public:
  explicit Runner(Options options) : options_(std::move(options)) {}

  Table run() {
    Table table;
    const std::vector<std::pair<const wchar_t*, void (Runner::*)(Table&)>> benchmarks = {
        {L"full speed", &Runner::fullSpeed}, {L"pacing", &Runner::pacing},     {L"under load", &Runner::underLoad},
        {L"CPU", &Runner::cpu},              {L"memory", &Runner::memory},     {L"start-up", &Runner::startUp},
        {L"track", &Runner::track}};
    for (size_t at = 0; at < benchmarks.size(); ++at) {
      auto [name, benchmark] = benchmarks[at];
      if (options_.only && size_t(options_.only) != at + 1) continue;
      std::fwprintf(stderr, L"bench: %ls\n", name);
      try {
        (this->*benchmark)(table);
      } catch (const std::exception& error) {
        table.fail(name, error.what());
      }
    }
    return table;
  }

 private:
  int scaled(int frames) const { return options_.quick ? std::max(3, frames / 50) : frames; }

  std::wstring frames(FrameSize size, int count) {
    std::wstring name = L"frames_" + std::to_wstring(size.columns) + L"x" + std::to_wstring(size.rows) + L"_" +
                        std::to_wstring(count);
    return WriteFrames(options_.work + L"\\" + name, L"f", size, count);
  }

  // Plays the folder to its last frame in each program in turn.
  template <class Measure>
  void both(const std::vector<std::wstring>& arguments, int frames, int rate, Measure measure) {
    Program programs[] = {{options_.player, L"VNWindow"}, {options_.baseline, L"OmbreBaseline"}};
    for (int which = 0; which < 2; ++which) {
      Session session(programs[which], arguments);
      measure(which, session, session.waitFrame(frames, Patience(frames, rate)));
    }
  }

  void fullSpeed(Table& table) {
    for (FrameSize size : {FrameSize{80, 25}, FrameSize{160, 60}, FrameSize{320, 120}}) {
      int count = scaled(size.columns == 80 ? 200 : size.columns == 160 ? 100 : 50);
      Pair fps;
      both(PlayArguments(frames(size, count), 1000), count, 30,
           [&](int which, Session& session, bool) { fps[which] = Analyse(session.frames().times(), 1).fps; });
      table.add(L"1 full speed", SizeName(size) + L", frames/s", fps);
    }
  }

  void pacing(Table& table) {
    for (int rate : {10, 20, 30}) {
      int count = scaled(600);
      Pair error, jitter, drift;
      both(PlayArguments(frames({80, 25}, count), rate), count, rate, [&](int which, Session& session, bool) {
        Pacing pacing = Analyse(session.frames().times(), 1000.0 / rate);
        error[which] = pacing.meanErrorMs, jitter[which] = pacing.p99JitterMs, drift[which] = pacing.driftMs;
      });
      std::wstring at = std::to_wstring(rate) + L" fps, ";
      table.add(L"2 pacing", at + L"mean interval error, ms", error);
      table.add(L"2 pacing", at + L"p99 jitter, ms", jitter);
      table.add(L"2 pacing", at + L"drift vs N/fps, ms", drift);
    }
  }

  void underLoad(Table& table) {
    constexpr int kRate = 30;
    int count = scaled(150);
    Pair shown, skipped, drift;
    both(PlayArguments(frames({320, 120}, count), kRate), count, kRate, [&](int which, Session& session, bool) {
      std::vector<FrameTime> times = session.frames().times();
      Pacing pacing = Analyse(times, 1000.0 / kRate);
      shown[which] = pacing.shown, skipped[which] = count - pacing.shown, drift[which] = pacing.driftMs;
    });
    table.add(L"3 under load", L"320x120 at 30 fps, frames shown", shown);
    table.add(L"3 under load", L"frames skipped", skipped);
    table.add(L"3 under load", L"drift of the last frame, ms", drift);
  }

  // CPU seconds per second between the first and the last frame seen.
  static double CpuPerSecond(Session& session, int frames, int rate) {
    if (!session.stats() || !session.waitFrame(1, Patience(1, 1))) return NAN;
    double cpu = session.stats()->cpuSeconds(), from = NowMs();
    session.waitFrame(frames, Patience(frames, rate));
    return (session.stats()->cpuSeconds() - cpu) * 1000.0 / (NowMs() - from);
  }

  void cpu(Table& table) {
    struct Case {
      FrameSize size;
      int rate, seconds;
      const wchar_t* figure;
    };
    for (Case c : {Case{{80, 25}, 20, 10, L"80x25 at 20 fps, CPU s per s"}, Case{{20, 5}, 2, 10, L"20x5 at 2 fps, % of a core"}}) {
      int count = options_.quick ? 3 : c.rate * c.seconds + 1;
      Pair used;
      Program programs[] = {{options_.player, L"VNWindow"}, {options_.baseline, L"OmbreBaseline"}};
      for (int which = 0; which < 2; ++which) {
        Session session(programs[which], PlayArguments(frames(c.size, count), c.rate), kCostPollMs);
        used[which] = CpuPerSecond(session, count, c.rate) * (c.rate == 2 ? 100 : 1);
      }
      table.add(L"4 CPU", c.figure, used);
    }
  }

  void memory(Table& table) {
    int count = options_.quick ? 120 : 10000;
    Pair early, late, growth;
    both(PlayArguments(frames({20, 5}, count), 1000), 100, 1000, [&](int which, Session& session, bool) {
      early[which] = session.stats() ? session.stats()->privateBytes() / 1024 : NAN;
      session.waitFrame(count, Patience(count, 100));
      late[which] = session.stats() ? session.stats()->privateBytes() / 1024 : NAN;
      growth[which] = late[which] - early[which];
    });
    table.add(L"5 memory", L"private KiB after 100 frames", early);
    table.add(L"5 memory", L"private KiB after " + std::to_wstring(count) + L" frames", late);
    table.add(L"5 memory", L"growth, KiB", growth);
  }

  void startUp(Table& table) {
    const int runs = options_.quick ? 1 : 5;
    std::wstring folder = frames({80, 25}, 1);
    Pair median;
    Program programs[] = {{options_.player, L"VNWindow"}, {options_.baseline, L"OmbreBaseline"}};
    for (int which = 0; which < 2; ++which) {
      std::vector<double> times;
      for (int run = 0; run < runs; ++run)
        times.push_back(Session(programs[which], PlayArguments(folder, 10)).startUpMs());
      median[which] = Percentile(times, 0.5);
    }
    table.add(L"6 start-up", L"launch to main window shown, median ms", median);
  }

  // With a track: the frame shown against where the track should be (time
  // since the first frame, less the time paused), at the end.
  void track(Table& table) {
    if (options_.track.empty()) return;
    constexpr int kRate = 25;
    const int count = options_.quick ? 50 : 60 * kRate;
    std::wstring folder = frames({80, 25}, count);
    for (int pauses : {0, 3}) {
      std::vector<std::wstring> arguments = PlayArguments(folder, kRate);
      arguments.insert(arguments.begin(), {L"--track", options_.track});
      Session session({options_.player, L"VNWindow"}, arguments);
      double pausedMs = PlayWithPauses(session, count, kRate, pauses);
      std::vector<FrameTime> times = session.frames().times();
      Pair offset{NAN, NAN};
      if (times.size() >= 2)
        offset[0] = (times.back().frame - times.front().frame) * 1000.0 / kRate -
                    (times.back().ms - times.front().ms - pausedMs);
      table.add(L"7 frames and track", std::to_wstring(pauses) + L" pauses: frame ahead of track clock, ms", offset);
    }
  }

  // Pauses evenly through the playback for two seconds each; the time the
  // runner held it paused.
  static double PlayWithPauses(Session& session, int count, int rate, int pauses) {
    constexpr DWORD kPauseMs = 2000;
    double pausedMs = 0;
    for (int pause = 1; pause <= pauses; ++pause) {
      if (!session.waitFrame(count * pause / (pauses + 1), Patience(count, rate))) break;
      double from = NowMs();
      session.command(kPauseCommand);
      Sleep(kPauseMs);
      session.command(kPauseCommand);
      pausedMs += NowMs() - from;
    }
    session.waitFrame(count, Patience(count, rate));
    return pausedMs;
  }

  static std::wstring SizeName(FrameSize size) {
    return std::to_wstring(size.columns) + L"x" + std::to_wstring(size.rows);
  }

  Options options_;
};

std::optional<Options> ReadOptions(int argc, wchar_t** argv) {
  Options options;
  int at = 1;
  for (; at < argc && std::wstring_view(argv[at]).starts_with(L"--"); ++at) {
    std::wstring_view option = argv[at];
    if (option == L"--quick") {
      options.quick = true;
      continue;
    }
    if (at + 1 >= argc) return std::nullopt;
    std::wstring_view value = argv[++at];
    if (option == L"--track") options.track = value;
    else if (option == L"--only") options.only = std::clamp(int(std::wcstol(std::wstring(value).c_str(), nullptr, 10)), 1, 7);
    else return std::nullopt;
  }
  if (argc - at != 3 || std::wstring_view(argv[at]).find(L'.') != std::wstring_view::npos) return std::nullopt;
  options.work = argv[at], options.player = argv[at + 1], options.baseline = argv[at + 2];
  return options;
}

}  // namespace
}  // namespace bench

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stderr, nullptr, _IONBF, 0);  // progress shows as it comes
  std::optional<bench::Options> options = bench::ReadOptions(argc, argv);
  if (!options) {
    std::fputs("usage: bench_runner.exe [--quick] [--only N] [--track FILE.mp3] WORK_FOLDER "
               "PLAYER.exe BASELINE.exe\n(WORK_FOLDER without a \".\" in its path)\n",
               stderr);
    return 2;
  }
  CreateDirectoryW(options->work.c_str(), nullptr);
  bench::Table table = bench::Runner(*options).run();
  std::fputs(table.markdown().c_str(), stdout);
  return 0;
}
