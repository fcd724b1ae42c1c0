// The Config window, driven from outside: File/Start opens it over a folder
// given on the command line (taken as if dropped). What it stores shows in
// later openings and in the playback that follows each closing.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

constexpr DWORD kTimeout = e2e::PlayerTest::kTimeout;

// Control IDs the loader hands out: 100 for the last of the window's nine
// units, 10 more for each one before it.
constexpr int ConfigControlId(int place) { return 100 + 10 * (9 - place); }
constexpr int kRateBoxId = ConfigControlId(4), kPrefixBoxId = ConfigControlId(5);

// The open-file dialog's folder list ("Look in").
constexpr int kLookInId = 0x471;

constexpr wchar_t kFileError[] = L"File error, please drag Mp3 File!!";
constexpr wchar_t kPrefixError[] = L"File Prefix error, please set File Prefix!!";

// A drop whose data the target took (DoDragDrop answers E_FAIL: the effect
// may not be undone), and one no registered window took.
constexpr HRESULT kDelivered = E_FAIL;
constexpr HRESULT kRefused = DRAGDROP_S_DROP;

POINT ClientCentreOnScreen(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  POINT at{r.right / 2, r.bottom / 2};
  ClientToScreen(window, &at);
  return at;
}

driver::DropOutcome DropFiles(const std::vector<std::wstring>& paths, POINT at) {
  auto data = driver::DragData::make({driver::fileListFormat(paths)});
  return driver::dragAndDrop(*data, at);
}

class ConfigWindow : public e2e::PlayerTest {
 protected:
  void SetUp() override { StartPlayer(e2e::Quoted(folder_.path())); }

  // Opens the Config window with File/Start, which the folder enabled (the
  // menu cannot be read from another process; the status bar tells).
  void Open() {
    ASSERT_TRUE(WaitForStatus(folder_.path())) << "the folder is taken, which enables Start";
    config_ = OpenModal(e2e::kStartCommand, L"Config");
    ASSERT_NE(config_, nullptr);
    prefix_ = Control(config_, kPrefixBoxId);
    rate_ = Control(config_, kRateBoxId);
    start_ = driver::findButton(config_, L"Start");
    select_ = driver::findButton(config_, L"Select");
    useBgm_ = driver::findButton(config_, L"Use BGM");
    for (HWND unit : {prefix_, rate_, start_, select_, useBgm_}) ASSERT_NE(unit, nullptr);
    ASSERT_EQ(driver::className(prefix_), L"Edit");
    ASSERT_EQ(driver::className(rate_), L"Edit");
  }

  // Once the Config window has closed and its playback has found no frames,
  // dropping the folder on the main window again enables Start.
  void DropFolderAndOpen() {
    ASSERT_TRUE(WaitForStatus(L"Find...0item..."));
    EXPECT_EQ(DropFiles({folder_.path()}, ClientCentreOnScreen(main_)).result, kDelivered);
    Open();
  }
  // Closes it by its close box, which stores nothing, and opens it again.
  void Reopen() {
    PostMessageW(config_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(config_));
    DropFolderAndOpen();
  }

  // Drops files on the Config window from a thread of its own: a refused
  // track's message box holds the drop until the box is dismissed.
  std::future<driver::DropOutcome> DropOnConfig(std::vector<std::wstring> paths) {
    return std::async(std::launch::async, DropFiles, std::move(paths), ClientCentreOnScreen(config_));
  }
  // A drop that must show no message box; one that does is dismissed.
  void DropQuietly(const std::wstring& path, HRESULT expected) {
    std::future<driver::DropOutcome> drop = DropOnConfig({path});
    HWND box = nullptr;
    WaitUntil([&] {
      box = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, 0);
      return box || drop.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    if (box) {
      ADD_FAILURE() << "a message box: " << e2e::Utf8(driver::messageBoxText(box));
      Dismiss(box);
    }
    EXPECT_EQ(drop.get().result, expected);
  }
  // The file error of a refused drop, owned by the main window, dismissed.
  void ExpectFileError(const std::vector<std::wstring>& paths) {
    std::future<driver::DropOutcome> drop = DropOnConfig(paths);
    HWND box = ErrorBox();
    ASSERT_NE(box, nullptr) << "the file error";
    EXPECT_EQ(driver::messageBoxText(box), kFileError);
    EXPECT_EQ(GetWindow(box, GW_OWNER), main_);
    EXPECT_TRUE(Dismiss(box));
    drop.get();
  }

  // Checks or unchecks "Use BGM" as a click does.
  void ClickUseBgm() {
    driver::clickButton(useBgm_);
    Settle();
  }
  bool UseBgmChecked() { return SendMessageW(useBgm_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool SelectEnabled() { return IsWindowEnabled(select_) != FALSE; }
  // "Use BGM" and "Select" as the track's state shows them.
  void ExpectTrackControls(bool on) {
    EXPECT_EQ(UseBgmChecked(), on);
    EXPECT_EQ(SelectEnabled(), on);
  }

  // "Select" and the open-file dialog it shows.
  HWND OpenTrackDialog() {
    driver::clickButton(select_);
    HWND dialog = driver::waitTopWindow(player_->pid(), L"#32770", L"Select BGM File", kTimeout);
    if (!dialog) ADD_FAILURE() << "the open-file dialog did not open";
    return dialog;
  }
  // Presses the dialog's OK or Cancel.
  void Answer(HWND dialog, int button) {
    driver::clickButton(driver::waitChild(dialog, L"Button", button, kTimeout));
    ASSERT_TRUE(WaitGone(dialog));
    Settle();
  }

  std::wstring Song(const wchar_t* name) { return folder_.path() + L"\\" + name; }

  e2e::FrameFolder folder_{L"config"};
  HWND config_ = nullptr, prefix_ = nullptr, rate_ = nullptr, start_ = nullptr, select_ = nullptr,
       useBgm_ = nullptr;
};

// 21 frames at 20 frames per second take a second at least from the click
// on "Start"; with no rate stored they would follow each other every 10 ms.
TEST_F(ConfigWindow, StartStoresThePrefixAndTheFrameRateAndCloses) {
  constexpr int kFrames = 21;
  for (int i = 1; i <= kFrames; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"a%04d.txt", i);
    folder_.Write(name, "frame " + std::to_string(i));
  }
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(driver::windowText(prefix_), L"");
  EXPECT_EQ(driver::windowText(rate_), L"20");
  ExpectTrackControls(false);
  SetForegroundWindow(config_);
  RedrawWindow(config_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle();
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"config_window.bmp")));

  SetText(prefix_, L"a");
  ULONGLONG clicked = GetTickCount64();
  driver::clickButton(start_);
  EXPECT_TRUE(WaitGone(config_)) << "Start closes the window";
  ASSERT_TRUE(WaitUntil([&] { return Frame() == L"frame 21"; })) << "the frames of prefix a play; last: " << Frame();
  EXPECT_GE(GetTickCount64() - clicked, 1000u - 20u) << "paced at 20 frames per second (tick steps of 16 ms allowed)";
  EXPECT_TRUE(WaitForStatus(L"Playing...21Item"));
}

TEST_F(ConfigWindow, AnEmptyPrefixShowsTheErrorAndKeepsTheWindowOpen) {
  ASSERT_NO_FATAL_FAILURE(Open());
  driver::clickButton(start_);
  HWND box = ErrorBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::messageBoxText(box), kPrefixError);
  EXPECT_EQ(GetWindow(box, GW_OWNER), main_) << "owned by the main window";
  EXPECT_TRUE(Dismiss(box));
  Settle();
  EXPECT_TRUE(IsWindowVisible(config_)) << "the window stays open";
  SetText(prefix_, L"a");
  driver::clickButton(start_);
  EXPECT_TRUE(WaitGone(config_));
  EXPECT_TRUE(WaitForStatus(L"Find...0item...")) << "the playback follows";
}

struct WheelCase {
  const char* name;
  const wchar_t* before;
  int delta;  // 120ths of a notch, positive away from the user
  const wchar_t* after;
};

TEST_F(ConfigWindow, TheWheelCyclesTheFrameRateFromOneToSixty) {
  const WheelCase cases[] = {
      {"up", L"20", 120, L"21"},
      {"down", L"20", -120, L"19"},
      {"up from 60", L"60", 120, L"1"},
      {"down from 1", L"1", -120, L"60"},
      {"down from 0", L"0", -120, L"60"},
      {"up from beyond 60", L"75", 120, L"1"},
      {"down from no number", L"", -120, L"60"},
      {"two notches, one step", L"20", 240, L"21"},
      {"less than a notch down", L"20", -60, L"20"},
      {"less than a notch up", L"20", 60, L"20"},
  };
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const WheelCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetText(rate_, c.before);
    driver::postWheel(rate_, c.delta);
    Settle();
    EXPECT_EQ(driver::windowText(rate_), c.after);
  }
}

TEST_F(ConfigWindow, ADroppedMp3TurnsTheTrackOnAndTheNextOpeningAcceptsDrops) {
  ASSERT_NO_FATAL_FAILURE(Open());
  DropQuietly(Song(L"song.mp3"), kRefused);
  ClickUseBgm();
  ExpectTrackControls(true);
  DropQuietly(Song(L"song.mp3"), kDelivered);
  ExpectTrackControls(true);

  ASSERT_NO_FATAL_FAILURE(Reopen());
  ExpectTrackControls(true);
  ExpectFileError({Song(L"song.wav")});
}

struct RefusedDrop {
  const char* name;
  std::vector<std::wstring> files;
};

// Each refusal follows a track that was on; the next opening shows it off.
TEST_F(ConfigWindow, ADropOtherThanOneMp3ShowsTheFileErrorAndTurnsTheTrackOff) {
  const RefusedDrop cases[] = {
      {"capitals", {L"song.MP3"}},
      {"another type", {L"song.wav"}},
      {"two tracks at once", {L"one.mp3", L"two.mp3"}},
      {"a name code page 936 cannot hold", {L"\uD55C\uAE00.mp3"}},
  };
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const RefusedDrop& c : cases) {
    SCOPED_TRACE(c.name);
    ClickUseBgm();
    DropQuietly(Song(L"song.mp3"), kDelivered);
    std::vector<std::wstring> paths;
    for (const std::wstring& file : c.files) paths.push_back(Song(file.c_str()));
    ExpectFileError(paths);
    ExpectTrackControls(true);  // a drop changes neither
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ExpectTrackControls(false);
  }
}

TEST_F(ConfigWindow, UncheckingThenDroppingAnMp3TurnsTheTrackOnWithTheBoxUnchecked) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ClickUseBgm();
  ClickUseBgm();
  ExpectTrackControls(false);
  DropQuietly(Song(L"song.mp3"), kDelivered);
  ExpectTrackControls(false);
  ASSERT_NO_FATAL_FAILURE(Reopen());
  ExpectTrackControls(true);
}

TEST_F(ConfigWindow, SelectWithATypedNameSetsTheTrackAndCancelTurnsItOff) {
  std::wstring chosen = folder_.Write(L"chosen.mp3", "ID3");
  ASSERT_NO_FATAL_FAILURE(Open());
  ClickUseBgm();
  HWND dialog = OpenTrackDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::windowText(driver::waitChild(dialog, L"ComboBox", kLookInId, kTimeout)), L"Desktop")
      << "the dialog starts on the user's desktop";
  SetText(driver::waitChild(dialog, L"ComboBoxEx32", 0x47C, kTimeout), chosen);
  ASSERT_NO_FATAL_FAILURE(Answer(dialog, IDOK));
  ExpectTrackControls(true);

  ASSERT_NO_FATAL_FAILURE(Reopen());
  ExpectTrackControls(true);
  dialog = OpenTrackDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(Answer(dialog, IDCANCEL));
  ExpectTrackControls(false);
  ASSERT_NO_FATAL_FAILURE(Reopen());
  ExpectTrackControls(false);
}

// The dialog has no owner: the Config window can be closed under it. Its
// answer then changes nothing, and the track chosen before stays on.
TEST_F(ConfigWindow, ADialogLeftOpenByAClosedWindowChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ClickUseBgm();
  DropQuietly(Song(L"song.mp3"), kDelivered);
  HWND dialog = OpenTrackDialog();
  ASSERT_NE(dialog, nullptr);
  SetText(prefix_, L"a");
  driver::clickButton(start_);
  EXPECT_TRUE(WaitGone(config_)) << "Start closes the window under the dialog";
  ASSERT_NO_FATAL_FAILURE(Answer(dialog, IDCANCEL));
  ASSERT_NO_FATAL_FAILURE(DropFolderAndOpen());
  ExpectTrackControls(true);
}

}  // namespace
