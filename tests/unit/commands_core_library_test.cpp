// The core library's command table.
#include "commands/core_library.h"

#include <gtest/gtest.h>

#include <iterator>

#include "commands/file_commands.h"
#include "commands/message_box.h"
#include "commands/text_commands.h"
#include "commands/value_commands.h"
#include "commands/window_commands.h"
#include "libraries/library_descriptor.h"

namespace {

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
      {core::CMD_FIND_TEXT_FROM_END, core::FindTextFromEnd},
  };
  std::span<const lib::CommandSpec> specs = lib::CommandSpecsOf(core::kCoreLibrary);
  ASSERT_GE(specs.size(), std::size(cases));
  for (const Case& c : cases) EXPECT_EQ(specs[c.number].body, c.entry) << "command " << c.number;
}

}  // namespace
