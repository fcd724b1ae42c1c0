// The benchmark runner: plays generated frames with the player and with the
// baseline, one program at a time, reads the frame log each writes
// (--frame-log) and prints one table of figures, player / baseline.
//
//   bench_runner.exe [--quick] [--only N] [--track FILE.mp3]
//                    WORK_FOLDER PLAYER.exe BASELINE.exe
//
// --quick plays a few frames of each benchmark (a smoke run of the runner);
// --only N runs benchmark N (1 to 7) alone;
// WORK_FOLDER receives the frames and the logs and must have no "." in its
// path (the player refuses such a folder). Nothing is asserted: the table is
// the result. Exit code 0 once the table is printed, 2 for a wrong command
// line.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "clock.h"
#include "driver.h"
#include "frame_log_reader.h"
#include "media.h"
#include "process_stats.h"
#include "table.h"

namespace bench {
namespace {

constexpr int kPauseCommand = 20003;  // the player's File/Pause-Continue
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 10000;
// Each look at the log opens it through the wineserver, which the program
// measured needs for its own cross-thread calls: looked at seldom.
constexpr DWORD kWaitPollMs = 100;

struct Options {
  bool quick = false;
  int only = 0;  // 1 to 7: that benchmark alone
  std::wstring track, work, player, baseline;
};

struct Program {
  std::wstring exe;
  const wchar_t* windowClass;
};

// A program playing a folder: started with a frame log, its window found;
// closed as a user closes it when it goes.
class Session {
 public:
  Session(const Program& program, std::vector<std::wstring> arguments, const std::wstring& logPath)
      : exe_(program.exe), log_(logPath), launchedMs_(NowMs()),
        process_(driver::Process::start(program.exe, driver::argumentLine(WithLog(arguments, logPath)))) {
    main_ = WaitShown(program.windowClass);
    shownMs_ = NowMs();
    if (!main_) throw std::runtime_error("the program's window did not appear");
    stats_ = ProcessStats::find(program.exe, process_.pid());
  }
  ~Session() {
    std::fwprintf(stderr, L"  %ls: %zu frames logged\n", exeName().c_str(), log_.taken());
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (!process_.waitExit(kCloseTimeoutMs, nullptr)) process_.kill();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  double startUpMs() const { return shownMs_ - launchedMs_; }
  const std::vector<FrameLine>& lines() { return log_.lines(); }
  const std::optional<ProcessStats>& stats() const { return stats_; }
  void command(int id) { PostMessageW(main_, WM_COMMAND, WPARAM(id), 0); }

  // Whether the frame (or a later one) is logged within the timeout.
  bool waitFrame(int frame, DWORD timeoutMs) {
    for (ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() < end; Sleep(kWaitPollMs))
      if (log_.lastFrame() >= frame) return true;
    return false;
  }

 private:
  static std::vector<std::wstring> WithLog(std::vector<std::wstring> arguments, const std::wstring& logPath) {
    arguments.insert(arguments.begin(), {L"--frame-log", logPath});
    return arguments;
  }

  // The main window once it exists, looked for about once a millisecond.
  HWND WaitShown(const wchar_t* windowClass) {
    for (ULONGLONG end = GetTickCount64() + kWindowTimeoutMs; GetTickCount64() < end; Sleep(1))
      for (HWND window : driver::topWindows(process_.pid()))
        if (driver::className(window) == windowClass) return window;
    return nullptr;
  }

  std::wstring exeName() const { return exe_.substr(exe_.find_last_of(L'\\') + 1); }

  std::wstring exe_;
  FrameLogReader log_;  // before the process: an older log goes first
  double launchedMs_, shownMs_ = 0;
  driver::Process process_;
  HWND main_ = nullptr;
  std::optional<ProcessStats> stats_;
};

std::vector<std::wstring> PlayArguments(const std::wstring& folder, int rate) {
  return {L"--prefix", L"f", L"--rate", std::to_wstring(rate), L"--play", folder};
}

// How long N frames at a rate may take before a run is given up.
DWORD Patience(int frames, int rate) { return DWORD(frames * 3000.0 / rate) + 60000; }

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(std::ceil(fraction * double(values.size()))) - 1)];
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double value : values) sum += value;
  return values.empty() ? NAN : sum / double(values.size());
}

// How far each interval between consecutive frames, both shown, is from the
// nominal one, either way.
std::vector<double> IntervalErrors(const std::vector<FrameLine>& lines, double intervalMs) {
  std::vector<double> errors;
  for (size_t at = 1; at < lines.size(); ++at)
    if (lines[at].frame == lines[at - 1].frame + 1)
      errors.push_back(std::fabs(lines[at].ms - lines[at - 1].ms - intervalMs));
  return errors;
}

struct Pacing {
  int shown = 0;
  double fps = NAN, meanErrorMs = NAN, p99JitterMs = NAN, driftMs = NAN;
};

// Figures of the frames logged. Frames shown per second count the intervals
// after the first frame, which starts the clock; the drift is the last
// frame's against its due time, (frame - 1) intervals after the first.
Pacing Analyse(const std::vector<FrameLine>& lines, double intervalMs) {
  Pacing pacing;
  pacing.shown = int(lines.size());
  if (lines.size() < 2) return pacing;
  std::vector<double> errors = IntervalErrors(lines, intervalMs);
  const FrameLine &first = lines.front(), &last = lines.back();
  double elapsedMs = last.ms - first.ms;
  pacing.fps = double(lines.size() - 1) * 1000.0 / elapsedMs;
  pacing.meanErrorMs = Mean(errors);
  pacing.p99JitterMs = Percentile(errors, 0.99);
  pacing.driftMs = elapsedMs - (last.frame - first.frame) * intervalMs;
  return pacing;
}

struct Heard {
  double ms, offsetMs;
};

// A track position further ahead of the previous one than the log's own
// time moved is this Wine's bookkeeping after a second resume (it reports the
// position plus where an earlier pause left it), not a jump in what is heard.
constexpr double kReportedJumpMs = 1000;

// For each frame logged while the track was heard: how far the track's
// position, less the jumps it reported, was past the frame's due time,
// (frame - 1) intervals. `jumpsMs` gets the jumps' sum.
std::vector<Heard> TrackOffsets(const std::vector<FrameLine>& lines, double intervalMs, double& jumpsMs) {
  std::vector<Heard> heard;
  const FrameLine* previous = nullptr;
  jumpsMs = 0;
  for (const FrameLine& line : lines) {
    if (line.trackMs < 0) continue;
    double ahead = previous ? (line.trackMs - previous->trackMs) - (line.ms - previous->ms) : 0;
    if (ahead > kReportedJumpMs) jumpsMs += ahead;
    heard.push_back({line.ms, line.trackMs - jumpsMs - (line.frame - 1) * intervalMs});
    previous = &line;
  }
  return heard;
}

struct TrackFigures {
  double lastMs = NAN, maxLastSecondMs = NAN, withinPercent = NAN, reportedJumpsMs = 0;
};

// The last offset, the largest either way over the last second heard, and
// the share of offsets under one interval.
TrackFigures CompareWithTrack(const std::vector<FrameLine>& lines, double intervalMs) {
  TrackFigures figures;
  std::vector<Heard> heard = TrackOffsets(lines, intervalMs, figures.reportedJumpsMs);
  if (heard.empty()) return figures;
  figures.lastMs = heard.back().offsetMs;
  figures.maxLastSecondMs = 0;
  int within = 0;
  for (Heard h : heard) {
    double size = std::fabs(h.offsetMs);
    if (h.ms >= heard.back().ms - 1000) figures.maxLastSecondMs = std::max(figures.maxLastSecondMs, size);
    within += size < intervalMs;
  }
  figures.withinPercent = 100.0 * within / double(heard.size());
  return figures;
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
    std::wstring name = L"frames_" + SizeName(size) + L"_" + std::to_wstring(count);
    return WriteFrames(options_.work + L"\\" + name, L"f", size, count);
  }

  std::wstring logPath() const { return options_.work + L"\\frames.log"; }
  Program player() const { return {options_.player, L"VNWindow"}; }
  Program baseline() const { return {options_.baseline, L"OmbreBaseline"}; }

  // Plays the folder to its last frame in each program in turn.
  template <class Measure>
  void both(const std::vector<std::wstring>& arguments, int frames, int rate, Measure measure) {
    Program programs[] = {player(), baseline()};
    for (int which = 0; which < 2; ++which) {
      Session session(programs[which], arguments, logPath());
      session.waitFrame(frames, Patience(frames, rate));
      measure(which, session);
    }
  }

  // A rate neither program keeps up with at that size. The player skips
  // frames a whole interval late and the baseline does not: both are counted
  // by the frames they showed. Three seconds of frames, so that the player's
  // run, which ends on the clock, is long enough to count.
  void fullSpeed(Table& table) {
    struct Run {
      FrameSize size;
      int rate;
    };
    for (auto [size, rate] : {Run{{80, 25}, 200}, Run{{160, 60}, 100}, Run{{320, 120}, 50}}) {
      int count = scaled(3 * rate);
      Pair fps;
      both(PlayArguments(frames(size, count), rate), count, 30,
           [&](int which, Session& session) { fps[which] = Analyse(session.lines(), 1).fps; });
      table.add(L"1 full speed", SizeName(size) + L", frames shown/s", fps);
    }
  }

  void pacing(Table& table) {
    for (int rate : {10, 20, 30}) {
      int count = scaled(600);
      Pair error, jitter, drift;
      both(PlayArguments(frames({80, 25}, count), rate), count, rate, [&](int which, Session& session) {
        Pacing pacing = Analyse(session.lines(), 1000.0 / rate);
        error[which] = pacing.meanErrorMs, jitter[which] = pacing.p99JitterMs, drift[which] = pacing.driftMs;
      });
      std::wstring at = std::to_wstring(rate) + L" fps, ";
      table.add(L"2 pacing", at + L"mean interval error, ms", error);
      table.add(L"2 pacing", at + L"p99 jitter, ms", jitter);
      table.add(L"2 pacing", at + L"drift of the last frame, ms", drift, Kind::Difference);
    }
  }

  void underLoad(Table& table) {
    constexpr int kRate = 30;
    int count = scaled(150);
    Pair shown, skipped, drift;
    both(PlayArguments(frames({320, 120}, count), kRate), count, kRate, [&](int which, Session& session) {
      Pacing pacing = Analyse(session.lines(), 1000.0 / kRate);
      shown[which] = pacing.shown, skipped[which] = count - pacing.shown, drift[which] = pacing.driftMs;
    });
    table.add(L"3 under load", L"320x120 at 30 fps, frames shown of " + std::to_wstring(count), shown);
    table.add(L"3 under load", L"frames skipped", skipped, Kind::Difference);
    table.add(L"3 under load", L"drift of the last frame, ms", drift, Kind::Difference);
  }

  // CPU seconds per second between the first and the last frame logged.
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
      Program programs[] = {player(), baseline()};
      for (int which = 0; which < 2; ++which) {
        Session session(programs[which], PlayArguments(frames(c.size, count), c.rate), logPath());
        used[which] = CpuPerSecond(session, count, c.rate) * (c.rate == 2 ? 100 : 1);
      }
      table.add(L"4 CPU", c.figure, used);
    }
  }

  // Private memory at frame 100 and at the last. At full speed the player
  // would skip most of these small frames, and a skipped frame costs
  // nothing: the rate is one both programs can nearly keep, and the frames
  // shown are counted.
  void memory(Table& table) {
    constexpr int kRate = 100;
    int count = options_.quick ? 120 : 10000;
    Pair early, late, growth, shown;
    std::set<std::wstring> sources;
    auto kib = [&](Session& session) {
      if (!session.stats()) return double(NAN);
      PrivateMemory memory = session.stats()->privateMemory();
      sources.insert(memory.source);
      return memory.bytes / 1024;
    };
    both(PlayArguments(frames({20, 5}, count), kRate), 100, kRate, [&](int which, Session& session) {
      early[which] = kib(session);
      session.waitFrame(count, Patience(count, kRate));
      late[which] = kib(session);
      growth[which] = late[which] - early[which];
      shown[which] = double(session.lines().size());
    });
    std::wstring last = std::to_wstring(count);
    table.add(L"5 memory", L"private KiB at frame 100", early);
    table.add(L"5 memory", L"private KiB at frame " + last, late);
    table.add(L"5 memory", L"growth, KiB", growth, Kind::Difference);
    table.add(L"5 memory", L"frames shown of " + last, shown);
    for (const std::wstring& source : sources) table.note(L"5 memory: private bytes from " + source + L".");
  }

  void startUp(Table& table) {
    const int runs = options_.quick ? 1 : 5;
    std::wstring folder = frames({80, 25}, 1);
    Pair median;
    Program programs[] = {player(), baseline()};
    for (int which = 0; which < 2; ++which) {
      std::vector<double> times;
      for (int run = 0; run < runs; ++run)
        times.push_back(Session(programs[which], PlayArguments(folder, 10), logPath()).startUpMs());
      median[which] = Percentile(times, 0.5);
    }
    table.add(L"6 start-up", L"launch to main window shown, median ms", median);
  }

  // The player alone, with a track: where the track was when each frame
  // showed, against the frame's due time, without and with pauses.
  void track(Table& table) {
    if (options_.track.empty()) return;
    constexpr int kRate = 20;
    const int count = options_.quick ? 40 : 60 * kRate;
    std::wstring folder = frames({80, 25}, count);
    for (int pauses : {0, 3}) {
      std::vector<std::wstring> arguments = PlayArguments(folder, kRate);
      arguments.insert(arguments.begin(), {L"--track", options_.track});
      Session session(player(), arguments, logPath());
      PlayWithPauses(session, count, kRate, pauses, options_.quick ? 200 : 2000);
      TrackFigures figures = CompareWithTrack(session.lines(), 1000.0 / kRate);
      std::wstring at = std::to_wstring(pauses) + L" pauses, 20 fps: ";
      table.add(L"7 frames and track", at + L"offset at the end, ms", {figures.lastMs, NAN});
      table.add(L"7 frames and track", at + L"largest offset over the last second, ms", {figures.maxLastSecondMs, NAN});
      table.add(L"7 frames and track", at + L"frames within one interval, %", {figures.withinPercent, NAN});
      table.add(L"7 frames and track", at + L"position jumps the device reported, ms", {figures.reportedJumpsMs, NAN});
    }
    table.note(L"7 frames and track: offset = the track's position when a frame showed − (frame − 1) × interval, "
               L"for the frames logged while the track was heard. After a second resume this Wine's device reports "
               L"its position plus where an earlier pause left it; such jumps (over 1 s beyond the log's own time) "
               L"are summed in their own row and taken off the positions after them. The player stops following "
               L"the device's position at the first jump and goes on by its own clock.");
  }

  // Pauses evenly through the playback, each for pauseMs; the frame log
  // leaves paused time out.
  static void PlayWithPauses(Session& session, int count, int rate, int pauses, DWORD pauseMs) {
    for (int pause = 1; pause <= pauses; ++pause) {
      if (!session.waitFrame(count * pause / (pauses + 1), Patience(count, rate))) break;
      session.command(kPauseCommand);
      Sleep(pauseMs);
      session.command(kPauseCommand);
    }
    session.waitFrame(count, Patience(count, rate));
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
