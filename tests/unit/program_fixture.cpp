#include "program_fixture.h"

#include <array>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "commands/core_library.h"
#include "commands/program_libraries.h"
#include "runtime/library_registry.h"
#include "runtime/state.h"

namespace testing_support {
namespace {

std::optional<int64_t> nextAnswer;
std::vector<std::function<void(rt::HandlerCall&)>> actions(kRecordingHandlers);

template <int K>
void Recording(rt::HandlerCall& call) {
  const rt::RuntimeState& state = rt::State();
  ProgramFixture::Calls().push_back({K, {call.arguments, call.arguments + call.argumentCount},
                                     state.eventSourceWindow, state.eventSourceUnit});
  if (nextAnswer) call.answer(*std::exchange(nextAnswer, std::nullopt));
  if (actions[K]) actions[K](call);
}

template <size_t... K>
constexpr std::array<rt::EventHandler, sizeof...(K)> RecordingHandlers(std::index_sequence<K...>) {
  return {&Recording<int(K)>...};
}
// Enough for the player's compiled forms, whose offsets index their own
// handler list.
constexpr auto kHandlers = RecordingHandlers(std::make_index_sequence<kRecordingHandlers>());

const rt::ProgramDescriptor kProgram = {
    .buildKind = 3,
    .handlers = kHandlers.data(),
    .handlerCount = uint32_t(kHandlers.size()),
    .libraryCount = uint32_t(std::size(lib::kProgramLibraries)),
    .libraries = lib::kProgramLibraries,
};

}  // namespace

std::span<const rt::LibraryDescriptor* const> ProgramLibraries() { return lib::kProgramLibraries; }

std::vector<HandlerCallRecord>& ProgramFixture::Calls() {
  static std::vector<HandlerCallRecord> calls;
  return calls;
}

std::string ProgramFixture::CallsSeen(std::span<const std::string_view> names) {
  std::ostringstream seen;
  for (const HandlerCallRecord& call : Calls()) {
    if (seen.tellp() > 0) seen << ", ";
    if (size_t(call.handler) < names.size()) seen << names[size_t(call.handler)];
    else seen << "handler " << call.handler;
    for (size_t i = 0; i < call.arguments.size(); ++i) seen << (i ? "," : "(") << call.arguments[i];
    if (!call.arguments.empty()) seen << ")";
  }
  return seen.str();
}

void ProgramFixture::AnswerNext(int64_t value) { nextAnswer = value; }

void ProgramFixture::ActOn(int handler, std::function<void(rt::HandlerCall&)> action) {
  actions.at(size_t(handler)) = std::move(action);
}

void ProgramFixture::SetUp() {
  savedProgram_ = rt::State().program;
  rt::State().program = &kProgram;
  rt::RegisterLibraries();
  Calls().clear();
  nextAnswer.reset();
  for (auto& action : actions) action = nullptr;
  win::InstallRegistry({});
}

void ProgramFixture::TearDown() {
  for (auto& action : actions) action = nullptr;
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
