// Fatal errors in unit tests: the error hook throws, so a fatal path can be
// observed without ending the test process.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/fatal.h"

namespace testing_support {

struct FatalErrorRaised {
  int code;
  std::string message;
};

int ThrowingErrorHook(int code, const char* message);

// Runs `body` and returns the fatal error it raised; fails the test if none.
template <class Body>
FatalErrorRaised ExpectFatal(Body body) {
  try {
    body();
  } catch (const FatalErrorRaised& raised) {
    return raised;
  }
  ADD_FAILURE() << "no fatal error was raised";
  return {};
}

template <class Body>
std::string ExpectFatalMessage(Body body) {
  return ExpectFatal(body).message;
}

// Runs `body`; a fatal error it raises fails the test, naming `what`, and
// the test goes on after it.
template <class Body>
void ExpectNoFatal(const std::string& what, Body body) {
  try {
    body();
  } catch (const FatalErrorRaised& raised) {
    ADD_FAILURE() << what << ": fatal error \"" << raised.message << '"';
  }
}

}  // namespace testing_support
