// The player as scripts/run.sh runs it: started with the given arguments and
// driven from outside, as a user would.
//
//   run_player.exe [--font-size N] [--picture FILE.bmp [--frame N]] PLAYER.exe [ARGUMENTS...]
//
// --font-size N  once the first frame shows, sets the frame box's font size
//                through Setting/Font.
// --picture FILE for a screen nobody watches: once frame N (--frame, else
//                the first) plays, saves a picture of the screen, then closes
//                the player. The picture is taken early when a message box
//                waits for the user, and as the screen is when no frame comes
//                within a minute.
// Without --picture the player is the user's, and this program ends with it.
//
// Exit code: the player's own; 1 when the picture could not be saved or the
// player had to be ended by force; 2 for a wrong command line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "player_commands.h"

namespace {

// How long the player may take to show the frame the picture wants.
constexpr DWORD kPictureTimeoutMs = 60000;
constexpr DWORD kWindowTimeoutMs = 20000;
// The Font window writes the current size into its box as it opens.
constexpr DWORD kFontReadyMs = 5000;
// A frame box that is still to be painted after this is painted no sooner.
constexpr DWORD kPaintTimeoutMs = 1000;
constexpr DWORD kPollMs = 20;
constexpr int kMaxMessageBoxes = 8;
constexpr std::wstring_view kPlaying = L"Playing...";
constexpr std::wstring_view kPlayingEnd = L"Item";

constexpr char kUsage[] =
    "usage: run_player.exe [--font-size N] [--picture FILE.bmp [--frame N]] PLAYER.exe [ARGUMENTS...]\n";

struct Options {
  std::optional<int> fontSize;
  std::wstring picture;
  int frame = 1;
  std::wstring player;
  std::vector<std::wstring> arguments;
};

std::optional<int> Number(const wchar_t* text) {
  wchar_t* end = nullptr;
  long value = std::wcstol(text, &end, 10);
  if (end == text || *end || value < 1 || value > 9999) return std::nullopt;
  return int(value);
}

bool ReadOption(std::wstring_view option, const wchar_t* value, Options& options) {
  if (option == L"--picture") return options.picture = value, !options.picture.empty();
  std::optional<int> number = Number(value);
  if (!number) return false;
  if (option == L"--frame") return options.frame = *number, true;
  if (option == L"--font-size") return options.fontSize = number, true;
  return false;
}

std::optional<Options> ReadOptions(int argc, wchar_t** argv) {
  Options options;
  int at = 1;
  for (; at < argc && std::wstring_view(argv[at]).starts_with(L"--"); at += 2)
    if (at + 1 >= argc || !ReadOption(argv[at], argv[at + 1], options)) return std::nullopt;
  if (at >= argc) return std::nullopt;
  options.player = argv[at];
  options.arguments.assign(argv + at + 1, argv + argc);
  return options;
}

// Says what went wrong on stderr, which is run.sh's output; false, for the
// caller to return.
bool Complain(const std::string& what) {
  std::fprintf(stderr, "run_player: %s\n", what.c_str());
  return false;
}

// Polls until `done` holds; false once the deadline (GetTickCount64) passes.
template <class Done>
bool WaitUntil(ULONGLONG deadline, Done done) {
  for (;; Sleep(kPollMs)) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
  }
}

ULONGLONG After(DWORD ms) { return GetTickCount64() + ms; }

// The frame number in "Playing...12Item"; 0 for any other status text.
int PlayingFrame(std::wstring_view status) {
  if (!status.starts_with(kPlaying) || !status.ends_with(kPlayingEnd)) return 0;
  status.remove_prefix(kPlaying.size());
  status.remove_suffix(kPlayingEnd.size());
  return Number(std::wstring(status).c_str()).value_or(0);
}

class PlayerRun {
 public:
  explicit PlayerRun(const Options& options)
      : options_(options),
        player_(driver::Process::start(options.player, driver::argumentLine(options.arguments))),
        pictureDeadline_(After(kPictureTimeoutMs)) {}

  int Run() {
    if (options_.fontSize && AwaitFrame(1) && Playing()) SetFontSize(*options_.fontSize);
    if (options_.picture.empty()) return int(WaitForExit());
    bool pictured = AwaitPicture() && SavePicture();
    std::optional<DWORD> code = Close();
    if (!code) return 1;
    return *code ? int(*code) : pictured ? 0 : 1;
  }

 private:
  // Until frame N plays, a message box waits for the user or the player has
  // ended; false when the picture's time has run out first.
  bool AwaitFrame(int frame) {
    return WaitUntil(pictureDeadline_, [&] { return !player_.running() || MessageBoxes() || FrameShown(frame); });
  }

  bool Playing() { return player_.running() && !MessageBoxes(); }

  // Setting/Font, the size typed into its box, then "OK". The window takes
  // input once its box shows the current size: its handlers run from then on.
  void SetFontSize(int size) {
    driver::postCommand(main_, e2e::kFontCommand);
    HWND font = driver::waitTopWindow(player_.pid(), L"VNWindow", L"Font", kWindowTimeoutMs);
    HWND box = font ? driver::waitChild(font, L"Edit", -1, kWindowTimeoutMs) : nullptr;
    HWND ok = box ? driver::findButton(font, L"OK") : nullptr;
    if (!ok || !WaitUntil(After(kFontReadyMs), [&] { return !driver::windowText(box).empty(); })) {
      Complain("the Font window did not show the font size; the size stays");
      if (font) CloseAndWait(font);
      return;
    }
    SendMessageTimeoutW(box, WM_SETTEXT, 0, LPARAM(std::to_wstring(size).c_str()), SMTO_ABORTIFHUNG,
                        kWindowTimeoutMs, nullptr);
    driver::clickButton(ok);
    if (!WaitUntil(After(kWindowTimeoutMs), [&] { return !IsWindow(font); })) Complain("the Font window stays open");
    fontFrame_ = PlayingFrame(Status()) + 1;
  }

  DWORD WaitForExit() {
    DWORD code = 0;
    player_.waitExit(INFINITE, &code);
    return code;
  }

  // A frame drawn with the font size set, if one was; false when the player
  // has ended and there is nothing to take.
  bool AwaitPicture() {
    int frame = std::max(options_.frame, fontFrame_);
    if (!AwaitFrame(frame))
      Complain("frame " + std::to_string(frame) + " did not come within a minute; taking the screen as it is");
    if (!player_.running()) return Complain("the player ended before the picture");
    if (edit_) WaitUntil(After(kPaintTimeoutMs), [&] { return !GetUpdateRect(edit_, nullptr, FALSE); });
    return true;
  }

  bool SavePicture() { return e2e::SaveScreenshot(options_.picture) || Complain("the picture could not be saved"); }

  // Message boxes first (a modal one holds the main window), then the main
  // window; the player's exit code, or nothing when it had to be killed.
  std::optional<DWORD> Close() {
    int boxes = 0;
    while (boxes < kMaxMessageBoxes && CloseMessageBox()) ++boxes;
    if (HWND main = MainWindow()) PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    if (player_.waitExit(kWindowTimeoutMs, &code)) return code;
    Complain("the player did not close; ending it");
    player_.kill();
    return std::nullopt;
  }

  bool CloseMessageBox() {
    std::vector<HWND> boxes = OtherWindows();
    return !boxes.empty() && CloseAndWait(boxes.front());
  }

  static bool CloseAndWait(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitUntil(After(kWindowTimeoutMs), [&] { return !IsWindow(window); });
  }

  HWND MainWindow() { return driver::waitTopWindow(player_.pid(), L"VNWindow", L"Ombrevista", 0); }

  // The player's visible top-level windows but the main one: while nothing
  // here opens a window, the boxes that wait for the user.
  std::vector<HWND> OtherWindows() {
    std::vector<HWND> windows = driver::topWindows(player_.pid());
    std::erase(windows, MainWindow());
    return windows;
  }
  bool MessageBoxes() { return !OtherWindows().empty(); }

  // Frame N or a later one is in the frame box.
  bool FrameShown(int frame) {
    if (!status_ && !FindUnits()) return false;
    return PlayingFrame(Status()) >= frame && !driver::windowText(edit_).empty();
  }

  bool FindUnits() {
    main_ = MainWindow();
    edit_ = main_ ? driver::waitChild(main_, L"Edit", -1, 0) : nullptr;
    status_ = edit_ ? driver::waitChild(main_, L"msctls_statusbar32", -1, 0) : nullptr;
    return status_;
  }

  std::wstring Status() { return driver::statusText(status_, 1); }

  const Options& options_;
  driver::Process player_;
  ULONGLONG pictureDeadline_;
  int fontFrame_ = 0;
  HWND main_ = nullptr, edit_ = nullptr, status_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::optional<Options> options = ReadOptions(argc, argv);
  if (!options) return std::fputs(kUsage, stderr), 2;
  try {
    return PlayerRun(*options).Run();
  } catch (const std::runtime_error& error) {
    Complain(error.what());
    return 1;
  }
}
