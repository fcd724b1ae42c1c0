// Every property of every unit type, read through the framework and written
// back as read: a type must serve every property it declares, and a value
// it hands out must read the same after it is written back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/fatal_trap.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "windows/window_unit.h"

namespace {

using units_test::UnitProperties;

constexpr uint32_t kFirstUnitId = 0x16010001;
constexpr uint32_t kMenuItemId = 0x26010001;

class PropertyWalk : public testing_support::LoadedWindowTest {
 protected:
  // One unit of each type with an empty blob (its defaults), the window
  // itself for the window type, and a menu item for the menu type.
  std::vector<UnitProperties> LoadOneOfEach() {
    WindowSpec window;
    std::vector<UnitProperties> walked;
    uint32_t id = kFirstUnitId;
    for (const units_test::RegisteredType& registered : units_test::AllUnitTypes()) {
      uint32_t unitId = registered.code == win::kWindowTypeCode ? 0
                        : registered.code == win::kMenuTypeCode ? kMenuItemId
                                                                : id++;
      if (unitId == kMenuItemId) window.menu.push_back({kMenuItemId, 0, "&File"});
      else if (unitId != 0) window.units.push_back({.id = unitId, .type = registered.code});
      walked.emplace_back(kWindowId, unitId, *registered.type);
    }
    LoadWith(window);
    return walked;
  }
};

void ExpectSameAfterWritingBack(const UnitProperties& unit, int index) {
  std::string where = std::string(unit.type().englishName) + " property " + std::to_string(index);
  SCOPED_TRACE(where);
  testing_support::ExpectNoFatal(where, [&] {
    units_test::PropertyData read = unit.Read(index);
    unit.Write(index, read);
    EXPECT_EQ(unit.Read(index), read);
  });
}

TEST_F(PropertyWalk, EveryPropertyOfEveryTypeReadsTheSameAfterItIsWrittenBack) {
  std::vector<UnitProperties> units = LoadOneOfEach();
  ASSERT_FALSE(HasFatalFailure());
  for (const UnitProperties& unit : units)
    for (int index = 0; index < unit.type().propertyCount; ++index) ExpectSameAfterWritingBack(unit, index);
}

}  // namespace
