// The player's command line, for people who play from a shell or an
// "Open with" entry:
//   ombrevista.exe [--prefix TEXT] [--rate N] [--track FILE.mp3] [--play]
//                  [--frame-log FILE] [FOLDER]
// Without arguments the player starts as usual. A FOLDER is taken as if it
// had been dropped on the main window; --prefix, --rate and --track preset
// what the Config window sets; --play starts playback at once, as Config's
// "Start" would; --frame-log appends a line for each frame shown to FILE
// (frame_log.h), to measure playback from outside. Relative paths are taken from the folder the player was
// started in. A bad option is reported and all options are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player {

struct CommandLine {
  // Texts are GBK, as the runtime's are.
  std::optional<std::string> folder, prefix, track;
  std::optional<int32_t> rate;
  bool play = false;
  bool help = false;
  std::string error;  // what is wrong with the options; empty when nothing is
  // A full path, kept wide: only the platform opens it.
  std::optional<std::wstring> frameLog;
};

// The arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

extern const char* const kUsage;

// Acts on a parsed command line once the main window is shown: the
// message for a bad one, or the presets, the folder and the start.
void ApplyCommandLine(const CommandLine& commandLine);

}  // namespace player
