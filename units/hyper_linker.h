// HyperLinker: a link label. It draws one centred line in a colour that
// shows whether the mouse is over it and whether its target has been
// opened, and opens its target (a web address, or an e-mail address as a
// "mailto:" link) when clicked: through the shell's "open" verb, or, when
// the shell refuses, through the browser command registered for ".htm".
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "windows/unit_toolkit.h"

namespace units {

void* HyperLinkerInterface(int number);

inline constexpr auto kHyperLinkerProperties = win::PropertyTable<10>({
    win::Own(win::PROP_TEXT),     // 8 caption
    win::Own(win::PROP_PICK),     // 9 link type
    win::Own(win::PROP_TEXT),     // 10 e-mail address
    win::Own(win::PROP_TEXT),     // 11 web address
    win::Own(win::PROP_COLOR),    // 12 normal colour
    win::Own(win::PROP_COLOR),    // 13 visited colour
    win::Own(win::PROP_COLOR),    // 14 hover colour
    win::Own(win::PROP_COLOR_3),  // 15 back colour
    win::Own(win::PROP_PICK),     // 16 border style
    win::Own(win::PROP_FONT),     // 17 font
});

inline constexpr win::UnitTypeDescriptor kHyperLinkerType = win::DescribeUnitType({
    .name = "超级链接框",
    .englishName = "HyperLinker",
    .state = 0x80010040,
    .properties = kHyperLinkerProperties,
    .interfaceFunction = &HyperLinkerInterface,
});

// Property indexes as ReadUnitProperty and WriteUnitProperty see them.
enum HyperLinkerProperty : int {
  HL_CAPTION = 8,
  HL_LINK_TYPE,
  HL_EMAIL_ADDRESS,
  HL_WEB_ADDRESS,
  HL_NORMAL_COLOR,
  HL_VISITED_COLOR,
  HL_HOVER_COLOR,
  HL_BACK_COLOR,
  HL_BORDER_STYLE,
  HL_FONT,
};

struct HyperLinkerProperties {
  int32_t linkType = 0;  // 0 e-mail address, 1 web address
  uint32_t normalColor = 0x00FF0000;
  uint32_t visitedColor = 0x00000080;
  uint32_t hoverColor = GetSysColor(COLOR_HIGHLIGHT);
  uint32_t backColor = 0xFF000000;
  int32_t borderStyle = 0;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty for the default font
  std::string caption;
  std::string emailAddress;
  std::string webAddress;
};

std::optional<HyperLinkerProperties> ReadHyperLinkerBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteHyperLinkerBlob(const HyperLinkerProperties& properties);

// The address the link shows when its caption is empty.
const std::string& LinkAddress(const HyperLinkerProperties& properties);
// What a click opens: the web address, or "mailto:" and the e-mail address;
// empty when the address is empty.
std::string LinkTarget(const HyperLinkerProperties& properties);
// The text colour: hover over visited over normal.
COLORREF LinkTextColor(const HyperLinkerProperties& properties, bool hover, bool visited);
// The command line that runs a registered browser command on a target: the
// command up to its "%1" placeholder (with its quotes), a space, the target.
std::wstring BrowserCommandLine(std::wstring_view command, std::wstring_view target);

}  // namespace units
