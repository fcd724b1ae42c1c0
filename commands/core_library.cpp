#include "commands/core_library.h"

#include <array>

#include "commands/dialog_commands.h"
#include "commands/file_commands.h"
#include "commands/message_box.h"
#include "commands/text_commands.h"
#include "commands/value_commands.h"
#include "commands/window_commands.h"
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

using Link = lib::RuntimeLink<rt::LIB_CORE, lib::NothingToRelease>;

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

// In command order (CoreCommand).
constexpr rt::CommandEntry kCommands[] = {
    LoadFormWindow,  GetWindowHandle, FindText,         ShowMessage,       ToInteger,      ToText,
    RightOfText,     ReadFileBytes,   ReplaceSubtext,   TextLength,        MidOfText,      ByteSetLength,
    NewZeroByteSet,  ByteSetToValue,  FindTextFromEnd,  ShowCommonDialog,  DestroyFormWindow,
};
static_assert(std::size(kCommands) == CMD_DESTROY_FORM_WINDOW + 1, "every basic command, in command order");

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

const rt::LibraryDescriptor kCoreLibrary = lib::DescribeLibrary({
    .identifier = "{6F4B2C91D03E4A7B8E15C2A97D64F0B3}",
    .version = {5, 3, 64, 3, 7, 3, 7},
    .displayName = "系统核心支持库",
    .stateFlags = 0xC0000001,
    .dataTypes = kCoreTypes,
    .commands = kCommands,
    .notify = Link::Notify,
});

}  // namespace core
