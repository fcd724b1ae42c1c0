#include "table.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace bench {
namespace {

std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::string Number(double value) {
  if (!std::isfinite(value)) return "—";
  char text[32];
  std::snprintf(text, sizeof text, std::fabs(value) >= 100 ? "%.0f" : "%.2f", value);
  return text;
}

std::string Ratio(const Pair& values) {
  if (!std::isfinite(values[0]) || !std::isfinite(values[1]) || values[1] == 0) return "—";
  return Number(values[0] / values[1]);
}

// The CPU's model and the number of cores, from Linux through drive Z:.
std::string Machine() {
  std::FILE* info = _wfopen(L"Z:\\proc\\cpuinfo", L"r");
  if (!info) return "unknown machine";
  std::string model = "unknown CPU";
  int cores = 0;
  for (char line[512]; std::fgets(line, sizeof line, info);) {
    std::string text = line;
    if (text.rfind("processor", 0) == 0) ++cores;
    size_t colon = text.find(':');
    if (text.rfind("model name", 0) == 0 && colon != std::string::npos) model = text.substr(colon + 2);
  }
  std::fclose(info);
  if (!model.empty() && model.back() == '\n') model.pop_back();
  return model + ", " + std::to_string(cores) + " cores";
}

std::string WineVersion() {
  using Version = const char*(CDECL*)();
  auto version = reinterpret_cast<Version>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version")));
  return version ? std::string("Wine ") + version() : "not Wine";
}

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
  return text;
}

}  // namespace

void Table::add(const std::wstring& benchmark, const std::wstring& figure, Pair values, Kind kind) {
  std::string ratio = kind == Kind::Amount ? Ratio(values) : "—";
  rows_.push_back("| " + Utf8(benchmark) + " | " + Utf8(figure) + " | " + Number(values[0]) + " | " +
                  Number(values[1]) + " | " + ratio + " |");
}

void Table::fail(const std::wstring& benchmark, const std::string& why) {
  rows_.push_back("| " + Utf8(benchmark) + " | not run: " + why + " | — | — | — |");
}

void Table::note(const std::wstring& text) { notes_.push_back(Utf8(text)); }

std::string Table::markdown() const {
  std::ostringstream out;
  out << "Machine: " << Machine() << "; " << WineVersion() << "; " << Today() << "\n"
      << "Frame times: each program's own log of the frames it showed (--frame-log), on the performance counter.\n\n"
      << "| Benchmark | Figure | Player | Baseline | Player / baseline |\n"
      << "|---|---|---:|---:|---:|\n";
  for (const std::string& row : rows_) out << row << "\n";
  if (!notes_.empty()) out << "\n";
  for (const std::string& note : notes_) out << "- " << note << "\n";
  return out.str();
}

}  // namespace bench
