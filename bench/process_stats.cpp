#include "process_stats.h"

#include <psapi.h>

#include <cstdlib>
#include <cwctype>
#include <sstream>
#include <vector>

#include "files.h"

namespace bench {
namespace {

constexpr wchar_t kProc[] = L"Z:\\proc\\";
// Fields of /proc/<n>/stat counted from the first after the name's ")".
constexpr int kUserTimeField = 12, kSystemTimeField = 13, kStartTimeField = 20;
constexpr double kClockTicksPerSecond = 100;

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(std::towlower(c));
  return text;
}

std::wstring Wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

// The fields of a stat line after the process's name.
std::vector<std::string> StatFields(const std::string& stat) {
  std::vector<std::string> fields;
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return fields;
  std::istringstream words(stat.substr(close + 1));
  for (std::string word; words >> word;) fields.push_back(word);
  return fields;
}

double StatField(const std::string& stat, int field) {
  std::vector<std::string> fields = StatFields(stat);
  return size_t(field) < fields.size() ? std::strtod(fields[size_t(field)].c_str(), nullptr) : 0;
}

bool IsNumber(const wchar_t* name) {
  if (!*name) return false;
  for (; *name; ++name)
    if (!std::iswdigit(*name)) return false;
  return true;
}

// The Linux process folders whose command line starts with exePath.
std::vector<std::wstring> Matching(const std::wstring& exePath) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((std::wstring(kProc) + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  const std::wstring wanted = Lower(exePath);
  do {
    if (!IsNumber(entry.cFileName)) continue;
    std::wstring folder = kProc + std::wstring(entry.cFileName);
    std::string commandLine = ReadFrom(folder + L"\\cmdline");
    if (Lower(Wide(commandLine.c_str())) == wanted) found.push_back(folder);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

}  // namespace

std::optional<ProcessStats> ProcessStats::find(const std::wstring& exePath, DWORD windowsPid) {
  std::optional<ProcessStats> newest;
  double newestStart = -1;
  for (std::wstring& folder : Matching(exePath)) {
    ProcessStats candidate(std::move(folder), windowsPid);
    double start = StatField(candidate.read(L"stat"), kStartTimeField);
    if (start > newestStart) newest = candidate, newestStart = start;
  }
  return newest;
}

std::string ProcessStats::read(const wchar_t* name) const { return ReadFrom(folder_ + L"\\" + name); }

double ProcessStats::cpuSeconds() const {
  std::string stat = read(L"stat");
  return (StatField(stat, kUserTimeField) + StatField(stat, kSystemTimeField)) / kClockTicksPerSecond;
}

PrivateMemory ProcessStats::privateMemory() const {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, windowsPid_);
  bool answered = process && GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                                  sizeof counters);
  if (process) CloseHandle(process);
  if (answered && counters.PrivateUsage) return {double(counters.PrivateUsage), L"GetProcessMemoryInfo PrivateUsage"};
  std::string status = read(L"status");
  size_t at = status.find("RssAnon:");
  double bytes = at == std::string::npos ? 0 : std::strtod(status.c_str() + at + 8, nullptr) * 1024;
  return {bytes, L"Linux RssAnon through Z:\\proc"};
}

}  // namespace bench
