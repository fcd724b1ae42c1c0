#include "runtime/heap.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/fault_injection.h"
#include "runtime/state.h"

namespace rt {
namespace {

// Fetched before anything can allocate and kept for the life of the process.
const HANDLE processHeap = GetProcessHeap();

[[noreturn]] void ReportHeapExhausted(size_t size) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %llu 字节内存失败!", static_cast<unsigned long long>(size));
  ReportFatalError(message);
}

}  // namespace

void SetConstantBlock(const void* start, size_t size) {
  RuntimeState& state = State();
  state.constantStart = static_cast<const uint8_t*>(start);
  state.constantEnd = state.constantStart + size;
}

bool IsInConstantBlock(const void* p) {
  auto* b = static_cast<const uint8_t*>(p);
  const RuntimeState& state = State();
  return state.constantStart && b >= state.constantStart && b < state.constantEnd;
}

void* TryAllocMemory(size_t size) {
  if (fault::FailNow(fault::Fault::Allocation)) return nullptr;
  return HeapAlloc(processHeap, 0, size);
}

void* AllocMemory(size_t size) {
  void* block = TryAllocMemory(size);
  if (!block) ReportHeapExhausted(size);
  return block;
}

void* ReallocMemory(void* block, size_t size) {
  if (!block) return AllocMemory(size);
  if (IsInConstantBlock(block)) {
    void* copy = AllocMemory(size);
    size_t available = State().constantEnd - static_cast<const uint8_t*>(block);
    std::memcpy(copy, block, std::min(size, available));
    return copy;
  }
  void* moved = fault::FailNow(fault::Fault::Allocation) ? nullptr : HeapReAlloc(processHeap, 0, block, size);
  if (!moved) ReportHeapExhausted(size);
  return moved;
}

void FreeMemory(void* block) {
  if (!block || IsInConstantBlock(block)) return;
  HeapFree(processHeap, 0, block);
}

}  // namespace rt
