// A support library's link to the runtime: the callback it receives with
// notify code 1, and its notify function.
//
// Each library instantiates RuntimeLink with its own library number, so every
// library keeps its own callback and has a notify function of its own. The
// callback is stored at start-up, before any thread of the program runs, and
// only read afterwards.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

// What a library does on notify code 6 (the end of the program). Libraries
// without one leave code 6 unanswered (-1).
using EndRoutine = void (*)();
constexpr void NothingToRelease() {}

template <rt::LibraryNumber Number, EndRoutine End = nullptr>
class RuntimeLink {
 public:
  static intptr_t Notify(int code, intptr_t parameter1, intptr_t parameter2) {
    switch (code) {
      case rt::NOTIFY_START: return Start(parameter1);
      case rt::NOTIFY_END: return Finish();
      default: return rt::kNotifyUnhandled;
    }
  }

  // Answers 0 while no callback is stored.
  static intptr_t Call(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0) {
    return callback_ ? callback_(request, parameter1, parameter2) : 0;
  }

 private:
  static intptr_t Start(intptr_t callback) {
    callback_ = reinterpret_cast<rt::RuntimeCallback>(callback);
    return 0;
  }
  static intptr_t Finish() {
    if constexpr (End == nullptr) {
      return rt::kNotifyUnhandled;
    } else {
      End();
      return 0;
    }
  }

  static inline rt::RuntimeCallback callback_ = nullptr;
};

}  // namespace lib
