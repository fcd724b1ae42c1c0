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
#include <ole2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
  // The same, with variables ("NAME=value") added to the program's Unix
  // environment, which Wine's Unix side (ALSA, for one) reads. Wine hands a
  // Windows program's children its own Unix environment, whatever their
  // Windows one says; so the program is started through /usr/bin/env and
  // the Wine loader that OMBRE_WINE names (scripts/wine-env.sh), and then
  // found as the new process of its file name. Two tests must not start the
  // same program this way at the same time.
  static Process startWithUnixEnvironment(const std::wstring& exePath, const std::wstring& args,
                                          const std::vector<std::wstring>& variables);

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

// The arguments as one command line that CommandLineToArgvW (and the C
// runtime) splits back into exactly these words, for Process::start.
std::wstring argumentLine(const std::vector<std::wstring>& arguments);

// A path in Wine's other view of the file system; empty when this does not
// run under Wine or the path has no such name.
std::string unixPath(const std::wstring& windowsPath);
std::wstring windowsPath(const std::string& unixPath);

enum class Visibility { VisibleOnly, IncludeHidden };

// A top-level window of the process; className and title (exact) are
// ignored when null.
HWND waitTopWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                   DWORD timeoutMs,
                   Visibility visibility = Visibility::VisibleOnly);

// The process's visible top-level windows, in EnumWindows' order.
std::vector<HWND> topWindows(DWORD pid);

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

// A left click at a client point of a window, posted as the mouse sends it.
void clickAt(HWND window, int x, int y);
// A click on the upper or the lower arrow of a spin button ("msctls_updown32").
void clickSpinArrow(HWND spin, bool upper);
// One turn of the mouse wheel over a window: `delta` in 120ths of a notch,
// positive away from the user.
void postWheel(HWND window, int delta);

// What choosing a menu item or pressing an accelerator sends.
void postCommand(HWND window, int commandId);

// Whether the items of one drop-down menu of another process's window are
// enabled, read from the screen as a user sees them (the system keeps a
// menu's state in its own process): clicks the menu's title on the bar at
// `titleX` (client coordinates), tells for each of the popup's `count` rows
// whether its text is drawn in the menu text colour rather than greyed, and
// closes the menu again. Empty when the popup did not come.
std::vector<bool> menuItemsEnabled(HWND window, int titleX, int count);

// A wide text written into another process's memory, for a message that
// carries a pointer the system does not marshal.
class RemoteText {
 public:
  RemoteText(DWORD pid, const std::wstring& text)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid)),
        bytes_((text.size() + 1) * sizeof(wchar_t)),
        address_(VirtualAllocEx(process_, nullptr, bytes_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    if (address_) WriteProcessMemory(process_, address_, text.c_str(), bytes_, nullptr);
  }
  ~RemoteText() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteText(const RemoteText&) = delete;
  RemoteText& operator=(const RemoteText&) = delete;
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
 private:
  HANDLE process_;
  size_t bytes_;
  void* address_;
};

// Memory in the process that owns a window, for a message to fill. Kept
// for as many messages as the caller likes: a watcher that polls reuses one.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  // Sends the message with the buffer's address; then copies the buffer's
  // first readBytes (at most all of it) out.
  bool fill(HWND window, UINT message, WPARAM wParam, void* to, size_t readBytes = SIZE_MAX) const;

 private:
  struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  std::unique_ptr<void, HandleCloser> process_;
  void* address_ = nullptr;
  size_t size_;
};

// Selects the folder in a folder dialog's tree and confirms it; the path is
// written into the dialog's process first.
void chooseFolder(HWND dialog, const RemoteText& path);
// Presses a dialog's Cancel button.
void cancelDialog(HWND dialog);

// ---- Drag and drop -------------------------------------------------------------
//
// OLE drag and drop from this process, as a user drags from a file manager:
// the data object and the drop source are the driver's own. Wine calls the
// target in the other process through OLE's marshalling; the keys the target
// sees are those of this thread's keyboard state.

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
// An owned COM reference: released when it goes.
template <class T>
using ComRef = std::unique_ptr<T, ComReleaser>;

// One format a dragged data object holds, as memory (TYMED_HGLOBAL).
struct DragFormat {
  CLIPFORMAT format;
  std::vector<uint8_t> bytes;  // the memory block's contents
  bool deliverable = true;     // false: announced, but GetData fails
};

// CF_HDROP: a wide DROPFILES block listing the paths.
DragFormat fileListFormat(const std::vector<std::wstring>& paths);
// A zero-terminated byte text in the given format.
DragFormat textFormat(CLIPFORMAT format, std::string_view bytes);

// A data object that gives out a fresh copy of a format's memory on every
// GetData, which the receiver frees (ReleaseStgMedium). It is deleted with
// its last reference, which may come from the other process after the drag.
class DragData final : public IDataObject {
 public:
  static ComRef<DragData> make(std::vector<DragFormat> formats);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  // The formats QueryGetData was asked about, in order.
  const std::vector<CLIPFORMAT>& queried() const { return queried_; }

 private:
  explicit DragData(std::vector<DragFormat> formats) : formats_(std::move(formats)) {}
  const DragFormat* find(const FORMATETC& wanted) const;

  LONG references_ = 1;
  std::vector<DragFormat> formats_;
  std::vector<CLIPFORMAT> queried_;
};

struct DropOutcome {
  HRESULT result;  // DoDragDrop's answer
  DWORD effect;    // the effect the target reported
};

// Drags the data onto a screen point and drops it there, with the keys
// (MK_CONTROL, MK_SHIFT) held meanwhile; the source allows `allowed`.
// Takes about half a second: OLE polls the source every 50 ms.
DropOutcome dragAndDrop(IDataObject& data, POINT target, DWORD keys = 0,
                        DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);

}  // namespace driver
