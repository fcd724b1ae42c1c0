// The benchmarks' results: one row a figure, player / baseline, printed as
// a Markdown table headed by the machine, the Wine version and the date.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace bench {

// A figure for the player [0] and the baseline [1]; NaN where there is none.
using Pair = std::array<double, 2>;

// A figure that is a difference (a drift, a growth, frames skipped) has no
// ratio: two differences near zero divide into anything.
enum class Kind { Amount, Difference };

class Table {
 public:
  void add(const std::wstring& benchmark, const std::wstring& figure, Pair values, Kind kind = Kind::Amount);
  // A benchmark that could not be run, with the reason.
  void fail(const std::wstring& benchmark, const std::string& why);
  // A line under the table that says how a figure was found.
  void note(const std::wstring& text);
  // UTF-8 Markdown.
  std::string markdown() const;

 private:
  std::vector<std::string> rows_, notes_;
};

}  // namespace bench
