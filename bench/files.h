// Files the runner reads while another process may still write them.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// What the file holds past byte `from`, read until the end (a /proc file's
// size reads as 0); nothing when it cannot be opened.
std::string ReadFrom(const std::wstring& path, uint64_t from = 0);

}  // namespace bench
