// A support library's link to the runtime: the callback it receives with
// notify code 1, and its notify function.
//
// Every library keeps its own callback, by library number. It is stored at
// start-up, before any thread of the program runs, and only read afterwards.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

template <rt::LibraryNumber Number>
inline rt::RuntimeCallback runtimeCallback = nullptr;

// Asks the runtime through the library's callback; 0 before it came.
template <rt::LibraryNumber Number>
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0) {
  rt::RuntimeCallback callback = runtimeCallback<Number>;
  return callback ? callback(request, parameter1, parameter2) : 0;
}

// What a library does on notify code 6 (the end of the program). Libraries
// without one leave code 6 unanswered (-1).
using EndRoutine = void (*)();
constexpr void NothingToRelease() {}

// A library's notify function: code 1 stores the callback, code 6 runs the
// end routine, every other code is unanswered.
template <rt::LibraryNumber Number, EndRoutine End = nullptr>
intptr_t Notify(int code, intptr_t parameter1, intptr_t) {
  switch (code) {
    case rt::NOTIFY_START:
      runtimeCallback<Number> = reinterpret_cast<rt::RuntimeCallback>(parameter1);
      return 0;
    case rt::NOTIFY_END:
      if constexpr (End == nullptr) return rt::kNotifyUnhandled;
      else return End(), 0;
    default: return rt::kNotifyUnhandled;
  }
}

}  // namespace lib
