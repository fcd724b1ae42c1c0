#include "windows/events.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fatal_trap.h"
#include "program_fixture.h"
#include "runtime/callback.h"
#include "runtime/state.h"
#include "unit_list_builder.h"

namespace {

using namespace testing_support;

constexpr uint32_t kWindow = 0x52019999;
constexpr uint32_t kEdit = 0x16010001;
constexpr uint32_t kSharing = 0x16010002;
constexpr uint32_t kLabel = 0x16010003;
constexpr uint32_t kMenuItem = 0x26010004;
constexpr uint32_t kStatusBar = 0x16010005;
constexpr uint32_t kNoEvents = 0x16010006;

class Events : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    InstallWindow(kWindow, MakeUnitList({
        {0x06010000, UnitRecord({0x06010000, 0x00010001, 0, {{4, Handler(0)}}})},
        {kEdit, UnitRecord({kEdit, 0x00010005, 0, {{-9, Handler(1)}, {0, Handler(2)}}})},
        {kSharing, UnitRecord({kSharing, 0x00010005, kEdit, {{0, Handler(3)}}})},
        {kLabel, UnitRecord({kLabel, 0x0001000A, kEdit})},  // another type: its own bindings (none)
        {kMenuItem, MenuRecord({kMenuItem, 0, "Open", 0, 15, Handler(3)})},
        {kStatusBar, UnitRecord({kStatusBar, 0x00020002, 0, {{0, 0}}})},  // a binding without handler
        {kNoEvents, UnitRecord({kNoEvents, 0x00010002, 0, {{0, Handler(0)}}})},  // an unused type: no events
    }));
  }
};

TEST_F(Events, HandlerGetsArgumentsAndTheEventSource) {
  win::EventRecord record{kWindow, kEdit, -9, 2, {65, 1}};
  EXPECT_TRUE(win::RaiseEvent(record));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].handler, 1);
  EXPECT_EQ(Calls()[0].arguments, (std::vector<int64_t>{65, 1}));
  EXPECT_EQ(Calls()[0].sourceWindow, kWindow);
  EXPECT_EQ(Calls()[0].sourceUnit, kEdit);
  EXPECT_EQ(record.resultPresent, 0) << "a handler without an answer leaves the result alone";
  EXPECT_EQ(rt::State().eventSourceWindow, 0u) << "cleared after the handler";
}

// A handler may raise another event (writing an edit box's content does):
// once the inner handler returns, the outer one is the running event again.
TEST_F(Events, TheSourceOfAnOuterHandlerOutlivesAnInnerOne) {
  std::vector<std::pair<uint32_t, uint32_t>> seenAfterInner;
  ActOn(1, [&](rt::HandlerCall&) {
    win::RaiseSimpleEvent(kWindow, 0, 4);
    seenAfterInner.push_back({rt::State().eventSourceWindow, rt::State().eventSourceUnit});
  });
  win::RaiseSimpleEvent(kWindow, kEdit, -9);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].sourceUnit, 0x06010000u) << "the inner event's own source while it runs";
  EXPECT_EQ(seenAfterInner, (std::vector<std::pair<uint32_t, uint32_t>>{{kWindow, kEdit}}));
  EXPECT_EQ(rt::State().eventSourceWindow, 0u) << "cleared when the outermost handler returns";
}

TEST_F(Events, WindowItselfIsUnitZeroAndReportsItsOwnRecord) {
  AnswerNext(0);
  auto outcome = win::RaiseSimpleEvent(kWindow, 0, 4);
  EXPECT_TRUE(outcome.handled);
  EXPECT_EQ(outcome.result, 0);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].sourceUnit, 0x06010000u);
}

TEST_F(Events, EventShareLinkUsesTheLinkedUnitsBindings) {
  win::RaiseSimpleEvent(kWindow, kSharing, 0);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].handler, 2) << "the link to EditBox kEdit wins over the unit's own binding";
  EXPECT_EQ(Calls()[0].sourceUnit, kSharing);
  EXPECT_FALSE(win::RaiseSimpleEvent(kWindow, kLabel, 0).handled) << "a link to another type is not followed";
}

TEST_F(Events, MenuItemsCallTheirClickHandler) {
  EXPECT_TRUE(win::RaiseSimpleEvent(kWindow, kMenuItem, 0).handled);
  EXPECT_EQ(Calls().at(0).handler, 3);
}

TEST_F(Events, MissingBindingOrHandlerCallsNothing) {
  EXPECT_FALSE(win::RaiseSimpleEvent(kWindow, kEdit, 5).handled);
  EXPECT_FALSE(win::RaiseSimpleEvent(kWindow, kStatusBar, 0).handled);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(Events, SuppressionCounterBlocksHandlersAndNeverGoesNegative) {
  rt::RuntimeCallbackEntry(rt::REQ_SUPPRESS_EVENTS, 0, 0);
  win::EventRecord record{kWindow, kEdit, 0};
  EXPECT_EQ(rt::RuntimeCallbackEntry(rt::REQ_RAISE_EVENT, reinterpret_cast<intptr_t>(&record), 0), 0);
  win::SuppressEvents();
  win::ResumeEvents();
  EXPECT_TRUE(win::EventsSuppressed());
  rt::RuntimeCallbackEntry(rt::REQ_RESUME_EVENTS, 0, 0);
  rt::RuntimeCallbackEntry(rt::REQ_RESUME_EVENTS, 0, 0);
  EXPECT_EQ(rt::State().eventSuppression, 0);
  EXPECT_EQ(rt::RuntimeCallbackEntry(rt::REQ_RAISE_EVENT, reinterpret_cast<intptr_t>(&record), 0), 1);
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(Events, ExtendedRecordPassesTypedSlots) {
  win::ExtendedEventRecord record{kWindow, kEdit, -9, 3};
  record.arguments[0] = {0xFF, 0, rt::TYPE_BYTE, 0};
  record.arguments[1] = {0xFFFF, 0, rt::TYPE_SHORT, 0};
  record.arguments[2] = {1, 2, rt::TYPE_INT64, 0};
  AnswerNext(0x100000000LL);
  EXPECT_TRUE(win::RaiseEvent(record));
  EXPECT_EQ(Calls().at(0).arguments, (std::vector<int64_t>{255, -1, 0x200000001LL}));
  EXPECT_EQ(record.resultPresent, 1);
  EXPECT_EQ(record.result, 0x100000000LL);
}

TEST_F(Events, UnknownWindowUnitOrTypeIsFatal) {
  EXPECT_EQ(ExpectFatal([] { win::RaiseSimpleEvent(0x52010777, 0, 0); }).message, "未找到引发事件的窗口");
  rt::State().eventSuppression = 0;  // the report suppressed events for good
  EXPECT_EQ(ExpectFatal([] { win::RaiseSimpleEvent(kWindow, 0x16017777, 0); }).message, "未找到引发事件的窗口组件");
  rt::State().eventSuppression = 0;
  EXPECT_EQ(ExpectFatal([] { win::RaiseSimpleEvent(kWindow, kNoEvents, 0); }).message, "引发事件的窗口组件无效");
}

}  // namespace
