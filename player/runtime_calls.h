// How the player reaches the runtime: every handler and playback routine
// acts only through the runtime services, the core commands, the support
// libraries' commands and the declared DLL commands. These are those calls,
// typed once here so that the player's code reads as its steps.
//
// Conventions, written once here:
// - Texts are runtime texts (GBK, allocated by the runtime). A text that a
//   call returns is held in an OwnedText, which frees it.
// - A unit is addressed by window ID and unit ID; passed to a command it
//   travels as a unit reference (UnitArgument).
// - Every call may come from the window thread or from a playback thread:
//   the runtime carries a worker's window work to the window thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "commands/core_library.h"
#include "runtime/library.h"
#include "runtime/program.h"
#include "runtime/services.h"

namespace player {

const rt::RuntimeServices& Runtime();

// A runtime block (a text or a byte set) returned by a call; freed with it.
class OwnedBlock {
 public:
  OwnedBlock() = default;
  explicit OwnedBlock(void* block) : block_(block) {}
  explicit OwnedBlock(rt::ArgRecord block) : block_(block.pointer()) {}
  OwnedBlock(OwnedBlock&& other) noexcept : block_(other.release()) {}
  OwnedBlock& operator=(OwnedBlock&& other) noexcept;
  OwnedBlock(const OwnedBlock&) = delete;
  OwnedBlock& operator=(const OwnedBlock&) = delete;
  ~OwnedBlock();

  void* get() const { return block_; }
  void* release();

 private:
  void* block_ = nullptr;
};

// Empty and null are the same text.
class OwnedText : public OwnedBlock {
 public:
  using OwnedBlock::OwnedBlock;
  const char* c_str() const { return get() ? static_cast<const char*>(get()) : ""; }
  std::string str() const { return c_str(); }
  bool empty() const { return !*c_str(); }
  char* releaseText() { return static_cast<char*>(release()); }
};

// A byte set: null or {1, n, n bytes}.
class OwnedBytes : public OwnedBlock {
 public:
  using OwnedBlock::OwnedBlock;
  int32_t size() const { return rt::ByteSetLength(get()); }
  // Null for the empty set, which has no data.
  uint8_t* data() const { return get() ? const_cast<uint8_t*>(rt::ByteSetData(get())) : nullptr; }
  rt::ArgRecord argument() const { return rt::MakeBlock(rt::TYPE_BYTESET, get()); }
};

// Argument records.
rt::ArgRecord TextArgument(const char* text);
inline rt::ArgRecord TextArgument(const std::string& text) { return TextArgument(text.c_str()); }
rt::ArgRecord UnitArgument(uint32_t windowId, uint32_t unitId, uint32_t typeCode);
// A window travels as the reference of its own unit.
rt::ArgRecord WindowArgument(uint32_t windowId, uint32_t windowUnitId);

rt::ArgRecord CallCore(core::CoreCommand command, std::initializer_list<rt::ArgRecord> arguments);
rt::ArgRecord CallLibrary(rt::LibraryNumber library, int command, std::initializer_list<rt::ArgRecord> arguments);

// Unit properties; element -1 is the whole property.
int32_t ReadInt(uint32_t windowId, uint32_t unitId, int property, int element = -1);
void WriteInt(uint32_t windowId, uint32_t unitId, int property, int32_t value, int element = -1);
OwnedText ReadText(uint32_t windowId, uint32_t unitId, int property);
void WriteText(uint32_t windowId, uint32_t unitId, int property, const char* text);

// Core commands the player uses as plain functions.
OwnedText ToText(int32_t value);
OwnedText ToText(double value);
int32_t ToInteger(const char* text);
// 1-based position of `what` in `text` from `start` (0 or omitted: the
// beginning); 0 or less when absent.
int32_t FindText(const char* text, const char* what, int32_t start = 0, bool ignoreCase = false);
// 1-based position of the last `what` in `text`, case-sensitive; 0 or less
// when absent.
int32_t FindTextFromEnd(const char* text, const char* what);
OwnedText RightOfText(const char* text, int32_t length);
// ShowMessage: an OK button and the icon `flags` name; owner omitted when
// its record is empty.
constexpr int32_t kStopIcon = 16;
constexpr int32_t kInformationIcon = 64;
void ShowMessage(const char* message, int32_t flags, const char* title, rt::ArgRecord owner);

// Windows and units.
// The platform handle of a loaded window or unit, as an integer record; 0
// when it is not loaded.
rt::ArgRecord WindowHandle(rt::ArgRecord windowOrUnit);
inline bool IsLoaded(rt::ArgRecord window) { return WindowHandle(window).low != 0; }
// Runs a CommonDlg unit's dialog; true when the user confirmed a choice.
bool ShowCommonDialog(rt::ArgRecord dialog);
// Closes a window when the window thread next processes messages; a modal
// window's LoadFormWindow then returns.
void DestroyFormWindow(rt::ArgRecord window);
// Drops on the window raise the DropTarget unit's events from now on.
void RegisterDropWindow(rt::ArgRecord dropTarget, rt::ArgRecord window);
// The path a DropTarget's files-dropped event (3) carries: its one argument
// is the address of the variable holding it. Never null.
const char* DroppedPath(const rt::HandlerCall& call);

}  // namespace player
