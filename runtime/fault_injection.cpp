#include "runtime/fault_injection.h"

#include <algorithm>
#include <atomic>

namespace rt::fault {
namespace {

struct Counter {
  std::atomic<bool> armed{false};
  std::atomic<uint32_t> attempts{0};
  std::atomic<uint32_t> failAt{0};
};

Counter counters[2];
constexpr size_t kNoCut = SIZE_MAX;
std::atomic<size_t> readCut{kNoCut};

Counter& CounterOf(Fault fault) { return counters[size_t(fault)]; }

}  // namespace

Armed::Armed(Fault fault, uint32_t failAt) : fault_(fault) {
  Counter& c = CounterOf(fault);
  c.attempts = 0;
  c.failAt = failAt;
  c.armed = true;
}

Armed::~Armed() { CounterOf(fault_).armed = false; }

uint32_t Armed::attempts() const { return CounterOf(fault_).attempts; }

ReadCut::ReadCut(size_t bytes) { readCut = bytes; }

ReadCut::~ReadCut() { readCut = kNoCut; }

bool FailNow(Fault fault) {
  Counter& c = CounterOf(fault);
  if (!c.armed.load(std::memory_order_relaxed)) return false;
  return c.attempts.fetch_add(1) + 1 == c.failAt;
}

size_t ReadLimit(size_t length) { return std::min(length, readCut.load(std::memory_order_relaxed)); }

}  // namespace rt::fault
