// Reading and writing property blobs: little-endian words, counted byte runs
// and texts, and zero-terminated texts.
//
// The reader never reads past its data. A read that does not fit marks the
// reader failed; every later read then yields zero or empty, so a parser reads
// its fields straight through and checks ok() once at the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class BlobReader {
 public:
  explicit BlobReader(std::span<const uint8_t> data) : data_(data) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return at_ >= data_.size(); }

  uint32_t word() {
    uint32_t v = 0;
    if (take(4)) std::memcpy(&v, data_.data() + at_ - 4, 4);
    return v;
  }
  std::vector<uint8_t> bytes(size_t n) {
    if (!take(n)) return {};
    return {data_.begin() + ptrdiff_t(at_ - n), data_.begin() + ptrdiff_t(at_)};
  }
  // A 32-bit byte count, then that many bytes.
  std::vector<uint8_t> countedBytes() { return bytes(word()); }
  std::string countedText() {
    auto bytes = countedBytes();
    return {bytes.begin(), bytes.end()};
  }
  // The text without its terminator; a text that runs to the end fails.
  std::string terminatedText() {
    std::span<const uint8_t> rest = ok_ ? data_.subspan(at_) : std::span<const uint8_t>();
    auto terminator = std::find(rest.begin(), rest.end(), uint8_t(0));
    if (terminator == rest.end()) {
      ok_ = false;
      return {};
    }
    std::string text(rest.begin(), terminator);
    at_ += text.size() + 1;
    return text;
  }

 private:
  bool take(size_t n) {
    if (!ok_ || n > data_.size() - at_) return ok_ = false;
    at_ += n;
    return true;
  }
  std::span<const uint8_t> data_;
  size_t at_ = 0;
  bool ok_ = true;
};

class BlobWriter {
 public:
  BlobWriter& word(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(v >> shift));
    return *this;
  }
  BlobWriter& countedBytes(std::span<const uint8_t> data) {
    word(uint32_t(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  BlobWriter& countedText(const std::string& text) {
    return countedBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  BlobWriter& terminatedText(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return *this;
  }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace win
