// The standard units against the program's own form data: every blob the
// form compiler wrote is read, written back byte for byte, and makes a unit.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <span>

#include "tests/unit/units_test_support.h"
#include "units/button.h"
#include "units/common_dlg.h"
#include "units/edit_box.h"
#include "units/hyper_linker.h"
#include "units/label.h"
#include "windows/registry.h"

namespace player {
extern const unsigned char kFormData[];
extern const unsigned int kFormDataSize;
}  // namespace player

namespace {

struct StandardType {
  void* (*interface)(int);
  std::optional<std::vector<uint8_t>> (*roundTrip)(std::span<const uint8_t>);
};

template <auto Read, auto Write>
std::optional<std::vector<uint8_t>> RoundTrip(std::span<const uint8_t> blob) {
  auto properties = Read(blob);
  if (!properties) return std::nullopt;
  return Write(*properties);
}

const std::map<uint32_t, StandardType> kStandardTypes = {
    {0x00010005, {units::EditBoxInterface, RoundTrip<units::ReadEditBoxBlob, units::WriteEditBoxBlob>}},
    {0x0001000A, {units::LabelInterface, RoundTrip<units::ReadLabelBlob, units::WriteLabelBlob>}},
    {0x0001000B, {units::ButtonInterface, RoundTrip<units::ReadButtonBlob, units::WriteButtonBlob>}},
    {0x0001000C, {units::CheckBoxInterface, RoundTrip<units::ReadCheckBoxBlob, units::WriteCheckBoxBlob>}},
    {0x0001001D, {units::HyperLinkerInterface, RoundTrip<units::ReadHyperLinkerBlob, units::WriteHyperLinkerBlob>}},
    {0x0001001F, {units::CommonDlgInterface, RoundTrip<units::ReadCommonDlgBlob, units::WriteCommonDlgBlob>}},
};

struct FormUnit {
  uint32_t windowId, unitId, typeCode;
  RECT rect;
  std::vector<uint8_t> blob;
};

std::vector<FormUnit> StandardUnitsOfTheForms() {
  constexpr uint32_t kAnyHandlerCount = 0x10000;
  auto templates = win::ReadFormData({player::kFormData, player::kFormDataSize}, kAnyHandlerCount);
  EXPECT_TRUE(templates);
  std::vector<FormUnit> found;
  if (!templates) return found;
  for (const win::WindowTemplate& t : *templates)
    for (uint32_t i = 1; i < t.units.count(); ++i) {
      uint32_t type = t.units.isMenuItem(i) ? 0 : t.units.word(i, 0);
      if (!kStandardTypes.contains(type)) continue;
      size_t at = t.units.unitLayout(i).objectSlot;
      auto word = [&](size_t field) { return LONG(int32_t(t.units.word(i, at + 4 * field))); };
      RECT rect{word(1), word(2), word(1) + word(3), word(2) + word(4)};
      auto blob = t.units.blob(i);
      found.push_back({t.windowId, t.units.idAt(i), type, rect, {blob.begin(), blob.end()}});
    }
  return found;
}

std::string Where(const FormUnit& unit) {
  char text[64];
  snprintf(text, sizeof(text), "window 0x%08X, unit 0x%08X", unit.windowId, unit.unitId);
  return text;
}

TEST(UnitsFormData, EveryBlobIsWrittenBackTheSame) {
  std::map<uint32_t, int> perType;
  for (const FormUnit& unit : StandardUnitsOfTheForms()) {
    auto again = kStandardTypes.at(unit.typeCode).roundTrip(unit.blob);
    ASSERT_TRUE(again) << Where(unit) << ": blob refused";
    EXPECT_EQ(*again, unit.blob) << Where(unit);
    ++perType[unit.typeCode];
  }
  // Main: an EditBox. About: a Label and a HyperLinker. Font: an EditBox, a
  // Label and a Button. Config: two of EditBox, Label and Button, a CheckBox
  // and a CommonDlg.
  std::map<uint32_t, int> expected = {{0x00010005, 4}, {0x0001000A, 4}, {0x0001000B, 3},
                                      {0x0001000C, 1}, {0x0001001D, 1}, {0x0001001F, 1}};
  EXPECT_EQ(perType, expected);
}

TEST(UnitsFormData, EveryUnitIsCreatedAtItsPlace) {
  units_test::ParentWindow parent;
  int controlId = 100;
  for (const FormUnit& unit : StandardUnitsOfTheForms()) {
    auto* created = parent.Create(kStandardTypes.at(unit.typeCode).interface, unit.blob, unit.rect, 0, controlId += 10);
    ASSERT_TRUE(created) << Where(unit);
    RECT placed;
    GetWindowRect(created->handle(), &placed);
    MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, unit.rect.left) << Where(unit);
    EXPECT_EQ(placed.top, unit.rect.top) << Where(unit);
    EXPECT_EQ(placed.right, unit.rect.right) << Where(unit);
  }
}

TEST(UnitsFormData, TheConfigWindowsUnits) {
  std::map<uint32_t, std::vector<uint8_t>> config;
  for (const FormUnit& unit : StandardUnitsOfTheForms())
    if (unit.windowId == 0x52010130) config[unit.unitId] = unit.blob;

  EXPECT_EQ(config[0x16010138].size(), 123u);
  auto dialog = units::ReadCommonDlgBlob(config[0x16010138]);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->title, "Select BGM File");
  EXPECT_EQ(dialog->filter, "MP3(*.mp3)|*.mp3");
  EXPECT_EQ(dialog->fontColor, 0x80u);

  auto frameRate = units::ReadEditBoxBlob(config[0x1601016a]);
  ASSERT_TRUE(frameRate);
  EXPECT_EQ(frameRate->content, "20");
  EXPECT_EQ(frameRate->maxLength, 2);
  EXPECT_EQ(frameRate->alignment, 1);
  EXPECT_EQ(frameRate->inputMode, 3);
  EXPECT_EQ(frameRate->adjustType, 1);
  EXPECT_EQ(frameRate->adjustMin, 1);
  EXPECT_EQ(frameRate->adjustMax, 50);

  auto useBgm = units::ReadCheckBoxBlob(config[0x16010136]);
  ASSERT_TRUE(useBgm);
  EXPECT_EQ(useBgm->caption, "Use BGM");
  EXPECT_EQ(useBgm->checked, 0);
}

}  // namespace
