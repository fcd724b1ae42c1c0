// Counts the live blocks of the process heap, so that frees can be observed.
#pragma once

#include <windows.h>

#include <cstddef>

namespace testing_support {

inline size_t LiveHeapBlocks() {
  HANDLE heap = GetProcessHeap();
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry{};
  size_t count = 0;
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++count;
  HeapUnlock(heap);
  return count;
}

}  // namespace testing_support
