// The DropTarget unit type, type 1 of the drag-and-drop library: a unit
// without a window of its own that turns drag and drop onto a registered
// window into events, one per format it is set to accept.
#pragma once

#include <array>

#include "libraries/drag_drop/library.h"
#include "runtime/library.h"
#include "windows/unit_toolkit.h"

namespace lib::drag_drop {

void* DropTargetInterface(int number);

// Formats by property, index - 8.
enum AcceptedFormat : int { ACCEPT_TEXT, ACCEPT_HTML, ACCEPT_URL, ACCEPT_FILES, kAcceptedFormatCount };

// Whether a unit accepts each format, indexed by AcceptedFormat.
using AcceptedFormats = std::array<bool, kAcceptedFormatCount>;

inline constexpr auto kDropTargetProperties = win::PropertyTable<kAcceptedFormatCount>({
    win::Own(win::PROP_BOOL),  // 8 accept text (CF_TEXT)
    win::Own(win::PROP_BOOL),  // 9 accept HTML ("HTML Format")
    win::Own(win::PROP_BOOL),  // 10 accept URL ("UniformResourceLocator")
    win::Own(win::PROP_BOOL),  // 11 accept files (CF_HDROP)
});

inline constexpr win::UnitTypeDescriptor kDropTargetType = win::DescribeUnitType({
    .name = "拖放对象",
    .englishName = "DropTarget",
    .state = 0x80000000 | win::UNIT_WINDOWLESS | win::UNIT_VISUAL_EVENTS,
    .properties = kDropTargetProperties,
    .interfaceFunction = &DropTargetInterface,
});

class KDropTarget;

// The drop target object of a DropTarget unit; null for a unit of another type.
KDropTarget* DropTargetObject(win::UnitObject& unit);

// The library's one command, RegisterDropWindow(unit, window handle):
// registers the window for drops onto the unit, once per unit. True when the
// registration succeeded; a second call answers false.
void RegisterDropWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace lib::drag_drop
