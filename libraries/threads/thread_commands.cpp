#include "libraries/threads/thread_commands.h"

#include "libraries/arguments.h"
#include "libraries/threads/state.h"
#include "runtime/hidden_owner.h"

namespace lib::threads {
namespace {

// Not in the Windows headers that winnt.h can sit beside.
constexpr DWORD kStatusHandleNotClosable = 0xC0000235;

HANDLE HandleArgument(const lib::Arguments& args, int index) { return LongToHandle(args.integer(index)); }

// The routine starts once its handle is in the program's variable, so a
// thread that reads that variable finds itself there.
HANDLE CreateSuspendedThread(void* routine, int32_t parameter) {
  if (!routine) return nullptr;
  return CreateThread(nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(routine), LongToPtr(parameter),
                      CREATE_SUSPENDED, nullptr);
}

// A handle of another kind (an integer that is no thread handle, or one
// that now names some other object) is refused rather than closed.
bool IsThreadHandle(HANDLE handle) { return GetThreadId(handle) != 0; }

using ThreadsState = LibraryState<rt::LIB_THREADS>;

// GCC has no __try/__except: a vectored handler lets the close go on
// instead, and the system then reports the bad handle as a failed close.
// It acts only on this thread's close and only on the handle faults.
LONG CALLBACK ContinueAfterHandleFault(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  bool handleFault = record.ExceptionCode == DWORD(STATUS_INVALID_HANDLE) ||
                     record.ExceptionCode == kStatusHandleNotClosable;
  bool continuable = (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) == 0;
  return ThreadsState::closing && handleFault && continuable ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

// Registered once, at start-up, for good: adding and removing it around
// each close takes the system's handler lock, which a thread ended by force
// in between (the counting thread closes its own handle) would hold for ever.
void* const handleFaultHandler = AddVectoredExceptionHandler(1, ContinueAfterHandleFault);

class HandleFaultTrap {
 public:
  HandleFaultTrap() { ThreadsState::closing = true; }
  ~HandleFaultTrap() { ThreadsState::closing = false; }
  HandleFaultTrap(const HandleFaultTrap&) = delete;
  HandleFaultTrap& operator=(const HandleFaultTrap&) = delete;
};

}  // namespace

bool CloseCatchingHandleFaults(HANDLE handle, CloseFunction close) {
  HandleFaultTrap trap;
  return close(handle) != FALSE;
}

// Through the runtime: what the thread left waiting for the window thread
// (a frame, a status text) must not come after the thread's end.
void EndThread(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  HANDLE thread = HandleArgument(lib::Arguments(count, arguments), 0);
  *result = rt::MakeInt(rt::EndThreadByForce(thread, kEndedThreadExitCode));
}

// Without a variable for it, the handle is closed at once; the thread runs on.
void StartThread(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  HANDLE thread = CreateSuspendedThread(args[0].pointer(), args.integer(1));
  int32_t* variable = args.integerVariable(2);
  if (variable) *variable = HandleToLong(thread);
  if (thread) ResumeThread(thread);
  if (thread && !variable) CloseHandle(thread);
  *result = rt::MakeBool(thread != nullptr);
}

void CloseThreadHandle(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  HANDLE handle = HandleArgument(lib::Arguments(count, arguments), 0);
  *result = rt::MakeBool(IsThreadHandle(handle) && CloseCatchingHandleFaults(handle, &CloseHandle));
}

}  // namespace lib::threads
