// Fatal runtime errors: a message box captioned "错误", no exit routines,
// exit code -1. Nothing here returns.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// Program code may take over the message box: a hook that answers non-zero
// suppresses it. The process still ends (unless the hook throws, which is how
// tests observe fatal errors without ending the test process).
using ErrorHook = int (*)(int code, const char* message);
void SetErrorHook(ErrorHook hook);

[[noreturn]] void ReportFatalError(std::string_view message, int code = 0);

// The numbered runtime errors 1–11, reported with their number as the code.
[[noreturn]] void ReportRuntimeError(int number);
const char* RuntimeErrorMessage(int number);

// The message box text for a code and message (GBK).
std::string FatalErrorText(int code, std::string_view message);

}  // namespace rt
