#include "program_fixture.h"

#include <array>
#include <iterator>
#include <utility>
#include <optional>

#include "commands/core_library.h"
#include "libraries/drag_drop/library.h"
#include "libraries/extended_ui/library.h"
#include "libraries/multimedia/library.h"
#include "libraries/shell/library.h"
#include "libraries/utilities/library.h"
#include "libraries/threads/library.h"
#include "runtime/library_registry.h"
#include "runtime/state.h"

namespace testing_support {
namespace {

std::optional<int64_t> nextAnswer;
std::function<void()> handlerAction;

template <int K>
void Recording(rt::HandlerCall& call) {
  const rt::RuntimeState& state = rt::State();
  ProgramFixture::Calls().push_back({K, {call.arguments, call.arguments + call.argumentCount},
                                     state.eventSourceWindow, state.eventSourceUnit});
  if (handlerAction) handlerAction();
  if (nextAnswer) call.answer(*std::exchange(nextAnswer, std::nullopt));
}

template <size_t... K>
constexpr std::array<rt::EventHandler, sizeof...(K)> RecordingHandlers(std::index_sequence<K...>) {
  return {&Recording<int(K)>...};
}
// Enough for the player's compiled forms, whose offsets index their own
// handler list.
constexpr auto kHandlers = RecordingHandlers(std::make_index_sequence<kRecordingHandlers>());

constexpr const rt::LibraryDescriptor* kLibraries[] = {
    &core::kCoreLibrary,     &lib::kExtendedUiLibrary, &lib::kDragDropLibrary, &lib::kUtilitiesLibrary,
    &lib::kShellLibrary,     &lib::kThreadsLibrary,    &lib::kMultimediaLibrary,
};

const rt::ProgramDescriptor kProgram = {
    .buildKind = 3,
    .handlers = kHandlers.data(),
    .handlerCount = uint32_t(kHandlers.size()),
    .libraryCount = uint32_t(std::size(kLibraries)),
    .libraries = kLibraries,
};

}  // namespace

std::vector<HandlerCallRecord>& ProgramFixture::Calls() {
  static std::vector<HandlerCallRecord> calls;
  return calls;
}

void ProgramFixture::AnswerNext(int64_t value) { nextAnswer = value; }

void ProgramFixture::WhileHandling(std::function<void()> action) { handlerAction = std::move(action); }

void ProgramFixture::SetUp() {
  savedProgram_ = rt::State().program;
  rt::State().program = &kProgram;
  rt::RegisterLibraries();
  Calls().clear();
  nextAnswer.reset();
  handlerAction = nullptr;
  win::InstallRegistry({});
}

void ProgramFixture::TearDown() {
  handlerAction = nullptr;
  win::InstallRegistry({});
  rt::NotifyLibrariesOfEnd();
  rt::State().program = savedProgram_;
}

void ProgramFixture::InstallWindow(uint32_t windowId, win::UnitList units) {
  auto templates = std::move(win::Templates());
  win::WindowTemplate t;
  t.windowId = windowId;
  t.units = std::move(units);
  templates.push_back(std::move(t));
  win::InstallRegistry(std::move(templates));
}

}  // namespace testing_support
