#include "libraries/command_table.h"

#include <string>

#include "runtime/fatal.h"
#include "runtime/hidden_owner.h"
#include "runtime/values.h"

namespace lib {
namespace {

[[noreturn]] void RefuseCall(const CommandSpec& declaration, size_t argument) {
  std::string message = "命令参数不正确: ";
  message += declaration.name;
  message += ' ';
  message += std::to_string(argument + 1);
  rt::ReportFatalError(message);
}

bool IsUnitTag(rt::TypeTag tag) { return rt::ClassifyTag(tag) == rt::TagClass::Library; }

bool OfKind(Arg kind, rt::TypeTag tag) {
  switch (kind) {
    case Arg::Any: return tag != rt::TYPE_NONE;
    case Arg::Integer: return rt::ReferencedTag(tag) == rt::TYPE_INT;
    case Arg::Logical: return tag == rt::TYPE_BOOL;
    case Arg::Text: return tag == rt::TYPE_TEXT;
    case Arg::ByteSet: return tag == rt::TYPE_BYTESET;
    case Arg::Subroutine: return tag == rt::TYPE_SUBPTR;
    case Arg::Unit: return IsUnitTag(tag);
    case Arg::UnitOrInteger: return IsUnitTag(tag) || tag == rt::TYPE_INT;
    case Arg::None: return false;
  }
  return false;
}

size_t DeclaredCount(const CommandSpec& declaration) {
  size_t count = 0;
  while (count < declaration.arguments.size() && declaration.arguments[count] != Arg::None) ++count;
  return count;
}

bool MayBeOmitted(const CommandSpec& declaration, size_t argument) { return (declaration.optional >> argument) & 1; }

}  // namespace

void CheckCall(const CommandSpec& declaration, int count, const rt::ArgRecord* arguments) {
  size_t declared = DeclaredCount(declaration);
  size_t given = count > 0 ? size_t(count) : 0;
  if (given > declared) RefuseCall(declaration, declared);
  for (size_t i = 0; i < declared; ++i) {
    bool omitted = i >= given || arguments[i].omitted();
    if (omitted ? !MayBeOmitted(declaration, i) : !OfKind(declaration.arguments[i], arguments[i].tag)) RefuseCall(declaration, i);
  }
  if (declaration.unitType && given > 0 && declaration.arguments[0] == Arg::Unit && arguments[0].tag != declaration.unitType)
    RefuseCall(declaration, 0);
}

void RunCommand(const CommandSpec& declaration, rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  CheckCall(declaration, count, arguments);
  if (declaration.runsOn == RunsOn::WindowThread) rt::RunOnMainThread([&] { declaration.body(result, count, arguments); });
  else declaration.body(result, count, arguments);
}

}  // namespace lib
