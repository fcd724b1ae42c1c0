// A seeded run of random user actions during playback, from outside, as a
// user with a mouse and little patience would: Start, Pause/Continue, Stop,
// Open and cancel, folder drops, resizes, Font size steps, a pause while a
// large folder is counted. Only what the File menu offers is chosen (its
// state follows the player's rules, tracked here). After every action every
// window of the player answers within 2 s, no message box is up and the
// process lives; a final Stop leaves the frame still, and closing the main
// window during playback ends the program with exit code 0.
//
// OMBRE_CHAOS_SEED and OMBRE_CHAOS_ACTIONS replay another run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

using e2e::FrameFolder;

constexpr unsigned kSeed = 1106;
constexpr int kActions = 1000;
constexpr size_t kTraceLength = 12;

unsigned FromEnvironment(const char* name, unsigned fallback) {
  const char* value = std::getenv(name);
  return value && *value ? unsigned(std::strtoul(value, nullptr, 10)) : fallback;
}

struct FileMenu {
  bool open = true, start = false, pauseContinue = false, stop = false;
};

class Chaos : public e2e::PlayerTest {
 public:
  struct Action {
    const char* name;
    int weight;
    bool (Chaos::*allowed)() const;
    void (Chaos::*run)();
  };

  Chaos() : first_(L"chaos_a"), second_(L"chaos_b") {
    for (int i = 1; i <= 3000; ++i) first_.WriteFrame(L"a", i, "A frame " + std::to_string(i));
    for (int i = 1; i <= 300; ++i) second_.WriteFrame(L"a", i, "B frame " + std::to_string(i));
  }

  bool Always() const { return true; }
  bool CanOpen() const { return menu_.open; }
  bool CanStart() const { return menu_.start; }
  bool CanPause() const { return menu_.pauseContinue; }
  bool CanStop() const { return menu_.stop; }

  void DropFolder(const std::wstring& folder) {
    auto [title, text] = Drop({folder});
    if (!title.empty()) ADD_FAILURE() << "a drop brought a box: " << e2e::Utf8(text);
    menu_ = {false, true, true, true};
  }
  void DropFirst() { DropFolder(first_.path()); }
  void DropSecond() { DropFolder(second_.path()); }

  // Start brings the Config window: closed by its close box, or by its
  // Start with a prefix typed (which stores its frame rate, 20, too).
  void Start() {
    Command(e2e::kStartCommand);
    HWND config = WaitWindow(L"Config");
    ASSERT_NE(config, nullptr) << "no Config window";
    if (random_() % 2) {
      ASSERT_TRUE(WaitUntil([&] { return driver::findButton(config, L"Start") != nullptr; }));
      SetText(Control(config, kPrefixBoxId), L"a");
      driver::clickButton(driver::findButton(config, L"Start"));
    } else {
      PostMessageW(config, WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(WaitGone(config)) << "the Config window stays";
    menu_.start = menu_.open = false;
    menu_.pauseContinue = true;
  }
  void PauseContinue() { Command(e2e::kPauseContinueCommand); }
  void Stop() {
    Command(e2e::kStopCommand);
    menu_.open = true;
    menu_.pauseContinue = menu_.stop = false;
  }
  void OpenAndCancel() {
    Command(e2e::kOpenCommand);
    HWND dialog = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, kTimeout);
    ASSERT_NE(dialog, nullptr) << "no folder dialog";
    ASSERT_NE(driver::waitChild(dialog, L"SysTreeView32", -1, kTimeout), nullptr);
    driver::cancelDialog(dialog);
    ASSERT_TRUE(WaitGone(dialog));
  }
  // Posted: a player that does not answer must not hold the driver.
  void Resize() {
    int width = 300 + int(random_() % 600), height = 250 + int(random_() % 450);
    SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
  }
  void FontStep() {
    HWND font = OpenModal(e2e::kFontCommand, L"Font");
    ASSERT_NE(font, nullptr);
    SetText(Control(font, kFontSizeBoxId), std::to_wstring(6 + random_() % 20));
    driver::clickButton(driver::findButton(font, L"OK"));
    ASSERT_TRUE(WaitGone(font));
  }
  // The build's folder of thirty thousand files: Pause comes while they
  // are counted.
  void PauseWhileCounting() {
    DropFolder(e2e::Beside(L"counting_frames"));
    Start();
    PauseContinue();
  }

 protected:
  // After each action: the process lives, every window answers, posted
  // messages get through as well as sent ones, and no message box is up
  // (one that is, is reported and closed).
  void ExpectHealthy() {
    ASSERT_TRUE(player_->running()) << "the player died";
    std::vector<HWND> silent = SilentWindows();
    EXPECT_TRUE(silent.empty()) << silent.size() << " windows did not answer within 2 s";
    Settle();
    if (HWND box = driver::waitTopWindow(player_->pid(), L"#32770", L"Error", 0)) {
      ADD_FAILURE() << "a message box: " << e2e::Utf8(driver::messageBoxText(box));
      Dismiss(box);
    }
  }

  void Run(const Action& action) {
    trace_.push_back(action.name);
    if (trace_.size() > kTraceLength) trace_.pop_front();
    (this->*action.run)();
    ExpectHealthy();
  }

  // A fresh playback of the long folder, under way once a frame changes.
  void EnsurePlaying() {
    DropFirst();
    Start();
    std::wstring before = Frame();
    ASSERT_TRUE(WaitUntil([&] { return Frame() != before; })) << "no frame came";
  }

  std::string Trace() const {
    std::string text;
    for (const char* name : trace_) text += std::string(name) + "; ";
    return text;
  }

  static constexpr int kPrefixBoxId = 140;  // the Config window's prefix box
  static constexpr int kFontSizeBoxId = 110;

  FrameFolder first_, second_;
  FileMenu menu_;
  std::mt19937 random_;
  std::deque<const char*> trace_;
};

TEST_F(Chaos, RandomUserActionsDuringPlaybackKeepThePlayerAnswering) {
  const Action actions[] = {
      {"Start", 6, &Chaos::CanStart, &Chaos::Start},
      {"Pause/Continue", 12, &Chaos::CanPause, &Chaos::PauseContinue},
      {"Stop", 4, &Chaos::CanStop, &Chaos::Stop},
      {"Open and cancel", 2, &Chaos::CanOpen, &Chaos::OpenAndCancel},
      {"drop the long folder", 3, &Chaos::Always, &Chaos::DropFirst},
      {"drop the short folder", 2, &Chaos::Always, &Chaos::DropSecond},
      {"resize", 10, &Chaos::Always, &Chaos::Resize},
      {"Font size step", 2, &Chaos::Always, &Chaos::FontStep},
      {"Pause during counting", 1, &Chaos::Always, &Chaos::PauseWhileCounting},
  };
  const unsigned seed = FromEnvironment("OMBRE_CHAOS_SEED", kSeed);
  const int count = int(FromEnvironment("OMBRE_CHAOS_ACTIONS", kActions));
  std::printf("chaos: seed %u, %d actions\n", seed, count);
  RecordProperty("seed", std::to_string(seed));
  random_.seed(seed);

  StartPlayer(L"--prefix a --rate 50");
  EnsurePlaying();
  ULONGLONG began = GetTickCount64();
  for (int done = 0; done < count && !HasFatalFailure();) {
    const Action& action = actions[random_() % std::size(actions)];
    if (random_() % 12 >= unsigned(action.weight) || !(this->*action.allowed)()) continue;
    SCOPED_TRACE("action " + std::to_string(done) + " of seed " + std::to_string(seed) + ", last: " + Trace());
    Run(action);
    ++done;
  }
  ULONGLONG spent = GetTickCount64() - began;
  std::printf("chaos: %d actions in %llu ms, %llu ms each\n", count, spent, spent / std::max(count, 1));
  ASSERT_FALSE(HasFatalFailure());

  if (!menu_.stop) EnsurePlaying();
  Stop();
  Settle();
  std::wstring still = Frame();
  EXPECT_FALSE(WaitUntil([&] { return Frame() != still; }, 1000)) << "a frame came after Stop";
  EXPECT_EQ(Status(), L"Stop...");

  EnsurePlaying();
  PostMessageW(main_, WM_CLOSE, 0, 0);
  DWORD code = 1;
  HWND box = nullptr;
  bool ended = WaitUntil([&] {
    box = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, 0);
    return box || player_->waitExit(0, &code);
  });
  EXPECT_EQ(box, nullptr) << "a message box at the end: " << e2e::Utf8(driver::messageBoxText(box));
  ASSERT_TRUE(ended) << "the player did not end";
  EXPECT_EQ(code, 0u);
}

}  // namespace
