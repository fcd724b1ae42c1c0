// The benchmarks' baseline: a bare program that does only the work a frame
// cannot do without (read the file, UTF-8 to UTF-16, replace the text of a
// multi-line edit box, write the status bar), paced like the player.
//
//   baseline.exe [--prefix TEXT] [--rate N] [--play] [--frame-log FILE] FOLDER
//
// The options mean what they mean to the player (--play is accepted and
// implied; the frame log's track column is always -1): frame i is <FOLDER>\<TEXT><iiii>.txt for i = 1 … the number of
// ".txt" files in FOLDER, due (i - 1) / N seconds after the first on the
// performance counter; the window thread waits for it in
// MsgWaitForMultipleObjects, so it never spins. The window has the player's
// size, and its edit box the player's font and scroll bars. The last frame
// and "Playing...<N>Item" stay until the window is closed.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clock.h"
#include "player/frame_log.h"

namespace {

using bench::NowMs;

constexpr wchar_t kClassName[] = L"OmbreBaseline";
constexpr int kEditId = 1, kStatusId = 2;
constexpr int kWindowWidth = 620, kWindowHeight = 550;
constexpr int kPartEdges[] = {185, -1};

struct Options {
  std::wstring folder, prefix, frameLog;
  int rate = 0;
};

struct Window {
  HWND main = nullptr, edit = nullptr, status = nullptr;
};

std::optional<int> Rate(const wchar_t* text) {
  wchar_t* end = nullptr;
  long rate = std::wcstol(text, &end, 10);
  if (end == text || *end || rate < 1 || rate > 1000) return std::nullopt;
  return int(rate);
}

bool ReadOption(std::wstring_view option, const wchar_t* value, Options& options) {
  if (option == L"--prefix") return options.prefix = value, true;
  if (option == L"--frame-log") return options.frameLog = value, true;
  if (option != L"--rate") return false;
  std::optional<int> rate = Rate(value);
  if (rate) options.rate = *rate;
  return rate.has_value();
}

std::optional<Options> ReadOptions(int argc, wchar_t** argv) {
  Options options;
  for (int at = 1; at < argc; ++at) {
    std::wstring_view word = argv[at];
    if (word == L"--play") continue;
    if (!word.starts_with(L"--")) {
      options.folder = word;
      continue;
    }
    if (at + 1 >= argc || !ReadOption(word, argv[++at], options)) return std::nullopt;
  }
  if (options.folder.empty() || options.rate == 0) return std::nullopt;
  return options;
}

int CountFrames(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

std::wstring FramePath(const Options& options, int frame) {
  wchar_t number[8];
  std::swprintf(number, 8, L"%04d", frame % 10000);
  return options.folder + L"\\" + options.prefix + number + L".txt";
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::string bytes(size_t(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::wstring Utf16(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

void ShowFrame(const Window& window, const Options& options, int frame) {
  SetWindowTextW(window.edit, Utf16(ReadFileBytes(FramePath(options, frame))).c_str());
  std::wstring status = L"Playing..." + std::to_wstring(frame) + L"Item";
  SendMessageW(window.status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(status.c_str()));
}

// Handles the window's messages until `dueMs`; false once the program is to
// end.
bool PumpUntil(double dueMs) {
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return PostQuitMessage(int(message.wParam)), false;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    double left = dueMs - NowMs();
    if (left <= 0) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::ceil(left)), QS_ALLINPUT);
  }
}

void Play(const Window& window, const Options& options) {
  int frames = CountFrames(options.folder);
  player::FrameLog log(options.frameLog);
  double intervalMs = 1000.0 / options.rate, firstMs = NowMs();
  for (int frame = 1; frame <= frames; ++frame) {
    if (!PumpUntil(firstMs + (frame - 1) * intervalMs)) return;
    ShowFrame(window, options, frame);
    log.Write(frame, NowMs() - firstMs, -1);
  }
}

// The edit box and the status bar follow the window's size, as the
// player's do.
void Layout(const Window& window) {
  RECT outer;
  GetWindowRect(window.main, &outer);
  MoveWindow(window.edit, 0, 0, outer.right - outer.left - 15, outer.bottom - outer.top - 80, TRUE);
  SendMessageW(window.status, WM_SIZE, 0, 0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

HWND CreateMainWindow(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, kClassName, L"Baseline", WS_OVERLAPPEDWINDOW, 50, 50, kWindowWidth, kWindowHeight,
                         nullptr, nullptr, instance, nullptr);
}

HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, int id) {
  return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
}

// The player's frame font: 3 pixels high, GB2312 character set, no face.
void SetFrameFont(HWND edit) {
  HFONT font = CreateFontW(-3, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"");
  SendMessageW(edit, WM_SETFONT, WPARAM(font), FALSE);
}

Window CreateWindows(HINSTANCE instance) {
  Window window;
  window.main = CreateMainWindow(instance);
  constexpr DWORD kEditStyle = WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  window.edit = CreateChild(window.main, L"EDIT", kEditStyle, kEditId);
  window.status = CreateChild(window.main, STATUSCLASSNAMEW, 0, kStatusId);
  SetFrameFont(window.edit);
  SendMessageW(window.status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(kPartEdges));
  Layout(window);
  ShowWindow(window.main, SW_SHOW);
  UpdateWindow(window.main);
  return window;
}

int Usage() {
  MessageBoxW(nullptr, L"Usage: baseline.exe [--prefix TEXT] --rate N [--play] [--frame-log FILE] FOLDER",
              L"Baseline", MB_ICONSTOP);
  return 2;
}

// Handles messages until the window is closed.
int RunUntilClosed() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::optional<Options> options = ReadOptions(argc, argv);
  LocalFree(argv);
  if (!options) return Usage();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  Window window = CreateWindows(instance);
  Play(window, *options);
  return RunUntilClosed();
}
