// The StatusBar unit type, type 2 of the extended-interface library: the
// system's status bar control, docked to an edge of its window and divided
// into parts that each carry a width, a border, an icon, a text and a tip.
#pragma once

#include "libraries/extended_ui/library.h"
#include "runtime/values.h"
#include "windows/unit_toolkit.h"

namespace lib::extended_ui {

void* StatusBarInterface(int number);

// The library's commands on the status bar named by argument 0. They run on
// the window thread, the only thread that walks or changes a bar's parts;
// a bar whose window is gone (the program is closing) is left alone. Part
// indexes count from 0, and one outside the parts is ignored.
//   SetPartText(bar, index, text = "")   the part's text, sent for that part only
//   GetPartText(bar, index) → text       from the parts data, not the control
//   SetPartWidth(bar, index, width = 50) below -1 counts as -1; the parts are applied again
void SetPartText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
void GetPartText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
void SetPartWidth(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

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
