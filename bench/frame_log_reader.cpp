#include "frame_log_reader.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "files.h"

namespace bench {
namespace {

FrameLine ParseLine(const std::string& line) {
  FrameLine parsed{};
  char rest = 0;
  if (std::sscanf(line.c_str(), "%d %lf %d %c", &parsed.frame, &parsed.ms, &parsed.trackMs, &rest) != 3)
    throw std::runtime_error("a frame log line is not \"<frame> <ms> <track ms>\": " + line);
  return parsed;
}

}  // namespace

FrameLogReader::FrameLogReader(std::wstring path) : path_(std::move(path)) { DeleteFileW(path_.c_str()); }

const std::vector<FrameLine>& FrameLogReader::lines() {
  std::string text = ReadFrom(path_, read_);
  read_ += text.size();
  take(text);
  return lines_;
}

int FrameLogReader::lastFrame() {
  const std::vector<FrameLine>& all = lines();
  return all.empty() ? 0 : all.back().frame;
}

void FrameLogReader::take(const std::string& text) {
  partial_ += text;
  size_t start = 0;
  for (size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1)
    lines_.push_back(ParseLine(partial_.substr(start, end - start)));
  partial_.erase(0, start);
}

}  // namespace bench
