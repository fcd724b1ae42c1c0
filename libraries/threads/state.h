// The multithreading library's state (library 5): its runtime callback, the
// critical sections it holds, and the flag of a close that catches handle
// faults.
#pragma once

#include <windows.h>

#include <forward_list>

#include "libraries/runtime_link.h"

namespace lib {

namespace threads {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

 private:
  CRITICAL_SECTION section_;
};

}  // namespace threads

template <>
struct LibraryState<rt::LIB_THREADS> {
  // As every library's (libraries/runtime_link.h).
  rt::RuntimeCallback runtimeCallback = nullptr;
  // None of this program's commands adds one; notify code 6 empties the
  // list on the main thread at the end of the program.
  std::forward_list<threads::CriticalSection> criticalSections;
  // Each thread's own: set by a thread around its own close and read by the
  // handle-fault handler on that same thread (CloseCatchingHandleFaults).
  static inline thread_local bool closing = false;
};

}  // namespace lib
