#include "libraries/multimedia/media_play.h"

#include <mmsystem.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "runtime/gbk.h"
#include "runtime/state.h"
#include "tests/unit/fatal_trap.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/units_test_support.h"
#include "tests/unit/worker_thread.h"

namespace {

namespace fs = std::filesystem;
using lib::multimedia::kMediaPlayType;
using lib::multimedia::kMediaPlayTypeCode;
using lib::multimedia::MediaPlayer;

// Generous: a loaded machine makes MCI slow to report what it did.
constexpr DWORD kTimeoutMs = 15000;

// ---- The unit type ---------------------------------------------------------------

class MediaPlayTest : public ::testing::Test {
 protected:
  win::UnitObject* Create(const std::vector<uint8_t>& blob) {
    return host_.Create(kMediaPlayType.interfaceFunction, blob, {536, 280, 536 + 26, 280 + 26});
  }

  units_test::ParentWindow host_;
  HWND parent_ = host_.get();
};

TEST(MediaPlayType, DescriptorHasNoPropertiesAndOnlyCreate) {
  EXPECT_STREQ(kMediaPlayType.name, "媒体播放");
  EXPECT_STREQ(kMediaPlayType.englishName, "MediaPlay");
  EXPECT_EQ(kMediaPlayType.state, 0x80008040u);
  EXPECT_EQ(kMediaPlayType.propertyCount, 0);
  EXPECT_EQ(kMediaPlayType.properties, nullptr);
  EXPECT_NE(kMediaPlayType.interfaceFunction(win::OP_CREATE), nullptr);
  for (int number = 2; number <= 12; ++number)
    EXPECT_EQ(kMediaPlayType.interfaceFunction(number), nullptr) << "operation " << number;
}

TEST_F(MediaPlayTest, WindowIsAHiddenBorderedChildWhateverTheBlob) {
  for (const std::vector<uint8_t>& blob : {std::vector<uint8_t>{}, std::vector<uint8_t>{9, 9, 9}}) {
    win::UnitObject* unit = Create(blob);
    ASSERT_NE(unit, nullptr) << blob.size() << "-byte blob";
    HWND window = unit->handle();
    EXPECT_EQ(units_test::ClassOf(window), L"_QX_MediaPlay");
    EXPECT_EQ(GetParent(window), parent_);
    EXPECT_EQ(GetDlgCtrlID(window), 100);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(units_test::StyleOf(window) & 0x44800000u, 0x44800000u);
    EXPECT_EQ(units_test::PlaceOf(window), units_test::Describe({536, 280, 562, 306}));
    DestroyWindow(window);
  }
}

// The program calls the commands by number.
TEST(MultimediaLibrary, ListsItsCommandsInTheProgramsOrder) {
  std::vector<std::string> names;
  for (const lib::CommandSpec& declaration : lib::CommandSpecsOf(lib::kMultimediaLibrary)) names.push_back(declaration.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Stop", "Open", "Play", "Pause", "PlayingPosition"}));
}

// ---- Choosing the device ---------------------------------------------------------

struct KindCase {
  const char* path;
  const char* extension;
  const char* deviceType;
  bool video;
};

const KindCase kKinds[] = {
    {"track.MP3", "mp3", "MPEGvideo", false},
    {"C:\\a.b\\song", "b\\s", "MPEGvideo", true},  // the last "." is in a folder's name
    {"clip.avi", "avi", "avivideo", true},
    {"ding.WAV", "wav", "waveaudio", false},
    {"track01.cda", "cda", "cdaudio", false},
    {"tune.mid", "mid", "Sequencer", false},
    {"tune.Rmi", "rmi", "Sequencer", true},
    {"tune.idi", "idi", "Sequencer", true},
    {"radio.ra", "ra", "MPEGvideo", true},
    {"radio.rm", "rm", "MPEGvideo", true},
    {"stream.ram", "ram", "MPEGvideo", true},
    {"music.wma", "wma", "MPEGvideo2", true},
    {"list.asx", "asx", "MPEGvideo2", true},
    {"show.p2v", "p2v", "MPEGvideo2", true},
    {"player.wmp", "wmp", "MPEGvideo2", true},
    {"movie.mpeg", "mpe", "MPEGvideo", true},
    {"archive.tar.WMA", "wma", "MPEGvideo2", true},
    {"歌曲.Mp3", "mp3", "MPEGvideo", false},
    {"noext", "noe", "MPEGvideo", true},
    {"ab", "ab", "MPEGvideo", true},
    {"trailing.", "", "MPEGvideo", true},
    {"", "", "MPEGvideo", true},
};

TEST(MediaKind, ExtensionChoosesTheDeviceTypeAndWhetherItIsVideo) {
  for (const KindCase& c : kKinds) {
    lib::multimedia::MediaKind kind = lib::multimedia::KindOf(c.path);
    EXPECT_EQ(kind.extension, c.extension) << c.path;
    EXPECT_EQ(kind.deviceType, c.deviceType) << c.path;
    EXPECT_EQ(kind.video, c.video) << c.path;
  }
}

// ---- MCI as the tests see it -----------------------------------------------------

// An MCI string command sent on this thread: its answer, or "error N".
std::string Mci(const std::string& command) {
  wchar_t answer[128] = {};
  MCIERROR error = mciSendStringW(rt::WideFromGbk(command).c_str(), answer, 128, nullptr);
  return error ? "error " + std::to_string(error) : rt::GbkFromWide(answer);
}

bool Accepted(const std::string& command) { return !Mci(command).starts_with("error"); }

int OpenDevices() { return std::atoi(Mci("sysinfo all quantity open").c_str()); }

bool WaitUntil(const std::function<bool()>& met, DWORD timeoutMs = kTimeoutMs) {
  for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !met(); Sleep(10))
    if (GetTickCount64() >= deadline) return false;
  return true;
}

BOOL CALLBACK CountVisibleOfThisProcess(HWND window, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Visible top-level windows of this process: a message box would be one.
int VisibleTopWindows() {
  int count = 0;
  EnumWindows(CountVisibleOfThisProcess, reinterpret_cast<LPARAM>(&count));
  return count;
}

enum class Media { Mp3, Wav, Empty, Text, None };

// A folder of media files for one test, gone with everything in it.
class MediaFolder {
 public:
  MediaFolder() {
    static int serial = 0;
    folder_ = fs::temp_directory_path() /
              ("ombre_media_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    fs::create_directories(folder_);
  }
  ~MediaFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The GBK path of a new file of that content; `name` (GBK) may hold folders.
  std::string Make(const std::string& name, Media media) const {
    fs::path path = folder_ / rt::WideFromGbk(name);
    fs::create_directories(path.parent_path());
    if (media == Media::Mp3 || media == Media::Wav) fs::copy_file(Generated(media), path, fs::copy_options::overwrite_existing);
    if (media == Media::Empty || media == Media::Text) std::ofstream(path) << (media == Media::Text ? "not audio\n" : "");
    return rt::GbkFromWide(path.wstring());
  }

 private:
  // The build generates the tones beside this executable.
  static fs::path Generated(Media media) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / (media == Media::Mp3 ? L"sine.mp3" : L"sine.wav");
  }

  fs::path folder_;
};

// ---- The commands on a loaded window ---------------------------------------------

using Command = lib::multimedia::MediaPlayCommand;
constexpr Command kStop = lib::multimedia::CMD_STOP, kOpen = lib::multimedia::CMD_OPEN;
constexpr Command kPlay = lib::multimedia::CMD_PLAY, kPause = lib::multimedia::CMD_PAUSE;

class MediaPlayCommands : public testing_support::LoadedWindowTest {
 protected:
  static constexpr uint32_t kFirst = 0x16017001, kSecond = 0x16017002;

  void SetUp() override {
    LoadedWindowTest::SetUp();
    LoadWith({{.id = kFirst, .type = kMediaPlayTypeCode}, {.id = kSecond, .type = kMediaPlayTypeCode}});
    song_ = media_.Make("song.mp3", Media::Mp3);
  }
  void TearDown() override {
    rt::State().mainThreadId = 0;
    LoadedWindowTest::TearDown();
  }

  // The result record as the command's entry left it (zero-filled before).
  static rt::ArgRecord Call(Command command, uint32_t unit, std::vector<rt::ArgRecord> more = {}) {
    std::vector<rt::ArgRecord> arguments{{kWindowId, unit, kMediaPlayTypeCode}};
    arguments.insert(arguments.end(), more.begin(), more.end());
    rt::ArgRecord result{};
    lib::kMultimediaLibrary.commands[command](&result, int(arguments.size()), arguments.data());
    return result;
  }
  static bool Run(Command command, uint32_t unit, std::vector<rt::ArgRecord> more = {}) {
    rt::ArgRecord result = Call(command, unit, std::move(more));
    EXPECT_EQ(result.tag, rt::TYPE_BOOL) << "command " << command;
    return result.low != 0;
  }
  static bool Open(uint32_t unit, const std::string& path) {
    return Run(kOpen, unit, {rt::MakeBlock(rt::TYPE_TEXT, path.c_str())});
  }
  static bool Play(uint32_t unit, int32_t from = -1) { return Run(kPlay, unit, {rt::MakeInt(from)}); }

  static std::string Alias(uint32_t unit) { return lib::multimedia::PlayerOfUnit(Unit(unit))->alias(); }
  static std::string Mode(uint32_t unit) { return Mci("status " + Alias(unit) + " mode"); }
  static int64_t Position(uint32_t unit) {
    std::string answer = Mci("status " + Alias(unit) + " position");
    return answer.starts_with("error") ? -1 : std::atoll(answer.c_str());
  }
  static bool ModeBecomes(uint32_t unit, const std::string& mode) {
    return WaitUntil([&] { return Mode(unit) == mode; });
  }
  static bool Advances(uint32_t unit) {
    int64_t from = Position(unit);
    return WaitUntil([&] { return Position(unit) > from; });
  }
  // Unchanged for a third of a second, while a playing track moves on.
  static bool Holds(uint32_t unit) {
    int64_t at = Position(unit);
    return !WaitUntil([&] { return Position(unit) != at; }, 300);
  }

  // Runs `work` on a worker while this thread, the window thread, serves
  // the calls it carries here and runs `alongside` between them.
  static void OnWorker(std::function<void()> work, const std::function<void()>& alongside) {
    rt::State().mainThreadId = GetCurrentThreadId();
    testing_support::Worker worker(std::move(work));
    for (ULONGLONG deadline = GetTickCount64() + 30000; !worker.WaitHandlingMessages(5);) {
      if (GetTickCount64() >= deadline) return ADD_FAILURE() << "the worker's calls did not come through";
      alongside();
    }
  }

  MediaFolder media_;
  std::string song_;
};

enum class Moves { AtStart, Advancing, Held };

struct Step {
  const char* what;
  Command command;
  int32_t from;  // Play's start position
  bool result;
  const char* mode;  // "status mode" afterwards; null: whatever this Wine says
  Moves position;
};

class MediaPlaySequences : public MediaPlayCommands {
 protected:
  void RunSteps(std::span<const Step> steps) {
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      EXPECT_EQ(Do(step), step.result);
      if (step.mode) {
        EXPECT_TRUE(ModeBecomes(kFirst, step.mode)) << "the mode is " << Mode(kFirst);
      }
      ExpectPosition(step.position);
    }
  }

 private:
  bool Do(const Step& step) {
    if (step.command == kOpen) return Open(kFirst, song_);
    if (step.command == kPlay) return Play(kFirst, step.from);
    return Run(step.command, kFirst);
  }
  static void ExpectPosition(Moves position) {
    switch (position) {
      case Moves::AtStart: EXPECT_TRUE(WaitUntil([] { return Position(kFirst) == 0; })) << Position(kFirst); break;
      case Moves::Advancing: EXPECT_TRUE(Advances(kFirst)) << "stuck at " << Position(kFirst); break;
      case Moves::Held: EXPECT_TRUE(Holds(kFirst)) << "moved on to " << Position(kFirst); break;
    }
  }
};

TEST_F(MediaPlaySequences, PlayPauseResumeStopAndPlayAgain) {
  const Step steps[] = {
      {"open", kOpen, 0, true, "stopped", Moves::AtStart},
      {"play", kPlay, -1, true, "playing", Moves::Advancing},
      {"pause", kPause, 0, true, "paused", Moves::Held},
      {"pause again resumes", kPause, 0, true, "playing", Moves::Advancing},
      {"stop rewinds", kStop, 0, true, "stopped", Moves::AtStart},
      {"play after stop", kPlay, -1, true, "playing", Moves::Advancing},
      {"stop", kStop, 0, true, "stopped", Moves::AtStart},
  };
  RunSteps(steps);
}

// A resume on a stopped track plays it; a pause holds it at the start.
TEST_F(MediaPlaySequences, ThePausedFlagSurvivesStopAndOnlyPlayClearsIt) {
  const Step pauseStopPause[] = {
      {"open", kOpen, 0, true, "stopped", Moves::AtStart},
      {"play", kPlay, -1, true, "playing", Moves::Advancing},
      {"pause", kPause, 0, true, "paused", Moves::Held},
      {"stop", kStop, 0, true, "stopped", Moves::AtStart},
      {"pause after stop resumes", kPause, 0, true, nullptr, Moves::Advancing},
  };
  RunSteps(pauseStopPause);
  // This Wine's device keeps counting its position after a stop that follows
  // a resume on a stopped track, so the rest starts on a fresh device.
  const Step withPlayBetween[] = {
      {"open again", kOpen, 0, true, "stopped", Moves::AtStart},
      {"play clears the flag", kPlay, -1, true, "playing", Moves::Advancing},
      {"pause", kPause, 0, true, "paused", Moves::Held},
      {"stop", kStop, 0, true, "stopped", Moves::AtStart},
      {"play", kPlay, -1, true, "playing", Moves::Advancing},
      {"pause pauses", kPause, 0, true, "paused", Moves::Held},
  };
  RunSteps(withPlayBetween);
}

TEST_F(MediaPlayCommands, PlayFromAPositionStartsThere) {
  ASSERT_TRUE(Open(kFirst, song_));
  EXPECT_TRUE(Play(kFirst, 5000));
  EXPECT_TRUE(ModeBecomes(kFirst, "playing"));
  EXPECT_GE(Position(kFirst), 5000);
  EXPECT_TRUE(Advances(kFirst));
}

// The position read through the command while playing, -1 otherwise.
TEST_F(MediaPlayCommands, PlayingPositionIsKnownOnlyWhilePlaying) {
  auto playingPosition = [] {
    rt::ArgRecord result = Call(lib::multimedia::CMD_PLAYING_POSITION, kFirst);
    EXPECT_EQ(result.tag, rt::TYPE_INT);
    return int32_t(result.low);
  };
  EXPECT_EQ(playingPosition(), -1) << "nothing open";
  ASSERT_TRUE(Open(kFirst, song_));
  EXPECT_EQ(playingPosition(), -1) << "opened, not playing";
  ASSERT_TRUE(Play(kFirst, 2000));
  ASSERT_TRUE(ModeBecomes(kFirst, "playing"));
  EXPECT_GE(playingPosition(), 2000);
  int32_t from = playingPosition();
  EXPECT_TRUE(WaitUntil([&] { return playingPosition() > from; })) << "the position moves on";
  ASSERT_TRUE(Run(kPause, kFirst));
  ASSERT_TRUE(ModeBecomes(kFirst, "paused"));
  EXPECT_EQ(playingPosition(), -1) << "paused";
  ASSERT_TRUE(Run(kStop, kFirst));
  EXPECT_EQ(playingPosition(), -1) << "stopped";
}

TEST_F(MediaPlayCommands, BeforeAnyOpenEveryCommandFails) {
  EXPECT_FALSE(Play(kFirst));
  EXPECT_FALSE(Run(kPause, kFirst));
  EXPECT_FALSE(Run(kStop, kFirst));
  ASSERT_TRUE(Open(kFirst, song_));
  ASSERT_TRUE(Play(kFirst));
  EXPECT_TRUE(Run(kPause, kFirst));
  EXPECT_TRUE(ModeBecomes(kFirst, "paused")) << "Play set the pause back after the failed one";
}

// MP3 data opens under every device type that plays it and fails under the
// others, which tells the chosen type from outside.
struct FileCase {
  const char* what;
  const char* name;  // in the test's folder
  Media content;
  bool opens;
};

const FileCase kFiles[] = {
    {"mp3", "plain.mp3", Media::Mp3, true},
    {"capital extension", "LOUD.MP3", Media::Mp3, true},
    {"Chinese name", "歌曲 一.mp3", Media::Mp3, true},
    {"unknown extension", "odd.xyz", Media::Mp3, true},
    {"dot in a folder's name", "a.b\\song", Media::Mp3, true},
    {"MPEGvideo2 extension", "music.wma", Media::Mp3, true},
    {"wav as waveaudio", "tone.wav", Media::Wav, true},
    {"mp3 data as waveaudio", "mp3data.wav", Media::Mp3, false},
    {"mp3 data as avivideo", "mp3data.avi", Media::Mp3, false},
    {"mp3 data as Sequencer", "mp3data.mid", Media::Mp3, false},
    {"mp3 data as cdaudio", "mp3data.cda", Media::Mp3, false},
    {"zero bytes", "empty.mp3", Media::Empty, false},
    {"not audio", "text.mp3", Media::Text, false},
    {"missing", "missing.mp3", Media::None, false},
};

TEST_F(MediaPlayCommands, OpenChoosesTheDeviceByExtensionAndFailsQuietly) {
  int devices = OpenDevices(), windows = VisibleTopWindows();
  for (const FileCase& c : kFiles) {
    EXPECT_EQ(Open(kFirst, media_.Make(c.name, c.content)), c.opens) << c.what;
    EXPECT_EQ(OpenDevices(), devices + int(c.opens)) << c.what;
    EXPECT_EQ(VisibleTopWindows(), windows) << c.what << ": something was shown";
  }
}

// A track cut short, or bytes that are no track: Open answers for itself
// (this Wine opens every one of these), shows nothing, and a device it
// opened plays and stops without hanging.
TEST_F(MediaPlayCommands, ACutOrGarbledTrackFailsQuietly) {
  std::ifstream in(rt::WideFromGbk(song_).c_str(), std::ios::binary);
  std::vector<char> whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::mt19937 random(20240611);
  std::vector<char> garbage(whole.size() / 4);
  for (char& byte : garbage) byte = char(random());
  struct Case {
    std::string what;
    std::vector<char> bytes;
  };
  std::vector<Case> cases = {{"random bytes", garbage}};
  for (size_t cut : {size_t(1), size_t(4), size_t(100), size_t(417), size_t(4096), whole.size() / 2})
    cases.push_back({"cut at byte " + std::to_string(cut), {whole.begin(), whole.begin() + std::ptrdiff_t(cut)}});
  int devices = OpenDevices(), windows = VisibleTopWindows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = media_.Make("cut.mp3", Media::None);
    std::ofstream(rt::WideFromGbk(path).c_str(), std::ios::binary).write(c.bytes.data(), std::streamsize(c.bytes.size()));
    bool opened = Open(kFirst, path);
    EXPECT_EQ(OpenDevices(), devices + int(opened));
    if (opened) {
      Play(kFirst);
      Run(kStop, kFirst);
    }
    EXPECT_EQ(VisibleTopWindows(), windows) << "something was shown";
  }
  EXPECT_FALSE(Open(kFirst, media_.Make("empty.mp3", Media::Empty)));
  EXPECT_EQ(OpenDevices(), devices) << "the last device was closed";
}

TEST_F(MediaPlayCommands, ASecondOpenClosesTheFirstDevice) {
  int devices = OpenDevices();
  ASSERT_TRUE(Open(kFirst, song_));
  ASSERT_TRUE(Play(kFirst));
  ASSERT_TRUE(ModeBecomes(kFirst, "playing"));
  ASSERT_TRUE(Open(kFirst, media_.Make("tone.wav", Media::Wav)));
  EXPECT_EQ(OpenDevices(), devices + 1);
  EXPECT_EQ(Mode(kFirst), "stopped") << "the playing track was not closed";
  EXPECT_FALSE(Open(kFirst, media_.Make("empty.mp3", Media::Empty)));
  EXPECT_EQ(OpenDevices(), devices) << "a failed open leaves the previous device closed";
}

// This Wine refuses a window for a track without video; the track plays
// all the same. A handle that is no window is not sent at all.
TEST_F(MediaPlayCommands, PlaySendsTheVideoWindowOnlyWhenItIsALiveWindow) {
  ASSERT_TRUE(Open(kFirst, song_));
  EXPECT_FALSE(Run(kPlay, kFirst, {rt::MakeInt(-1), rt::MakeInt(HandleToLong(Handle(0)))}));
  EXPECT_TRUE(ModeBecomes(kFirst, "playing"));
  ASSERT_TRUE(Run(kStop, kFirst));
  EXPECT_TRUE(Run(kPlay, kFirst, {rt::MakeInt(-1), rt::MakeInt(0x7FFFFFF0)}));
  EXPECT_TRUE(ModeBecomes(kFirst, "playing"));
}

TEST_F(MediaPlayCommands, TwoUnitsPlayIndependently) {
  ASSERT_NE(Alias(kFirst), Alias(kSecond));
  ASSERT_TRUE(Open(kFirst, song_));
  ASSERT_TRUE(Open(kSecond, song_));
  ASSERT_TRUE(Play(kFirst));
  ASSERT_TRUE(Play(kSecond));
  ASSERT_TRUE(Run(kPause, kFirst));
  EXPECT_TRUE(ModeBecomes(kFirst, "paused"));
  EXPECT_EQ(Mode(kSecond), "playing");
  EXPECT_TRUE(Advances(kSecond));
  ASSERT_TRUE(Run(kStop, kSecond));
  EXPECT_EQ(Mode(kFirst), "paused");
}

TEST_F(MediaPlayCommands, ClosingTheWindowClosesTheTrack) {
  int devices = OpenDevices();
  ASSERT_TRUE(Open(kFirst, song_));
  ASSERT_TRUE(Play(kFirst));
  std::string alias = Alias(kFirst);
  DestroyWindow(Handle(0));
  PumpMessages();
  EXPECT_FALSE(Accepted("status " + alias + " mode"));
  EXPECT_EQ(OpenDevices(), devices);
}

// The playback thread opens and plays while the window thread pauses and
// stops: every call is carried to the window thread, which owns the device.
TEST_F(MediaPlayCommands, AWorkersOpenAndPlayMeetTheWindowThreadsPauseAndStop) {
  constexpr int kRounds = 4;
  int opened = 0, played = 0, windowCalls = 0;
  OnWorker(
      [&] {
        for (int round = 0; round < kRounds; ++round) {
          opened += Open(kFirst, song_);
          played += Play(kFirst);
        }
      },
      [&] { Run(++windowCalls % 2 ? kPause : kStop, kFirst); });
  EXPECT_EQ(opened, kRounds);
  EXPECT_EQ(played, kRounds);
  EXPECT_GT(windowCalls, 0);
  EXPECT_TRUE(Play(kFirst)) << "the window thread cannot command the worker's device";
  EXPECT_TRUE(ModeBecomes(kFirst, "playing"));
}

TEST_F(MediaPlayCommands, AWorkersCallsAfterTheWindowIsGoneDoNothing) {
  DestroyWindow(Handle(0));
  PumpMessages();
  int devices = OpenDevices();
  std::vector<rt::ArgRecord> results;
  rt::State().mainThreadId = GetCurrentThreadId();
  testing_support::ExpectNoFatal("the worker's calls", [&] {
    testing_support::RunOnWorker([&] {
      results.push_back(Call(kOpen, kFirst, {rt::MakeBlock(rt::TYPE_TEXT, song_.c_str())}));
      results.push_back(Call(kPlay, kFirst, {rt::MakeInt(-1)}));
      results.push_back(Call(kPause, kFirst));
      results.push_back(Call(kStop, kFirst));
    });
  });
  for (const rt::ArgRecord& result : results)
    EXPECT_TRUE(result.low == 0 && result.high == 0 && result.tag == 0) << "a result was written";
  EXPECT_EQ(OpenDevices(), devices);
}

// ---- The media player record -----------------------------------------------------

bool IsLowerHex(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

TEST(MediaPlayer, AliasIs32LowerCaseHexDigitsOfItsOwn) {
  MediaPlayer first;
  MediaPlayer second;
  EXPECT_EQ(first.alias().size(), 32u);
  EXPECT_TRUE(IsLowerHex(first.alias())) << first.alias();
  EXPECT_NE(first.alias(), second.alias());
}

TEST(MediaPlayer, DestroyingTheRecordClosesItsDevice) {
  std::string alias;
  {
    MediaPlayer player;
    alias = player.alias();
    ASSERT_TRUE(Accepted("open new type waveaudio alias " + alias));
    ASSERT_TRUE(Accepted("status " + alias + " ready"));
  }
  EXPECT_FALSE(Accepted("status " + alias + " ready"));
}

// Without an alias nothing is opened that could never be closed again.
TEST(MediaPlayer, WithoutAnAliasEveryCommandFails) {
  MediaFolder media;
  std::string song = media.Make("song.mp3", Media::Mp3);
  int devices = OpenDevices();
  MediaPlayer player("");
  EXPECT_FALSE(player.Open(song));
  EXPECT_EQ(OpenDevices(), devices);
  EXPECT_FALSE(player.Play(-1, nullptr));
  EXPECT_FALSE(player.Pause());
  EXPECT_FALSE(player.Stop());
}

}  // namespace
