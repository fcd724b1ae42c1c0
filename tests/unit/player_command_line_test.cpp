#include "player/command_line.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/gbk.h"

namespace {

namespace fs = std::filesystem;
using player::CommandLine;

// The parse as one line a failed comparison prints; after an error only the
// error counts (the options are then ignored).
std::string Describe(const CommandLine& line) {
  if (!line.error.empty()) return "error: " + line.error;
  std::ostringstream text;
  auto optional = [&](const char* name, const auto& value) {
    text << name << "=";
    if (value) text << "[" << *value << "] ";
    else text << "none ";
  };
  optional("folder", line.folder);
  optional("prefix", line.prefix);
  optional("track", line.track);
  optional("rate", line.rate);
  optional("frame log", line.frameLog ? std::optional<std::string>(rt::GbkFromWide(*line.frameLog)) : std::nullopt);
  text << "play=" << line.play << " help=" << line.help;
  return text.str();
}

CommandLine Error(const char* message) {
  CommandLine line;
  line.error = message;
  return line;
}

struct ParseCase {
  const char* name;
  std::vector<std::wstring> arguments;
  CommandLine expected;
};

// Runs in the folder of the test program, where the build put sine.mp3, so
// that relative paths name known files.
class CommandLineParsing : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    here_ = fs::path(self).parent_path();
    fs::current_path(here_);
  }
  void TearDown() override { fs::current_path(saved_); }

  std::wstring Here(const wchar_t* name) const { return (here_ / name).wstring(); }
  std::string HereGbk(const wchar_t* name) const { return rt::GbkFromWide(Here(name)); }

  static void Check(const ParseCase& c) {
    EXPECT_EQ(Describe(player::ParseCommandLine(c.arguments)), Describe(c.expected)) << c.name;
  }

 private:
  fs::path saved_, here_;
};

constexpr const char* kRateError = "--rate takes a whole number of frames per second from 1 to 1000.";
constexpr const char* kNotMp3 = "--track takes an MP3 file whose name ends in \".mp3\".";
constexpr const char* kNoTrack = "--track: there is no such file.";

TEST_F(CommandLineParsing, FoldersAndOptions) {
  const ParseCase cases[] = {
      {"no arguments", {}, {}},
      {"a folder only", {L"C:\\frames"}, {.folder = "C:\\frames"}},
      {"a relative folder is taken from the current folder", {L"frames"}, {.folder = HereGbk(L"frames")}},
      {"all options",
       {L"--prefix", L"a", L"--rate", L"25", L"--track", Here(L"sine.mp3"), L"--play", L"C:\\frames"},
       {.folder = "C:\\frames", .prefix = "a", .track = HereGbk(L"sine.mp3"), .rate = 25, .play = true}},
      {"options after the folder", {L"C:\\frames", L"--play", L"--prefix", L"a"},
       {.folder = "C:\\frames", .prefix = "a", .play = true}},
      {"an empty prefix is left to the start to refuse", {L"--prefix", L""}, {.prefix = ""}},
      {"a Chinese folder is kept as GBK", {L"C:\\动画\\帧"}, {.folder = "C:\\动画\\帧"}},
      {"a Korean folder is refused", {L"C:\\\uD504\uB808\uC784"},
       Error("The folder's path has characters this program cannot use.")},
      {"a Korean prefix is refused", {L"--prefix", L"\uD504"},
       Error("--prefix: the text has characters this program cannot use.")},
      {"an empty folder", {L""}, Error("The folder's path is empty.")},
      {"two folders", {L"C:\\a", L"C:\\b"}, Error("Only one folder can be played.")},
      {"--play without a folder", {L"--play", L"--prefix", L"a"}, Error("--play needs a FOLDER to play.")},
      {"an unknown option", {L"--loop", L"C:\\frames"}, Error("Unknown option: --loop")},
      {"a lone --", {L"--"}, Error("Unknown option: --")},
      {"--prefix without its value", {L"--prefix"}, Error("--prefix needs a value.")},
      {"--rate without its value", {L"C:\\frames", L"--rate"}, Error("--rate needs a value.")},
      {"--track without its value", {L"--track"}, Error("--track needs a value.")},
      {"a frame log's relative path is taken from the current folder", {L"--frame-log", L"frames.log"},
       {.frameLog = Here(L"frames.log")}},
      {"a frame log with an empty path", {L"--frame-log", L""}, Error("--frame-log: the file's path is empty.")},
      {"--frame-log without its value", {L"--frame-log"}, Error("--frame-log needs a value.")},
      {"--help", {L"--help"}, {.help = true}},
      {"-h", {L"-h"}, {.help = true}},
      {"/?", {L"/?"}, {.help = true}},
  };
  for (const ParseCase& c : cases) Check(c);
}

TEST_F(CommandLineParsing, RatesFromOneToAThousand) {
  auto rate = [](const wchar_t* value) { return std::vector<std::wstring>{L"--rate", value}; };
  const ParseCase cases[] = {
      {"0", rate(L"0"), Error(kRateError)},
      {"1", rate(L"1"), {.rate = 1}},
      {"1000", rate(L"1000"), {.rate = 1000}},
      {"1001", rate(L"1001"), Error(kRateError)},
      {"leading zeros", rate(L"0020"), {.rate = 20}},
      {"more digits than 1000 has", rate(L"00001"), Error(kRateError)},
      {"20x", rate(L"20x"), Error(kRateError)},
      {"negative", rate(L"-5"), Error(kRateError)},
      {"empty", rate(L""), Error(kRateError)},
      {"full-width digits", rate(L"\uFF12\uFF10"), Error(kRateError)},
  };
  for (const ParseCase& c : cases) Check(c);
}

TEST_F(CommandLineParsing, TracksAreExistingMp3Files) {
  fs::path folderNamedMp3 = fs::temp_directory_path() / L"ombre command line folder.mp3";
  fs::create_directories(folderNamedMp3);
  auto track = [](const std::wstring& value) { return std::vector<std::wstring>{L"--track", value}; };
  const ParseCase cases[] = {
      {"the generated mp3", track(Here(L"sine.mp3")), {.track = HereGbk(L"sine.mp3")}},
      {"a relative path is taken from the current folder", track(L"sine.mp3"), {.track = HereGbk(L"sine.mp3")}},
      {".MP3", track(L"C:\\music\\song.MP3"), Error(kNotMp3)},
      {".wav", track(Here(L"sine.wav")), Error(kNotMp3)},
      {"no dot", track(L"C:\\music\\song"), Error(kNotMp3)},
      {"a dot only in a folder's name", track(L"C:\\music.mp3\\song"), Error(kNotMp3)},
      {"a missing file", track(L"C:\\no such folder\\song.mp3"), Error(kNoTrack)},
      {"a folder", track(folderNamedMp3.wstring()), Error(kNoTrack)},
  };
  for (const ParseCase& c : cases) Check(c);
  fs::remove(folderNamedMp3);
}

}  // namespace
