// LoadFormWindow and GetWindowHandle on windows installed for the test.
#include "commands/window_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "commands_window_fixture.h"
#include "windows/loader.h"
#include "windows/unit_object.h"

namespace {

using namespace commands_test;

HWND HandleOf(uint32_t windowId, uint32_t unitId) {
  win::UnitObject* unit = win::LiveUnitObject(windowId, unitId);
  return unit ? unit->handle() : nullptr;
}

TEST_F(CommandWindows, LoadFormWindowLoadsByWindowId) {
  EXPECT_TRUE(Load(kFirstWindow));
  EXPECT_NE(HandleOf(kFirstWindow, 0), nullptr);
  EXPECT_NE(HandleOf(kFirstWindow, kEditBox), nullptr);
}

TEST_F(CommandWindows, LoadFormWindowRefusesAnUnknownWindow) {
  EXPECT_FALSE(Load(0x52017777));
}

TEST_F(CommandWindows, LoadFormWindowNeedsTheOwnerLoaded) {
  EXPECT_FALSE(Load(kSecondWindow, UnitReference(kFirstWindow)));
  EXPECT_EQ(HandleOf(kSecondWindow, 0), nullptr) << "loaded for an owner that is not loaded";
  ASSERT_TRUE(Load(kFirstWindow));
  EXPECT_TRUE(Load(kSecondWindow, UnitReference(kFirstWindow)));
  EXPECT_NE(HandleOf(kSecondWindow, 0), nullptr);
}

TEST_F(CommandWindows, GetWindowHandleOfWindowsAndUnits) {
  ASSERT_TRUE(Load(kFirstWindow));
  struct Case {
    const char* name;
    std::vector<rt::ArgRecord> arguments;
    HWND expected;
    const char* refusal = nullptr;  // commands_test_support.h
  } cases[] = {
      {"the window", {UnitReference(kFirstWindow)}, HandleOf(kFirstWindow, 0)},
      {"its edit box", {UnitReference(kFirstWindow, kEditBox, kEditBoxType)}, HandleOf(kFirstWindow, kEditBox)},
      {"a unit the window lacks", {UnitReference(kFirstWindow, 0x16010009, kEditBoxType)}, nullptr},
      {"a window not loaded", {UnitReference(kSecondWindow)}, nullptr},
      {"an unknown window", {UnitReference(0x52017777)}, nullptr},
      {"an integer with the window's words", {{kFirstWindow, 0, rt::TYPE_INT}}, nullptr, "GetWindowHandle 1"},
      {"omitted", {kOmitted}, nullptr, "GetWindowHandle 1"},
      {"no records", {}, nullptr, "GetWindowHandle 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(int32_t(CallOrRefuse(core::CMD_GET_WINDOW_HANDLE, c.arguments, c.refusal).low),
              HandleToLong(c.expected));
  }
}

TEST_F(CommandWindows, GetWindowHandleIsZeroOnceTheWindowIsGone) {
  ASSERT_TRUE(Load(kFirstWindow));
  ASSERT_NE(Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kFirstWindow)}).low, 0u);
  win::DestroyAllLoadedWindows();
  EXPECT_EQ(Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kFirstWindow)}).low, 0u);
  EXPECT_EQ(Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kFirstWindow, kEditBox, kEditBoxType)}).low, 0u);
}

}  // namespace
