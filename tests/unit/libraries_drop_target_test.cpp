#include "libraries/drag_drop/drop_target.h"

#include <gtest/gtest.h>

#include "fatal_trap.h"
#include "libraries/drag_drop/drop_target_object.h"
#include "libraries/libraries.h"
#include "loaded_window.h"
#include "unit_properties.h"
#include "units_test_support.h"

#include <array>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using lib::drag_drop::kDropTargetType;

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes bytes;
  for (uint32_t word : words)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(word >> shift));
  return bytes;
}

class DropTargetTest : public ::testing::Test {
 protected:
  win::UnitObject* Create(const Bytes& blob, DWORD style = 0) {
    return host_.Create(kDropTargetType.interfaceFunction, blob, {536, 248, 536 + 32, 248 + 32}, style, 110);
  }

  static Bytes Serialize(win::UnitObject* unit) { return units_test::Serialize(kDropTargetType.interfaceFunction, unit); }

  units_test::ParentWindow host_;
  HWND parent_ = host_.get();
};

TEST(DropTargetType, Descriptor) {
  EXPECT_STREQ(kDropTargetType.name, "拖放对象");
  EXPECT_STREQ(kDropTargetType.englishName, "DropTarget");
  EXPECT_EQ(kDropTargetType.state, 0x80008040u);
  ASSERT_EQ(kDropTargetType.propertyCount, 12);
  constexpr int16_t kCommonTypes[] = {1000, 1000, 1000, 1000, 1005, 1003, 1003, 1011};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(kDropTargetType.properties[i].type, i < 8 ? kCommonTypes[i] : 1003) << "property " << i;
    EXPECT_EQ(kDropTargetType.properties[i].state, i < 8 ? 0xE000 : 0x8000) << "property " << i;
  }
  for (int number : {0, 2, 3, 7, 8, 9, 10, 11})
    EXPECT_EQ(kDropTargetType.interfaceFunction(number), nullptr) << "operation " << number;
}

TEST_F(DropTargetTest, WindowIsAHiddenChildAtTheRecordsRectangle) {
  win::UnitObject* unit = Create(Words({1, 0, 0, 0, 1}));
  ASSERT_NE(unit, nullptr);
  HWND window = unit->handle();
  EXPECT_EQ(units_test::ClassOf(window), L"_QX_DropTarget");
  EXPECT_EQ(GetParent(window), parent_);
  EXPECT_EQ(GetDlgCtrlID(window), 110);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(units_test::StyleOf(window) & 0x44000000u, 0x44000000u);
  EXPECT_EQ(units_test::PlaceOf(window), units_test::Describe({536, 248, 568, 280}));
}

TEST_F(DropTargetTest, LoaderStyleBitsReachTheWindow) {
  win::UnitObject* unit = Create({}, WS_DISABLED);
  ASSERT_NE(unit, nullptr);
  EXPECT_FALSE(IsWindowEnabled(unit->handle()));
}

struct BlobCase {
  const char* name;
  Bytes blob;
  Bytes written;
};

TEST_F(DropTargetTest, BlobsReadAndWriteBack) {
  const BlobCase cases[] = {
      {"player's units: files only", Words({1, 0, 0, 0, 1}), Words({1, 0, 0, 0, 1})},
      {"every format", Words({1, 1, 1, 1, 1}), Words({1, 1, 1, 1, 1})},
      {"text and URL", Words({1, 1, 0, 1, 0}), Words({1, 1, 0, 1, 0})},
      {"empty blob accepts nothing", {}, Words({1, 0, 0, 0, 0})},
      {"any non-zero word is on", Words({1, 7, 0, 0, 0x100}), Words({1, 1, 0, 0, 1})},
  };
  for (const BlobCase& c : cases) {
    win::UnitObject* unit = Create(c.blob);
    ASSERT_NE(unit, nullptr) << c.name;
    EXPECT_EQ(Serialize(unit), c.written) << c.name;
    DestroyWindow(unit->handle());
  }
}

TEST_F(DropTargetTest, NewerOrTruncatedBlobsAreRefused) {
  const Bytes player = Words({1, 0, 0, 0, 1});
  const std::pair<const char*, Bytes> cases[] = {
      {"version 2", Words({2, 0, 0, 0, 1})},
      {"one byte", {1}},
      {"version only", Words({1})},
      {"three of four flags", Words({1, 0, 0, 0})},
      {"last flag cut", Bytes(player.begin(), player.end() - 1)},
  };
  for (const auto& [name, blob] : cases) {
    EXPECT_EQ(Create(blob), nullptr) << name;
    EXPECT_EQ(GetWindow(parent_, GW_CHILD), nullptr) << name << " left a window behind";
  }
}

// ---- Through the framework, on a loaded window -------------------------------------

constexpr uint32_t kDropTargetCode = 0x00030001;
constexpr uint32_t kDrop = 0x16010003;

enum Property : int { ACCEPT_TEXT = 8, ACCEPT_HTML, ACCEPT_URL, ACCEPT_FILES };

using Flags = std::array<uint32_t, 4>;  // in property order

struct FlagWriteCase {
  const char* name;
  int property;
  uint32_t written;
  Flags flags;  // all four afterwards
};

class DropTargetOnWindow : public testing_support::LoadedWindowTest {
 protected:
  Flags FlagsRead() const {
    Flags flags;
    for (int i = 0; i < 4; ++i) flags[size_t(i)] = uint32_t(drop.ReadNumber(ACCEPT_TEXT + i));
    return flags;
  }

  const units_test::UnitProperties drop{kWindowId, kDrop, kDropTargetType};
};

// The steps run in order on one unit, starting from the player's blob.
TEST_F(DropTargetOnWindow, EachFlagIsStoredAtOnceWithoutRecreation) {
  const FlagWriteCase steps[] = {
      {"accept text", ACCEPT_TEXT, 1, {1, 0, 0, 1}},
      {"accept HTML with any non-zero value", ACCEPT_HTML, 0x100, {1, 1, 0, 1}},
      {"accept URL", ACCEPT_URL, 1, {1, 1, 1, 1}},
      {"refuse files", ACCEPT_FILES, 0, {1, 1, 1, 0}},
      {"refuse text", ACCEPT_TEXT, 0, {0, 1, 1, 0}},
      {"refuse HTML", ACCEPT_HTML, 0, {0, 0, 1, 0}},
      {"refuse URL", ACCEPT_URL, 0, {0, 0, 0, 0}},
      {"accept files again", ACCEPT_FILES, 0xFFFFFFFF, {0, 0, 0, 1}},
  };
  LoadWith({{.id = kDrop, .type = kDropTargetCode, .blob = Words({1, 0, 0, 0, 1})}});
  HWND window = Handle(kDrop);
  ASSERT_NE(window, nullptr);
  for (const FlagWriteCase& c : steps) {
    drop.Write(c.property, c.written);
    const Flags& f = c.flags;
    EXPECT_EQ(FlagsRead(), f) << c.name;
    EXPECT_EQ(units_test::Serialize(kDropTargetType.interfaceFunction, Unit(kDrop)), Words({1, f[0], f[1], f[2], f[3]}))
        << c.name;
    EXPECT_EQ(Handle(kDrop), window) << c.name << " re-created the unit";
  }
}

// ---- RegisterDropWindow ----------------------------------------------------------------

constexpr uint32_t kSecondDrop = 0x16010004;
constexpr uint32_t kEditBox = 0x16010005;

class DropWindowRegistration : public DropTargetOnWindow {
 protected:
  void SetUp() override {
    DropTargetOnWindow::SetUp();
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    LoadWith({{.id = kDrop, .type = kDropTargetCode, .blob = Words({1, 0, 0, 0, 1})},
              {.id = kSecondDrop, .type = kDropTargetCode, .blob = Words({1, 0, 0, 0, 1})},
              {.id = kEditBox, .type = 0x00010005}});
  }
  void TearDown() override {
    DropTargetOnWindow::TearDown();
    OleUninitialize();
  }

  static rt::ArgRecord Call(rt::ArgRecord unit, HWND window) {
    rt::ArgRecord arguments[] = {unit, rt::MakeInt(HandleToLong(window))};
    rt::ArgRecord result{};
    lib::kDragDropLibrary.commands[0](&result, 2, arguments);
    return result;
  }
  static bool Register(uint32_t unitId, HWND window) {
    rt::ArgRecord result = Call({kWindowId, unitId, kDropTargetCode}, window);
    EXPECT_EQ(result.tag, rt::TYPE_BOOL);
    return result.low != 0;
  }

  // Whether OLE holds a drop target for the window: registering another
  // one then fails.
  static bool Registered(HWND window) {
    lib::drag_drop::KDropTarget probe({});
    HRESULT result = RegisterDragDrop(window, &probe);
    if (result == S_OK) RevokeDragDrop(window);
    return result == DRAGDROP_E_ALREADYREGISTERED;
  }

  units_test::ParentWindow other_;
};

TEST_F(DropWindowRegistration, OneWindowPerUnitTheFirstStaysRegistered) {
  ASSERT_FALSE(Registered(Handle(0)));
  EXPECT_TRUE(Register(kDrop, Handle(0)));
  EXPECT_TRUE(Registered(Handle(0)));
  EXPECT_FALSE(Register(kDrop, other_.get())) << "a second window";
  EXPECT_FALSE(Register(kDrop, Handle(0))) << "the same window again";
  EXPECT_TRUE(Registered(Handle(0)));
  EXPECT_FALSE(Registered(other_.get()));
}

TEST_F(DropWindowRegistration, AWindowThatFailedToRegisterStaysStored) {
  HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(Register(kDrop, gone));
  EXPECT_FALSE(Register(kDrop, Handle(0))) << "the unit has its window, even one that failed";
  EXPECT_FALSE(Registered(Handle(0)));
}

TEST_F(DropWindowRegistration, AWindowWithoutAHandleIsNoneStored) {
  EXPECT_FALSE(Register(kDrop, nullptr));
  EXPECT_TRUE(Register(kDrop, Handle(0)));
}

TEST_F(DropWindowRegistration, TheUnitsEndRevokesItsRegistration) {
  ASSERT_TRUE(Register(kDrop, Handle(0)));
  DestroyWindow(Handle(kDrop));
  EXPECT_FALSE(Registered(Handle(0)));
}

// Two units may try the same window: only the one that registered it
// revokes it.
TEST_F(DropWindowRegistration, AUnitWhoseRegistrationFailedRevokesNothing) {
  ASSERT_TRUE(Register(kDrop, Handle(0)));
  EXPECT_FALSE(Register(kSecondDrop, Handle(0)));
  DestroyWindow(Handle(kSecondDrop));
  EXPECT_TRUE(Registered(Handle(0)));
}

TEST_F(DropWindowRegistration, OnlyADropTargetRegisters) {
  EXPECT_EQ(testing_support::ExpectFatalMessage([&] { Call({kWindowId, kDrop, 0x00010005}, Handle(0)); }),
            "命令参数不正确: RegisterDropWindow 1");
  EXPECT_FALSE(Register(kEditBox, Handle(0))) << "a reference that names a unit of another type";
  EXPECT_FALSE(Registered(Handle(0)));
}

}  // namespace
