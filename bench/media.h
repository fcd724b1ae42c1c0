// The benchmarks' frames, written by the runner: nothing is checked in.
#pragma once

#include <string>

namespace bench {

struct FrameSize {
  int columns, rows;
};

// Writes frames <prefix>0001.txt … into folder (made when missing), count of
// them; frame 10000 and on wrap to 0000 as the player reads them. Every
// frame differs from the one before, as an animation's do. Returns folder.
std::wstring WriteFrames(const std::wstring& folder, const std::wstring& prefix, FrameSize size, int count);

}  // namespace bench
