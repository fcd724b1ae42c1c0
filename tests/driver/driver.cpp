#include "driver.h"

#include <shlobj.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <set>
#include <span>
#include <stdexcept>
#include <utility>

namespace driver {
namespace {

// Often enough to see a window within a frame, rarely enough to leave the
// program under test most of our two cores.
constexpr DWORD kPollMs = 10;
// Under Wine the first selection a fresh folder dialog gets is often lost.
constexpr DWORD kSelectionRepeatMs = 200;
constexpr DWORD kDialogButtonTimeoutMs = 20000;
// A window that does not answer a text message within this is taken as hung.
constexpr UINT kMessageTimeoutMs = 2000;
constexpr DWORD kKillWaitMs = 5000;
// How long a program started through the Unix side may take to appear.
constexpr DWORD kStartMs = 20000;
// Windows and Wine both give a message box's text control this ID.
constexpr int kMessageControlId = 0xFFFF;

// Calls find until it returns a window or the timeout has passed.
template <class Find>
HWND poll(DWORD timeoutMs, Find find) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND found = find()) return found;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(kPollMs);
  }
}

BOOL CALLBACK collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

std::vector<HWND> topWindows() {
  std::vector<HWND> windows;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

template <class Match>
HWND first(const std::vector<HWND>& windows, Match match) {
  const auto found = std::ranges::find_if(windows, match);
  return found == windows.end() ? nullptr : *found;
}

// Class names compare without regard to case, as RegisterClass treats them.
bool hasClass(HWND window, const wchar_t* wanted) {
  return !wanted || CompareStringOrdinal(className(window).c_str(), -1, wanted,
                                         -1, TRUE) == CSTR_EQUAL;
}

DWORD ownerPid(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

// A message with a timeout: a window that does not answer is taken as hung.
bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
          DWORD_PTR* answer) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, answer) != 0;
}

std::string utf8(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr,
                                       0, nullptr, nullptr);
  std::string result(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), size,
                      nullptr, nullptr);
  return result;
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Quoted so that CommandLineToArgvW reads the word back unchanged: a run of
// backslashes is literal unless a quote follows it, where each one counts
// double; the closing quote makes the word's trailing run such a run.
std::wstring quotedWord(const std::wstring& word) {
  std::wstring result = L"\"";
  size_t backslashes = 0;  // the run just copied
  for (wchar_t c : word) {
    if (c == L'"') result.append(backslashes + 1, L'\\');
    backslashes = c == L'\\' ? backslashes + 1 : 0;
    result += c;
  }
  result.append(backslashes, L'\\');
  return result + L'"';
}

// Starts the program and hands back its process handle (null for a Unix
// program, which Wine starts without one).
HANDLE launch(const std::wstring& exePath, std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr,
                      FALSE, 0, nullptr, nullptr, &startup, &info)) {
    const DWORD error = GetLastError();
    throw std::runtime_error("cannot start " + utf8(exePath) + ": error " +
                             std::to_string(error));
  }
  if (info.hThread) CloseHandle(info.hThread);
  return info.hProcess;
}

// The IDs of the running processes whose file name is `name`.
std::set<DWORD> processesNamed(const std::wstring& name) {
  std::set<DWORD> pids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return pids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
      pids.insert(entry.th32ProcessID);
  CloseHandle(snapshot);
  return pids;
}

// A process of that name that is not one of `known`; 0 when none comes
// within the timeout.
DWORD waitNewProcess(const std::wstring& name, const std::set<DWORD>& known, DWORD timeoutMs) {
  for (ULONGLONG deadline = GetTickCount64() + timeoutMs; GetTickCount64() < deadline; Sleep(kPollMs))
    for (DWORD pid : processesNamed(name))
      if (!known.contains(pid)) return pid;
  return 0;
}

std::wstring environmentVariable(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Wine's own conversions, exported by its kernel32; their results are
// blocks of the process heap.
template <class Function>
Function wineFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), name)));
}

}  // namespace

RemoteBuffer::RemoteBuffer(HWND window, size_t size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, ownerPid(window))), size_(size) {
  if (process_) address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
  if (address_) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::fill(HWND window, UINT message, WPARAM wParam, void* to, size_t readBytes) const {
  DWORD_PTR answer = 0;
  return address_ && send(window, message, wParam, address(), &answer) &&
         ReadProcessMemory(process_.get(), address_, to, std::min(readBytes, size_), nullptr);
}

std::string unixPath(const std::wstring& windowsPath) {
  auto convert = wineFunction<char*(CDECL*)(const wchar_t*)>("wine_get_unix_file_name");
  char* path = convert ? convert(windowsPath.c_str()) : nullptr;
  std::string result = path ? path : "";
  if (path) HeapFree(GetProcessHeap(), 0, path);
  return result;
}

std::wstring windowsPath(const std::string& unixPath) {
  auto convert = wineFunction<wchar_t*(CDECL*)(const char*)>("wine_get_dos_file_name");
  wchar_t* path = convert ? convert(unixPath.c_str()) : nullptr;
  std::wstring result = path ? path : L"";
  if (path) HeapFree(GetProcessHeap(), 0, path);
  return result;
}

std::wstring argumentLine(const std::vector<std::wstring>& arguments) {
  std::wstring line;
  for (const std::wstring& argument : arguments) line += (line.empty() ? L"" : L" ") + quotedWord(argument);
  return line;
}

Process Process::start(const std::wstring& exePath, const std::wstring& args) {
  std::wstring commandLine = quoted(exePath);
  if (!args.empty()) commandLine += L" " + args;
  HANDLE process = launch(exePath, commandLine);
  return Process(process, GetProcessId(process));
}

Process Process::startWithUnixEnvironment(const std::wstring& exePath, const std::wstring& args,
                                          const std::vector<std::wstring>& variables) {
  std::wstring wine = environmentVariable(L"OMBRE_WINE"), env = windowsPath("/usr/bin/env");
  if (wine.empty() || env.empty())
    throw std::runtime_error("a Unix environment needs Wine and OMBRE_WINE (scripts/wine-env.sh)");
  std::wstring commandLine = quoted(env);
  for (const std::wstring& variable : variables) commandLine += L" " + quoted(variable);
  commandLine += L" " + quoted(wine) + L" " + quoted(exePath);
  if (!args.empty()) commandLine += L" " + args;
  std::wstring name = exePath.substr(exePath.find_last_of(L"\\/") + 1);
  std::set<DWORD> before = processesNamed(name);
  if (HANDLE starter = launch(env, commandLine)) CloseHandle(starter);
  DWORD pid = waitNewProcess(name, before, kStartMs);
  HANDLE process = pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)
                       : nullptr;
  if (!process) throw std::runtime_error("cannot start " + utf8(exePath) + " through " + utf8(env));
  return Process(process, pid);
}

Process::Process(Process&& other) noexcept
    : process_(std::move(other.process_)), pid_(std::exchange(other.pid_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    kill();
    process_ = std::move(other.process_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

Process::~Process() { kill(); }

bool Process::waitExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!process_ ||
      WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
    return false;
  if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
  return true;
}

bool Process::running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void Process::kill() {
  if (!running()) return;
  TerminateProcess(process_.get(), kKilledExitCode);
  WaitForSingleObject(process_.get(), kKillWaitMs);
}

HWND waitTopWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                   DWORD timeoutMs, Visibility visibility) {
  const auto matches = [&](HWND window) {
    return ownerPid(window) == pid &&
           (visibility == Visibility::IncludeHidden ||
            IsWindowVisible(window)) &&
           hasClass(window, className) && (!title || windowText(window) == title);
  };
  return poll(timeoutMs, [&] { return first(topWindows(), matches); });
}

std::vector<HWND> topWindows(DWORD pid) {
  std::vector<HWND> windows = topWindows();
  std::erase_if(windows, [&](HWND window) { return ownerPid(window) != pid || !IsWindowVisible(window); });
  return windows;
}

HWND waitChild(HWND parent, const wchar_t* className, int controlId,
               DWORD timeoutMs) {
  const auto matches = [&](HWND window) {
    return hasClass(window, className) &&
           (controlId == -1 || GetDlgCtrlID(window) == controlId);
  };
  return poll(timeoutMs, [&] { return first(descendants(parent), matches); });
}

std::vector<HWND> children(HWND parent, const wchar_t* className) {
  std::vector<HWND> windows = descendants(parent);
  std::erase_if(windows, [&](HWND window) { return !hasClass(window, className); });
  return windows;
}

std::wstring windowText(HWND window) {
  DWORD_PTR length = 0;
  if (!send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!send(window, WM_GETTEXT, text.size(),
            reinterpret_cast<LPARAM>(text.data()), &copied))
    return {};
  text.resize(std::min<DWORD_PTR>(copied, length));
  return text;
}

// The length comes in the answer's low word; the text then fills a buffer.
// SB_GETTEXTW takes no buffer size, and the text may change between asking
// its length and reading it: the buffer holds the longest text a part can
// answer (the length is a 16-bit word), and the text ends at its zero.
std::wstring statusText(HWND bar, int part) {
  std::wstring text(size_t(0xFFFF) + 1, L'\0');
  RemoteBuffer buffer(bar, text.size() * sizeof(wchar_t));
  if (!buffer.fill(bar, SB_GETTEXTW, WPARAM(part), text.data())) return {};
  text.resize(text.find(L'\0'));
  return text;
}

// Asked without a buffer, the bar answers how many parts it has.
std::vector<int> statusRightEdges(HWND bar) {
  DWORD_PTR count = 0;
  if (!send(bar, SB_GETPARTS, 0, 0, &count) || count == 0) return {};
  std::vector<int> edges(count);
  RemoteBuffer buffer(bar, edges.size() * sizeof(int));
  if (!buffer.fill(bar, SB_GETPARTS, count, edges.data())) return {};
  return edges;
}

std::wstring className(HWND window) {
  // 256 characters is the longest class name RegisterClass accepts.
  wchar_t name[257];
  const int length = GetClassNameW(window, name, 257);
  return std::wstring(name, length);
}

std::wstring messageBoxText(HWND box) {
  const HWND message = GetDlgItem(box, kMessageControlId);
  return message ? windowText(message) : std::wstring();
}

HWND findButton(HWND parent, const std::wstring& caption) {
  for (HWND button : children(parent, L"Button"))
    if (windowText(button) == caption) return button;
  return nullptr;
}

void clickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void chooseFolder(HWND dialog, const RemoteText& path) {
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, path.address());
  Sleep(kSelectionRepeatMs);
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, path.address());
  PostMessageW(waitChild(dialog, L"Button", IDOK, kDialogButtonTimeoutMs), BM_CLICK, 0, 0);
}

void cancelDialog(HWND dialog) {
  PostMessageW(waitChild(dialog, L"Button", IDCANCEL, kDialogButtonTimeoutMs), BM_CLICK, 0, 0);
}

void clickAt(HWND window, int x, int y) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

void clickSpinArrow(HWND spin, bool upper) {
  RECT r;
  GetClientRect(spin, &r);
  clickAt(spin, r.right / 2, upper ? r.bottom / 4 : r.bottom * 3 / 4);
}

// The message carries the screen point under the mouse: the window's centre.
void postWheel(HWND window, int delta) {
  RECT r;
  GetWindowRect(window, &r);
  PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(delta))),
               MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

void postCommand(HWND window, int commandId) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

namespace {

void ClickAt(POINT at) {
  SetCursorPos(at.x, at.y);
  INPUT clicks[2] = {};
  for (INPUT& c : clicks) c.type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

// The screen's pixels inside `area`, top row first, as 0x00RRGGBB.
std::vector<COLORREF> ScreenPixels(const RECT& area) {
  int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const uint32_t*>(bits);
  std::vector<COLORREF> pixels(first, first + size_t(width) * size_t(height));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (COLORREF& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// COLORREF is 0x00BBGGRR; a DIB's pixel is 0x00RRGGBB.
uint32_t AsPixel(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

// The pixels of one of `count` equal rows of an area `width` pixels wide.
std::span<const COLORREF> Row(const std::vector<COLORREF>& pixels, size_t width, int row, int count) {
  size_t height = pixels.size() / width;
  size_t first = height * size_t(row) / size_t(count), last = height * size_t(row + 1) / size_t(count);
  return std::span(pixels).subspan(first * width, (last - first) * width);
}

// The popup's pixels once it has painted every item: each of its `count`
// rows shows a caption, in the menu text colour or greyed, and the picture
// stays the same between two reads (a busy program paints late, item by
// item; the popup's border alone is no caption).
std::vector<COLORREF> PaintedPixels(const RECT& area, int count) {
  constexpr DWORD kPaintWaitMs = 5000, kSettleMs = 50;
  const size_t width = size_t(area.right - area.left);
  const uint32_t captions[] = {AsPixel(GetSysColor(COLOR_MENUTEXT)), AsPixel(GetSysColor(COLOR_GRAYTEXT)),
                               AsPixel(GetSysColor(COLOR_BTNSHADOW))};
  auto captioned = [&](const std::vector<COLORREF>& pixels, int row) {
    std::span<const COLORREF> r = Row(pixels, width, row, count);
    return std::find_first_of(r.begin(), r.end(), std::begin(captions), std::end(captions)) != r.end();
  };
  std::vector<COLORREF> last;
  for (ULONGLONG end = GetTickCount64() + kPaintWaitMs; GetTickCount64() < end; Sleep(kSettleMs)) {
    std::vector<COLORREF> now = ScreenPixels(area);
    bool painted = true;
    for (int row = 0; row < count; ++row) painted = painted && captioned(now, row);
    if (painted && now == last) break;
    last = std::move(now);
  }
  return last;
}

// Ends the window's menu mode. Not by Escape: a key that comes after the
// menu has closed reaches the window, which Escape may close.
void CloseMenu(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

// Clicks the menu title until its popup shows: a click that comes while
// another window is still in front is lost.
HWND OpenMenuPopup(HWND window, int titleX) {
  constexpr int kAttempts = 5;
  constexpr DWORD kPopupWaitMs = 2000;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  POINT title{titleX, -GetSystemMetrics(SM_CYMENU) / 2};
  ClientToScreen(window, &title);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    SetForegroundWindow(window);
    ClickAt(title);
    if (HWND popup = waitTopWindow(pid, L"#32768", nullptr, kPopupWaitMs)) return popup;
    CloseMenu(window);
  }
  return nullptr;
}

}  // namespace

std::vector<bool> menuItemsEnabled(HWND window, int titleX, int count) {
  HWND popup = OpenMenuPopup(window, titleX);
  if (!popup) return {};
  RECT area;
  GetWindowRect(popup, &area);
  InflateRect(&area, -GetSystemMetrics(SM_CXEDGE) - 1, -GetSystemMetrics(SM_CYEDGE) - 1);
  std::vector<COLORREF> pixels = PaintedPixels(area, count);
  const uint32_t text = AsPixel(GetSysColor(COLOR_MENUTEXT));
  std::vector<bool> enabled;
  for (int row = 0; row < count; ++row) {
    std::span<const COLORREF> r = Row(pixels, size_t(area.right - area.left), row, count);
    enabled.push_back(std::find(r.begin(), r.end(), text) != r.end());
  }
  CloseMenu(window);
  for (ULONGLONG end = GetTickCount64() + kDialogButtonTimeoutMs; IsWindowVisible(popup) && GetTickCount64() < end;)
    Sleep(kPollMs);
  return enabled;
}

// ---- Drag and drop -------------------------------------------------------------

namespace {

// OLE polls the drop source every 50 ms: the cursor reaches the target on
// the second poll, and the drop comes after the target has seen it move.
constexpr int kMovePoll = 2;
constexpr int kDropPoll = 8;

class DropSource final : public IDropSource {
 public:
  explicit DropSource(POINT target) : target_(target) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource);
    *object = known ? static_cast<IDropSource*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  // It lives on the stack of dragAndDrop, which outlasts every use.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (++polls_ == kMovePoll) SetCursorPos(target_.x, target_.y);
    return polls_ >= kDropPoll ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  POINT target_;
  int polls_ = 0;
};

class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialised_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialised_;
};

// Holds Ctrl and Shift in this thread's keyboard state, which is where OLE
// reads the key state it hands the target; the old state comes back after.
class HeldKeys {
 public:
  explicit HeldKeys(DWORD keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(std::begin(saved_), std::end(saved_), state);
    hold(state, keys & MK_CONTROL, {VK_CONTROL, VK_LCONTROL});
    hold(state, keys & MK_SHIFT, {VK_SHIFT, VK_LSHIFT});
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved_); }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

 private:
  static void hold(BYTE* state, bool down, std::initializer_list<int> keys) {
    for (int key : keys) state[key] = down ? 0x80 : 0;
  }
  BYTE saved_[256];
};

HGLOBAL copyToGlobal(const std::vector<uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(bytes.size(), 1));
  if (!block) return nullptr;
  std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(GlobalLock(block)));
  GlobalUnlock(block);
  return block;
}

}  // namespace

DragFormat fileListFormat(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names += path + L'\0';
  // The list ends with an empty name; an empty list is two terminators too.
  names.append(paths.empty() ? 2 : 1, L'\0');
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  const size_t namesSize = names.size() * sizeof(wchar_t);
  DragFormat list{CF_HDROP, std::vector<uint8_t>(sizeof header + namesSize)};
  std::memcpy(list.bytes.data(), &header, sizeof header);
  std::memcpy(list.bytes.data() + sizeof header, names.data(), namesSize);
  return list;
}

DragFormat textFormat(CLIPFORMAT format, std::string_view bytes) {
  DragFormat text{format, {bytes.begin(), bytes.end()}};
  text.bytes.push_back(0);
  return text;
}

ComRef<DragData> DragData::make(std::vector<DragFormat> formats) {
  return ComRef<DragData>(new DragData(std::move(formats)));
}

HRESULT DragData::QueryInterface(REFIID iid, void** object) {
  bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject);
  *object = known ? static_cast<IDataObject*>(this) : nullptr;
  if (known) AddRef();
  return known ? S_OK : E_NOINTERFACE;
}

ULONG DragData::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

ULONG DragData::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

const DragFormat* DragData::find(const FORMATETC& wanted) const {
  for (const DragFormat& format : formats_)
    if (format.format == wanted.cfFormat && (wanted.tymed & TYMED_HGLOBAL) && wanted.dwAspect == DVASPECT_CONTENT)
      return &format;
  return nullptr;
}

HRESULT DragData::GetData(FORMATETC* wanted, STGMEDIUM* medium) {
  const DragFormat* format = wanted ? find(*wanted) : nullptr;
  if (!format) return DV_E_FORMATETC;
  if (!format->deliverable) return E_FAIL;
  HGLOBAL block = copyToGlobal(format->bytes);
  if (!block) return E_OUTOFMEMORY;
  *medium = {};
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  return S_OK;
}

HRESULT DragData::QueryGetData(FORMATETC* wanted) {
  if (!wanted) return E_INVALIDARG;
  queried_.push_back(wanted->cfFormat);
  return find(*wanted) ? S_OK : DV_E_FORMATETC;
}

HRESULT DragData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> all;
  for (const DragFormat& format : formats_)
    all.push_back({format.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  return SHCreateStdEnumFmtEtc(UINT(all.size()), all.data(), formats);
}

DropOutcome dragAndDrop(IDataObject& data, POINT target, DWORD keys, DWORD allowed) {
  OleSession ole;
  HeldKeys held(keys);
  DropSource source(target);
  DropOutcome outcome{E_FAIL, DROPEFFECT_NONE};
  outcome.result = DoDragDrop(&data, &source, allowed, &outcome.effect);
  return outcome;
}

}  // namespace driver
