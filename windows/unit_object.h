// The base of every unit object (windows and the units on them).
//
// A unit object owns nothing of the runtime's: the runtime keeps it in its
// record's object slot and deletes it when the unit's window is finally
// destroyed. Subclass() routes the window's messages to WindowProc; the base
// handles the end of the window's life:
// - WM_NCDESTROY: OnFinalDestroy(), then the unit tells the runtime through
//   request 2000 (not while it is being re-created), which deletes the
//   object. Nothing touches the object after that.
#pragma once

#include <windows.h>

#include <cstdint>

#include "windows/window_object.h"

namespace win {

class UnitObject : public WindowObject {
 public:
  UnitObject(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}
  ~UnitObject() override;

  uint32_t windowId() const { return windowId_; }
  uint32_t unitId() const { return unitId_; }

  // Binds the object to the window and routes its messages to WindowProc.
  void Subclass(HWND handle);

 protected:
  // Default: the window's original procedure.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
  // Last chance to release what the unit holds besides its window.
  virtual void OnFinalDestroy() {}

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT FinalDestroy(WPARAM wParam, LPARAM lParam);

  uint32_t windowId_;
  uint32_t unitId_;
  WNDPROC original_ = nullptr;
};

// Set while the framework re-creates a unit: the old window's end is not the
// unit's end.
bool RecreatingUnit();
void SetRecreatingUnit(bool recreating);

}  // namespace win
