// Loading, showing and closing real windows in this process, from the
// compiled forms and from hand-built unit lists.
#include "windows/window_unit.h"

#include "runtime/helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "player/form_data.h"
#include "fatal_trap.h"
#include "program_fixture.h"
#include "runtime/heap.h"
#include "runtime/state.h"
#include "runtime/values.h"
#include "unit_list_builder.h"
#include "unit_properties.h"
#include "windows/loader.h"
#include "windows/properties.h"
#include "windows/blob.h"
#include "windows/registry.h"

namespace {

using namespace testing_support;
using namespace win;

constexpr uint32_t kMain = 0x52010001, kAbout = 0x5201000E, kFont = 0x52010019;

std::string HandlerName(const HandlerCallRecord& call) { return player::kHandlerNames[call.handler]; }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

class Windows : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    auto templates = ReadFormData({player::kFormData, player::kFormDataSize}, uint32_t(kRecordingHandlers));
    ASSERT_TRUE(templates);
    InstallRegistry(std::move(*templates));
  }
  void TearDown() override {
    DestroyAllLoadedWindows();
    Pump();
    ProgramFixture::TearDown();
  }
  WindowUnit* Loaded(uint32_t id) { return WindowUnit::From(LoadedWindow(*FindTemplate(id))); }
};

TEST_F(Windows, LoadingTheMainWindowCreatesItsUnitsMenuAndRaisesItsEvents) {
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  WindowUnit* main = Loaded(kMain);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(HandlerName(Calls()[0]), "OnMainCreated");
  EXPECT_EQ(HandlerName(Calls()[1]), "OnMainResized");
  HMENU bar = GetMenu(main->handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_NE(main->accelerators(), nullptr);
  for (uint32_t unit : {0x16010145u, 0x16010031u, 0x16010015u, 0x16010009u})
    EXPECT_NE(LiveUnitObject(kMain, unit), nullptr) << std::hex << unit;
  HWND edit = LiveUnitObject(kMain, 0x16010009)->handle();
  EXPECT_EQ(GetDlgCtrlID(edit), 100) << "the last listed unit is created first";
  EXPECT_EQ(GetWindow(main->handle(), GW_CHILD), LiveUnitObject(kMain, 0x16010145)->handle())
      << "the first listed unit is on top";
  EXPECT_FALSE(IsWindowVisible(LiveUnitObject(kMain, 0x16010145)->handle())) << "units without a window stay hidden";
  LONG style = GetWindowLongW(main->handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_EQ(GetWindow(main->handle(), GW_OWNER), nullptr) << "shown in the taskbar: no owner";
}

TEST_F(Windows, LoadingALoadedWindowMakesNothingNew) {
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  HWND first = Loaded(kMain)->handle();
  Calls().clear();
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  EXPECT_EQ(Loaded(kMain)->handle(), first);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(Windows, ClosingRestoresTheUnitListAndForgetsTheUnits) {
  WindowTemplate& t = *FindTemplate(kMain);
  std::vector<uint8_t> before = t.units.bytes();
  ASSERT_TRUE(LoadWindow(t, false, nullptr));
  WriteUnitProperty(kMain, 0x16010009, 4, -1, 0, 0);  // a tag write patches the live list...
  HWND window = Loaded(kMain)->handle();
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(LoadedWindow(t), nullptr);
  EXPECT_EQ(LiveUnitObject(kMain, 0x16010009), nullptr);
  EXPECT_EQ(t.units.bytes(), before) << "...and the snapshot puts it back";
}

TEST_F(Windows, ModalWindowDisablesTheOthersAndGivesBackExactlyWhatItTook) {
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  ASSERT_TRUE(LoadWindow(*FindTemplate(kFont), false, nullptr));
  HWND main = Loaded(kMain)->handle(), font = Loaded(kFont)->handle();
  EnableWindow(font, FALSE);
  ASSERT_TRUE(LoadWindow(*FindTemplate(kAbout), true, nullptr));
  WindowUnit* about = Loaded(kAbout);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(GetWindow(about->handle(), GW_OWNER), rt::State().hiddenOwner);
  PostMessageW(about->handle(), WM_CLOSE, 0, 0);
  about->Show();  // the nested loop runs until the About window is gone
  EXPECT_EQ(LoadedWindow(*FindTemplate(kAbout)), nullptr);
  EXPECT_TRUE(rt::State().modalWaits.empty());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(IsWindowEnabled(font)) << "a window that was disabled before stays disabled";
}

TEST_F(Windows, MenuWritesRebuildOnlyOnRealChange) {
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  HWND main = Loaded(kMain)->handle();
  const units_test::UnitProperties open{kMain, 0x26010003, kMenuType}, start{kMain, 0x26010004, kMenuType};
  HMENU before = GetMenu(main);
  open.Write(MP_CAPTION, "Open");
  EXPECT_EQ(GetMenu(main), before) << "the same caption changes nothing";
  EXPECT_EQ(GetMenuState(GetMenu(main), 20002, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
  start.Write(MP_DISABLED, 0);
  EXPECT_NE(GetMenu(main), before);
  EXPECT_EQ(GetMenuState(GetMenu(main), 20002, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(start.ReadNumber(MP_DISABLED), 0);
  EXPECT_EQ(units_test::UnitProperties(kMain, 0x26010005, kMenuType).ReadNumber(MP_DISABLED), 1);
}

TEST_F(Windows, GeometryWritesAreClampedOnTheLiveUnitAndItsRecord) {
  ASSERT_TRUE(LoadWindow(*FindTemplate(kMain), false, nullptr));
  WriteUnitProperty(kMain, 0x16010009, 2, -1, 40000, 0);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 2, -1), 32627);
  WriteUnitProperty(kMain, 0x16010009, 3, -1, uint32_t(-5), 0);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 3, -1), 0);
  WriteUnitProperty(kMain, 0x16010009, 0, -1, uint32_t(-40000), 0);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 0, -1), -32627);
}

TEST_F(Windows, PropertiesOfAnUnloadedWindowComeFromItsRecords) {
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 2, -1), 605);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010015, 1, -1), 479);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 5, -1), 1);
  WriteUnitProperty(kMain, 0x16010009, 2, -1, 40000, 0);
  EXPECT_EQ(ReadUnitProperty(kMain, 0x16010009, 2, -1), 32627);
  EXPECT_EQ(ExpectFatalMessage([] { ReadUnitProperty(kMain, 0x16010009, 8, -1); }), "指定窗口尚未载入");
  EXPECT_EQ(ExpectFatalMessage([] { ReadUnitProperty(0x52017777, 0, 0, -1); }), "未载入欲访问窗口组件所在的窗口");
}

// Cursors belong to loaded units: the loader makes them from the records,
// and a window's end gives them back with the snapshot.
TEST_F(Windows, AMousePointerWrittenWhileNotLoadedBecomesACursorAtTheLoad) {
  constexpr uint32_t kUnit = 0x16010009;
  WindowTemplate& t = *FindTemplate(kMain);
  auto cursorSlot = [&t] {
    uint32_t index = *t.units.indexOf(kUnit);
    return t.units.word(index, t.units.unitLayout(index).cursorSlot);
  };
  uint32_t cross = 32515;  // IDC_CROSS
  rt::HeapPtr<void> pointer(rt::MakeByteSet(&cross, 4));
  uint64_t bits = uint64_t(uintptr_t(pointer.get()));
  WriteUnitProperty(kMain, kUnit, 7, -1, uint32_t(bits), uint32_t(bits >> 32));
  EXPECT_EQ(cursorSlot(), 0u) << "no cursor while the unit has no window";
  ASSERT_TRUE(LoadWindow(t, false, nullptr));
  EXPECT_EQ(CursorInSlot(cursorSlot()), LoadCursorW(nullptr, IDC_CROSS));
  SendMessageW(Loaded(kMain)->handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(cursorSlot(), 0u) << "the record is back as the load found it";
}

// A window whose close handlers may refuse.
class Closing : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    WindowProperties properties;
    properties.title = "closing";
    InstallWindow(kWindow, MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001, 0,
                                                                  {{12, Handler(0)}, {1, Handler(1)}}, "",
                                                                  WriteWindowBlob(properties)})}}));
    ASSERT_TRUE(LoadWindow(*FindTemplate(kWindow), false, nullptr));
    window_ = LoadedWindow(*FindTemplate(kWindow))->handle();
    Calls().clear();
  }
  void TearDown() override {
    DestroyAllLoadedWindows();
    ProgramFixture::TearDown();
  }
  static constexpr uint32_t kWindow = 0x52010500;
  HWND window_ = nullptr;
};

TEST_F(Closing, FalseFromEventTwelveKeepsTheWindowAndSkipsEventOne) {
  AnswerNext(0);
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window_));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].handler, 0);
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  ASSERT_EQ(Calls().size(), 3u);
  EXPECT_EQ(Calls()[2].handler, 1);
}

TEST_F(Closing, WindowWithoutTitleOrControlBoxHasNoCaption) {
  WindowProperties p;
  p.controlBox = false;
  p.borderStyle = 2;
  InstallWindow(0x52010501, MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001, 0, {}, "",
                                                                    WriteWindowBlob(p)})}}));
  ASSERT_TRUE(LoadWindow(*FindTemplate(0x52010501), false, nullptr));
  LONG style = GetWindowLongW(LoadedWindow(*FindTemplate(0x52010501))->handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_DLGFRAME) << "only the frame, no title bar";
}

TEST(WindowBlob, VersionsAndDefaults) {
  WindowProperties p;
  p.title = "t";
  p.className = "c";
  auto blob = WriteWindowBlob(p);
  auto back = ReadWindowBlob(blob);
  ASSERT_TRUE(back);
  EXPECT_EQ(WriteWindowBlob(*back), blob);
  blob[0] = 7;
  EXPECT_FALSE(ReadWindowBlob(blob)) << "a newer version is refused";
  // Version 1 lacks taskbar, drag, shape, topmost, option and class name.
  BlobWriter old;
  old.word(1).word(4).word(1).word(0xFF000000).word(0).word(0).word(1).word(1).word(1).word(0).word(0).word(1).word(0).word(0);
  old.word(0).word(0).word(0).countedText("About").word(0);
  auto v1 = ReadWindowBlob(old.take());
  ASSERT_TRUE(v1);
  EXPECT_EQ(v1->title, "About");
  EXPECT_TRUE(v1->showInTaskbar);
  EXPECT_EQ(v1->borderStyle, 4u);
  EXPECT_FALSE(ReadWindowBlob(std::vector<uint8_t>(blob.begin(), blob.begin() + 20))) << "cut short";
  auto empty = ReadWindowBlob({});
  ASSERT_TRUE(empty) << "an empty blob gives the defaults";
  EXPECT_EQ(empty->borderStyle, 2u);
  EXPECT_TRUE(empty->escCloses);
}

}  // namespace

namespace {

using namespace testing_support;

class HeldUnits : public Windows {};

TEST_F(HeldUnits, HelpersFourAndFiveReachTheUnitHeldInAVariable) {
  rt::HeldUnit edit{0x52010001, 0x16010009};
  WriteUnitProperty(0x52010001, 0x16010009, 3, -1, 222, 0);
  EXPECT_EQ(rt::CallRuntimeHelper(rt::HELPER_READ_HELD_UNIT_PROPERTY, 0x00010005u, &edit, 3, -1), 222u);
  rt::CallRuntimeHelper(rt::HELPER_WRITE_HELD_UNIT_PROPERTY, 0x00010005u, &edit, 3, -1, 111u, 0u);
  EXPECT_EQ(ReadUnitProperty(0x52010001, 0x16010009, 3, -1), 111);
}

}  // namespace
