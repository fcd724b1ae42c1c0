#include "commands/core_library.h"

#include <array>

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

constexpr win::UnitTypeDescriptor Type(const char* name, const char* englishName, uint32_t state, int32_t count,
                                       const win::PropertyDescriptor* properties, void* (*interface)(int)) {
  return {name, englishName, nullptr, {}, state, {}, count, properties, interface, {}};
}

// Menu items keep their properties in their records; the table only names
// their four types.
constexpr win::PropertyDescriptor kMenuProperties[] = {
    {nullptr, nullptr, nullptr, win::PROP_TEXT, 0x8000, nullptr},
    {nullptr, nullptr, nullptr, win::PROP_BOOL, 0x8000, nullptr},
    {nullptr, nullptr, nullptr, win::PROP_BOOL, 0x8000, nullptr},
    {nullptr, nullptr, nullptr, win::PROP_BOOL, 0x8000, nullptr},
};

// Types this program does not use keep their places as all-zero records.
std::array<win::UnitTypeDescriptor, kCoreTypeCount> BuildTypes() {
  std::array<win::UnitTypeDescriptor, kCoreTypeCount> types{};
  auto at = [&](int number) -> win::UnitTypeDescriptor& { return types[size_t(number - 1)]; };
  at(CORE_WINDOW) = Type("窗口", "window", win::kWindowState, win::kWindowPropertyCount, win::kWindowProperties,
                         win::WindowInterface);
  at(CORE_MENU) = Type("菜单", "menu", win::kMenuState, 4, kMenuProperties, win::MenuInterface);
  at(CORE_EDIT_BOX) = Type(units::kEditBoxName, units::kEditBoxEnglishName, units::kEditBoxState,
                           units::kEditBoxPropertyCount, units::kEditBoxProperties, units::EditBoxInterface);
  at(CORE_LABEL) = Type(units::kLabelName, units::kLabelEnglishName, units::kLabelState, units::kLabelPropertyCount,
                        units::kLabelProperties, units::LabelInterface);
  at(CORE_BUTTON) = Type(units::kButtonName, units::kButtonEnglishName, units::kButtonState,
                         units::kButtonPropertyCount, units::kButtonProperties, units::ButtonInterface);
  at(CORE_CHECK_BOX) = Type(units::kCheckBoxName, units::kCheckBoxEnglishName, units::kCheckBoxState,
                            units::kCheckBoxPropertyCount, units::kCheckBoxProperties, units::CheckBoxInterface);
  at(CORE_HYPER_LINKER) = Type(units::kHyperLinkerName, units::kHyperLinkerEnglishName, units::kHyperLinkerState,
                               units::kHyperLinkerPropertyCount, units::kHyperLinkerProperties,
                               units::HyperLinkerInterface);
  at(CORE_COMMON_DLG) = Type(units::kCommonDlgName, units::kCommonDlgEnglishName, units::kCommonDlgState,
                             units::kCommonDlgPropertyCount, units::kCommonDlgProperties, units::CommonDlgInterface);
  return types;
}

const std::array<win::UnitTypeDescriptor, kCoreTypeCount> kCoreTypes = BuildTypes();

// In command order (CoreCommand); the table grows as the basic commands are
// written.
constexpr rt::CommandEntry kCommands[] = {
    LoadFormWindow, GetWindowHandle, FindText,       ShowMessage,    ToInteger,
    ToText,         RightOfText,     ReadFileBytes,  ReplaceSubtext, TextLength,
    MidOfText,      ByteSetLength,   NewZeroByteSet, ByteSetToValue, FindTextFromEnd,
};

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
