// Faults a test injects to walk the failure paths: the Nth heap allocation
// fails, the Nth window creation fails, a file read ends early. Only tests
// arm them; the program never does, and then every check answers "no fault"
// after one atomic load.
//
// Conventions, written once here:
// - Each site asks once per attempt. Heap allocations (AllocMemory,
//   TryAllocMemory, ReallocMemory) ask FailNow(Fault::Allocation); every
//   window the windows and units layers create asks
//   FailNow(Fault::WindowCreation) (win::CreateWindowHandle); ReadFileBytes
//   reads at most ReadLimit(length) bytes of a file.
// - Arming counts attempts from zero. `Armed(fault, n)` fails the nth attempt
//   (1: the next one) and that one only, as a system short of resources for
//   a moment would; n = 0 fails none and only counts, so a test first learns
//   how many attempts an operation makes, then fails each in turn.
// - A fault is armed while its Armed or ReadCut object lives; one of each
//   kind at a time. Counting is atomic: worker threads allocate too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt::fault {

enum class Fault { Allocation, WindowCreation };

class Armed {
 public:
  Armed(Fault fault, uint32_t failAt);
  ~Armed();
  Armed(const Armed&) = delete;
  Armed& operator=(const Armed&) = delete;
  // Attempts seen since arming, the failed one included.
  uint32_t attempts() const;

 private:
  Fault fault_;
};

// Every file read ends after `bytes` bytes while this lives.
class ReadCut {
 public:
  explicit ReadCut(size_t bytes);
  ~ReadCut();
  ReadCut(const ReadCut&) = delete;
  ReadCut& operator=(const ReadCut&) = delete;
};

// Counts an attempt; true when it is the one to fail.
bool FailNow(Fault fault);
// The bytes a read of `length` bytes may deliver.
size_t ReadLimit(size_t length);

}  // namespace rt::fault
