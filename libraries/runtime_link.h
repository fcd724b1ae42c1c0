// A support library's state and its link to the runtime: the callback it
// receives with notify code 1, and its notify function.
//
// Conventions, written once here:
// - Each library keeps all of its state in one object, LibraryState<its
//   number>, reached through State<its number>(). The object is made on first
//   use, which is notify code 1 on the main thread during start-up, before
//   any other thread of the program runs.
// - A library's state is its runtime callback alone, unless the library
//   declares more below and defines it in its own folder; a file that reaches
//   such a library's state includes that definition.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

template <rt::LibraryNumber Number>
struct LibraryState {
  // Stored by notify code 1 on the main thread, before any other thread of
  // the program runs, and only read afterwards, from any thread.
  rt::RuntimeCallback runtimeCallback = nullptr;
};

// The multithreading library also keeps its critical sections
// (libraries/threads/state.h).
template <>
struct LibraryState<rt::LIB_THREADS>;

template <rt::LibraryNumber Number>
LibraryState<Number>& State() {
  static LibraryState<Number> state;
  return state;
}

// Asks the runtime through the library's callback; 0 before it came.
template <rt::LibraryNumber Number>
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0) {
  rt::RuntimeCallback callback = State<Number>().runtimeCallback;
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
      State<Number>().runtimeCallback = reinterpret_cast<rt::RuntimeCallback>(parameter1);
      return 0;
    case rt::NOTIFY_END:
      if constexpr (End == nullptr) return rt::kNotifyUnhandled;
      else return End(), 0;
    default: return rt::kNotifyUnhandled;
  }
}

}  // namespace lib
