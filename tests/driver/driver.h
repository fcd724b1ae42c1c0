// End-to-end test driver: starts a program and works its windows from another
// process, the way a user would. Wide Win32 APIs only.
//
// Conventions, written once here:
// - Every wait takes a timeout in milliseconds and polls until it is met; a
//   wait that runs out returns nullptr or false, and the test reports it.
// - Text is read with WM_GETTEXTLENGTH / WM_GETTEXT, which Wine marshals
//   across processes; GetWindowTextW returns "" for another process's controls.
// - Clicks and commands are posted, never sent: a click that opens a modal
//   box would otherwise block the driver until the box closes.
// - A message that fills a buffer the caller passes by address is not
//   marshalled across processes (SB_GETTEXTW, SB_GETPARTS): its buffer is
//   made in the target's process and read back from there.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace driver {

// The exit code of a process ended by Process::kill.
inline constexpr DWORD kKilledExitCode = 0xDEAD;

// A started program. It is killed on destruction if it is still running, so
// a failed test leaves no window behind for the next one.
class Process {
 public:
  // args follows the quoted exePath on the command line as it is.
  // Throws std::runtime_error when the program cannot be started.
  static Process start(const std::wstring& exePath, const std::wstring& args);

  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  DWORD pid() const { return pid_; }
  // True once the process has exited; *exitCode (optional) gets its code.
  bool waitExit(DWORD timeoutMs, DWORD* exitCode);
  bool running() const;
  // Ends the process with kKilledExitCode and waits until it is gone.
  void kill();

 private:
  struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };

  Process(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}

  std::unique_ptr<void, HandleCloser> process_;
  DWORD pid_ = 0;
};

enum class Visibility { VisibleOnly, IncludeHidden };

// A top-level window of the process; className and title (exact) are
// ignored when null.
HWND waitTopWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                   DWORD timeoutMs,
                   Visibility visibility = Visibility::VisibleOnly);

// A descendant of parent; className is ignored when null, controlId when -1.
HWND waitChild(HWND parent, const wchar_t* className, int controlId,
               DWORD timeoutMs);

// All descendants of parent of that class (any class when null), in the
// order EnumChildWindows visits them.
std::vector<HWND> children(HWND parent, const wchar_t* className);

std::wstring windowText(HWND window);
std::wstring className(HWND window);

// The message of a standard message box: its Static control 0xFFFF, under
// Wine as on Windows. Empty when box has no such control.
std::wstring messageBoxText(HWND box);

// What a status bar of another process shows: one part's text, and the
// parts' right edges (-1: to the bar's right edge). Empty when it cannot be
// read.
std::wstring statusText(HWND bar, int part);
std::vector<int> statusRightEdges(HWND bar);

// The Button descendant of parent whose text is exactly caption ("&" included).
HWND findButton(HWND parent, const std::wstring& caption);
void clickButton(HWND button);

// What choosing a menu item or pressing an accelerator sends.
void postCommand(HWND window, int commandId);

}  // namespace driver
