#include "player/runtime_calls.h"

#include <algorithm>
#include <utility>

#include "commands/core_library.h"
#include "commands/program_libraries.h"
#include "libraries/drag_drop/library.h"

namespace player {
namespace {

constexpr int kMaxArguments = 8;

// Copies the arguments into a record array the command may write through.
template <class Call>
rt::ArgRecord WithRecords(std::initializer_list<rt::ArgRecord> arguments, Call call) {
  rt::ArgRecord records[kMaxArguments];
  std::copy(arguments.begin(), arguments.end(), records);
  return call(int(arguments.size()), records);
}

// FindText and FindTextFromEnd: an omitted start searches the whole text.
int32_t Search(core::CoreCommand command, const char* text, const char* what, int32_t start, bool ignoreCase) {
  rt::ArgRecord from = start ? rt::MakeInt(start) : rt::ArgRecord{};
  return int32_t(CallCore(command, {TextArgument(text), TextArgument(what), from, rt::MakeBool(ignoreCase)}).low);
}

}  // namespace

const rt::RuntimeServices& Runtime() { return rt::Services(); }

OwnedBlock& OwnedBlock::operator=(OwnedBlock&& other) noexcept {
  if (this != &other) {
    Runtime().FreeMemory(block_);
    block_ = other.release();
  }
  return *this;
}

OwnedBlock::~OwnedBlock() { Runtime().FreeMemory(block_); }

void* OwnedBlock::release() { return std::exchange(block_, nullptr); }

// The player never hands a command a null text: "" stands for the empty one.
rt::ArgRecord TextArgument(const char* text) { return rt::MakeBlock(rt::TYPE_TEXT, text ? text : ""); }

rt::ArgRecord UnitArgument(uint32_t windowId, uint32_t unitId, uint32_t typeCode) {
  return {windowId, unitId, typeCode};
}

rt::ArgRecord WindowArgument(uint32_t windowId, uint32_t windowUnitId) {
  return UnitArgument(windowId, windowUnitId, rt::TypeCode(rt::LIB_CORE, core::CORE_WINDOW));
}

rt::ArgRecord CallCore(core::CoreCommand command, std::initializer_list<rt::ArgRecord> arguments) {
  return WithRecords(arguments, [&](int count, rt::ArgRecord* records) {
    return Runtime().CallCoreCommand(core::kCoreLibrary.commands[command], count, records);
  });
}

rt::ArgRecord CallLibrary(rt::LibraryNumber library, int command, std::initializer_list<rt::ArgRecord> arguments) {
  return WithRecords(arguments, [&](int count, rt::ArgRecord* records) {
    return Runtime().CallLibraryCommand(library, lib::kProgramLibraries[library]->commands[command], count, records);
  });
}

int32_t ReadInt(uint32_t windowId, uint32_t unitId, int property, int element) {
  return int32_t(Runtime().ReadUnitProperty(windowId, unitId, property, element));
}

void WriteInt(uint32_t windowId, uint32_t unitId, int property, int32_t value, int element) {
  Runtime().WriteUnitProperty(windowId, unitId, property, element, uint32_t(value), 0);
}

// A text property arrives as a new text, pointer-wide.
OwnedText ReadText(uint32_t windowId, uint32_t unitId, int property) {
  return OwnedText(reinterpret_cast<char*>(intptr_t(Runtime().ReadUnitProperty(windowId, unitId, property, -1))));
}

void WriteText(uint32_t windowId, uint32_t unitId, int property, const char* text) {
  rt::ArgRecord value = TextArgument(text);
  Runtime().WriteUnitProperty(windowId, unitId, property, -1, value.low, value.high);
}

OwnedText ToText(int32_t value) { return OwnedText(CallCore(core::CMD_TO_TEXT, {rt::MakeInt(value)})); }

OwnedText ToText(double value) { return OwnedText(CallCore(core::CMD_TO_TEXT, {rt::MakeDouble(value)})); }

int32_t ToInteger(const char* text) { return int32_t(CallCore(core::CMD_TO_INTEGER, {TextArgument(text)}).low); }

int32_t FindText(const char* text, const char* what, int32_t start, bool ignoreCase) {
  return Search(core::CMD_FIND_TEXT, text, what, start, ignoreCase);
}

int32_t FindTextFromEnd(const char* text, const char* what) {
  return Search(core::CMD_FIND_TEXT_FROM_END, text, what, 0, false);
}

OwnedText RightOfText(const char* text, int32_t length) {
  return OwnedText(CallCore(core::CMD_RIGHT_OF_TEXT, {TextArgument(text), rt::MakeInt(length)}));
}

void ShowMessage(const char* message, int32_t flags, const char* title, rt::ArgRecord owner) {
  CallCore(core::CMD_SHOW_MESSAGE, {TextArgument(message), rt::MakeInt(flags), TextArgument(title), owner});
}

rt::ArgRecord WindowHandle(rt::ArgRecord windowOrUnit) { return CallCore(core::CMD_GET_WINDOW_HANDLE, {windowOrUnit}); }

bool ShowCommonDialog(rt::ArgRecord dialog) { return CallCore(core::CMD_SHOW_COMMON_DIALOG, {dialog}).low != 0; }

void DestroyFormWindow(rt::ArgRecord window) { CallCore(core::CMD_DESTROY_FORM_WINDOW, {window}); }

void RegisterDropWindow(rt::ArgRecord dropTarget, rt::ArgRecord window) {
  CallLibrary(rt::LIB_DRAG_DROP, lib::drag_drop::CMD_REGISTER_DROP_WINDOW, {dropTarget, WindowHandle(window)});
}

const char* DroppedPath(const rt::HandlerCall& call) {
  const char* path = *reinterpret_cast<char* const*>(intptr_t(call.arguments[0]));
  return path ? path : "";
}

}  // namespace player
