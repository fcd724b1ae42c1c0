// Two windows for the window and message-box commands: the first holds an
// edit box, the second is a plain window. Neither is loaded at the start;
// whatever a test loads is destroyed at its end.
#pragma once

#include <windows.h>

#include <cstdint>

#include "commands_test_support.h"
#include "program_fixture.h"
#include "unit_list_builder.h"
#include "units/edit_box.h"
#include "windows/registry.h"
#include "windows/window_properties.h"

namespace commands_test {

constexpr uint32_t kWindowType = rt::TypeCode(rt::LIB_CORE, core::CORE_WINDOW);
constexpr uint32_t kEditBoxType = rt::TypeCode(rt::LIB_CORE, core::CORE_EDIT_BOX);
constexpr uint32_t kFirstWindow = 0x52010601;
constexpr uint32_t kSecondWindow = 0x52010602;
constexpr uint32_t kWindowRecord = 0x06010000;
constexpr uint32_t kEditBox = 0x16010001;

// A unit reference as program code passes it: window ID, unit ID, type code.
inline rt::ArgRecord UnitReference(uint32_t windowId, uint32_t unitId = 0, uint32_t type = kWindowType) {
  return {windowId, unitId, type};
}

class CommandWindows : public testing_support::ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    using testing_support::UnitRecord;
    std::vector<uint8_t> window = win::WriteWindowBlob({});
    InstallWindow(kFirstWindow,
                  testing_support::MakeUnitList({
                      {kWindowRecord, UnitRecord({kWindowRecord, kWindowType, 0, {}, "", window})},
                      {kEditBox, UnitRecord({kEditBox, kEditBoxType, 0, {}, "", units::WriteEditBoxBlob({})})},
                  }));
    InstallWindow(kSecondWindow, testing_support::MakeUnitList(
                                     {{kWindowRecord, UnitRecord({kWindowRecord, kWindowType, 0, {}, "", window})}}));
  }
  void TearDown() override {
    win::DestroyAllLoadedWindows();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    ProgramFixture::TearDown();
  }

  // LoadFormWindow, not modal.
  static bool Load(uint32_t windowId, rt::ArgRecord owner = kOmitted) {
    return Call(core::CMD_LOAD_FORM_WINDOW, {UnitReference(windowId), owner, rt::MakeBool(false)}).low != 0;
  }
};

}  // namespace commands_test
