// Keyboard handling and common events on the Config window, loaded in this
// process from the compiled forms.
#include "windows/window_keyboard.h"

#include <gtest/gtest.h>

#include "player/form_data.h"
#include "program_fixture.h"
#include "windows/loader.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace {

using namespace testing_support;
using namespace win;

constexpr uint32_t kConfig = 0x52010130;
constexpr uint32_t kPrefixBox = 0x16010169, kRateBox = 0x1601016A, kUseBgm = 0x16010136, kStart = 0x16010182;

class ConfigKeyboard : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    auto templates = ReadFormData({player::kFormData, player::kFormDataSize}, uint32_t(kRecordingHandlers));
    ASSERT_TRUE(templates);
    InstallRegistry(std::move(*templates));
    ASSERT_TRUE(LoadWindow(*FindTemplate(kConfig), false, nullptr));
    window_ = WindowUnit::From(LoadedWindow(*FindTemplate(kConfig)));
    ShowWindow(window_->handle(), SW_SHOW);
    SetForegroundWindow(window_->handle());
    Calls().clear();
  }
  void TearDown() override {
    DestroyAllLoadedWindows();
    ProgramFixture::TearDown();
  }
  HWND Unit(uint32_t id) { return LiveUnitObject(kConfig, id)->handle(); }
  // Offers a message to the window as the message loop does.
  bool Offer(HWND target, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    MSG msg{target, message, wParam, lParam};
    return PreTranslateThroughAncestors(msg);
  }
  bool Focused(uint32_t id) {
    HWND focus = GetFocus();
    return focus && (focus == Unit(id) || IsChild(Unit(id), focus));
  }
  WindowUnit* window_ = nullptr;
};

TEST_F(ConfigKeyboard, TabWalksTheTabOrderSkippingDisabledUnits) {
  SetFocus(Unit(kPrefixBox));
  ASSERT_TRUE(Focused(kPrefixBox));
  const uint32_t forward[] = {kRateBox, kUseBgm, kStart, kPrefixBox};  // "Select" is disabled
  for (uint32_t next : forward) {
    EXPECT_TRUE(Offer(GetFocus(), WM_KEYDOWN, VK_TAB));
    EXPECT_TRUE(Focused(next)) << std::hex << next;
  }
}

TEST_F(ConfigKeyboard, WheelOnTheRateBoxReachesItsHandlerWithStepsAndKeys) {
  Offer(Unit(kRateBox), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), 0);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_STREQ(player::kHandlerNames[Calls()[0].handler], "OnFrameRateWheel");
  EXPECT_EQ(Calls()[0].arguments, (std::vector<int64_t>{2, 0}));
  AnswerNext(0);
  EXPECT_TRUE(Offer(Unit(kRateBox), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0)) << "false consumes the wheel";
  EXPECT_EQ(Calls().back().arguments[0], -1);
  EXPECT_FALSE(Offer(Unit(kRateBox), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0))
      << "a handler without an answer leaves it to the control";
}

TEST_F(ConfigKeyboard, KeysOfADisabledTargetAreDropped) {
  HWND select = LiveUnitObject(kConfig, 0x16010137)->handle();
  ASSERT_FALSE(IsWindowEnabled(select));
  EXPECT_TRUE(Offer(select, WM_KEYDOWN, 'A'));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ConfigKeyboard, EscClosesTheWindow) {
  SetFocus(Unit(kStart));
  HWND handle = window_->handle();
  EXPECT_TRUE(Offer(GetFocus(), WM_KEYDOWN, VK_ESCAPE));
  EXPECT_FALSE(IsWindow(handle));
}

}  // namespace
