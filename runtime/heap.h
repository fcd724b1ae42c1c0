// The one heap: every text, byte set and array block lives in the process
// heap. FreeMemory is safe on null and on pointers into the program's
// constant block, so callers never need to know where a value came from.
#pragma once

#include <cstddef>
#include <memory>

namespace rt {

void* AllocMemory(size_t size);             // fatal error when the heap is exhausted
void* ReallocMemory(void* block, size_t size);
void FreeMemory(void* block);
void* TryAllocMemory(size_t size);          // null when the heap is exhausted

// The program's read-only constant block (text literals, constant arrays).
void SetConstantBlock(const void* start, size_t size);
bool IsInConstantBlock(const void* p);

// Owns a heap block in C++ code; frees it with FreeMemory.
struct HeapDeleter {
  void operator()(void* p) const { FreeMemory(p); }
};
template <class T = void>
using HeapPtr = std::unique_ptr<T, HeapDeleter>;

}  // namespace rt
