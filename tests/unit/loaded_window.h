// A test window loaded in this process: a window record and the units a
// test names, bound to ProgramFixture's recording handlers, created through
// the real loader.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "program_fixture.h"
#include "unit_list_builder.h"
#include "windows/loader.h"
#include "windows/registry.h"
#include "windows/window_properties.h"

namespace testing_support {

class LoadedWindowTest : public ProgramFixture {
 protected:
  static constexpr uint32_t kWindowId = 0x52017000;
  static constexpr uint32_t kWindowRecord = 0x06010000;

  void TearDown() override {
    win::DestroyAllLoadedWindows();
    PumpMessages();
    ProgramFixture::TearDown();
  }

  struct WindowSpec {
    std::vector<UnitSpec> units;
    std::vector<std::pair<int32_t, uint32_t>> events;  // the window's own bindings
    win::WindowProperties properties = DefaultWindow();
    std::vector<MenuSpec> menu;
  };

  // The unit list of a window: its own record, the units, then the menu.
  static win::UnitList WindowList(const WindowSpec& window) {
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> records;
    UnitSpec own{kWindowRecord, 0x00010001, 0, window.events, "", win::WriteWindowBlob(window.properties)};
    own.left = 100, own.top = 100, own.width = 400, own.height = 300;
    records.push_back({kWindowRecord, UnitRecord(own)});
    for (const UnitSpec& unit : window.units) records.push_back({unit.id, UnitRecord(unit)});
    for (const MenuSpec& item : window.menu) records.push_back({item.id, MenuRecord(item)});
    return MakeUnitList(records);
  }

  // Loads (not shows) the test window. Fails the test when the load fails.
  void LoadWith(const WindowSpec& window) {
    InstallWindow(kWindowId, WindowList(window));
    ASSERT_TRUE(win::LoadWindow(*win::FindTemplate(kWindowId), false, nullptr));
  }
  void LoadWith(const std::vector<UnitSpec>& units) { LoadWith(WindowSpec{units}); }

  static win::WindowProperties DefaultWindow() {
    win::WindowProperties window;
    window.title = "test";
    window.position = win::POSITION_NORMAL;
    return window;
  }

  // The live unit object (unit ID 0: the window), or null.
  static win::UnitObject* Unit(uint32_t unitId) { return win::LiveUnitObject(kWindowId, unitId); }
  static HWND Handle(uint32_t unitId) {
    win::UnitObject* unit = Unit(unitId);
    return unit ? unit->handle() : nullptr;
  }

  static void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
};

}  // namespace testing_support
