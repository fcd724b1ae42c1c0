// The libraries' command tables and the entries made from them: every
// library's table, whatever it holds; a kind no core command takes; and where
// the core library's window commands run when a worker calls them. The core
// table's refused and accepted calls are in commands_core_library_test.cpp.
#include "libraries/command_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands_window_fixture.h"
#include "fatal_trap.h"
#include "commands/program_libraries.h"
#include "libraries/library_descriptor.h"
#include "runtime/hidden_owner.h"
#include "runtime/state.h"
#include "windows/loader.h"
#include "windows/unit_object.h"
#include "windows/window_unit.h"
#include "worker_thread.h"

namespace {

using namespace commands_test;
using lib::Arg;

// Runs the check on every library of the program's list, named in failures.
template <class Check>
void ForEveryLibrary(Check check) {
  for (size_t number = 0; number < std::size(lib::kProgramLibraries); ++number) {
    SCOPED_TRACE("library " + std::to_string(number));
    const rt::LibraryDescriptor& library = *lib::kProgramLibraries[number];
    check(int(number), library, lib::CommandSpecsOf(library));
  }
}

size_t DeclaredArguments(const lib::CommandSpec& declaration) {
  size_t count = 0;
  while (count < declaration.arguments.size() && declaration.arguments[count] != Arg::None) ++count;
  return count;
}

TEST(CommandTables, EveryCommandHasItsOwnEntryAndABody) {
  ForEveryLibrary([](int, const rt::LibraryDescriptor& library, std::span<const lib::CommandSpec> declarations) {
    ASSERT_GE(library.commandCount, 0);
    if (declarations.empty()) return;
    ASSERT_NE(library.commands, nullptr);
    ASSERT_NE(library.commandDescriptions, nullptr);
    std::set<rt::CommandEntry> entries(library.commands, library.commands + declarations.size());
    EXPECT_EQ(entries.size(), declarations.size()) << "commands share an entry";
    for (size_t i = 0; i < declarations.size(); ++i) {
      EXPECT_NE(library.commands[i], nullptr) << "command " << i;
      EXPECT_NE(declarations[i].body, nullptr) << "command " << i;
    }
  });
}

TEST(CommandTables, NamesAreUniqueWithinALibrary) {
  ForEveryLibrary([](int, const rt::LibraryDescriptor&, std::span<const lib::CommandSpec> declarations) {
    std::set<std::string_view> names;
    for (size_t i = 0; i < declarations.size(); ++i) {
      ASSERT_NE(declarations[i].name, nullptr) << "command " << i;
      EXPECT_NE(std::string_view(declarations[i].name), "") << "command " << i;
      EXPECT_TRUE(names.insert(declarations[i].name).second) << "command " << i << " repeats " << declarations[i].name;
    }
  });
}

// A kind after a place left empty would never be checked, an optional bit
// past the arguments means nothing, and a unit type binds only a unit.
TEST(CommandTables, SpecsSayWhatTheCheckReads) {
  ForEveryLibrary([](int, const rt::LibraryDescriptor&, std::span<const lib::CommandSpec> declarations) {
    for (const lib::CommandSpec& declaration : declarations) {
      size_t declared = DeclaredArguments(declaration);
      for (size_t i = declared; i < declaration.arguments.size(); ++i)
        EXPECT_EQ(declaration.arguments[i], Arg::None) << declaration.name << ": argument " << i + 1 << " after an empty place";
      EXPECT_EQ(declaration.optional >> declared, 0u) << declaration.name << ": optional bits past its arguments";
      if (declaration.unitType) {
        EXPECT_EQ(declaration.arguments[0], Arg::Unit) << declaration.name << ": a unit type without a unit";
      }
    }
  });
}

// A call with one record more than the command has is refused before any
// record is read, naming the command: entry i checks against declaration i.
TEST(CommandTables, EveryEntryChecksAgainstItsOwnSpec) {
  ForEveryLibrary([](int number, const rt::LibraryDescriptor& library, std::span<const lib::CommandSpec> declarations) {
    for (size_t i = 0; i < declarations.size(); ++i) {
      int count = int(DeclaredArguments(declarations[i])) + 1;
      std::vector<rt::ArgRecord> records(static_cast<size_t>(count));
      std::string message = testing_support::ExpectFatalMessage(
          [&] { rt::Services().CallLibraryCommand(number, library.commands[i], count, records.data()); });
      EXPECT_EQ(message, Refusal(std::string(declarations[i].name).append(" ").append(std::to_string(count))))
          << "command " << i;
    }
  });
}

// No core command takes a subroutine.
constexpr lib::CommandSpec kTakesASubroutine{"TakesASubroutine", nullptr, {Arg::Subroutine}};

TEST(CommandTableCheck, ASubroutineIsASubroutinePointerOnly) {
  rt::ArgRecord pointer{0x401000, 0, rt::TYPE_SUBPTR}, integer = rt::MakeInt(0x401000);
  testing_support::ExpectNoFatal("a subroutine pointer", [&] { lib::CheckCall(kTakesASubroutine, 1, &pointer); });
  EXPECT_EQ(testing_support::ExpectFatalMessage([&] { lib::CheckCall(kTakesASubroutine, 1, &integer); }),
            Refusal("TakesASubroutine 1"));
}

// The window thread is this test's thread; the bound window records the
// thread of its created and destroying events.
class WindowCommandsFromAWorker : public CommandWindows {
 protected:
  static constexpr uint32_t kBoundWindow = 0x52010603;

  void SetUp() override {
    CommandWindows::SetUp();
    using testing_support::Handler;
    testing_support::UnitSpec window{kWindowRecord, kWindowType, 0,
                                     {{win::WE_CREATED, Handler(0)}, {win::WE_DESTROYING, Handler(1)}}, "",
                                     win::WriteWindowBlob({})};
    InstallWindow(kBoundWindow, testing_support::MakeUnitList({{kWindowRecord, testing_support::UnitRecord(window)}}));
    auto record = [this](rt::HandlerCall&) { handlerThreads_.push_back(GetCurrentThreadId()); };
    for (int handler : {0, 1}) ActOn(handler, record);
    rt::State().mainThreadId = GetCurrentThreadId();
  }
  void TearDown() override {
    CommandWindows::TearDown();
    rt::State().mainThreadId = 0;
  }

  static HWND BoundWindowHandle() {
    win::UnitObject* window = win::LiveUnitObject(kBoundWindow, 0);
    return window ? window->handle() : nullptr;
  }

  std::vector<DWORD> handlerThreads_;
};

TEST_F(WindowCommandsFromAWorker, RunOnTheWindowThread) {
  rt::ArgRecord loaded{}, handle{};
  testing_support::RunOnWorker(
      [&] { loaded = Call(core::CMD_LOAD_FORM_WINDOW, {UnitReference(kBoundWindow), kOmitted, rt::MakeBool(false)}); });
  HWND window = BoundWindowHandle();
  ASSERT_EQ(loaded.low, 1u);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  testing_support::RunOnWorker([&] { handle = Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kBoundWindow)}); });
  EXPECT_EQ(int32_t(handle.low), HandleToLong(window));
  testing_support::RunOnWorker(
      [&] { Call(core::CMD_DESTROY_FORM_WINDOW, {UnitReference(kBoundWindow), rt::MakeBool(true)}); });
  EXPECT_FALSE(IsWindow(window)) << "a window destroyed on another thread than its own stays";
  const std::string_view names[] = {"created", "destroying"};
  EXPECT_EQ(CallsSeen(names), "created, destroying");
  EXPECT_EQ(handlerThreads_, std::vector<DWORD>(2, GetCurrentThreadId()));
}

// Takes the runtime's hidden owner away, as the end of the program does, and
// gives it back.
class HiddenOwnerGone {
 public:
  HiddenOwnerGone() { rt::DestroyHiddenOwner(); }
  ~HiddenOwnerGone() { rt::CreateHiddenOwner(); }
  HiddenOwnerGone(const HiddenOwnerGone&) = delete;
  HiddenOwnerGone& operator=(const HiddenOwnerGone&) = delete;
};

// The window thread handles no messages meanwhile: a call that waited for it
// would not come back. A command that runs where it is called still runs.
TEST_F(WindowCommandsFromAWorker, DoNothingOnceTheHiddenOwnerIsGone) {
  ASSERT_TRUE(Load(kBoundWindow));
  HiddenOwnerGone gone;
  rt::ArgRecord handle{}, length{};
  testing_support::Worker worker([&] {
    handle = Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kBoundWindow)});
    length = Call(core::CMD_TEXT_LENGTH, {Text("abc")});
  });
  ASSERT_TRUE(worker.WaitWithoutMessages(testing_support::kWorkerPatienceMs))
      << "the worker waits for the window thread";
  EXPECT_EQ(handle.low, 0u);
  EXPECT_EQ(handle.high, 0u);
  EXPECT_EQ(handle.tag, rt::TYPE_NONE) << "the result was written";
  EXPECT_EQ(length.low, 3u);
}

}  // namespace
