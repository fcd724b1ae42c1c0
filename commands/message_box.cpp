#include "commands/message_box.h"

#include <windows.h>

#include <string>

#include "commands/window_commands.h"
#include "libraries/arguments.h"
#include "runtime/conversions.h"
#include "runtime/gbk.h"
#include "runtime/heap.h"

namespace core {
namespace {

constexpr char kDefaultTitle[] = "信息：";

// Arrays are not shown; every other type reads as ToText makes it.
std::wstring MessageText(const rt::ArgRecord& message) {
  if (rt::IsArrayTag(message.tag)) return {};
  rt::HeapPtr<char> text(rt::ValueToText(message));
  return text ? rt::WideFromGbk(text.get()) : std::wstring();
}

// A handle that names no window would keep the box from showing at all: the
// box then has no owner.
HWND OwnerOf(const rt::ArgRecord& owner) {
  if (owner.tag != rt::TYPE_INT) return LiveUnitHandle(owner);
  HWND handle = static_cast<HWND>(LongToHandle(int32_t(owner.low)));
  return IsWindow(handle) ? handle : nullptr;
}

UINT StyleOf(int32_t flags) {
  UINT style = UINT(flags);
  return style & MB_SYSTEMMODAL ? style : style | MB_TASKMODAL;
}

// IDOK … IDNO are 1 … 7 in the order the command numbers its buttons.
int32_t ButtonNumber(int pressed) { return pressed >= IDOK && pressed <= IDNO ? pressed - IDOK : 0; }

}  // namespace

void ShowMessage(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  std::wstring title = rt::WideFromGbk(args[2].omitted() ? kDefaultTitle : args.text(2));
  int pressed = MessageBoxW(OwnerOf(args[3]), MessageText(args[0]).c_str(), title.c_str(), StyleOf(args.integer(1)));
  *result = rt::MakeInt(ButtonNumber(pressed));
}

}  // namespace core
