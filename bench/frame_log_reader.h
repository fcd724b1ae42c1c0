// A program's frame log (--frame-log), read while the program writes it:
// one line for each frame shown,
//   <frame number> <ms since the first frame> <track position in ms, -1 when not heard>
// The player and the baseline write it in-process on the performance
// counter, so their frame times are measured the same way and nothing is
// asked of their window threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct FrameLine {
  int frame;
  double ms;
  int trackMs;
};

class FrameLogReader {
 public:
  // Removes an older log at path: the programs append to theirs.
  explicit FrameLogReader(std::wstring path);

  const std::wstring& path() const { return path_; }
  // Every complete line written so far, in order; throws on a line that is
  // not a frame line.
  const std::vector<FrameLine>& lines();
  // The last frame logged, 0 before the first.
  int lastFrame();
  // How many lines were taken so far, without reading.
  size_t taken() const { return lines_.size(); }

 private:
  void take(const std::string& text);

  std::wstring path_;
  uint64_t read_ = 0;    // bytes of the file taken so far
  std::string partial_;  // the start of a line still being written
  std::vector<FrameLine> lines_;
};

}  // namespace bench
