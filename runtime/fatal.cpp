#include "runtime/fatal.h"

#include <windows.h>

#include <iterator>

#include "runtime/gbk.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace rt {
namespace {

constexpr const char* kRuntimeErrors[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

// Answers whether the hook took over the message box. The inside-hook flag is
// cleared again even when the hook throws.
bool CallErrorHook(int code, const std::string& message) {
  RuntimeState& state = State();
  if (!state.errorHook || state.insideHook.exchange(true)) return false;
  struct Reset {
    std::atomic<bool>& flag;
    ~Reset() { flag = false; }
  } reset{state.insideHook};
  return state.errorHook(code, message.c_str()) != 0;
}

}  // namespace

void SetErrorHook(ErrorHook hook) { State().errorHook = hook; }

const char* RuntimeErrorMessage(int number) {
  if (number < 1 || number > int(std::size(kRuntimeErrors))) return "";
  return kRuntimeErrors[number - 1];
}

std::string FatalErrorText(int code, std::string_view message) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
  if (!message.empty()) text.append("错误信息：").append(message).append("\r\n");
  return text;
}

void ReportFatalError(std::string_view message, int code) {
  RuntimeState& state = State();
  ++state.eventSuppression;
  std::string owned(message);
  if (!CallErrorHook(code, owned)) {
    std::wstring text = WideFromGbk(FatalErrorText(code, owned));
    MessageBoxW(nullptr, text.c_str(), WideFromGbk("错误").c_str(), MB_OK | MB_ICONERROR);
  }
  if (state.buildKind == kBuildKindDebug) DebugBreak();
  DiscardExitRoutines();
  ExitProgram(-1);
}

void ReportRuntimeError(int number) { ReportFatalError(RuntimeErrorMessage(number), number); }

}  // namespace rt
