#include "runtime/services.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace rt;

struct Seen {
  ArgRecord resultOnEntry;
  int count;
  std::vector<TypeTag> tags;
} seen;

void Recorder(ArgRecord* result, int count, ArgRecord* arguments) {
  seen = {*result, count, {}};
  for (int i = 0; i < count; ++i) seen.tags.push_back(arguments[i].tag);
  result->low = 42;
}

TEST(Services, CommandsGetAZeroedResultAndOmittedArgumentsAsTagZero) {
  ArgRecord arguments[] = {MakeInt(1), ArgRecord{}, MakeBlock(TYPE_TEXT, "x")};
  ArgRecord result = Services().CallLibraryCommand(LIB_SHELL, Recorder, 3, arguments);
  EXPECT_EQ(result.low, 42u);
  EXPECT_EQ(seen.count, 3);
  EXPECT_EQ(seen.tags, (std::vector<TypeTag>{TYPE_INT, TYPE_NONE, TYPE_TEXT}));
  EXPECT_EQ(seen.resultOnEntry.low | seen.resultOnEntry.high | seen.resultOnEntry.tag, 0u);
  result = Services().CallCoreCommand(Recorder, 0, nullptr);
  EXPECT_EQ(result.low, 42u);
  EXPECT_EQ(seen.count, 0);
}

}  // namespace
