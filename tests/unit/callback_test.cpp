#include "runtime/callback.h"

#include <gtest/gtest.h>

#include "commands/core_library.h"
#include "commands/window_commands.h"
#include "fatal_trap.h"
#include "program_fixture.h"
#include "runtime/heap.h"
#include "runtime/state.h"
#include "runtime/values.h"
#include "unit_list_builder.h"
#include "windows/events.h"
#include "windows/loader.h"
#include "windows/unit_type.h"
#include "windows/window_properties.h"
#include "worker_thread.h"

namespace {

using namespace testing_support;

intptr_t Call(int request, intptr_t p1 = 0, intptr_t p2 = 0) { return rt::RuntimeCallbackEntry(request, p1, p2); }

class Callback : public ProgramFixture {};

TEST_F(Callback, UnitTypeLookupStaysInsideEachLibrary) {
  auto* statusBar = reinterpret_cast<const win::UnitTypeDescriptor*>(Call(rt::REQ_UNIT_TYPE, 0x00020002));
  ASSERT_NE(statusBar, nullptr);
  EXPECT_STREQ(statusBar->englishName, "StatusBar");
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, 0x00020006), 0) << "the library has five types";
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, 0x00020000), 0);
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, 0x00080001), 0) << "no eighth library";
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, rt::TYPE_TEXT), 0) << "a basic type is no library type";
  auto* editBox = reinterpret_cast<const win::UnitTypeDescriptor*>(Call(rt::REQ_UNIT_TYPE, 0x00010005));
  ASSERT_NE(editBox, nullptr);
  EXPECT_STREQ(editBox->englishName, "EditBox");
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, 0x00010033) != 0, true) << "the 51st core type is a zero record";
  EXPECT_EQ(Call(rt::REQ_UNIT_TYPE, 0x00010034), 0);
}

TEST_F(Callback, TemplatesThatAreNotLoadedHaveNoWindow) {
  InstallWindow(0x52010001, MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001})}}));
  EXPECT_EQ(Call(rt::REQ_TEMPLATE_COUNT), 1);
  EXPECT_EQ(Call(rt::REQ_TEMPLATE_WINDOW, 0), 0);
  EXPECT_EQ(Call(rt::REQ_TEMPLATE_WINDOW, 5), 0);
  EXPECT_EQ(Call(rt::REQ_WINDOW_OBJECT, 0x52010001, 0), 0);
  EXPECT_EQ(ExpectFatal([] { Call(rt::REQ_WINDOW_OBJECT_OR_FAIL, 0x52010001, 0); }).message,
            "指定窗口或窗口组件不存在或尚未载入");
}

TEST_F(Callback, MemoryRequests) {
  auto* block = reinterpret_cast<char*>(Call(rt::REQ_ALLOC, 16, 0));
  ASSERT_NE(block, nullptr);
  block = reinterpret_cast<char*>(Call(rt::REQ_REALLOC, reinterpret_cast<intptr_t>(block), 64));
  Call(rt::REQ_FREE, reinterpret_cast<intptr_t>(block));
  EXPECT_EQ(Call(rt::REQ_ALLOC, intptr_t(1) << 62, 1), 0) << "the no-fail form answers null";
  EXPECT_EQ(ExpectFatal([] { Call(rt::REQ_ALLOC, intptr_t(1) << 62, 0); }).message.substr(0, 4), "分配");
}

TEST_F(Callback, NumericConversionRefusesText) {
  rt::ArgRecord number = rt::MakeDouble(-3.7);
  EXPECT_EQ(Call(rt::REQ_NUMERIC_TO_INT, reinterpret_cast<intptr_t>(&number)), -3);
  rt::ArgRecord text = rt::MakeBlock(rt::TYPE_TEXT, "1");
  EXPECT_EQ(ExpectFatal([&] { Call(rt::REQ_NUMERIC_TO_INT, reinterpret_cast<intptr_t>(&text)); }).message,
            "欲转换数据类型不是数值");
}

TEST_F(Callback, UnknownRequestsAnswerZero) {
  for (int request : {0, 999, 2002, 2015, 2039, 5000}) EXPECT_EQ(Call(request, 1, 2), 0) << request;
  uint32_t source[2] = {7, 7};
  EXPECT_EQ(Call(rt::REQ_CURRENT_EVENT_SOURCE, reinterpret_cast<intptr_t>(source)), 0) << "outside a handler";
}

TEST_F(Callback, WindowUnitKinds) {
  EXPECT_EQ(Call(rt::REQ_WINDOW_UNIT_KIND, 0x00010003), 2);
  EXPECT_EQ(Call(rt::REQ_WINDOW_UNIT_KIND, 0x00010001), 1);
  EXPECT_EQ(Call(rt::REQ_WINDOW_UNIT_KIND, 0x00010005), 0);
}

// Library commands run on the threads that call them, and resolve their
// units through the callback: a worker's window and event requests are the
// window thread's work, done while the worker waits.
class CallbackFromWorker : public ProgramFixture {
 protected:
  static constexpr uint32_t kWindowId = 0x52017100;
  void SetUp() override {
    ProgramFixture::SetUp();
    rt::State().mainThreadId = GetCurrentThreadId();
    InstallWindow(kWindowId, MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001, 0, {{4, Handler(0)}}, "",
                                                                    win::WriteWindowBlob({})})}}));
  }
  void TearDown() override {
    win::DestroyAllLoadedWindows();
    rt::State().mainThreadId = 0;
    ProgramFixture::TearDown();
  }
};

TEST_F(CallbackFromWorker, AWindowLoadedForAWorkerBelongsToTheWindowThread) {
  win::LoadRequest request{kWindowId, nullptr, 0};
  intptr_t answer = -1;
  RunOnWorker([&] { answer = Call(rt::REQ_LOAD_WINDOW, reinterpret_cast<intptr_t>(&request)); });
  EXPECT_EQ(answer, 0);
  auto* window = reinterpret_cast<win::UnitObject*>(Call(rt::REQ_WINDOW_OBJECT, kWindowId, 0));
  ASSERT_NE(window, nullptr) << "a window made on the worker ends with it";
  EXPECT_EQ(GetWindowThreadProcessId(window->handle(), nullptr), GetCurrentThreadId());
}

TEST_F(CallbackFromWorker, AnEventAWorkerRaisesRunsOnTheWindowThread) {
  DWORD handlerThread = 0;
  ActOn(0, [&](rt::HandlerCall&) { handlerThread = GetCurrentThreadId(); });
  win::EventRecord record{kWindowId, 0, 4};
  RunOnWorker([&] { Call(rt::REQ_RAISE_EVENT, reinterpret_cast<intptr_t>(&record)); });
  EXPECT_EQ(handlerThread, GetCurrentThreadId());
}

// A worker that names a unit of a window that was loaded and is gone (the
// program is closing) gets no unit, though the lookup runs on the window
// thread; the window thread's own lookup still ends the program.
TEST_F(CallbackFromWorker, AUnitOfAWindowThatIsGoneIsNoUnitForAWorker) {
  win::LoadRequest request{kWindowId, nullptr, 0};
  ASSERT_EQ(Call(rt::REQ_LOAD_WINDOW, reinterpret_cast<intptr_t>(&request)), 0);
  win::DestroyAllLoadedWindows();
  intptr_t answer = -1;
  bool pinned = true;
  RunOnWorker([&] {
    answer = Call(rt::REQ_WINDOW_OBJECT_OR_FAIL, kWindowId, 0);
    pinned = bool(win::PinLiveUnit(kWindowId, 0));
  });
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(pinned);
  EXPECT_EQ(ExpectFatalMessage([] { Call(rt::REQ_WINDOW_OBJECT_OR_FAIL, kWindowId, 0); }),
            "指定窗口或窗口组件不存在或尚未载入");
}

// The destroy-window command asked for on a worker ends the window there
// where it lives.
TEST_F(CallbackFromWorker, AWindowAWorkerDestroysAtOnceIsGone) {
  win::LoadRequest request{kWindowId, nullptr, 0};
  ASSERT_EQ(Call(rt::REQ_LOAD_WINDOW, reinterpret_cast<intptr_t>(&request)), 0);
  rt::ArgRecord arguments[] = {{kWindowId, 0x06010000, 0x00010001}, rt::MakeBool(true)};
  rt::ArgRecord result{};
  rt::CommandEntry destroy = core::kCoreLibrary.commands[core::CMD_DESTROY_FORM_WINDOW];
  RunOnWorker([&] { destroy(&result, 2, arguments); });
  EXPECT_EQ(Call(rt::REQ_WINDOW_OBJECT, kWindowId, 0), 0);
}

}  // namespace
