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

  // Loads (not shows) the window with the units, in list order; the window
  // record binds `windowEvents`. Fails the test when the load fails.
  void LoadWith(const std::vector<UnitSpec>& units, std::vector<std::pair<int32_t, uint32_t>> windowEvents = {},
                win::WindowProperties window = DefaultWindow()) {
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> records;
    UnitSpec own{kWindowRecord, 0x00010001, 0, std::move(windowEvents), "", win::WriteWindowBlob(window)};
    own.left = 100, own.top = 100, own.width = 400, own.height = 300;
    records.push_back({kWindowRecord, UnitRecord(own)});
    for (const UnitSpec& unit : units) records.push_back({unit.id, UnitRecord(unit)});
    InstallWindow(kWindowId, MakeUnitList(records));
    ASSERT_TRUE(win::LoadWindow(*win::FindTemplate(kWindowId), false, nullptr));
  }

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
