#include "runtime/fault_injection.h"

#include <algorithm>
#include <atomic>

namespace rt::fault {
namespace {

constexpr size_t kNoCut = SIZE_MAX;

struct Counter {
  std::atomic<bool> armed{false};
  std::atomic<uint32_t> attempts{0};
  std::atomic<uint32_t> failAt{0};
};

// The armed faults: one per process, constant-initialised so that the first
// check needs no guard. The test's thread arms and disarms them; every thread
// that allocates, creates a window or reads a file counts or reads them, so
// every member is atomic.
struct Faults {
  Counter counters[2];  // by Fault
  std::atomic<size_t> readCut{kNoCut};
};

Faults& ArmedFaults() {
  constinit static Faults faults;
  return faults;
}

Counter& CounterOf(Fault fault) { return ArmedFaults().counters[size_t(fault)]; }

}  // namespace

Armed::Armed(Fault fault, uint32_t failAt) : fault_(fault) {
  Counter& c = CounterOf(fault);
  c.attempts = 0;
  c.failAt = failAt;
  c.armed = true;
}

Armed::~Armed() { CounterOf(fault_).armed = false; }

uint32_t Armed::attempts() const { return CounterOf(fault_).attempts; }

ReadCut::ReadCut(size_t bytes) { ArmedFaults().readCut = bytes; }

ReadCut::~ReadCut() { ArmedFaults().readCut = kNoCut; }

bool FailNow(Fault fault) {
  Counter& c = CounterOf(fault);
  if (!c.armed.load(std::memory_order_relaxed)) return false;
  return c.attempts.fetch_add(1) + 1 == c.failAt;
}

size_t ReadLimit(size_t length) { return std::min(length, ArmedFaults().readCut.load(std::memory_order_relaxed)); }

}  // namespace rt::fault
