#include "libraries/shell/shell_commands.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "libraries/arguments.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"
#include "runtime/gbk.h"

namespace lib::shell {
namespace {

intptr_t AskRuntime(int request, intptr_t parameter = 0) { return CallRuntime<rt::LIB_SHELL>(request, parameter); }

// What the shell hands out with its task allocator.
struct ShellMemoryFree {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};
using ItemId = std::unique_ptr<ITEMIDLIST, ShellMemoryFree>;

// The item's file-system path, as long as it is; empty when it has none.
std::wstring FileSystemPath(const ItemId& item) {
  PWSTR name = nullptr;
  if (!item || FAILED(SHGetNameFromIDList(item.get(), SIGDN_FILESYSPATH, &name))) return {};
  std::unique_ptr<wchar_t, ShellMemoryFree> owned(name);
  return name;
}

// A chosen path in GBK, with '?' for each character code page 936 cannot
// hold exactly, as the platform's ANSI path would have it: no file's name
// holds '?', so the caller can tell such a choice from a cancel (null).
std::string MarkedGbkPath(const std::wstring& path) {
  std::string gbk;
  for (wchar_t character : path) gbk += rt::ExactGbkFromWide({&character, 1}).value_or("?");
  return gbk;
}

// A new text owned by the caller; null for the empty text.
char* NewText(const std::string& text) {
  if (text.empty()) return nullptr;
  auto* block = reinterpret_cast<char*>(AskRuntime(rt::REQ_ALLOC, intptr_t(text.size() + 1)));
  if (block) std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

void SetPathResult(rt::ArgRecord* result, const std::wstring& path) {
  *result = rt::MakeBlock(rt::TYPE_TEXT, NewText(rt::ExactGbkFromWide(path).value_or("")));
}

HWND ActiveWindow() {
  HWND active = GetActiveWindow();
  return IsWindow(active) ? active : nullptr;
}

// The folder dialog is modal to the whole program: every loaded top-level
// window is disabled while it is up, and afterwards each gets back the
// enabled state it had, as do the foreground and the active window.
class ProgramWindowsDisabled {
 public:
  ProgramWindowsDisabled() {
    intptr_t count = AskRuntime(rt::REQ_TEMPLATE_COUNT);
    for (intptr_t i = 0; i < count; ++i) Disable(reinterpret_cast<HWND>(AskRuntime(rt::REQ_TEMPLATE_WINDOW, i)));
  }
  ~ProgramWindowsDisabled() {
    for (auto [window, enabled] : disabled_)
      if (IsWindow(window)) EnableWindow(window, enabled);
    if (IsWindow(foreground_)) SetForegroundWindow(foreground_);
    if (IsWindow(active_)) SetActiveWindow(active_);
  }
  ProgramWindowsDisabled(const ProgramWindowsDisabled&) = delete;
  ProgramWindowsDisabled& operator=(const ProgramWindowsDisabled&) = delete;

  HWND owner() const { return active_; }

 private:
  // Top-level means not a child: GetParent would name the owner of the
  // windows the hidden owner owns, and leave them enabled.
  void Disable(HWND window) {
    if (!window || (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) return;
    disabled_.emplace_back(window, IsWindowEnabled(window) != FALSE);
    EnableWindow(window, FALSE);
  }

  HWND active_ = ActiveWindow();
  HWND foreground_ = GetForegroundWindow();
  std::vector<std::pair<HWND, bool>> disabled_;
};

ItemId ShowFolderDialog(HWND owner, const std::wstring& title, UINT flags) {
  wchar_t displayName[MAX_PATH] = {};  // the dialog's own limit for the item's display name
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = flags;
  return ItemId(SHBrowseForFolderW(&info));
}

enum class FolderSource : uint8_t { Shell, WindowsDirectory, SystemDirectory, TemporaryPath };

struct SpecialFolder {
  FolderSource source;
  int csidl = 0;  // the shell's number for it
};

// By folder number, from FOLDER_DOCUMENTS on.
constexpr SpecialFolder kSpecialFolders[] = {
    {FolderSource::Shell, CSIDL_PERSONAL},   {FolderSource::Shell, CSIDL_FAVORITES},
    {FolderSource::Shell, CSIDL_DESKTOPDIRECTORY}, {FolderSource::Shell, CSIDL_FONTS},
    {FolderSource::Shell, CSIDL_STARTMENU},  {FolderSource::Shell, CSIDL_PROGRAMS},
    {FolderSource::Shell, CSIDL_STARTUP},    {FolderSource::Shell, CSIDL_APPDATA},
    {FolderSource::WindowsDirectory},        {FolderSource::SystemDirectory},
    {FolderSource::TemporaryPath},
};
static_assert(std::size(kSpecialFolders) == FOLDER_TEMPORARY, "one entry per folder number");

std::wstring ShellFolderPath(int csidl) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(SHGetFolderLocation(nullptr, csidl, nullptr, 0, &item))) return {};
  return FileSystemPath(ItemId(item));
}

// `query(buffer, size)` answers the length it wrote, or the size it needs
// (terminator included) when the buffer is too small.
std::wstring SystemPath(DWORD (*query)(wchar_t* buffer, DWORD size)) {
  std::wstring path(query(nullptr, 0), L'\0');
  size_t length = path.empty() ? 0 : query(path.data(), DWORD(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return path;
}

DWORD WindowsDirectory(wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); }
DWORD SystemDirectory(wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }
DWORD TemporaryPath(wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); }

std::wstring FolderPath(const SpecialFolder& folder) {
  switch (folder.source) {
    case FolderSource::Shell: return ShellFolderPath(folder.csidl);
    case FolderSource::WindowsDirectory: return SystemPath(WindowsDirectory);
    case FolderSource::SystemDirectory: return SystemPath(SystemDirectory);
    case FolderSource::TemporaryPath: return SystemPath(TemporaryPath);
  }
  return {};
}

std::wstring WithTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

}  // namespace

void BrowseForFolder(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  UINT flags = BIF_EDITBOX | (args.flag(1) ? BIF_BROWSEINCLUDEFILES : 0);
  ItemId chosen;
  {
    ProgramWindowsDisabled modal;
    chosen = ShowFolderDialog(modal.owner(), rt::WideFromGbk(args.text(0)), flags);
  }
  *result = rt::MakeBlock(rt::TYPE_TEXT, NewText(MarkedGbkPath(FileSystemPath(chosen))));
}

void GetSpecialFolder(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  int32_t number = lib::Arguments(count, arguments).integer(0);
  bool known = number >= FOLDER_DOCUMENTS && number <= FOLDER_TEMPORARY;
  SetPathResult(result, known ? WithTrailingBackslash(FolderPath(kSpecialFolders[number - 1])) : L"");
}

}  // namespace lib::shell
