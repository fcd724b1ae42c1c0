#include <gtest/gtest.h>

#include "fatal_trap.h"
#include "runtime/hidden_owner.h"
#include "runtime/state.h"
#include "windows/framework.h"

namespace testing_support {

int ThrowingErrorHook(int code, const char* message) { throw FatalErrorRaised{code, message}; }

}  // namespace testing_support

namespace {

// Fatal errors end only the failing test, and leave events resumable.
class RuntimeEnvironment : public ::testing::Environment {
  void SetUp() override {
    rt::SetErrorHook(testing_support::ThrowingErrorHook);
    rt::CreateHiddenOwner();
  }
};

class ResetSuppression : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { rt::State().eventSuppression = 0; }
};

}  // namespace

int main(int argc, char** argv) {
  rt::InstallWindowFramework(win::kWindowFramework);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResetSuppression);
  return RUN_ALL_TESTS();
}
