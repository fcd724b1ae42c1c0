// Failure paths walked with injected faults: the Nth heap allocation or
// window creation of loading the player's windows, and of re-creating a
// unit, fails in turn. Each must end in the heap message or a clean refusal
// that leaves nothing behind.
#include "runtime/fault_injection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fatal_trap.h"
#include "gui_objects.h"
#include "heap_blocks.h"
#include "commands/program_libraries.h"
#include "loaded_window.h"
#include "player/form_data.h"
#include "player/ids.h"
#include "player/state.h"
#include "program_fixture.h"
#include "runtime/heap.h"
#include "runtime/state.h"
#include "unit_properties.h"
#include "units/edit_box.h"
#include "windows/loader.h"
#include "windows/registry.h"
#include "windows/window_unit.h"

namespace {

using namespace testing_support;
using rt::fault::Armed;
using rt::fault::Fault;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// "分配 N 字节内存失败!" for some N.
bool IsHeapMessage(std::string_view message) {
  constexpr std::string_view head = "分配 ", tail = " 字节内存失败!";
  if (!message.starts_with(head) || !message.ends_with(tail)) return false;
  std::string_view number = message.substr(head.size(), message.size() - head.size() - tail.size());
  return !number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos;
}

// ---- The hook at the heap --------------------------------------------------------

TEST(FaultHook, OnlyTheArmedAllocationFails) {
  Armed armed(Fault::Allocation, 2);
  rt::HeapPtr<> first(rt::TryAllocMemory(8));
  void* second = rt::TryAllocMemory(8);
  rt::HeapPtr<> third(rt::TryAllocMemory(8));
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(armed.attempts(), 3u);
}

TEST(FaultHook, AFailedAllocationOrResizeIsTheHeapMessageAndKeepsTheBlock) {
  rt::HeapPtr<char> block(static_cast<char*>(rt::AllocMemory(4)));
  std::memcpy(block.get(), "abc", 4);
  {
    Armed armed(Fault::Allocation, 1);
    EXPECT_EQ(ExpectFatalMessage([] { rt::AllocMemory(24); }), "分配 24 字节内存失败!");
  }
  Armed armed(Fault::Allocation, 1);
  EXPECT_EQ(ExpectFatalMessage([&] { rt::ReallocMemory(block.get(), 4096); }), "分配 4096 字节内存失败!");
  EXPECT_STREQ(block.get(), "abc") << "the block a failed resize was given stays as it was";
}

// ---- Loading the player's windows ----------------------------------------------

const rt::ProgramDescriptor kPlayerProgram = {
    .buildKind = 3,
    .handlers = player::kHandlers,
    .handlerCount = player::kHandlerCount,
    .libraryCount = uint32_t(std::size(lib::kProgramLibraries)),
    .libraries = lib::kProgramLibraries,
};

struct LoadCase {
  const char* name;
  uint32_t windowId;
  uint32_t loadedBefore;  // a window already open, as when the user opens this one
  int32_t useBgm = 0;     // the Config window arms its track controls when 1
};

const LoadCase kLoads[] = {
    {"Config", player::kConfigWindow, player::kMainWindow},
    {"Config with a track in use", player::kConfigWindow, player::kMainWindow, 1},
    {"Font", player::kFontWindow, player::kMainWindow},
    {"About", player::kAboutWindow, player::kMainWindow},
    {"main, with its menu", player::kMainWindow, player::kAboutWindow},
};

// The player's four windows with the player's own handlers.
class FaultLoading : public ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    rt::State().program = &kPlayerProgram;
    auto templates = win::ReadFormData({player::kFormData, player::kFormDataSize}, player::kHandlerCount);
    ASSERT_TRUE(templates);
    win::InstallRegistry(std::move(*templates));
    suppression_ = rt::State().eventSuppression;
  }
  void TearDown() override {
    win::DestroyAllLoadedWindows();
    Pump();
    player::State().useBgm = 0;
    player::StoreText(player::State().bgmPath, nullptr);
    ProgramFixture::TearDown();
  }

  static win::WindowTemplate& Template(uint32_t windowId) { return *win::FindTemplate(windowId); }
  static bool Load(uint32_t windowId) { return win::LoadWindow(Template(windowId), false, nullptr); }
  static bool Loaded(uint32_t windowId) { return win::LoadedWindow(Template(windowId)) != nullptr; }
  static void Unload(uint32_t windowId) {
    if (auto* window = win::WindowUnit::From(win::LoadedWindow(Template(windowId)))) window->DestroyNow();
    Pump();
  }

  // Opens the window the case starts from; the attempts a whole load of the
  // case's window makes (that load is taken back).
  uint32_t Prepare(const LoadCase& c, Fault fault) {
    player::State().useBgm = c.useBgm;
    player::StoreTextCopy(player::State().bgmPath, "C:\\track.mp3");
    EXPECT_TRUE(Load(c.loadedBefore));
    Armed counting(fault, 0);
    EXPECT_TRUE(Load(c.windowId));
    uint32_t attempts = counting.attempts();
    Unload(c.windowId);
    return attempts;
  }

  // A fatal error ends the program; here the test goes on, without the
  // suppression the report left behind.
  std::optional<std::string> LoadFailing(const LoadCase& c, Fault fault, uint32_t n, bool* loaded) {
    Armed armed(fault, n);
    try {
      *loaded = Load(c.windowId);
    } catch (const FatalErrorRaised& raised) {
      rt::State().eventSuppression = suppression_;
      return raised.message;
    }
    return std::nullopt;
  }

  int suppression_ = 0;
};

TEST_F(FaultLoading, EveryHeapAllocationFailedInTurnGivesTheHeapMessageOrACleanLoad) {
  uint32_t failed = 0;
  for (const LoadCase& c : kLoads) {
    uint32_t attempts = Prepare(c, Fault::Allocation);
    for (uint32_t n = 1; n <= attempts; ++n, ++failed) {
      SCOPED_TRACE(testing::Message() << c.name << ", allocation " << n << " of " << attempts);
      size_t blocks = LiveHeapBlocks();
      bool loaded = false;
      std::optional<std::string> fatal = LoadFailing(c, Fault::Allocation, n, &loaded);
      Unload(c.windowId);
      if (fatal) EXPECT_TRUE(IsHeapMessage(*fatal)) << *fatal;
      else EXPECT_EQ(LiveHeapBlocks(), blocks) << (loaded ? "loaded" : "refused") << ", and leaked";
    }
    win::DestroyAllLoadedWindows();
    Pump();
  }
  EXPECT_GT(failed, 0u) << "no load allocated: the table tests nothing";
}

// A load that fails takes back all it made; one that goes on (an edit box
// without its spin control) is whole once closed.
TEST_F(FaultLoading, EveryWindowCreationFailedInTurnLeavesNoWindowMenuOrObject) {
  uint32_t refused = 0;
  for (const LoadCase& c : kLoads) {
    uint32_t attempts = Prepare(c, Fault::WindowCreation);
    EXPECT_GT(attempts, 1u) << c.name << ": a window and its units";
    std::vector<uint8_t> records = Template(c.windowId).units.bytes();
    for (uint32_t n = 1; n <= attempts; ++n) {
      SCOPED_TRACE(testing::Message() << c.name << ", creation " << n << " of " << attempts);
      GuiObjects objects = LiveGuiObjects();
      size_t blocks = LiveHeapBlocks();
      bool loaded = false;
      EXPECT_EQ(LoadFailing(c, Fault::WindowCreation, n, &loaded), std::nullopt);
      if (!loaded) {
        ++refused;
        EXPECT_FALSE(Loaded(c.windowId));
        EXPECT_EQ(LiveGuiObjects(), objects);
      }
      Unload(c.windowId);
      EXPECT_EQ(LiveGuiObjects(), objects);
      EXPECT_EQ(LiveHeapBlocks(), blocks) << (loaded ? "loaded" : "refused");
      EXPECT_EQ(Template(c.windowId).units.bytes(), records) << "the records are as before the load";
      EXPECT_EQ(rt::State().eventSuppression, suppression_);
    }
    win::DestroyAllLoadedWindows();
    Pump();
  }
  EXPECT_GT(refused, 0u);
}

// The measure the failed loads are held to: a whole load and close of each
// window leaves nothing behind either.
TEST_F(FaultLoading, ALoadAndCloseLeavesNothing) {
  for (const LoadCase& c : kLoads) {
    SCOPED_TRACE(c.name);
    Prepare(c, Fault::WindowCreation);
    GuiObjects objects = LiveGuiObjects();
    size_t blocks = LiveHeapBlocks();
    EXPECT_TRUE(Load(c.windowId));
    Unload(c.windowId);
    EXPECT_EQ(LiveGuiObjects(), objects);
    EXPECT_EQ(LiveHeapBlocks(), blocks);
    win::DestroyAllLoadedWindows();
    Pump();
  }
}

// ---- Re-creating a unit ----------------------------------------------------------

class FaultRecreation : public LoadedWindowTest {
 protected:
  static constexpr uint32_t kBox = 0x16010001;

  void SetUp() override {
    LoadedWindowTest::SetUp();
    UnitSpec box{kBox, 0x00010005, 0, {}, "", units::WriteEditBoxBlob({})};
    box.left = 10, box.top = 10, box.width = 120, box.height = 24;
    ASSERT_NO_FATAL_FAILURE(LoadWith({box}));
    ShowWindow(Handle(0), SW_SHOW);
    PumpMessages();
  }

  const units_test::UnitProperties box_{kWindowId, kBox, units::kEditBoxType};
};

// The new window is not made: the old box stays the unit, and the next
// change re-creates it.
TEST_F(FaultRecreation, AFailedReCreationKeepsTheOldBox) {
  HWND old = Handle(kBox);
  GuiObjects objects = LiveGuiObjects();
  int suppression = rt::State().eventSuppression;
  {
    Armed armed(Fault::WindowCreation, 1);
    ExpectNoFatal("the write", [&] { box_.Write(units::EP_MULTI_LINE, 1); });
    EXPECT_EQ(armed.attempts(), 1u) << "one window, the new box, was asked for";
  }
  EXPECT_EQ(Handle(kBox), old);
  EXPECT_TRUE(IsWindowVisible(old));
  EXPECT_EQ(LiveGuiObjects(), objects);
  EXPECT_EQ(rt::State().eventSuppression, suppression);
  box_.Write(units::EP_MULTI_LINE, 0);
  EXPECT_NE(Handle(kBox), old) << "a later change re-creates the box";
  EXPECT_FALSE(IsWindow(old));
}

}  // namespace
