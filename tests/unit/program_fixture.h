// A program for in-process tests: the real seven libraries, a handler table
// whose handlers record their calls, and a registry the test installs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/program.h"
#include "windows/registry.h"

namespace testing_support {

struct HandlerCallRecord {
  int handler;
  std::vector<int64_t> arguments;
  uint32_t sourceWindow;
  uint32_t sourceUnit;
};

class ProgramFixture : public ::testing::Test {
 public:
  static std::vector<HandlerCallRecord>& Calls();
  // The calls so far as one text a failed comparison prints: "name(arguments)"
  // joined by ", ", handler k named names[k] ("handler k" beyond them).
  static std::string CallsSeen(std::span<const std::string_view> names);
  // The next handler called answers this value.
  static void AnswerNext(int64_t value);
  // Handler k also runs this, after recording its call, every time it runs.
  static void ActOn(int handler, std::function<void(rt::HandlerCall&)> action);

 protected:
  void SetUp() override;
  void TearDown() override;
  // Installs one window template with the given unit list.
  void InstallWindow(uint32_t windowId, win::UnitList units);

 private:
  const rt::ProgramDescriptor* savedProgram_ = nullptr;
};

constexpr size_t kRecordingHandlers = 32;

// The program's seven libraries, in library-number order.
std::span<const rt::LibraryDescriptor* const> ProgramLibraries();

// Relocated handler words of the recording handlers: handler k is k + 1.
constexpr uint32_t Handler(int k) { return uint32_t(k + 1); }

}  // namespace testing_support
