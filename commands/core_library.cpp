#include "commands/core_library.h"

#include <array>

#include "commands/dialog_commands.h"
#include "commands/file_commands.h"
#include "commands/message_box.h"
#include "commands/text_commands.h"
#include "commands/value_commands.h"
#include "commands/window_commands.h"
#include "libraries/command_table.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"
#include "units/button.h"
#include "units/common_dlg.h"
#include "units/edit_box.h"
#include "units/hyper_linker.h"
#include "units/label.h"
#include "windows/window_properties.h"
#include "windows/window_unit.h"

namespace core {
namespace {

// Types this program does not use keep their places as all-zero records.
std::array<win::UnitTypeDescriptor, kCoreTypeCount> BuildTypes() {
  std::array<win::UnitTypeDescriptor, kCoreTypeCount> types{};
  auto at = [&](int number) -> win::UnitTypeDescriptor& { return types[size_t(number - 1)]; };
  at(CORE_WINDOW) = win::kWindowType;
  at(CORE_MENU) = win::kMenuType;
  at(CORE_EDIT_BOX) = units::kEditBoxType;
  at(CORE_LABEL) = units::kLabelType;
  at(CORE_BUTTON) = units::kButtonType;
  at(CORE_CHECK_BOX) = units::kCheckBoxType;
  at(CORE_HYPER_LINKER) = units::kHyperLinkerType;
  at(CORE_COMMON_DLG) = units::kCommonDlgType;
  return types;
}

const std::array<win::UnitTypeDescriptor, kCoreTypeCount> kCoreTypes = BuildTypes();

using lib::Arg;
using lib::Optional;
constexpr lib::RunsOn kWindowThread = lib::RunsOn::WindowThread;
constexpr lib::RunsOn kCallingThread = lib::RunsOn::CallingThread;

// In command order (CoreCommand). Commands that load, close or look up
// windows run on the window thread; the others where they are called.
constexpr lib::CommandSpec kCommandSpecs[] = {
    {"LoadFormWindow", LoadFormWindow, {Arg::Unit, Arg::Unit, Arg::Logical}, Optional({2}), kWindowThread},
    {"GetWindowHandle", GetWindowHandle, {Arg::Unit}, 0, kWindowThread},
    {"FindText", FindText, {Arg::Text, Arg::Text, Arg::Integer, Arg::Logical}, Optional({3})},
    {"ShowMessage", ShowMessage, {Arg::Any, Arg::Integer, Arg::Text, Arg::UnitOrInteger}, Optional({3, 4})},
    {"ToInteger", ToInteger, {Arg::Any}},
    {"ToText", ToText, {Arg::Any}},
    {"RightOfText", RightOfText, {Arg::Text, Arg::Integer}},
    {"ReadFileBytes", ReadFileBytes, {Arg::Text}},
    {"ReplaceSubtext", ReplaceSubtext, {Arg::Text, Arg::Text, Arg::Text, Arg::Integer, Arg::Integer, Arg::Logical},
     Optional({3, 4, 5})},
    {"TextLength", TextLength, {Arg::Text}},
    {"MidOfText", MidOfText, {Arg::Text, Arg::Integer, Arg::Integer}},
    {"ByteSetLength", ByteSetLength, {Arg::ByteSet}},
    {"NewZeroByteSet", NewZeroByteSet, {Arg::Integer}},
    {"ByteSetToValue", ByteSetToValue, {Arg::ByteSet, Arg::Integer, Arg::Integer}, Optional({3})},
    {"FindTextFromEnd", FindTextFromEnd, {Arg::Text, Arg::Text, Arg::Integer, Arg::Logical}, Optional({3})},
    {"ShowCommonDialog", ShowCommonDialog, {Arg::Unit}, 0, kWindowThread, units::kCommonDlgTypeCode},
    {"DestroyFormWindow", DestroyFormWindow, {Arg::Unit, Arg::Logical}, Optional({2}), kWindowThread},
};
static_assert(std::size(kCommandSpecs) == CMD_DESTROY_FORM_WINDOW + 1, "every basic command, in command order");
static_assert(kCommandSpecs[CMD_FIND_TEXT].runsOn == kCallingThread);

constexpr auto kCommands = lib::CommandEntries<kCommandSpecs>();

}  // namespace

const rt::LibraryDescriptor kCoreLibrary = lib::DescribeLibrary({
    .identifier = "{6F4B2C91D03E4A7B8E15C2A97D64F0B3}",
    .version = {5, 3, 64, 3, 7, 3, 7},
    .displayName = "系统核心支持库",
    .stateFlags = 0xC0000001,
    .dataTypes = kCoreTypes,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &lib::Notify<rt::LIB_CORE, &lib::NothingToRelease>,
});

}  // namespace core
