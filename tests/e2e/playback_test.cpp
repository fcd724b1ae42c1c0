// Playing frame folders, driven from outside as a user would: the command
// line, the menu, drops onto the window; observed through the frame box,
// the status bar and the menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "audio_capture.h"
#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

using e2e::FrameFolder;

class Playback : public e2e::PlayerTest {
 protected:
  // Often enough to see each frame at 50 frames per second.
  static constexpr DWORD kRecordPollMs = 1;

  // Plays the folder at once with the prefix and rate given.
  void Play(const FrameFolder& folder, const std::wstring& prefix, int rate, const std::wstring& more = L"") {
    StartPlayer(L"--prefix " + e2e::Quoted(prefix) + L" --rate " + std::to_wstring(rate) + L" " + more + L" --play " +
                e2e::Quoted(folder.path()));
  }

  // The status texts seen, each once when it came, from now until `last`
  // has shown (or the timeout); polled often enough to see every frame's.
  std::vector<std::wstring> StatusesUntil(const std::wstring& last) {
    std::vector<std::wstring> seen;
    WaitUntil([&] {
      std::wstring now = Status();
      if (seen.empty() || seen.back() != now) seen.push_back(now);
      return now == last;
    }, kTimeout, kRecordPollMs);
    return seen;
  }

  // The number of the frame the status shows playing; 0 for any other text.
  int ShownNumber() {
    int shown = 0;
    return swscanf(Status().c_str(), L"Playing...%dItem", &shown) == 1 ? shown : 0;
  }

  // The frame texts seen, each once when it came, while `going` holds (or
  // until the timeout).
  std::vector<std::wstring> FramesWhile(const std::function<bool()>& going) {
    std::vector<std::wstring> seen;
    WaitUntil([&] {
      std::wstring now = Frame();
      if (seen.empty() || seen.back() != now) seen.push_back(now);
      return !going();
    }, kTimeout, kRecordPollMs);
    return seen;
  }
};

// From the first text equal to `from` on.
std::vector<std::wstring> From(const std::vector<std::wstring>& all, const std::wstring& from) {
  return {std::find(all.begin(), all.end(), from), all.end()};
}

TEST_F(Playback, ThreeFramesPlayInOrderWithTheirStatusTextsAndTheLastStays) {
  FrameFolder folder(L"three");
  for (int i = 1; i <= 3; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i) + "\r\nline two");
  // The track opens between the count and the first frame: that keeps the
  // count text up long enough to be seen.
  Play(folder, L"a", 5, L"--track " + e2e::Quoted(e2e::Beside(L"sine.mp3")));
  std::vector<std::wstring> statuses = StatusesUntil(L"Playing...3Item");
  std::vector<std::wstring> expected = {L"Find...3item...", L"Playing...1Item", L"Playing...2Item", L"Playing...3Item"};
  EXPECT_EQ(From(statuses, L"Find...3item..."), expected);
  EXPECT_EQ(driver::waitTopWindow(player_->pid(), nullptr, L"Config", 0), nullptr) << "--play needs no Config window";
  EXPECT_EQ(Frame(), L"frame 3\r\nline two");
  Sleep(500);
  EXPECT_EQ(Status(), L"Playing...3Item") << "the end of playback changes nothing";
  EXPECT_EQ(Frame(), L"frame 3\r\nline two");
}

// The frame log tells, from inside the player, when each frame showed on
// its playback clock: never before its due time, (n - 1) intervals after the
// first; no track is heard.
TEST_F(Playback, FramesComeNoFasterThanTheFrameRate) {
  FrameFolder folder(L"paced");
  for (int i = 1; i <= 3; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  const std::wstring log = folder.path() + L"\\frames.log";
  Play(folder, L"a", 5, L"--frame-log " + e2e::Quoted(log));
  struct Line {
    int frame, track;
    double ms;
  };
  std::vector<Line> lines;
  // Written by the playback thread just after each frame shows.
  EXPECT_TRUE(WaitUntil([&] {
    lines.clear();
    std::ifstream file{std::filesystem::path(log)};
    for (Line line; file >> line.frame >> line.ms >> line.track;) lines.push_back(line);
    return lines.size() >= 3;
  }));
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].frame, i + 1);
    EXPECT_GE(lines[i].ms, i * 200.0) << "frame " << i + 1;
    EXPECT_EQ(lines[i].track, -1);
  }
}

// At a rate no frame can keep, late frames are skipped, never shown late
// out of turn, and the last one always shows and stays.
TEST_F(Playback, FramesTooLateAreSkippedInOrderButNeverTheLast) {
  constexpr int kFrames = 400;
  FrameFolder folder(L"late");
  // Numbers of one width: a text read while it is replaced may come cut to
  // the old one's length.
  auto text = [](int i) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", i);
    return std::string("frame ") + digits;
  };
  for (int i = 1; i <= kFrames; ++i) folder.WriteFrame(L"a", i, text(i));
  Play(folder, L"a", 1000);
  const std::wstring last = L"Playing..." + std::to_wstring(kFrames) + L"Item";
  std::vector<std::wstring> frames = FramesWhile([&] { return Status() != last; });
  Settle();
  EXPECT_EQ(Frame(), std::wstring(L"frame 0400"));
  std::vector<int> numbers;
  for (const std::wstring& frame : frames)
    if (frame.starts_with(L"frame ")) numbers.push_back(std::stoi(frame.substr(6)));
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end())) << testing::PrintToString(numbers);
  EXPECT_EQ(Status(), last) << "the end of playback leaves the last status";
}

struct FolderCase {
  const char* name;
  std::vector<std::pair<std::wstring, std::string>> files;
  std::wstring lastStatus;
  std::wstring lastFrame;
  std::wstring neverShown;
};

// What a folder's files show, by their names alone.
TEST_F(Playback, FramesAreLookedUpByTheirNumberAndCountedByEveryTxtFile) {
  const FolderCase cases[] = {
      {"a readme counts, and its frame number shows empty",
       {{L"a0001.txt", "one"}, {L"a0002.txt", "two"}, {L"a0003.txt", "three"}, {L"readme.txt", "read me"}},
       L"Playing...4Item", L"", L"read me"},
      {"frame 0 is never shown",
       {{L"a0000.txt", "zero"}, {L"a0001.txt", "one"}, {L"a0002.txt", "two"}},
       L"Playing...3Item", L"", L"zero"},
      {"other prefixes count but never show",
       {{L"a0001.txt", "one"}, {L"b0002.txt", "bee"}},
       L"Playing...2Item", L"", L"bee"},
      {"a missing number shows empty and playback goes on",
       {{L"a0001.txt", "one"}, {L"a0003.txt", "three"}, {L"x.txt", ""}},
       L"Playing...3Item", L"three", L"x"},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    FrameFolder folder(L"lookup");
    for (const auto& [name, text] : c.files) folder.Write(name, text);
    Play(folder, L"a", 20);
    std::vector<std::wstring> frames = FramesWhile([&] { return Status() != c.lastStatus; });
    Settle();
    EXPECT_EQ(Frame(), c.lastFrame);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), c.neverShown), 0) << testing::PrintToString(frames);
    CloseAndExpectExitCodeZero();
  }
}

// Frames are UTF-8, shown through code page 936 whatever the system's code
// page is: Chinese as Chinese; a GBK-encoded file's two-byte characters as
// the replacement "?", its ASCII unchanged.
TEST_F(Playback, FramesAreDecodedAsUtf8) {
  FrameFolder folder(L"decode");
  folder.WriteFrame(L"a", 1, "\xE5\xB8\xA7 \xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90 \xE4\xB8\xAD\xE6\x96\x87 ok");  // 帧 ┌─┐ 中文 ok
  folder.WriteFrame(L"a", 2, "AB \xD6\xD0\xCE\xC4 CD");  // 中文 in GBK
  folder.WriteFrame(L"a", 3, std::string_view("before\0after", 12));
  StartPlayer(L"--prefix a --rate 2 " + e2e::Quoted(folder.path()));
  SetFrameFontSize(20);  // the frame box's own font is a few pixels high
  StartThroughConfig();
  ASSERT_TRUE(WaitUntil([&] { return Status() == L"Playing...1Item"; }));
  EXPECT_EQ(Frame(), L"帧 ┌─┐ 中文 ok");
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"playback.bmp")));
  ASSERT_TRUE(WaitUntil([&] { return Status() == L"Playing...2Item"; }));
  std::wstring gbk = Frame();
  EXPECT_TRUE(gbk.starts_with(L"AB ") && gbk.ends_with(L" CD")) << testing::PrintToString(gbk);
  std::wstring middle = gbk.substr(3, gbk.size() - 6);
  EXPECT_TRUE(!middle.empty() && middle.find_first_not_of(L'?') == std::wstring::npos) << testing::PrintToString(gbk);
  ASSERT_TRUE(WaitUntil([&] { return Status() == L"Playing...3Item"; }));
  EXPECT_EQ(Frame(), L"before") << "a zero byte ends the frame";
}

TEST_F(Playback, AnEmptyFolderFindsNoFrame) {
  FrameFolder folder(L"empty");
  Play(folder, L"a", 20);
  EXPECT_TRUE(WaitForStatus(L"Find...0item...")) << "status: " << testing::PrintToString(Status());
  EXPECT_EQ(Frame(), L"");
}

struct MenuState {
  bool open, start, pauseContinue, stop;
  bool operator==(const MenuState&) const = default;
};

void PrintTo(const MenuState& m, std::ostream* out) {
  *out << "{Open " << m.open << ", Start " << m.start << ", Pause/Continue " << m.pauseContinue << ", Stop " << m.stop
       << "}";
}

class MainWindow : public Playback {
 protected:
  // The File menu always has an item enabled (Open, or Pause/Continue and
  // Stop): a reading with none caught the popup before it was painted on a
  // busy machine, and is taken again.
  MenuState Menu() {
    constexpr int kReadings = 3;
    Settle();
    std::vector<bool> items;
    for (int reading = 0; reading < kReadings && std::count(items.begin(), items.end(), true) == 0; ++reading)
      items = FileItemsEnabled();
    if (items.size() != 4) return ADD_FAILURE() << "the File menu did not open", MenuState{};
    return {items[0], items[1], items[2], items[3]};
  }
  // Whether the frame stays as it is for `ms`.
  bool FrameStays(DWORD ms) {
    Settle();
    std::wstring before = Frame();
    return !WaitUntil([&] { return Frame() != before; }, ms);
  }
  bool FrameChanges() {
    std::wstring before = Frame();
    return WaitUntil([&] { return Frame() != before; });
  }
};

constexpr MenuState kAtStart{true, false, false, false};
constexpr MenuState kAfterDrop{false, true, true, true};
constexpr MenuState kPlaying{false, false, true, true};
constexpr MenuState kStopped{true, false, false, false};

const wchar_t kPathError[] =
    L"File path error, please drag directory!!\r\nPlease keep English path, by deleting spaces and Chinese symbols!!!";

TEST_F(MainWindow, ADroppedFolderIsTakenAndAPathWithADotIsRefused) {
  StartPlayer();
  EXPECT_EQ(Menu(), kAtStart);
  for (const wchar_t* refused : {L"D:\\frames.v2", L"D:\\a.txt"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(refused)));
    auto [title, text] = Drop({refused});
    EXPECT_EQ(title, L"Error");
    EXPECT_EQ(text, kPathError);
    EXPECT_EQ(Status(), L"Item");
    EXPECT_EQ(Menu(), kAtStart);
  }
  FrameFolder folder(L"dropped");
  auto [title, text] = Drop({folder.path()});
  EXPECT_EQ(title, L"") << "no message";
  EXPECT_EQ(Status(), folder.path());
  EXPECT_EQ(Menu(), kAfterDrop);
}

TEST_F(MainWindow, TwoFoldersDroppedTogetherAreTakenAsOneTextAndFindNothing) {
  StartPlayer(L"--prefix a --rate 50");
  FrameFolder first(L"first"), second(L"second");
  first.WriteFrame(L"a", 1, "one");
  Drop({first.path(), second.path()});
  // The status bar shows each line break as spaces.
  EXPECT_TRUE(Status().starts_with(first.path()) && Status().find(second.path()) != std::wstring::npos)
      << testing::PrintToString(Status());
  StartThroughConfig();
  EXPECT_TRUE(WaitForStatus(L"Find...0item..."));
}

TEST_F(MainWindow, OpenThenCancelStartsNothing) {
  StartPlayer();
  Command(e2e::kOpenCommand);
  HWND dialog = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, kTimeout);
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(driver::waitChild(dialog, L"SysTreeView32", -1, kTimeout), nullptr);
  driver::cancelDialog(dialog);
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_EQ(Menu(), kAtStart);
  EXPECT_EQ(Status(), L"Item");
  EXPECT_EQ(driver::waitTopWindow(player_->pid(), nullptr, L"Config", 300), nullptr) << "no Config window";
}

TEST_F(MainWindow, OpenWithAFolderShowsConfigThenPlays) {
  StartPlayer(L"--prefix a --rate 50");
  FrameFolder folder(L"opened");
  folder.WriteFrame(L"a", 1, "opened frame");
  Command(e2e::kOpenCommand);
  HWND dialog = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, kTimeout);
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(driver::waitChild(dialog, L"SysTreeView32", -1, kTimeout), nullptr);
  driver::RemoteText path(player_->pid(), folder.path());
  driver::chooseFolder(dialog, path);
  HWND config = WaitWindow(L"Config");
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(Status(), folder.path());
  PostMessageW(config, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return Frame() == L"opened frame"; }));
  EXPECT_EQ(Menu(), kPlaying);
}

TEST_F(MainWindow, ResizingFitsTheFrameBoxAndTheStatusParts) {
  StartPlayer();
  SetWindowPos(main_, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  Settle();
  RECT box;
  GetWindowRect(edit_, &box);
  EXPECT_EQ(box.right - box.left, 385);
  EXPECT_EQ(box.bottom - box.top, 220);
  EXPECT_EQ(driver::statusRightEdges(status_), (std::vector<int>{120, 400}));
}

TEST_F(MainWindow, StopStopsTheFramesAndSetsTheMenu) {
  FrameFolder folder(L"stop");
  for (int i = 1; i <= 200; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  // A player showing frames as fast as it can carries out the frames'
  // window work first and paints its menu last: a slow rate leaves it time.
  Play(folder, L"a", 5);
  EXPECT_EQ(Menu(), kPlaying);
  ASSERT_TRUE(FrameChanges());
  Command(e2e::kStopCommand);
  EXPECT_TRUE(FrameStays(500));
  EXPECT_EQ(Status(), L"Stop...");
  EXPECT_EQ(Menu(), kStopped);
}

TEST_F(MainWindow, StopAfterADropWithNothingStartedChangesOnlyTheStatusAndTheMenu) {
  StartPlayer();
  FrameFolder folder(L"nothing");
  Drop({folder.path()});
  Command(e2e::kStopCommand);
  Settle();
  EXPECT_EQ(Status(), L"Stop...");
  EXPECT_EQ(Menu(), (MenuState{true, true, false, false})) << "Start keeps its state";
  EXPECT_EQ(Frame(), L"");
}

// Pause holds the frames; Continue lets them go on. Pause, Stop and a new
// playback: the player still counts itself paused, so the first press
// continues (nothing to continue) and the second pauses.
TEST_F(MainWindow, PauseAndContinueAlternateAcrossStop) {
  FrameFolder folder(L"pause");
  for (int i = 1; i <= 400; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  Play(folder, L"a", 20);
  ASSERT_TRUE(FrameChanges());
  Command(e2e::kPauseContinueCommand);
  EXPECT_TRUE(FrameStays(500)) << "paused";
  EXPECT_EQ(Status(), L"Pause...");
  Command(e2e::kPauseContinueCommand);
  Settle();
  EXPECT_TRUE(FrameChanges()) << "continued";
  Command(e2e::kPauseContinueCommand);
  EXPECT_TRUE(FrameStays(300)) << "paused again";
  Command(e2e::kStopCommand);
  Drop({folder.path()});
  StartThroughConfig();
  EXPECT_TRUE(FrameChanges()) << "a new playback starts unheld";
  Command(e2e::kPauseContinueCommand);
  Settle();
  EXPECT_TRUE(FrameChanges()) << "the first press continues: the frames go on";
  Command(e2e::kPauseContinueCommand);
  EXPECT_TRUE(FrameStays(500)) << "the second press pauses";
  EXPECT_EQ(Status(), L"Pause...");
}

// The texts of Pause and Continue, once the frames are over: while frames
// play, the next one may overwrite "Playing..." before it can be read.
TEST_F(MainWindow, PauseAndContinueShowTheirTexts) {
  FrameFolder folder(L"texts");
  folder.WriteFrame(L"a", 1, "one");
  Play(folder, L"a", 20);
  ASSERT_TRUE(WaitForStatus(L"Playing...1Item"));
  for (const wchar_t* expected : {L"Pause...", L"Playing...", L"Pause..."}) {
    Command(e2e::kPauseContinueCommand);
    Settle();
    EXPECT_EQ(Status(), expected);
  }
}

// A folder dropped during playback and a second Start leave two playbacks
// running, both reading the new folder; Stop stops both.
TEST_F(MainWindow, StopEndsEveryRunningPlayback) {
  FrameFolder first(L"older"), second(L"newer");
  for (int i = 1; i <= 400; ++i) second.WriteFrame(L"a", i, "frame " + std::to_string(i));
  first.WriteFrame(L"a", 1, "first");
  for (int i = 2; i <= 400; ++i) first.WriteFrame(L"a", i, "");
  Play(first, L"a", 20);
  // A busy machine may skip frame 30 itself.
  ASSERT_TRUE(WaitUntil([&] { return ShownNumber() >= 30; }));
  Drop({second.path()});
  StartThroughConfig();
  // Two frame counters, one 30 ahead: the numbers shown go back and forth.
  int backwards = 0, last = 0;
  WaitUntil([&] {
    int shown = ShownNumber();
    if (shown && shown != last) {
      backwards += shown < last;
      last = shown;
    }
    return backwards >= 3;
  });
  EXPECT_GE(backwards, 3) << "both play";
  Command(e2e::kStopCommand);
  EXPECT_TRUE(FrameStays(600));
}

// Four playbacks keep the window thread busy with their frames, each call of
// theirs a sent message, which a thread takes before any posted one: posted
// messages (input, timers, COM's calls, a drop's) still get their turn.
TEST_F(MainWindow, PostedMessagesGetThroughWhilePlaybacksKeepTheWindowThreadBusy) {
  FrameFolder first(L"busy_a"), second(L"busy_b");
  std::string page;
  for (int line = 0; line < 60; ++line) page += std::string(150, char('a' + line % 26)) + "\r\n";
  for (int i = 1; i <= 600; ++i) {
    first.WriteFrame(L"a", i, page + std::to_string(i));
    second.WriteFrame(L"a", i, page + std::to_string(i));
  }
  Play(first, L"a", 50);
  ASSERT_TRUE(WaitUntil([&] { return ShownNumber() >= 5; }));
  for (const FrameFolder* folder : {&second, &first, &second}) {
    Drop({folder->path()});
    StartThroughConfig();
  }
  ASSERT_TRUE(WaitUntil([&] { return ShownNumber() >= 20; }));
  for (int mark = 1; mark <= 5; ++mark) {
    const LPARAM limit = 0x7FFFFF00 + mark;
    PostMessageW(edit_, EM_SETLIMITTEXT, WPARAM(limit), 0);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0) == limit; }, 2000))
        << "posted message " << mark << " waited over 2 s";
  }
}

// The pause comes while the counting thread still counts a large folder
// (made by the build: make_counting_folder.py): the count text still comes,
// and no frame before Continue.
TEST_F(MainWindow, APauseDuringCountingHoldsPlaybackUntilContinue) {
  const std::wstring folder = e2e::Beside(L"counting_frames");
  ASSERT_EQ(folder.find(L'.'), std::wstring::npos) << "the player refuses a folder path with a dot";
  StartPlayer(L"--prefix a --rate 10 --play " + e2e::Quoted(folder));
  Command(e2e::kPauseContinueCommand);
  std::vector<std::wstring> statuses = StatusesUntil(L"Find...30003item...");
  EXPECT_EQ(From(statuses, L"Pause..."), (std::vector<std::wstring>{L"Pause...", L"Find...30003item..."}))
      << "the pause came during counting: " << testing::PrintToString(statuses);
  EXPECT_TRUE(FrameStays(500));
  EXPECT_EQ(Frame(), L"");
  Command(e2e::kPauseContinueCommand);
  std::vector<std::wstring> frames = FramesWhile([&] { return Status() != L"Playing...4Item"; });
  EXPECT_EQ(From(frames, L"frame 1"), (std::vector<std::wstring>{L"frame 1", L"frame 2", L"frame 3", L""}));
}

class PlaybackHeard : public MainWindow {
 protected:
  driver::Process Launch(const std::wstring& exePath, const std::wstring& arguments) override {
    return capture_.start(exePath, arguments);
  }
  void ExpectSilence(const char* when) {
    EXPECT_TRUE(capture_.waitForSilence(kTimeout)) << "the sound did not stop " << when;
    EXPECT_TRUE(capture_.staysSilent(1000)) << "sound " << when;
  }
  e2e::AudioCapture capture_;
};

TEST_F(PlaybackHeard, TheTrackSoundsWithTheFramesAndPausesAndStopsWithThem) {
  FrameFolder folder(L"heard");
  for (int i = 1; i <= 400; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  Play(folder, L"a", 20, L"--track " + e2e::Quoted(e2e::Beside(L"sine.mp3")));
  ASSERT_TRUE(FrameChanges());
  EXPECT_TRUE(capture_.waitForSound(kTimeout)) << "nothing sounded while the frames played";
  Command(e2e::kPauseContinueCommand);
  EXPECT_TRUE(FrameStays(300));
  ExpectSilence("while paused");
  Command(e2e::kPauseContinueCommand);
  EXPECT_TRUE(FrameChanges());
  EXPECT_TRUE(capture_.waitForSound(kTimeout)) << "nothing sounded after Continue";
  Command(e2e::kStopCommand);
  EXPECT_TRUE(FrameStays(300));
  ExpectSilence("after Stop");
}

// Closing the Config window by its close box keeps the values from before:
// after program start an empty prefix, so frames are 0001.txt, 0002.txt...,
// and no frame rate, so each frame is followed by the short fixed wait.
TEST_F(MainWindow, WithoutAPrefixFramesAreTheBareNumbers) {
  StartPlayer();
  FrameFolder folder(L"bare");
  folder.WriteFrame(L"", 1, "bare one");
  folder.WriteFrame(L"", 2, "bare two");
  Drop({folder.path()});
  StartThroughConfig();
  EXPECT_TRUE(WaitForStatus(L"Playing...2Item"));
  EXPECT_EQ(Frame(), L"bare two");
}

// A bad command line is reported with the usage, and the player starts as
// if it had none.
TEST_F(MainWindow, ABadOptionIsReportedAndThePlayerStartsWithoutOptions) {
  FrameFolder folder(L"badoption");
  folder.WriteFrame(L"a", 1, "never");
  StartPlayer(L"--prefix a --bogus --play " + e2e::Quoted(folder.path()));
  HWND box = driver::waitTopWindow(player_->pid(), L"#32770", L"Ombrevista", kTimeout);
  ASSERT_NE(box, nullptr);
  std::wstring text = driver::messageBoxText(box);
  EXPECT_TRUE(text.starts_with(L"Unknown option: --bogus\r\n\r\nUsage: ombrevista.exe")) << testing::PrintToString(text);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(box));
  EXPECT_EQ(Status(), L"Item");
  EXPECT_EQ(Menu(), kAtStart);
  Drop({folder.path()});
  EXPECT_EQ(Menu(), kAfterDrop) << "the player is usable";
}

TEST_F(MainWindow, HelpShowsTheUsageAndEnds) {
  player_ = std::make_unique<driver::Process>(Launch(e2e::Beside(L"ombrevista.exe"), L"--help"));
  HWND box = driver::waitTopWindow(player_->pid(), L"#32770", L"Ombrevista", kTimeout);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(driver::messageBoxText(box).starts_with(L"Usage: ombrevista.exe"));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 1;
  ASSERT_TRUE(player_->waitExit(kTimeout, &code));
  EXPECT_EQ(code, 0u);
}

struct CloseCase {
  const char* name;
  bool paused;
};

// The program ends with exit code 0 and no message, whatever plays.
TEST_F(MainWindow, ClosingDuringPlaybackEndsCleanly) {
  FrameFolder folder(L"closing");
  for (int i = 1; i <= 400; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  for (CloseCase c : {CloseCase{"playing", false}, CloseCase{"paused", true}}) {
    SCOPED_TRACE(c.name);
    Play(folder, L"a", 100, L"--track " + e2e::Quoted(e2e::Beside(L"sine.mp3")));
    ASSERT_TRUE(FrameChanges());
    if (c.paused) Command(e2e::kPauseContinueCommand);
    Settle();
    CloseAndExpectExitCodeZero();
  }
}

// Before the first frame the workers count, wait for the count, wait while
// held or open the track; the program ends cleanly from each.
struct EarlyCloseCase {
  const char* name;
  bool countingFolder;  // the build's thirty thousand files: counting lasts
  bool paused;
  const wchar_t* closeAt;  // the status text awaited before closing; null: at once
};

TEST_F(MainWindow, ClosingBeforeTheFirstFrameEndsCleanly) {
  FrameFolder small(L"early");
  small.WriteFrame(L"a", 1, "one");
  const std::wstring counting = e2e::Beside(L"counting_frames");
  const EarlyCloseCase cases[] = {
      {"counting", true, false, nullptr},
      {"held while counting", true, true, nullptr},
      {"held once counted", true, true, L"Find...30003item..."},
      {"opening the track", false, false, L"Find...1item..."},
  };
  for (const EarlyCloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    StartPlayer(L"--prefix a --rate 10 --track " + e2e::Quoted(e2e::Beside(L"sine.mp3")) + L" --play " +
                e2e::Quoted(c.countingFolder ? counting : small.path()));
    if (c.paused) Command(e2e::kPauseContinueCommand);
    if (c.closeAt) {
      ASSERT_TRUE(WaitForStatus(c.closeAt));
    }
    CloseAndExpectExitCodeZero();
  }
}

// The message loop can also end with the main window still there (a quit
// message from outside): the frames, which keep the program's thread busy
// at this rate, must not be shown into a window that the end destroys.
TEST_F(MainWindow, AQuitMessageDuringPlaybackEndsCleanly) {
  FrameFolder folder(L"quitting");
  for (int i = 1; i <= 4000; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  for (int round = 1; round <= 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Play(folder, L"a", 1000);
    ASSERT_TRUE(FrameChanges());
    PostThreadMessageW(GetWindowThreadProcessId(main_, nullptr), WM_QUIT, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(player_->waitExit(kTimeout, &code)) << "the player did not end";
    EXPECT_EQ(code, 0u);
  }
}

struct OwnWindowCase {
  const char* name;
  bool folderGiven;  // "Start" wants one, "Open" none
  e2e::PlayerCommand command;
  const wchar_t* className;
  const wchar_t* title;
};

// Closing the main window (from outside: the window up keeps it disabled)
// while the Config, Font or About window or the folder dialog is up: the
// program ends cleanly once that window is closed too, and Config's close
// starts nothing.
TEST_F(MainWindow, ClosingTheMainWindowUnderAModalWindowEndsCleanly) {
  FrameFolder folder(L"owned");
  folder.WriteFrame(L"a", 1, "one");
  const OwnWindowCase cases[] = {
      {"Config", true, e2e::kStartCommand, L"VNWindow", L"Config"},
      {"Font", false, e2e::kFontCommand, L"VNWindow", L"Font"},
      {"About", false, e2e::kAboutCommand, L"VNWindow", L"About"},
      {"the folder dialog", false, e2e::kOpenCommand, L"#32770", nullptr},
  };
  for (const OwnWindowCase& c : cases) {
    SCOPED_TRACE(c.name);
    StartPlayer(L"--prefix a --rate 20 " + (c.folderGiven ? e2e::Quoted(folder.path()) : L""));
    Command(c.command);
    HWND own = driver::waitTopWindow(player_->pid(), c.className, c.title, kTimeout);
    ASSERT_NE(own, nullptr);
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitGone(main_));
    if (IsWindow(own)) PostMessageW(own, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitGone(own));
    DWORD code = 1;
    EXPECT_TRUE(player_->waitExit(kTimeout, &code)) << "the player did not end";
    EXPECT_EQ(code, 0u);
  }
}

}  // namespace
