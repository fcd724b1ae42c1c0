// What another program costs, read from outside while it runs.
//
// Under Wine, GetProcessTimes on another process answers zeros; the Linux
// process table, seen through drive Z:, has the real figures. A Wine
// program's Linux command line starts with its Windows path, which is how
// its entry is found.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bench {

struct PrivateMemory {
  double bytes;
  const wchar_t* source;  // which of the two answered
};

class ProcessStats {
 public:
  // The newest Linux process whose command line's first word is exePath
  // (compared without regard to case); nothing when there is none.
  static std::optional<ProcessStats> find(const std::wstring& exePath, DWORD windowsPid);

  // User and system CPU time so far, in seconds.
  double cpuSeconds() const;
  // The process's private memory: the system's private usage when it
  // answers, else the resident anonymous memory Linux counts.
  PrivateMemory privateMemory() const;

 private:
  ProcessStats(std::wstring procFolder, DWORD windowsPid) : folder_(std::move(procFolder)), windowsPid_(windowsPid) {}
  std::string read(const wchar_t* name) const;

  std::wstring folder_;  // Z:\proc\<number>
  DWORD windowsPid_;
};

}  // namespace bench
