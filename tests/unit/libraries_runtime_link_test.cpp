#include "libraries/runtime_link.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Request {
  int code = 0;
  intptr_t parameter1 = 0;
  intptr_t parameter2 = 0;
};
Request lastRequest;

intptr_t RecordingCallback(int code, intptr_t parameter1, intptr_t parameter2) {
  lastRequest = {code, parameter1, parameter2};
  return 77;
}

int releases = 0;
void CountRelease() { ++releases; }

// Library numbers no real library has, one per test, so no test sees a
// callback another one stored.
constexpr auto kNeverStarted = rt::LibraryNumber(100);
constexpr auto kStarted = rt::LibraryNumber(101);
constexpr auto kWithoutEnd = rt::LibraryNumber(102);
constexpr auto kWithEnd = rt::LibraryNumber(103);

intptr_t AsParameter(rt::RuntimeCallback callback) { return reinterpret_cast<intptr_t>(callback); }

TEST(RuntimeLink, AnswersZeroWhileNoCallbackIsStored) {
  lastRequest = {};
  EXPECT_EQ(lib::CallRuntime<kNeverStarted>(2024, 16, 1), 0);
  EXPECT_EQ(lastRequest.code, 0);
}

TEST(RuntimeLink, StartStoresTheCallbackThatLaterCallsReach) {
  ASSERT_EQ(lib::Notify<kStarted>(rt::NOTIFY_START, AsParameter(&RecordingCallback), 0), 0);
  // A parameter that needs the full pointer width must arrive whole.
  const intptr_t wide = intptr_t(1) << (sizeof(intptr_t) * 8 - 2);
  EXPECT_EQ(lib::CallRuntime<kStarted>(2025, wide, -5), 77);
  EXPECT_EQ(lastRequest.code, 2025);
  EXPECT_EQ(lastRequest.parameter1, wide);
  EXPECT_EQ(lastRequest.parameter2, -5);

  ASSERT_EQ(lib::Notify<kStarted>(rt::NOTIFY_START, 0, 0), 0);
  EXPECT_EQ(lib::CallRuntime<kStarted>(2025, 1, 2), 0);
}

TEST(RuntimeLink, EndIsUnhandledWithoutAnEndRoutine) {
  EXPECT_EQ(lib::Notify<kWithoutEnd>(rt::NOTIFY_END, 0, 0), rt::kNotifyUnhandled);
}

TEST(RuntimeLink, EndRunsTheEndRoutineAndAnswersZero) {
  releases = 0;
  EXPECT_EQ((lib::Notify<kWithEnd, &CountRelease>)(rt::NOTIFY_END, 0, 0), 0);
  EXPECT_EQ(releases, 1);
}

TEST(RuntimeLink, OtherCodesAreUnhandled) {
  for (int code : {0, 2, 7, 8, 10, 13, -1}) {
    releases = 0;
    EXPECT_EQ((lib::Notify<kWithEnd, &CountRelease>)(code, AsParameter(&RecordingCallback), 0), rt::kNotifyUnhandled) << "code " << code;
    EXPECT_EQ(releases, 0) << "code " << code;
  }
  EXPECT_EQ(lib::CallRuntime<kWithEnd>(2025), 0) << "an unhandled code must not store a callback";
}

}  // namespace
