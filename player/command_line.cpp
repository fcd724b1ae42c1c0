#include "player/command_line.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "player/ids.h"
#include "player/main_window.h"
#include "player/playback.h"
#include "player/runtime_calls.h"
#include "player/state.h"

namespace player {
namespace {

constexpr int32_t kMaxRate = 1000;

// The text in GBK; `lossy` tells whether code page 936 could not hold it all.
std::string Gbk(std::wstring_view wide, BOOL* lossy = nullptr) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), nullptr, 0, nullptr, lossy);
  std::string gbk(size_t(std::max(n, 0)), '\0');
  WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), gbk.data(), n, nullptr, nullptr);
  return gbk;
}

// GBK, or nothing when code page 936 cannot hold the text: converted, a path
// would name some other file.
std::optional<std::string> ExactGbk(std::wstring_view wide) {
  BOOL lossy = FALSE;
  std::string gbk = Gbk(wide, &lossy);
  if (lossy) return std::nullopt;
  return gbk;
}

std::optional<int32_t> Rate(std::wstring_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int32_t rate = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    rate = rate * 10 + (c - L'0');
  }
  if (rate < 1 || rate > kMaxRate) return std::nullopt;
  return rate;
}

// The same rule as a track dropped on the Config window: the text after the
// last "." is exactly "mp3".
bool IsMp3Name(std::wstring_view path) {
  size_t dot = path.rfind(L'.');
  return dot != std::wstring_view::npos && path.substr(dot + 1) == L"mp3";
}

// Start-up makes the program's own folder current: a path the user gave
// relative to the shell's folder is made full before that happens.
std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
  return full;
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadTrack(const std::wstring& value, CommandLine& line) {
  if (!IsMp3Name(value)) return "--track takes an MP3 file whose name ends in \".mp3\".";
  std::wstring path = FullPath(value);
  if (!IsFile(path)) return "--track: there is no such file.";
  line.track = ExactGbk(path);
  return line.track ? "" : "--track: the text has characters this program cannot use.";
}

std::string ReadFrameLog(const std::wstring& value, CommandLine& line) {
  if (value.empty()) return "--frame-log: the file's path is empty.";
  line.frameLog = FullPath(value);
  return "";
}

// Reads one option and its value; a description of the fault, or "".
std::string ReadOption(const std::vector<std::wstring>& arguments, size_t& at, CommandLine& line) {
  const std::wstring& option = arguments[at];
  if (option == L"--help" || option == L"-h" || option == L"/?") return line.help = true, "";
  if (option == L"--play") return line.play = true, "";
  bool takesValue = option == L"--prefix" || option == L"--rate" || option == L"--track" || option == L"--frame-log";
  if (!takesValue) return "Unknown option: " + Gbk(option);
  if (at + 1 >= arguments.size()) return Gbk(option) + " needs a value.";
  const std::wstring& value = arguments[++at];
  if (option == L"--frame-log") return ReadFrameLog(value, line);
  std::optional<std::string> gbk = ExactGbk(value);
  if (!gbk) return Gbk(option) + ": the text has characters this program cannot use.";
  if (option == L"--prefix") return line.prefix = gbk, "";
  if (option == L"--rate") {
    line.rate = Rate(value);
    return line.rate ? "" : "--rate takes a whole number of frames per second from 1 to 1000.";
  }
  return ReadTrack(value, line);
}

std::string ReadFolder(const std::wstring& argument, CommandLine& line) {
  if (line.folder) return "Only one folder can be played.";
  if (argument.empty()) return "The folder's path is empty.";
  line.folder = ExactGbk(FullPath(argument));
  return line.folder ? "" : "The folder's path has characters this program cannot use.";
}

void Preset(const CommandLine& line) {
  PlayerState& state = State();
  if (line.prefix) StoreTextCopy(state.filePrefix, line.prefix->c_str());
  if (line.rate) state.frameRate = *line.rate;
  if (line.track) {
    StoreTextCopy(state.bgmPath, line.track->c_str());
    state.useBgm = 1;
  }
}

// As Config's "Start" with the presets: the prefix rule and its message hold.
void PlayAtOnce() {
  if (!State().filePrefix) {
    ShowError("File Prefix error, please set File Prefix!!");
    return;
  }
  SetMenuForStart();
  StartPlayback();
}

}  // namespace

const char* const kUsage =
    "Usage: ombrevista.exe [--prefix TEXT] [--rate N] [--track FILE.mp3] [--play] [--frame-log FILE] [FOLDER]\r\n"
    "\r\n"
    "FOLDER\tplay the frames of this folder (as if dropped on the window)\r\n"
    "--prefix TEXT\tthe frame files' prefix: TEXT0001.txt, TEXT0002.txt, ...\r\n"
    "--rate N\tframes per second, 1 to 1000\r\n"
    "--track FILE.mp3\tthe background track\r\n"
    "--play\tstart playing FOLDER at once\r\n"
    "--frame-log FILE\tappend a line for each frame shown: its number, milliseconds since the first frame, "
    "and the track's position (-1 when not heard)\r\n"
    "--help\tshow this text";

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  CommandLine line;
  for (size_t at = 0; at < arguments.size() && line.error.empty(); ++at) {
    const std::wstring& argument = arguments[at];
    bool option = argument.starts_with(L"--") || argument == L"-h" || argument == L"/?";
    line.error = option ? ReadOption(arguments, at, line) : ReadFolder(argument, line);
  }
  if (line.error.empty() && line.play && !line.folder) line.error = "--play needs a FOLDER to play.";
  return line;
}

void ApplyCommandLine(const CommandLine& line) {
  if (!line.error.empty()) {
    ShowMessage((line.error + "\r\n\r\n" + kUsage).c_str(), kStopIcon, "Ombrevista", MainWindow());
    return;
  }
  Preset(line);
  if (!line.folder) return;
  if (AcceptDroppedPath(line.folder->c_str()) && line.play) PlayAtOnce();
}

}  // namespace player
