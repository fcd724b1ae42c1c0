// The thin windowing framework under the runtime's windows and units.
//
// Every window the runtime creates for a form window or a unit is bound to
// one WindowObject for its whole life; the object is found from the handle
// through the framework's map. Windows of other code (controls inside a unit,
// dialogs) are asked for their object with kGetWindowObjectMessage.
#pragma once

#include <windows.h>

namespace win {

constexpr UINT kGetWindowObjectMessage = WM_APP + 2;  // 0x8002: answers a WindowObject* or 0

class WindowObject {
 public:
  WindowObject() = default;
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  virtual ~WindowObject();

  HWND handle() const { return handle_; }
  bool alive() const { return handle_ && IsWindow(handle_); }

  // Called by the message loop before a message for this window or one of
  // its descendants is translated and dispatched; true consumes it.
  virtual bool PreTranslateMessage(MSG& message) { return false; }

  void Attach(HWND handle);
  void Detach();

  // The object bound to a window of this thread, or null.
  static WindowObject* FromHandle(HWND handle);

 protected:
  HWND handle_ = nullptr;
};

// Every window the windows and units layers create is made here, so that a
// test can fail the Nth creation (runtime/fault_injection.h). The menu
// parameter is a child's control ID; the instance is this program's.
HWND CreateWindowHandle(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int left, int top,
                        int width, int height, HWND parent, HMENU menu);

// Offers the message to the objects of its window and that window's
// ancestors, innermost first; true when one consumed it.
bool PreTranslateThroughAncestors(MSG& message);

}  // namespace win
