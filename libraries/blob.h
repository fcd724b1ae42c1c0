// Property blobs of the libraries' unit types: little-endian 32-bit words,
// counted byte runs and zero-terminated texts.
//
// The reader never reads past its span. A read that does not fit marks the
// reader failed; every later read then yields zero or empty, so a parser reads
// its fields straight through and checks ok() once at the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

class BlobReader {
 public:
  explicit BlobReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  bool atEnd() const { return position_ == bytes_.size(); }

  uint32_t Word() {
    std::span<const uint8_t> b = Bytes(4);
    return b.empty() ? 0 : uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  }

  std::span<const uint8_t> Bytes(size_t count) {
    if (!ok_ || count > bytes_.size() - position_) return Fail();
    std::span<const uint8_t> run = bytes_.subspan(position_, count);
    position_ += count;
    return run;
  }

  // A 32-bit byte count, then that many bytes.
  std::span<const uint8_t> CountedBytes() { return Bytes(Word()); }

  // The text without its terminator; a text that runs to the end fails.
  std::string ZText() {
    std::span<const uint8_t> rest = ok_ ? bytes_.subspan(position_) : std::span<const uint8_t>();
    auto terminator = std::find(rest.begin(), rest.end(), uint8_t(0));
    if (terminator == rest.end()) {
      Fail();
      return {};
    }
    std::string text(rest.begin(), terminator);
    position_ += text.size() + 1;
    return text;
  }

 private:
  std::span<const uint8_t> Fail() {
    ok_ = false;
    return {};
  }

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

class BlobWriter {
 public:
  void Word(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(value >> shift));
  }
  void Bytes(std::span<const uint8_t> run) { bytes_.insert(bytes_.end(), run.begin(), run.end()); }
  void CountedBytes(std::span<const uint8_t> run) {
    Word(uint32_t(run.size()));
    Bytes(run);
  }
  void ZText(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
  }

  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace lib
