// The player on a screen nobody watches (scripts/run.sh without a display):
// starts it, waits until it shows a frame, saves a picture of the screen and
// closes the player as a user would.
//
//   headless_player.exe [--frame N] [--font-size N] PICTURE.bmp PLAYER.exe [ARGUMENTS...]
//
// --frame N waits for frame N rather than the first one; --font-size N sets
// the frame box's font size through Setting/Font once the first frame shows.
// The picture is taken early when the player shows a message box (it waits
// for the user then), and after a minute when no frame comes.
//
// Exit code: the player's own, or 1 when the picture could not be saved or
// the player had to be ended by force; 2 for a wrong command line.
#include <windows.h>

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

constexpr DWORD kPictureTimeoutMs = 60000;
constexpr DWORD kWindowTimeoutMs = 20000;
// A frame box that is still to be painted after this is painted no sooner.
constexpr DWORD kPaintTimeoutMs = 1000;
constexpr DWORD kPollMs = 20;
constexpr int kMaxMessageBoxes = 8;
constexpr std::wstring_view kPlaying = L"Playing...";
constexpr std::wstring_view kPlayingEnd = L"Item";

constexpr char kUsage[] =
    "usage: headless_player.exe [--frame N] [--font-size N] PICTURE.bmp PLAYER.exe [ARGUMENTS...]\n";

struct Options {
  int frame = 1;
  std::optional<int> fontSize;
  std::wstring picture, player;
  std::vector<std::wstring> arguments;
};

std::optional<int> Number(const wchar_t* text) {
  wchar_t* end = nullptr;
  long value = std::wcstol(text, &end, 10);
  if (end == text || *end || value < 1 || value > 9999) return std::nullopt;
  return int(value);
}

std::optional<Options> ReadOptions(int argc, wchar_t** argv) {
  Options options;
  int at = 1;
  for (; at + 1 < argc && argv[at][0] == L'-'; at += 2) {
    std::wstring_view option = argv[at];
    std::optional<int> value = Number(argv[at + 1]);
    if (!value || (option != L"--frame" && option != L"--font-size")) return std::nullopt;
    (option == L"--frame" ? options.frame : options.fontSize.emplace()) = *value;
  }
  if (argc - at < 2) return std::nullopt;
  options.picture = argv[at];
  options.player = argv[at + 1];
  options.arguments.assign(argv + at + 2, argv + argc);
  return options;
}

// Says what went wrong on stderr (run.sh's output); false, for the caller
// to return.
bool Complain(const char* what) {
  std::fprintf(stderr, "headless_player: %s\n", what);
  return false;
}

// Polls until `done` holds; false after the timeout.
template <class Done>
bool WaitUntil(DWORD timeoutMs, Done done) {
  for (ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(kPollMs)) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
  }
}

// The frame number in "Playing...12Item"; 0 for any other status text.
int PlayingFrame(const std::wstring& status) {
  if (!status.starts_with(kPlaying) || !status.ends_with(kPlayingEnd)) return 0;
  std::wstring number = status.substr(kPlaying.size(), status.size() - kPlaying.size() - kPlayingEnd.size());
  return Number(number.c_str()).value_or(0);
}

class HeadlessPlayer {
 public:
  explicit HeadlessPlayer(const Options& options)
      : options_(options), player_(driver::Process::start(options.player, driver::argumentLine(options.arguments))) {}

  int Run() {
    bool pictured = Await() && SavePicture();
    std::optional<DWORD> code = Close();
    if (!code) return 1;
    return *code ? int(*code) : pictured ? 0 : 1;
  }

 private:
  // Until the picture is worth taking; false when the player has ended.
  bool Await() {
    bool seen = WaitUntil(kPictureTimeoutMs, [&] { return !player_.running() || MessageBoxes() || FrameShown(1); });
    if (!player_.running()) return Complain("the player ended before showing a frame");
    if (!seen) Complain("no frame within a minute; taking the screen as it is");
    if (seen && !MessageBoxes()) AwaitFrame();
    return true;
  }

  void AwaitFrame() {
    if (options_.fontSize && SetFontSize(*options_.fontSize)) AwaitFrameAfter(PlayingFrame(Status()) + 1);
    AwaitFrameAfter(options_.frame);
  }

  void AwaitFrameAfter(int frame) {
    if (!WaitUntil(kPictureTimeoutMs, [&] { return !player_.running() || MessageBoxes() || FrameShown(frame); }))
      Complain(("frame " + std::to_string(frame) + " did not come; taking the screen as it is").c_str());
    WaitUntil(kPaintTimeoutMs, [&] { return !GetUpdateRect(edit_, nullptr, FALSE); });
  }

  // Setting/Font, the size typed into its box, then "OK". The window takes
  // input once its box shows the current size: its handlers run from then on.
  bool SetFontSize(int size) {
    driver::postCommand(main_, e2e::kFontCommand);
    HWND font = driver::waitTopWindow(player_.pid(), L"VNWindow", L"Font", kWindowTimeoutMs);
    HWND box = font ? driver::waitChild(font, L"Edit", -1, kWindowTimeoutMs) : nullptr;
    HWND ok = box ? driver::findButton(font, L"OK") : nullptr;
    if (!ok || !WaitUntil(kWindowTimeoutMs, [&] { return !driver::windowText(box).empty(); }))
      return Complain("the Font window did not come up");
    SendMessageW(box, WM_SETTEXT, 0, LPARAM(std::to_wstring(size).c_str()));
    driver::clickButton(ok);
    return WaitUntil(kWindowTimeoutMs, [&] { return !IsWindow(font); });
  }

  bool SavePicture() {
    return e2e::SaveScreenshot(options_.picture) || Complain("the picture could not be saved");
  }

  // Message boxes first (a modal one holds the main window), then the main
  // window; the player's exit code, or nothing when it had to be killed.
  std::optional<DWORD> Close() {
    for (int box = 0; box < kMaxMessageBoxes && CloseMessageBox(); ++box) {}
    if (HWND main = MainWindow()) PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    if (player_.waitExit(kWindowTimeoutMs, &code)) return code;
    Complain("the player did not close; ending it");
    player_.kill();
    return std::nullopt;
  }

  bool CloseMessageBox() {
    std::vector<HWND> boxes = OtherWindows();
    if (boxes.empty()) return false;
    PostMessageW(boxes.front(), WM_CLOSE, 0, 0);
    return WaitUntil(kWindowTimeoutMs, [&] { return !IsWindow(boxes.front()); });
  }

  HWND MainWindow() { return driver::waitTopWindow(player_.pid(), L"VNWindow", L"Ombrevista", 0); }

  // The player's visible top-level windows but the main one: at this stage,
  // the boxes that wait for the user.
  std::vector<HWND> OtherWindows() {
    std::vector<HWND> windows = driver::topWindows(player_.pid());
    HWND main = MainWindow();
    std::erase(windows, main);
    return windows;
  }
  bool MessageBoxes() { return !OtherWindows().empty(); }

  bool FrameShown(int frame) {
    if (!status_ && !FindUnits()) return false;
    return PlayingFrame(Status()) >= frame && !driver::windowText(edit_).empty();
  }

  bool FindUnits() {
    main_ = MainWindow();
    if (!main_) return false;
    edit_ = driver::waitChild(main_, L"Edit", -1, 0);
    status_ = edit_ ? driver::waitChild(main_, L"msctls_statusbar32", -1, 0) : nullptr;
    return status_;
  }

  std::wstring Status() { return driver::statusText(status_, 1); }

  const Options& options_;
  driver::Process player_;
  HWND main_ = nullptr, edit_ = nullptr, status_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::optional<Options> options = ReadOptions(argc, argv);
  if (!options) return std::fputs(kUsage, stderr), 2;
  try {
    return HeadlessPlayer(*options).Run();
  } catch (const std::runtime_error& error) {
    Complain(error.what());
    return 1;
  }
}
