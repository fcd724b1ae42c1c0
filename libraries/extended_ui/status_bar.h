// The StatusBar unit type, type 2 of the extended-interface library: the
// system's status bar control, docked to an edge of its window and divided
// into parts that each carry a width, a border, an icon, a text and a tip.
#pragma once

#include "windows/unit_toolkit.h"

namespace lib::extended_ui {

void* StatusBarInterface(int number);

inline constexpr auto kStatusBarProperties = win::PropertyTable<6>({
    win::Own(win::PROP_COLOR_3),  // 8 back colour
    win::Own(win::PROP_PICK),     // 9 alignment: 0 bottom, 1 top, 2 none
    win::Own(win::PROP_BOOL),     // 10 size grip
    win::Own(win::PROP_FONT),     // 11 font
    win::Own(win::PROP_BYTES),    // 12 icons
    win::Own(win::PROP_BYTES_2),  // 13 parts
});

inline constexpr win::UnitTypeDescriptor kStatusBarType = win::DescribeUnitType({
    .name = "状态条",
    .englishName = "StatusBar",
    .state = win::UNIT_BAR | win::UNIT_NEVER_FOCUS | win::UNIT_VISUAL_EVENTS,
    .properties = kStatusBarProperties,
    .interfaceFunction = &StatusBarInterface,
});

}  // namespace lib::extended_ui
