#include "libraries/multimedia/media_play.h"

#include <mmsystem.h>
#include <gtest/gtest.h>

#include "units_test_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using lib::multimedia::kMediaPlayType;

class MediaPlayTest : public ::testing::Test {
 protected:
  win::UnitObject* Create(const std::vector<uint8_t>& blob) {
    return host_.Create(kMediaPlayType.interfaceFunction, blob, {536, 280, 536 + 26, 280 + 26});
  }

  units_test::ParentWindow host_;
  HWND parent_ = host_.get();
};

TEST(MediaPlayType, DescriptorHasNoPropertiesAndOnlyCreate) {
  EXPECT_STREQ(kMediaPlayType.name, "媒体播放");
  EXPECT_STREQ(kMediaPlayType.englishName, "MediaPlay");
  EXPECT_EQ(kMediaPlayType.state, 0x80008040u);
  EXPECT_EQ(kMediaPlayType.propertyCount, 0);
  EXPECT_EQ(kMediaPlayType.properties, nullptr);
  EXPECT_NE(kMediaPlayType.interfaceFunction(win::OP_CREATE), nullptr);
  for (int number = 2; number <= 12; ++number)
    EXPECT_EQ(kMediaPlayType.interfaceFunction(number), nullptr) << "operation " << number;
}

TEST_F(MediaPlayTest, WindowIsAHiddenBorderedChildWhateverTheBlob) {
  for (const std::vector<uint8_t>& blob : {std::vector<uint8_t>{}, std::vector<uint8_t>{9, 9, 9}}) {
    win::UnitObject* unit = Create(blob);
    ASSERT_NE(unit, nullptr) << blob.size() << "-byte blob";
    HWND window = unit->handle();
    EXPECT_EQ(units_test::ClassOf(window), L"_QX_MediaPlay");
    EXPECT_EQ(GetParent(window), parent_);
    EXPECT_EQ(GetDlgCtrlID(window), 100);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(units_test::StyleOf(window) & 0x44800000u, 0x44800000u);
    EXPECT_EQ(units_test::PlaceOf(window), units_test::Describe({536, 280, 562, 306}));
    DestroyWindow(window);
  }
}

bool IsLowerHex(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

TEST(MediaPlayer, AliasIs32LowerCaseHexDigitsOfItsOwn) {
  lib::multimedia::MediaPlayer first;
  lib::multimedia::MediaPlayer second;
  EXPECT_EQ(first.alias().size(), 32u);
  EXPECT_TRUE(IsLowerHex(first.alias())) << first.alias();
  EXPECT_NE(first.alias(), second.alias());
}

MCIERROR SendMci(const std::string& command) {
  return mciSendStringW(std::wstring(command.begin(), command.end()).c_str(), nullptr, 0, nullptr);
}

TEST(MediaPlayer, DestroyingTheRecordClosesItsDevice) {
  std::string alias;
  {
    lib::multimedia::MediaPlayer player;
    alias = player.alias();
    ASSERT_EQ(SendMci("open new type waveaudio alias " + alias), 0u);
    ASSERT_EQ(SendMci("status " + alias + " ready"), 0u);
  }
  EXPECT_NE(SendMci("status " + alias + " ready"), 0u);
  SendMci("close " + alias);
}

}  // namespace
