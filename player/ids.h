// Identifiers of the player's windows, units and menu items, as the form
// data gives them, and the property indexes its handlers use.
#pragma once

#include <cstdint>

namespace player {

constexpr uint32_t kMainWindow = 0x52010001;
constexpr uint32_t kAboutWindow = 0x5201000E;
constexpr uint32_t kFontWindow = 0x52010019;
constexpr uint32_t kConfigWindow = 0x52010130;

constexpr uint32_t kMainWindowUnit = 0x06010000;
constexpr uint32_t kMediaPlay1 = 0x16010145;
constexpr uint32_t kDropTarget1 = 0x16010031;
constexpr uint32_t kStatusBar1 = 0x16010015;
constexpr uint32_t kEditBox1 = 0x16010009;

// The Config window's units.
constexpr uint32_t kConfigWindowUnit = 0x0601012F;
constexpr uint32_t kFrameRateBox = 0x1601016A;      // EditBox2
constexpr uint32_t kPrefixBox = 0x16010169;         // EditBox1
constexpr uint32_t kSelectButton = 0x16010137;      // Button1 "Select"
constexpr uint32_t kUseBgmBox = 0x16010136;         // CheckBox1 "Use BGM"
constexpr uint32_t kTrackDialog = 0x16010138;       // CommonDlg1
constexpr uint32_t kConfigDropTarget = 0x1601015A;  // DropTarget1

// The Font window's units.
constexpr uint32_t kFontWindowUnit = 0x06010018;
constexpr uint32_t kFontSizeBox = 0x1601001A;  // EditBox1

constexpr uint32_t kMenuOpen = 0x26010003;
constexpr uint32_t kMenuStart = 0x26010004;
constexpr uint32_t kMenuPauseContinue = 0x26010005;
constexpr uint32_t kMenuStop = 0x26010006;

constexpr uint32_t kWindowTypeCode = 0x00010001;

// Property indexes.
constexpr int kWidth = 2;              // any unit: outer width in pixels
constexpr int kHeight = 3;             // any unit: outer height in pixels
constexpr int kDisabled = 6;           // any unit
constexpr int kMenuItemDisabled = 2;
constexpr int kContent = 8;            // EditBox
constexpr int kFont = 12;              // EditBox
constexpr int kFontPointSize = 5;      // element of a font property
constexpr int kChecked = 18;           // CheckBox
constexpr int kFileName = 10;          // CommonDlg: the chosen path once confirmed
constexpr int kInitialDirectory = 13;  // CommonDlg

}  // namespace player
