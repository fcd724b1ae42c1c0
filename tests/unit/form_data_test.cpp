// The compiled forms, read back with the runtime's own reader.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "fatal_trap.h"
#include "player/form_data.h"
#include "player_forms.h"
#include "runtime/program.h"
#include "runtime/startup.h"
#include "windows/menu.h"
#include "windows/registry.h"
#include "windows/window_properties.h"

namespace {

using namespace win;

std::span<const uint8_t> FormData() { return {player::kFormData, player::kFormDataSize}; }

std::string HandlerName(uint32_t relocated) { return relocated ? player::kHandlerNames[relocated - 1] : "<none>"; }

class CompiledForms : public ::testing::Test {
 protected:
  void SetUp() override {
    auto read = ReadFormData(FormData(), testing_support::PlayerHandlerCount());
    ASSERT_TRUE(read);
    templates_ = std::move(*read);
  }
  WindowTemplate& Window(uint32_t id) {
    for (auto& t : templates_)
      if (t.windowId == id) return t;
    throw std::runtime_error("no such window");
  }
  std::vector<WindowTemplate> templates_;
};

TEST_F(CompiledForms, FourWindowsInOrder) {
  ASSERT_EQ(templates_.size(), 4u);
  EXPECT_EQ(templates_[0].windowId, 0x52010001u);
  EXPECT_EQ(templates_[1].windowId, 0x5201000Eu);
  EXPECT_EQ(templates_[2].windowId, 0x52010019u);
  EXPECT_EQ(templates_[3].windowId, 0x52010130u);
  EXPECT_EQ(player::kFormDataSize, 5466u);
}

TEST_F(CompiledForms, MainWindowRecordsInListOrder) {
  const UnitList& units = Window(0x52010001).units;
  const uint32_t ids[] = {0x06010000, 0x16010145, 0x16010031, 0x16010015, 0x16010009, 0x26010002, 0x26010003,
                          0x26010004, 0x26010005, 0x26010006, 0x26010012, 0x26010013, 0x26010007, 0x26010008};
  ASSERT_EQ(units.count(), std::size(ids));
  for (uint32_t i = 0; i < units.count(); ++i) EXPECT_EQ(units.idAt(i), ids[i]) << i;
  const uint32_t types[] = {0x00010001, 0x00070006, 0x00030001, 0x00020002, 0x00010005};
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(units.word(i, 0), types[i]) << i;
  MenuRun run = FindMenuRun(units);
  EXPECT_EQ(run.first, 5u);
  EXPECT_EQ(run.count, 9u);
}

TEST_F(CompiledForms, EditBoxRecordFields) {
  const UnitList& units = Window(0x52010001).units;
  uint32_t i = *units.indexOf(0x16010009);
  UnitRecordLayout l = units.unitLayout(i);
  EXPECT_EQ(units.zText(i, 24), "编辑框1");
  EXPECT_EQ(units.word(i, l.objectSlot), 0u) << "nothing is created yet";
  EXPECT_EQ(units.word(i, l.objectSlot + 4), 0u);
  EXPECT_EQ(units.word(i, l.objectSlot + 12), 605u);
  EXPECT_EQ(units.word(i, l.objectSlot + 16), 470u);
  EXPECT_EQ(units.word(i, l.flags), 1u | 4u) << "visible, tab stop";
  EXPECT_EQ(units.word(i, l.pointerLength), 4u);
  EXPECT_EQ(units.word(i, l.eventCount), 0u);
  auto blob = units.blob(i);
  ASSERT_GE(blob.size(), 4u);
  uint32_t version;
  std::memcpy(&version, blob.data(), 4);
  EXPECT_EQ(version, 2u);
}

TEST_F(CompiledForms, HandlersAreRelocatedIntoTheTable) {
  const UnitList& units = Window(0x52010001).units;
  UnitRecordLayout window = units.unitLayout(0);
  ASSERT_EQ(units.word(0, window.eventCount), 2u);
  EXPECT_EQ(units.word(0, window.bindings), 0u);
  EXPECT_EQ(HandlerName(units.word(0, window.bindings + 4)), "OnMainCreated");
  EXPECT_EQ(units.word(0, window.bindings + 8), 4u);
  EXPECT_EQ(HandlerName(units.word(0, window.bindings + 12)), "OnMainResized");
  uint32_t open = *units.indexOf(0x26010003);
  MenuRecordLayout m = units.menuLayout(open);
  EXPECT_EQ(units.zText(open, m.caption), "Open");
  EXPECT_EQ(units.word(open, m.shortcut), 15u) << "Ctrl+O";
  EXPECT_EQ(HandlerName(units.word(open, m.handler)), "OnOpen");
  uint32_t file = *units.indexOf(0x26010002);
  EXPECT_EQ(units.word(file, units.menuLayout(file).handler), 0u) << "no handler";
  uint32_t start = *units.indexOf(0x26010004);
  EXPECT_EQ(units.word(start, units.menuLayout(start).flags), uint32_t(MENU_DISABLED));
}

TEST_F(CompiledForms, WindowBlobsGiveTitles) {
  const char* titles[] = {"Ombrevista", "About", "Font", "Config"};
  for (size_t w = 0; w < 4; ++w) {
    auto blob = templates_[w].units.blob(0);
    auto properties = ReadWindowBlob({blob.begin(), blob.end()});
    ASSERT_TRUE(properties) << w;
    EXPECT_EQ(properties->title, titles[w]);
  }
}

TEST(FormData, HandlerOffsetPastTheTableIsAnError) {
  EXPECT_FALSE(ReadFormData(FormData(), 3));
}

// Every cut of the form data short of its full length is a read error.
TEST(FormData, EveryTruncationIsRefused) {
  auto data = FormData();
  for (size_t n = 0; n < data.size(); ++n)
    ASSERT_FALSE(ReadFormData(data.first(n), testing_support::PlayerHandlerCount())) << "accepted a cut at " << n;
}

// Flipped bytes either still read as a sound structure or are refused; the
// reader never runs past the data.
TEST(FormData, FlippedBytesNeverBreakTheReader) {
  std::mt19937 random(20261207);
  std::vector<uint8_t> data(FormData().begin(), FormData().end());
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> damaged = data;
    int flips = 1 + int(random() % 4);
    for (int f = 0; f < flips; ++f) damaged[random() % damaged.size()] ^= uint8_t(1 + random() % 255);
    auto read = ReadFormData(damaged, testing_support::PlayerHandlerCount());
    if (!read) continue;
    for (auto& t : *read) {
      for (uint32_t i = 0; i < t.units.count(); ++i) {
        if (t.units.isMenuItem(i)) continue;
        EXPECT_LE(t.units.unitLayout(i).blob, t.units.body(i).size());
      }
    }
  }
}

TEST(FormData, StartUpReportsABadFormAsFatal) {
  rt::ProgramDescriptor program{};
  program.formData = player::kFormData;
  program.formDataSize = player::kFormDataSize - 1;
  program.handlerCount = testing_support::PlayerHandlerCount();
  auto raised = testing_support::ExpectFatal([&] { rt::InstallFormData(program); });
  EXPECT_EQ(raised.message, "载入窗口模板数据段出错!");
}

}  // namespace
