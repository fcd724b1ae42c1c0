// run.sh's way of running the player (run_player.cpp), run as run.sh runs it
// without a display: its exit code, its picture and how soon it is done.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"

namespace {

// The runner's own waits end within about a minute and a half.
constexpr DWORD kRunTimeoutMs = 120000;
// Well under the minute it gives a frame that does not come.
constexpr ULONGLONG kPromptMs = 30000;

std::wstring Temporary(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp + name + L"_" + std::to_wstring(GetCurrentProcessId());
}

// The generated demo (scripts/demo.py): its frames and the player's options.
std::wstring DemoFrames() { return driver::windowsPath(OMBRE_DEMO_DIR "/frames"); }

std::vector<std::wstring> DemoOptions() {
  std::ifstream in(driver::windowsPath(OMBRE_DEMO_DIR "/player-options").c_str());
  std::vector<std::wstring> options;
  for (std::string line; std::getline(in, line);) options.push_back(e2e::Wide(line));
  return options;
}

class RunPlayer : public ::testing::Test {
 protected:
  void TearDown() override { DeleteFileW(picture_.c_str()); }

  // Runs it with these words after its name; its exit code, and the time it
  // took in elapsed_.
  DWORD Run(const std::vector<std::wstring>& words) {
    ULONGLONG started = GetTickCount64();
    driver::Process runner = driver::Process::start(e2e::Beside(L"run_player.exe"), driver::argumentLine(words));
    DWORD code = 0;
    EXPECT_TRUE(runner.waitExit(kRunTimeoutMs, &code)) << "the runner did not end";
    elapsed_ = GetTickCount64() - started;
    return code;
  }

  // The runner's options for a picture, the player, then its arguments.
  std::vector<std::wstring> Picturing(std::vector<std::wstring> options, const std::vector<std::wstring>& arguments) {
    options.insert(options.begin(), {L"--picture", picture_});
    options.push_back(e2e::Beside(L"ombrevista.exe"));
    options.insert(options.end(), arguments.begin(), arguments.end());
    return options;
  }

  // A whole screen's BMP: more than its headers.
  bool PictureSaved() {
    WIN32_FILE_ATTRIBUTE_DATA file;
    return GetFileAttributesExW(picture_.c_str(), GetFileExInfoStandard, &file) &&
           file.nFileSizeLow > sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  }

  std::wstring picture_ = Temporary(L"run_player") + L".bmp";
  ULONGLONG elapsed_ = 0;
};

struct WaitingBox {
  const char* name;
  std::vector<std::wstring> arguments;
};

// The player waits for the user behind a message box: the picture shows it at
// once, and the box and the player are closed as a user would close them.
const WaitingBox kWaitingBoxes[] = {
    {"a wrong option, over the main window", {L"--rate", L"0"}},
    {"the usage, with no main window", {L"--help"}},
};

TEST_F(RunPlayer, PicturesAMessageBoxAtOnceAndClosesThePlayer) {
  for (const WaitingBox& box : kWaitingBoxes) {
    SCOPED_TRACE(box.name);
    EXPECT_EQ(Run(Picturing({}, box.arguments)), 0u);
    EXPECT_TRUE(PictureSaved());
    EXPECT_LT(elapsed_, kPromptMs);
    DeleteFileW(picture_.c_str());
  }
}

// Every frame of the demo has text, and the last one comes: the runner waits
// for it (paced playback shows it no sooner than 299 intervals after the
// first), and the player, closed after its playback, ends with 0.
TEST_F(RunPlayer, WaitsForTheDemosLastFrame) {
  std::vector<std::wstring> arguments = DemoOptions();
  auto rate = std::ranges::find(arguments, L"--rate");
  ASSERT_LT(rate + 1, arguments.end()) << "no demo, or no rate in its options";
  const ULONGLONG lastFrameMs = 299 * 1000 / std::stoul(rate[1]);
  ASSERT_EQ(DemoFrames().find(L'.'), std::wstring::npos) << "the player refuses a folder with a dot";
  arguments.insert(arguments.end(), {L"--play", DemoFrames()});
  EXPECT_EQ(Run(Picturing({L"--frame", L"300"}, arguments)), 0u);
  EXPECT_TRUE(PictureSaved());
  EXPECT_GE(elapsed_, lastFrameMs);
}

struct WrongLine {
  const char* name;
  std::vector<std::wstring> words;
  DWORD code;
};

const WrongLine kWrongLines[] = {
    {"nothing", {}, 2},
    {"an option without a value", {L"--frame"}, 2},
    {"no player after the options", {L"--frame", L"3"}, 2},
    {"frame 0", {L"--frame", L"0", L"player.exe"}, 2},
    {"a frame that is no number", {L"--frame", L"3x", L"player.exe"}, 2},
    {"an empty picture path", {L"--picture", L"", L"player.exe"}, 2},
    {"an unknown option", {L"--colour", L"1", L"player.exe"}, 2},
    {"a player that is not there", {L"C:\\no\\such\\player.exe"}, 1},
};

TEST_F(RunPlayer, RefusesAWrongCommandLine) {
  for (const WrongLine& line : kWrongLines) {
    SCOPED_TRACE(line.name);
    EXPECT_EQ(Run(line.words), line.code);
  }
}

}  // namespace
