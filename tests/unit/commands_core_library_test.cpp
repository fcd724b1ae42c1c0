// The core library's command table: its entries in command order, and the
// calls it refuses and accepts.
#include "commands/core_library.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "commands/dialog_commands.h"
#include "commands/file_commands.h"
#include "commands/message_box.h"
#include "commands/text_commands.h"
#include "commands/value_commands.h"
#include "commands/window_commands.h"
#include "commands_window_fixture.h"
#include "fatal_trap.h"
#include "libraries/library_descriptor.h"

namespace {

using namespace commands_test;

TEST(CoreCommandTable, EntriesStandInCommandOrder) {
  struct Case {
    core::CoreCommand number;
    rt::CommandEntry entry;
  } cases[] = {
      {core::CMD_LOAD_FORM_WINDOW, core::LoadFormWindow},     {core::CMD_GET_WINDOW_HANDLE, core::GetWindowHandle},
      {core::CMD_FIND_TEXT, core::FindText},                  {core::CMD_SHOW_MESSAGE, core::ShowMessage},
      {core::CMD_TO_INTEGER, core::ToInteger},                {core::CMD_TO_TEXT, core::ToText},
      {core::CMD_RIGHT_OF_TEXT, core::RightOfText},           {core::CMD_READ_FILE_BYTES, core::ReadFileBytes},
      {core::CMD_REPLACE_SUBTEXT, core::ReplaceSubtext},      {core::CMD_TEXT_LENGTH, core::TextLength},
      {core::CMD_MID_OF_TEXT, core::MidOfText},               {core::CMD_BYTE_SET_LENGTH, core::ByteSetLength},
      {core::CMD_NEW_ZERO_BYTE_SET, core::NewZeroByteSet},    {core::CMD_BYTE_SET_TO_VALUE, core::ByteSetToValue},
      {core::CMD_FIND_TEXT_FROM_END, core::FindTextFromEnd},  {core::CMD_SHOW_COMMON_DIALOG, core::ShowCommonDialog},
      {core::CMD_DESTROY_FORM_WINDOW, core::DestroyFormWindow},
  };
  std::span<const lib::CommandSpec> declarations = lib::CommandSpecsOf(core::kCoreLibrary);
  ASSERT_EQ(declarations.size(), std::size(cases));
  for (const Case& c : cases) EXPECT_EQ(declarations[c.number].body, c.entry) << "command " << c.number;
}

// A call of a core command and what comes of it: the refusal of a refused
// call (commands_test_support.h), the result an accepted one shows.
struct CoreCall {
  const char* name;
  core::CoreCommand command;
  std::vector<rt::ArgRecord> arguments;
  const char* outcome;
  std::optional<int> count = std::nullopt;
};

TEST(CoreCommandTable, RefusedCalls) {
  char* textVariable = nullptr;
  const CoreCall cases[] = {
      {"more records than the command has", core::CMD_TEXT_LENGTH, {Text("a"), Text("b")}, "TextLength 2"},
      {"an omitted record more than the command has", core::CMD_BYTE_SET_TO_VALUE,
       {ByteSet(nullptr), rt::MakeInt(1), kOmitted, kOmitted}, "ByteSetToValue 4"},
      {"a required argument missing", core::CMD_MID_OF_TEXT, {Text("abc"), rt::MakeInt(1)}, "MidOfText 3"},
      {"no records", core::CMD_TO_INTEGER, {}, "ToInteger 1"},
      {"a negative count", core::CMD_TEXT_LENGTH, {Text("abc")}, "TextLength 1", -1},
      {"a required argument omitted", core::CMD_FIND_TEXT, {Text("abc"), Text("b"), kOmitted, kOmitted},
       "FindText 4"},
      {"any value omitted", core::CMD_TO_TEXT, {kOmitted}, "ToText 1"},
      {"an integer given as a double", core::CMD_RIGHT_OF_TEXT, {Text("abc"), rt::MakeDouble(2)}, "RightOfText 2"},
      {"an integer given as a text variable", core::CMD_NEW_ZERO_BYTE_SET,
       {rt::MakeReference(rt::TYPE_TEXT, &textVariable)}, "NewZeroByteSet 1"},
      {"a logical given as an integer", core::CMD_FIND_TEXT, {Text("abc"), Text("b"), kOmitted, rt::MakeInt(1)},
       "FindText 4"},
      {"a text given as a byte set", core::CMD_TEXT_LENGTH, {ByteSet(nullptr)}, "TextLength 1"},
      {"a byte set given as a text", core::CMD_BYTE_SET_LENGTH, {Text("abc")}, "ByteSetLength 1"},
      {"a window given as an integer", core::CMD_GET_WINDOW_HANDLE, {{kFirstWindow, 0, rt::TYPE_INT}},
       "GetWindowHandle 1"},
      {"an optional owner given as a text", core::CMD_LOAD_FORM_WINDOW,
       {UnitReference(kFirstWindow), Text("owner"), rt::MakeBool(false)}, "LoadFormWindow 2"},
      {"a message box owner given as a text", core::CMD_SHOW_MESSAGE,
       {Text("message"), rt::MakeInt(16), Text("title"), Text("owner")}, "ShowMessage 4"},
      {"a common dialog given as a window", core::CMD_SHOW_COMMON_DIALOG, {UnitReference(kFirstWindow)},
       "ShowCommonDialog 1"},
      {"a common dialog given as an edit box", core::CMD_SHOW_COMMON_DIALOG,
       {UnitReference(kFirstWindow, kEditBox, kEditBoxType)}, "ShowCommonDialog 1"},
  };
  for (const CoreCall& c : cases) {
    EXPECT_EQ(testing_support::ExpectFatalMessage([&] { Call(c.command, c.arguments, c.count); }),
              Refusal(c.outcome))
        << c.name;
  }
}

TEST(CoreCommandTable, AcceptedCalls) {
  const uint8_t bytes[] = {1, 2, 3};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 3));
  int32_t two = 2;
  // Past the count: of the wrong kind, and a position that would change the result.
  const rt::ArgRecord wrongKindPastTheCount{2, 0, rt::TYPE_TEXT};
  const CoreCall cases[] = {
      {"an optional argument omitted in the middle", core::CMD_FIND_TEXT,
       {Text("abcabc"), Text("bc"), kOmitted, rt::MakeBool(false)}, "2"},
      {"three optional arguments omitted in the middle", core::CMD_REPLACE_SUBTEXT,
       {Text("aXbX"), Text("X"), kOmitted, kOmitted, kOmitted, rt::MakeBool(true)}, "ab"},
      {"an optional argument left out at the end", core::CMD_BYTE_SET_TO_VALUE,
       {ByteSet(set.get()), rt::MakeInt(1), wrongKindPastTheCount}, "1", 2},
      {"an optional argument of a window command left out at the end", core::CMD_DESTROY_FORM_WINDOW,
       {UnitReference(kSecondWindow)}, "0"},
      {"an integer variable where an integer is expected", core::CMD_RIGHT_OF_TEXT,
       {Text("abc"), rt::MakeReference(rt::TYPE_INT, &two)}, "bc"},
      {"integer variables for a position and a count", core::CMD_MID_OF_TEXT,
       {Text("abcd"), rt::MakeReference(rt::TYPE_INT, &two), rt::MakeReference(rt::TYPE_INT, &two)}, "bc"},
      {"a unit of any type where any unit will do", core::CMD_GET_WINDOW_HANDLE,
       {UnitReference(kFirstWindow, kEditBox, kEditBoxType)}, "0"},
      {"a unit where any value will do", core::CMD_TO_INTEGER, {UnitReference(kFirstWindow)}, "0"},
  };
  for (const CoreCall& c : cases) {
    std::string shown;
    testing_support::ExpectNoFatal(c.name, [&] { shown = Shown(Call(c.command, c.arguments, c.count)); });
    EXPECT_EQ(shown, c.outcome) << c.name;
  }
}

}  // namespace
