// The base of every unit object (windows and the units on them).
//
// A unit object is bound to one window for its whole life and owns itself:
// the runtime keeps it in its record's object slot, and the object deletes
// itself after its window's end. Subclass() routes the window's messages to
// WindowProc; the base handles the end of the window's life:
// - WM_NCDESTROY: OnFinalDestroy(), then the unit tells the runtime through
//   request 2000 (not while it is being re-created), which clears its slots.
// - The object is deleted once nothing works with it any more: a handler
//   called from inside the object's own window procedure may destroy the
//   window, so the memory stays until the outermost call into the object
//   has returned. Code outside its window procedure that keeps a unit
//   across anything that may raise an event holds a Pin, and checks alive()
//   afterwards. A worker thread may hold a pin too (the count is atomic);
//   it takes it on the window thread, where units are found and deleted
//   (PinLiveUnit in windows/loader.h).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <utility>

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

  // Keeps the object's memory while it lives on a caller's stack; an object
  // whose window has ended is deleted when its last pin goes.
  class Pin {
   public:
    explicit Pin(UnitObject* unit) : unit_(unit) {
      if (unit_) ++unit_->pins_;
    }
    ~Pin() {
      if (unit_ && --unit_->pins_ == 0 && unit_->finished_) delete unit_;
    }
    Pin(Pin&& other) noexcept : unit_(std::exchange(other.unit_, nullptr)) {}
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;
    Pin& operator=(Pin&&) = delete;

    UnitObject* get() const { return unit_; }
    explicit operator bool() const { return unit_ != nullptr; }

   private:
    UnitObject* unit_;
  };

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
  std::atomic<int> pins_ = 0;
  std::atomic<bool> finished_ = false;  // the window has ended: delete with the last pin
};

}  // namespace win
